#include "net/IdException.h"
#include "net/IdStream.h"
#include "net/IdTCPClient.h"
#include "tests/support/ScriptedPeer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Peer = TScriptedPeer;

// A client connected to a peer playing the given scripts.
struct Connected {
    explicit Connected(std::vector<Peer::TScript> scripts) : peer(std::move(scripts)) {
        client.SetHost("127.0.0.1");
        client.SetPort(peer.Port());
        client.OpenConnection();
    }
    Peer peer;
    TIdTCPClient client;
};

template <typename Exception, typename Call> std::string MessageOf(Call call) {
    try {
        call();
    } catch (const Exception& error) {
        return error.what();
    }
    return "(nothing raised)";
}

TEST(ReadLine, EndsAtLfAndDropsTheCrBeforeIt) {
    Connected c({{Peer::Send("abc\r\ndef\n\r\n\nlast")}});
    EXPECT_EQ(c.client.ReadLine(), "abc");
    EXPECT_EQ(c.client.ReadLine(), "def");
    EXPECT_EQ(c.client.ReadLine(), "");
    EXPECT_EQ(c.client.ReadLine(), "");
    EXPECT_FALSE(c.client.LastLineTimedOut());
}

TEST(ReadLine, LoneCrIsNotALine) {
    Connected c({{Peer::Send("abc\rdef"), Peer::Pause(50), Peer::Send("\n")}});
    EXPECT_EQ(c.client.ReadLine(), "abc\rdef");
}

TEST(ReadLine, FindsATerminatorSplitOverTwoArrivals) {
    Connected c({{Peer::Send("first\r"), Peer::Pause(50), Peer::Send("\nsecond--"), Peer::Pause(50),
                  Peer::Send("--end--\r\n")}});
    EXPECT_EQ(c.client.ReadLine(), "first");
    EXPECT_EQ(c.client.ReadLine("----"), "second");
    EXPECT_EQ(c.client.ReadLine("\r\n"), "end--");
}

TEST(ReadLine, AcceptsExactlyTheLimitBeforeLf) {
    const std::string limit(16384, 'x');
    Connected c({{Peer::Send(limit + "\n"), Peer::Send(limit + "x\n")}});
    EXPECT_EQ(c.client.ReadLine(), limit);
    EXPECT_EQ(MessageOf<EIdReadLnMaxLineLengthExceeded>([&] { c.client.ReadLine(); }),
              "Max line length exceeded.");
    // Nothing was consumed: the whole over-long line is still there.
    EXPECT_EQ(c.client.ReadLine("\n", -1, 0), limit + "x");
}

TEST(ReadLine, CountsTheCrBeforeLfTowardTheLimit) {
    const std::string limit(16384, 'x');
    Connected c({{Peer::Send(limit + "\r\n")}});
    EXPECT_THROW(c.client.ReadLine(), EIdReadLnMaxLineLengthExceeded);
}

TEST(ReadLine, RaisesOnAnOverlongUnterminatedLineWithoutWaiting) {
    Connected c({{Peer::Send(std::string(16385, 'x'))}});
    c.client.ReadTimeout = 5000;
    // The peer never sends a terminator; the limit, not the time-out, must end the call.
    EXPECT_THROW(c.client.ReadLine(), EIdReadLnMaxLineLengthExceeded);
}

TEST(ReadLine, SplitsOverlongLinesWhenAsked) {
    Connected c({{Peer::Send("abcdefg\nhi\n")}});
    c.client.MaxLineLength = 4;
    c.client.MaxLineAction = maSplit;
    EXPECT_EQ(c.client.ReadLine(), "abcd");
    EXPECT_TRUE(c.client.LastLineSplit());
    EXPECT_EQ(c.client.ReadLine(), "efg");
    EXPECT_FALSE(c.client.LastLineSplit());
    EXPECT_EQ(c.client.ReadLine(), "hi");
}

TEST(ReadLine, SilentPeerTimesOut) {
    Connected c({{Peer::Send("partial")}});
    c.client.ReadTimeout = 200;
    EXPECT_EQ(MessageOf<EIdReadTimeout>([&] { c.client.ReadLine(); }), "Read Timeout");
    // The unterminated piece stays buffered.
    EXPECT_EQ(c.client.ReceivedData().DataString(), "partial");
}

