// A stop (SIGINT, SIGTERM, SIGHUP) that comes while a peer sends a body one byte a second,
// in the clear or over TLS:
// the tool gives the fetch up, keeps what was finished and ends with 128 + the signal.

#include "ChildProcess.h"
#include "LoopbackPort.h"
#include "tests/support/ScriptedPeer.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestTrustStore.h"
#include "tests/support/TlsServer.h"

#include "watch/GbkText.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>

#include <atomic>
#include <functional>
#include <thread>

namespace {

using Peer = TScriptedPeer;

const std::string kHeadEnd = "\r\n\r\n";

struct TStop {
    int Signal;
    int Status;
};

const TStop kStops[] = {{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}};

// A response head and then one byte a second for a minute.
Peer::TScript Trickle() {
    Peer::TScript script = {Peer::ExpectUntil(kHeadEnd),
                            Peer::Send("HTTP/1.1 200 OK\r\nContent-Length: 60\r\n\r\n")};
    for (int i = 0; i < 60; ++i) {
        script.push_back(Peer::Send("x"));
        script.push_back(Peer::Pause(1000));
    }
    return script;
}

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// Whether the peer has had the requests the stop waits for.
using TAsked = std::function<bool()>;

TAsked Requests(const Peer& peer, size_t requests) {
    return [&peer, requests] { return Count(peer.Received(0), "GET ") >= requests; };
}

// Runs the tool and sends `signal` once the peer has been asked and a second byte of the
// trickle is out. A tool that waits for the trickle runs past the limit.
TProcessResult RunAndStop(const std::vector<std::string>& argv, const TAsked& asked, int signal) {
    bool sent = false;
    return RunProcess(argv, std::chrono::seconds(8), {}, [&](pid_t child, const TProcessResult&) {
        if (sent)
            return;
        for (int i = 0; i < 500 && !asked(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        ::kill(child, signal);
        sent = true;
    });
}

TEST(StopSignalTest, AStopDuringATricklingSearchEndsTheWatchWithNothingOfThatSearch) {
    for (const TStop& stop : kStops) {
        SCOPED_TRACE("signal " + std::to_string(stop.Signal));
        Peer board({Trickle()});
        TTempFolder folder;
        WriteFile(folder.File("program.ini"),
                  watch::Gbk("[pair]\ncom=Larkspur\nposition=java\n[SearchTime]\nvalue=半小时\n"));
        TProcessResult result =
            RunAndStop({QUORVEL_CLI, "watch", "--ini", folder.File("program.ini"), "--board",
                        "127.0.0.1:" + std::to_string(board.Port())},
                       Requests(board, 1), stop.Signal);
        EXPECT_EQ(result.ExitStatus, stop.Status) << result.Err;
        EXPECT_EQ(result.Out, "");
        // The stamp line only: the given-up fetch is no network failure to tell.
        EXPECT_EQ(OutputLines(result.Err).size(), 1u) << result.Err;
    }
}

// Runs the watch and sends `signal` a moment after its stamp line, while it waits on a peer
// that never answers; only the stop ends it in time.
TProcessResult RunAndStopOnceStamped(const std::vector<std::string>& argv, int signal) {
    bool sent = false;
    return RunProcess(argv, std::chrono::seconds(8), {},
                      [&](pid_t child, const TProcessResult& sofar) {
                          if (sent || sofar.Err.empty())
                              return;
                          std::this_thread::sleep_for(std::chrono::milliseconds(1500));
                          ::kill(child, signal);
                          sent = true;
                      });
}

TEST(StopSignalTest, AStopDuringATricklingBodyKeepsTheFinishedUrlsAndRemovesTheBody) {
    for (const TStop& stop : kStops) {
        SCOPED_TRACE("signal " + std::to_string(stop.Signal));
        Peer::TScript script = {Peer::ExpectUntil(kHeadEnd),
                                Peer::Send("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nwhole")};
        for (const Peer::TStep& step : Trickle())
            script.push_back(step);
        Peer peer({script});
        TTempFolder out;
        const std::string url = "http://127.0.0.1:" + std::to_string(peer.Port());
        TProcessResult result = RunAndStop({QUORVEL_CLI, "get", "--out", out.Path().string(),
                                            url + "/whole", url + "/trickle", url + "/never"},
                                           Requests(peer, 2), stop.Signal);
        EXPECT_EQ(result.ExitStatus, stop.Status) << result.Err;
        EXPECT_EQ(result.Out, "1 OK 5\n");
        EXPECT_EQ(out.Entries(), std::vector<std::string>{"1.body"});
        EXPECT_EQ(Count(peer.Received(0), "GET "), 2u);
    }
}

// Over TLS: the response head, then one byte a second until the client goes.
void TrickleOverTls(TTlsServer::TPeer& peer, std::atomic<bool>& asked) {
    if (peer.ReadHead().empty())
        return;
    asked = true;
    peer.Send("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 60\r\n\r\n");
    pollfd client{peer.Socket(), POLLIN | POLLRDHUP, 0};
    for (int i = 0; i < 60 && ::poll(&client, 1, 1000) == 0; ++i)
        peer.Send("x");
}

TEST(StopSignalTest, AStopDuringATricklingHttpsSearchEndsTheWatchWithNothingOfThatSearch) {
    for (const TStop& stop : kStops) {
        SCOPED_TRACE("signal " + std::to_string(stop.Signal));
        std::atomic<bool> asked{false};
        TTlsServer board(SharedTestTrustStore().Issue("IP:127.0.0.1"),
                         [&](TTlsServer::TPeer& peer) { TrickleOverTls(peer, asked); });
        TTempFolder folder;
        WriteFile(folder.File("program.ini"),
                  watch::Gbk("[pair]\ncom=Larkspur\nposition=java\n[SearchTime]\nvalue=半小时\n"));
        TProcessResult result = RunAndStop(
            {QUORVEL_CLI, "watch", "--ini", folder.File("program.ini"), "--board",
             "greenhouse@https://127.0.0.1:" + std::to_string(board.Port())},
            [&] { return asked.load(); }, stop.Signal);
        EXPECT_EQ(result.ExitStatus, stop.Status) << result.Err;
        EXPECT_EQ(result.Out, "");
        EXPECT_EQ(OutputLines(result.Err).size(), 1u) << result.Err;
        EXPECT_TRUE(asked);
        EXPECT_EQ(board.Handshakes(), 1);
    }
}

// A board that never answers, at the step where the tool waits for it.
struct TUnansweredStep {
    const char* Name;
    TLoopbackPort (*Board)();
    const char* BoardPrefix;
};

const TUnansweredStep kUnansweredSteps[] = {
    {"connect", TLoopbackPort::Unanswering, "127.0.0.1:"},
    {"TLS handshake", TLoopbackPort::Silent, "ashby@https://127.0.0.1:"},
};

TEST(StopSignalTest, AStopWhileTheBoardNeverAnswersEndsTheWatch) {
    TTempFolder folder;
    WriteFile(folder.File("program.ini"),
              watch::Gbk("[pair]\ncom=Larkspur\nposition=java\n[SearchTime]\nvalue=半小时\n"));
    for (const TUnansweredStep& step : kUnansweredSteps) {
        TLoopbackPort board = step.Board();
        for (const TStop& stop : kStops) {
            SCOPED_TRACE(std::string(step.Name) + ", signal " + std::to_string(stop.Signal));
            TProcessResult result =
                RunAndStopOnceStamped({QUORVEL_CLI, "watch", "--ini", folder.File("program.ini"),
                                       "--board", step.BoardPrefix + board.Port()},
                                      stop.Signal);
            EXPECT_EQ(result.ExitStatus, stop.Status) << result.Err;
            EXPECT_EQ(result.Out, "");
            EXPECT_EQ(OutputLines(result.Err).size(), 1u) << result.Err;
        }
    }
}

} // namespace
