// The client against peers that lie about sizes, never finish, or break off: none of them may
// make it reserve what was only announced, read without end, or keep a broken connection.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "http/IdCookieManager.h"
#include "http/IdHTTP.h"
#include "net/IdException.h"
#include "net/IdStream.h"
#include "tests/support/ScriptedPeer.h"

namespace {

using Peer = TScriptedPeer;

const std::string kHeadEnd = "\r\n\r\n";
const std::string kOk = "HTTP/1.1 200 OK\r\n";
constexpr std::int64_t kMaxPresize = 16 * 1024 * 1024;

// A memory stream that remembers the most room it was asked to make in advance.
class RecordingStream : public TIdMemoryStream {
public:
    void ReserveSize(std::int64_t size) override {
        LargestReserve = std::max(LargestReserve, size);
        TIdMemoryStream::ReserveSize(size);
    }
    std::int64_t LargestReserve = 0;
};

class HostilePeerTest : public ::testing::Test {
protected:
    HostilePeerTest() { client.ReadTimeout = 2000; }

    std::string Url(const Peer& peer, const std::string& path = "/") {
        return "http://127.0.0.1:" + std::to_string(peer.Port()) + path;
    }

    // The class name and message of what Get(url, stream) raised, or "" when it returned.
    std::string Failure(const std::string& url, TIdStream& stream) {
        try {
            client.Get(url, stream);
        } catch (const EIdException& failure) {
            return std::string(failure.ClassName()) + ": " + failure.what();
        }
        return "";
    }