TEST(ReadLine, AnExplicitTimeoutWaitsAgainInsteadOfEndingTheLine) {
    Connected c({{Peer::Send("ab"), Peer::Pause(150), Peer::Send("c\n")}});
    c.client.ReadTimeout = 5000;
    EXPECT_EQ(c.client.ReadLine("\n", 20), "abc");
    EXPECT_FALSE(c.client.LastLineTimedOut());
}

TEST(ReadLine, MasksBytesToSevenBitsWithTheAsciiFilter) {
    Connected c({{Peer::Send("\xC1\xE2\n")}});
    c.client.ASCIIFilter = true;
    EXPECT_EQ(c.client.ReadLine(), "Ab");
}

TEST(ReadLine, PeerClosingInsideALineEndsItEmptyThenRaises) {
    Connected c({{Peer::Send("HTTP/1.1 200 OK"), Peer::Close()}});
    EXPECT_EQ(c.client.ReadLine(), "");
    EXPECT_TRUE(c.client.LastLineTimedOut());
    EXPECT_EQ(MessageOf<EIdConnClosedGracefully>([&] { c.client.ReadLine(); }),
              "Connection Closed Gracefully.");
}

TEST(ReadExact, WaitsForAllBytesAndRaisesWhenThePeerClosesShort) {
    Connected c({{Peer::Send("12"), Peer::Pause(30), Peer::Send("345678"), Peer::Close()}});
    char bytes[5] = {};
    c.client.ReadExact(bytes, 5);
    EXPECT_EQ(std::string(bytes, 5), "12345");
    EXPECT_THROW(c.client.ReadExact(bytes, 5), EIdConnClosedGracefully);
    // The three bytes that were there are not lost.
    EXPECT_EQ(c.client.ReceivedData().DataString(), "678");
}

TEST(ReadToStream, ReadsACountIntoTheStreamAtItsPosition) {
    Connected c({{Peer::Send("0123456789tail")}});
    TIdMemoryStream stream(std::string("head and old bytes beyond the body"));
    stream.SetPosition(4);
    c.client.ReadToStream(stream, 10);
    // What stood beyond the body is cut off.
    EXPECT_EQ(stream.DataString(), "head0123456789");
    EXPECT_EQ(c.client.ReadLine("tail"), "");
}

TEST(ReadToStream, CountMetByACloseRaisesAndKeepsOnlyCompleteChunks) {
    Connected c({{Peer::Pause(50), Peer::Send("abcdef"), Peer::Close()}});
    TIdMemoryStream stream;
    EXPECT_THROW(c.client.ReadToStream(stream, 10), EIdConnClosedGracefully);
    EXPECT_EQ(stream.Size(), 0);
}

TEST(ReadToStream, UntilCloseTakesEverything) {
    Connected c({{Peer::Send("abc"), Peer::Pause(30), Peer::Send("def"), Peer::Close()}});
    TIdMemoryStream stream;
    c.client.ReadToStream(stream, -1, true);
    EXPECT_EQ(stream.DataString(), "abcdef");
    EXPECT_FALSE(c.client.IsConnected());
}

TEST(ReadToStream, CloseNoticedBeforeTheCallLeavesTheBufferedBytes) {
    Connected c({{Peer::Send("abcdef"), Peer::Close()}});
    ASSERT_TRUE(c.peer.WaitForScript(0, 2000));
    c.client.ReadLine("never");
    ASSERT_FALSE(c.client.IsConnected());
    TIdMemoryStream stream;
    c.client.ReadToStream(stream, 10);
    EXPECT_EQ(stream.DataString(), "abcdef");
}

TEST(ReadToStream, CountsTheBytesAsReadWork) {
    Connected c({{Peer::Send(std::string(70000, 'z'))}});
    std::vector<std::string> events;
    c.client.OnWorkBegin = [&](TIdComponent*, TWorkMode mode, int max) {
        events.push_back("begin " + std::to_string(mode) + " " + std::to_string(max));
    };
    int total = 0;
    c.client.OnWork = [&](TIdComponent*, TWorkMode, int count) { total = count; };
    c.client.OnWorkEnd = [&](TIdComponent*, TWorkMode mode) {
        events.push_back("end " + std::to_string(mode));
    };
    TIdMemoryStream stream;
    c.client.ReadToStream(stream, 70000);
    EXPECT_EQ(stream.Size(), 70000);
    EXPECT_EQ(total, 70000);
    EXPECT_EQ(events, (std::vector<std::string>{"begin 0 70000", "end 0"}));
}

TEST(ReadToStream, ReadsANetworkOrderCountFirst) {
    Connected c({{Peer::Send(std::string("\0\0\0\3xyz", 7))}});
    TIdMemoryStream stream;
    c.client.ReadToStream(stream);
    EXPECT_EQ(stream.DataString(), "xyz");
}

TEST(PollForClose, NoticesAnIdleCloseQuietlyAndOnce) {
    Connected c({{Peer::Close()}});
    int disconnects = 0;
    c.client.OnDisconnected = [&](TIdComponent*) { ++disconnects; };
    ASSERT_TRUE(c.peer.WaitForScript(0, 2000));
    c.client.PollForClose(false);
    EXPECT_FALSE(c.client.IsConnected());
    c.client.PollForClose(false);
    EXPECT_EQ(disconnects, 1);
}

TEST(PollForClose, ResetPropagatesAndKeepsTheSocket) {
    Connected c({{Peer::Pause(30), Peer::Reset()}});
    ASSERT_TRUE(c.peer.WaitForScript(0, 2000));
    EXPECT_EQ(MessageOf<EIdSocketError>([&] { c.client.PollForClose(false); }),
              "Socket Error # 10054\r\nConnection reset by peer.");
    EXPECT_TRUE(c.client.IsConnected());
}

TEST(PollForClose, KeepsDataThatArrivedWhileIdle) {
    Connected c({{Peer::Send("early\n")}});
    c.client.ReadTimeout = 2000;
    while (c.client.ReceivedData().Size() == 0) {
        c.client.PollForClose(false);
    }
    EXPECT_EQ(c.client.ReadLine(), "early");
}

TEST(WriteBatch, HeadLeavesInOneSendAfterTheBatchEnds) {
    Connected c({{Peer::ExpectUntil("\r\n\r\n"), Peer::Send("ok\n")}});
    int sends = 0;
    c.client.OnWork = [&](TIdComponent*, TWorkMode mode, int) { sends += mode == wmWrite; };
    c.client.StartWork(wmWrite);
    c.client.BeginWriteBatch(-1);
    c.client.WriteLine("GET / HTTP/1.1");
    c.client.WriteLine("Host: x");
    c.client.WriteLine("");
    EXPECT_EQ(sends, 0);
    EXPECT_EQ(c.peer.Received(0), "");
    c.client.EndWriteBatch();
    c.client.FinishWork(wmWrite);
    EXPECT_EQ(sends, 1);
    EXPECT_EQ(c.client.ReadLine(), "ok");
    EXPECT_EQ(c.peer.Received(0), "GET / HTTP/1.1\r\nHost: x\r\n\r\n");
}

TEST(WriteBatch, ThresholdSendsFullPieces) {
    Connected c(
        {{Peer::Expect("abcd"), Peer::Send("got4\n"), Peer::Expect("ef"), Peer::Send("got6\n")}});
    c.client.BeginWriteBatch(4);
    c.client.WriteText("abc");
    c.client.WriteText("def");
    EXPECT_EQ(c.client.ReadLine(), "got4");
    c.client.EndWriteBatch();
    EXPECT_EQ(c.client.ReadLine(), "got6");
    EXPECT_TRUE(c.peer.Mismatches().empty());
}

TEST(WriteBytes, RaisesWhenNotConnected) {
    TIdTCPClient client;
    EXPECT_EQ(MessageOf<EIdConnClosedGracefully>([&] { client.WriteText("x"); }),
              "Connection Closed Gracefully.");
}

TEST(WriteBytes, ResetPeerDropsTheSocketAndRaises) {
    Connected c({{Peer::Pause(30), Peer::Reset()}});
    ASSERT_TRUE(c.peer.WaitForScript(0, 2000));
    const std::string block(65536, 'w');
    // The first sends may still be accepted locally; the reset shows up within a few.
    EXPECT_THROW(
        for (int i = 0; i < 100; ++i) { c.client.WriteText(block); }, EIdSocketError);
    EXPECT_FALSE(c.client.IsConnected());
}

TEST(WriteFromStream, SendsTheStreamWithItsCount) {
    Connected c({{Peer::Expect(std::string("\0\0\0\5hello", 9)), Peer::Send("ok\n")}});
    TIdMemoryStream body(std::string("hello"));
    c.client.WriteFromStream(body, true, true);
    EXPECT_EQ(c.client.ReadLine(), "ok");
    EXPECT_TRUE(c.peer.Mismatches().empty());
}

} // namespace