    TIdHTTP client;
};

TEST_F(HostilePeerTest, AnAnnouncedLengthIsNotReservedBeyondSixteenMebibytes) {
    Peer peer({{Peer::ExpectUntil(kHeadEnd),
                Peer::Send(kOk + "Content-Length: 2147483647\r\n\r\n0123456789"), Peer::Close()}});
    RecordingStream body;
    EXPECT_EQ(Failure(Url(peer), body), "EIdConnClosedGracefully: Connection Closed Gracefully.");
    EXPECT_EQ(body.DataString(), "0123456789");
    EXPECT_LE(body.LargestReserve, kMaxPresize);
}

TEST_F(HostilePeerTest, ALargeAnnouncedChunkIsNotReservedEither) {
    Peer peer({{Peer::ExpectUntil(kHeadEnd),
                Peer::Send(kOk + "Transfer-Encoding: chunked\r\n\r\n7FFFFFFF\r\n0123456789"),
                Peer::Close()}});
    RecordingStream body;
    EXPECT_EQ(Failure(Url(peer), body), "EIdConnClosedGracefully: Connection Closed Gracefully.");
    EXPECT_EQ(body.DataString(), "0123456789");
    EXPECT_LE(body.LargestReserve, kMaxPresize);
}

TEST_F(HostilePeerTest, ABodyLargerThanThePresizeStillArrivesWhole) {
    const std::string large(kMaxPresize + 12345, 'x');
    Peer peer(
        {{Peer::ExpectUntil(kHeadEnd),
          Peer::Send(kOk + "Content-Length: " + std::to_string(large.size()) + kHeadEnd + large)}});
    RecordingStream body;
    EXPECT_EQ(Failure(Url(peer), body), "");
    EXPECT_EQ(body.Size(), static_cast<std::int64_t>(large.size()));
    EXPECT_TRUE(body.DataString() == large);
}

TEST_F(HostilePeerTest, AChunkSizeOfAllOnesEndsTheBody) {
    // FFFFFFFF is -1 as a 32-bit pattern, which counts as the last chunk.
    Peer peer({{Peer::ExpectUntil(kHeadEnd),
                Peer::Send(kOk + "Transfer-Encoding: chunked\r\n\r\nFFFFFFFF\r\n\r\n")}});
    RecordingStream body;
    EXPECT_EQ(Failure(Url(peer), body), "");
    EXPECT_EQ(body.Size(), 0);
    EXPECT_EQ(body.LargestReserve, 0);
}

TEST_F(HostilePeerTest, AnEndlessHeaderBlockStopsAtOneMebibyteAndClosesTheConnection) {
    std::string endless = kOk;
    while (endless.size() < 2 * 1024 * 1024) {
        endless += "X-Filler: abcdefghij\r\n";
    }
    Peer peer({{Peer::ExpectUntil(kHeadEnd), Peer::Send(endless), Peer::Pause(5000)}});
    RecordingStream body;
    EXPECT_EQ(Failure(Url(peer), body),
              "EIdReadLnMaxLineLengthExceeded: Max line length exceeded.");
    EXPECT_FALSE(client.IsConnected());
    EXPECT_LE(client.Response().HeaderLines.Text().size(), 1024u * 1024);
}

TEST_F(HostilePeerTest, AHeaderBlockJustUnderOneMebibyteIsRead) {
    std::string head = kOk;
    const std::string filler = "X-Filler: abcdefghij\r\n";
    // Leaves room for the Content-Length line and the empty line.
    while (head.size() + filler.size() < 1024 * 1024 - 64) {
        head += filler;
    }
    Peer peer({{Peer::ExpectUntil(kHeadEnd), Peer::Send(head + "Content-Length: 2\r\n\r\nok")}});
    RecordingStream body;
    EXPECT_EQ(Failure(Url(peer), body), "");
    EXPECT_EQ(body.DataString(), "ok");
}

TEST_F(HostilePeerTest, AStatusLineOfOneMegabyteFailsAndTheNextRequestConnectsAnew) {
    Peer peer({{Peer::ExpectUntil(kHeadEnd),
                Peer::Send("HTTP/1.1 200 " + std::string(1024 * 1024, 'A') + "\r\n\r\n"),
                Peer::Pause(5000)},
               {Peer::ExpectUntil(kHeadEnd), Peer::Send(kOk + "Content-Length: 2\r\n\r\nok")}});
    RecordingStream first;
    EXPECT_EQ(Failure(Url(peer), first),
              "EIdReadLnMaxLineLengthExceeded: Max line length exceeded.");
    EXPECT_EQ(client.Get(Url(peer)), "ok");
    EXPECT_EQ(peer.AcceptedCount(), 2);
}

TEST_F(HostilePeerTest, AnUntilCloseBodyThatStallsEndsWithTheReadTimeout) {
    Peer peer({{Peer::ExpectUntil(kHeadEnd), Peer::Send(kOk + "\r\n" + std::string(5000, 'b')),
                Peer::Pause(3000)}});
    client.ReadTimeout = 200;
    RecordingStream body;
    EXPECT_EQ(Failure(Url(peer), body), "EIdReadTimeout: Read Timeout");
    EXPECT_EQ(body.Size(), 5000);
}

TEST_F(HostilePeerTest, AResetInTheMiddleOfTheBodyFailsAndTheNextRequestConnectsAnew) {
    Peer peer({{Peer::ExpectUntil(kHeadEnd),
                Peer::Send(kOk + "Content-Length: 100000\r\n\r\n" + std::string(5000, 'r')),
                Peer::Pause(100), Peer::Reset()},
               {Peer::ExpectUntil(kHeadEnd), Peer::Send(kOk + "Content-Length: 2\r\n\r\nok")}});
    RecordingStream body;
    EXPECT_EQ(Failure(Url(peer), body),
              "EIdSocketError: Socket Error # 10054\r\nConnection reset by peer.");
    EXPECT_EQ(client.Get(Url(peer)), "ok");
    EXPECT_EQ(peer.AcceptedCount(), 2);
}

TEST_F(HostilePeerTest, TenThousandSetCookieHeadersLeaveTheNewestFiftyToSendBack) {
    std::string head = kOk;
    for (int n = 0; n < 10000; ++n) {
        head += "Set-Cookie: c" + std::to_string(n) + "=v; path=/\r\n";
    }
    Peer peer({{Peer::ExpectUntil(kHeadEnd), Peer::Send(head + "Content-Length: 2\r\n\r\nok"),
                Peer::ExpectUntil(kHeadEnd), Peer::Send(kOk + "Content-Length: 2\r\n\r\nok")}});
    EXPECT_EQ(client.Get(Url(peer)), "ok");
    ASSERT_NE(client.CookieManager(), nullptr);
    EXPECT_EQ(client.CookieManager()->CookieStore().Count(), 50u);
    EXPECT_EQ(client.Get(Url(peer, "/again")), "ok");
    const std::string second = peer.Received(0).substr(peer.Received(0).find(kHeadEnd) + 4);
    EXPECT_NE(second.find("Cookie: c9999=v; c9998=v; "), std::string::npos);
    EXPECT_NE(second.find("; c9950=v\r\n"), std::string::npos);
    EXPECT_EQ(second.find("c9949=v"), std::string::npos);
}

} // namespace
