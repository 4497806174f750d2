// quorvel-cli get --out writes each body straight into its file: what a failed URL left
// there is removed, and a file that cannot be written costs neither the transfer nor the
// URLs after it.

#include "ChildProcess.h"
#include "tests/support/TempFolder.h"

#include "tests/support/ScriptedPeer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <signal.h>
#include <sys/resource.h>

namespace {

using Peer = TScriptedPeer;

const std::string kHeadEnd = "\r\n\r\n";

std::string On(const Peer& peer, const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(peer.Port()) + path;
}

TProcessResult Get(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {QUORVEL_CLI, "get"});
    return RunProcess(arguments);
}

TEST(GetBodyFileTest, ABodyCutShortLeavesNoFileAndTheNextUrlStillArrives) {
    Peer peer(
        {{Peer::ExpectUntil(kHeadEnd),
          Peer::Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789"), Peer::Close()},
         {Peer::ExpectUntil(kHeadEnd),
          Peer::Send("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nwhole")}});
    TTempFolder out;
    TProcessResult result =
        Get({"--out", out.Path().string(), On(peer, "/cut"), On(peer, "/whole")});
    EXPECT_EQ(result.ExitStatus, 1);
    EXPECT_EQ(result.Out, "1 EIdConnClosedGracefully Connection Closed Gracefully.\n2 OK 5\n");
    EXPECT_FALSE(std::filesystem::exists(out.File("1.body")));
    EXPECT_EQ(ReadFile(out.File("2.body")), "whole");
}

TEST(GetBodyFileTest, AnUnwritableBodyFileIsReportedAfterTheTransfer) {
    Peer peer({{Peer::ExpectUntil(kHeadEnd),
                Peer::Send("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nlost"),
                Peer::ExpectUntil(kHeadEnd),
                Peer::Send("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nkept")}});
    TTempFolder out;
    std::filesystem::create_directory(out.File("1.body"));
    TProcessResult result = Get({"--out", out.Path().string(), On(peer, "/a"), On(peer, "/b")});
    EXPECT_EQ(result.ExitStatus, 1);
    EXPECT_EQ(result.Out, "1 EUnwritableFile cannot write " + out.File("1.body") +
                              ": Is a directory\n2 OK 4\n");
    EXPECT_EQ(result.Err, "");
    EXPECT_EQ(ReadFile(out.File("2.body")), "kept");
    // Both bodies came over the one connection: the failed file did not cut the transfer.
    EXPECT_EQ(peer.AcceptedCount(), 1);
}

// A file-size limit stands in for a full disk: past it a write fails (File too large), and
// with SIGXFSZ ignored the tool lives on to tell.
void LimitFileSizeTo64KiB() {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{65536, 65536};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

TEST(GetBodyFileTest, ABodyOrErrorPageThatDoesNotFitIsRemovedAndReportedForItsUrl) {
    const std::string body(1 << 20, 'b');
    const std::string errorPage(100000, 'e');
    Peer peer({{Peer::ExpectUntil(kHeadEnd),
                Peer::Send("HTTP/1.1 200 OK\r\nContent-Length: 1048576\r\n\r\n" + body),
                Peer::ExpectUntil(kHeadEnd),
                Peer::Send("HTTP/1.1 404 Not Found\r\nContent-Length: 100000\r\n\r\n" + errorPage),
                Peer::ExpectUntil(kHeadEnd),
                Peer::Send("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nsmall")}});
    TTempFolder out;
    TProcessResult result = RunProcess({QUORVEL_CLI, "get", "--out", out.Path().string(),
                                        On(peer, "/big"), On(peer, "/missing"), On(peer, "/small")},
                                       std::chrono::seconds(30), LimitFileSizeTo64KiB);
    EXPECT_EQ(result.ExitStatus, 1);
    EXPECT_EQ(result.Out, "1 EUnwritableFile cannot write " + out.File("1.body") +
                              ": File too large\n"
                              "2 EIdHTTPProtocolException 404 HTTP/1.1 404 Not Found\n"
                              "3 OK 5\n");
    EXPECT_EQ(result.Err,
              "quorvel-cli: cannot write " + out.File("2.error") + ": File too large\n");
    EXPECT_EQ(Sorted(out.Entries()), std::vector<std::string>{"3.body"});
    EXPECT_EQ(ReadFile(out.File("3.body")), "small");
}

} // namespace

namespace {

// A link at a body's or error page's name, to a file outside the out folder.
struct TLinkCase {
    const char* Name;
    std::string Response;
    const char* Linked; // the name the link stands at
    std::string Line;
    const char* Kept; // what the name holds afterwards; nullptr: nothing
};

TEST(GetBodyFileTest, ALinkAtTheNameIsReplacedAndItsTargetNeverTouched) {
    const TLinkCase cases[] = {
        {"body", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nfresh", "1.body", "1 OK 5\n",
         "fresh"},
        {"error page", "HTTP/1.1 404 Not Found\r\nContent-Length: 5\r\n\r\nerror", "1.error",
         "1 EIdHTTPProtocolException 404 HTTP/1.1 404 Not Found\n", "error"},
        {"cut body", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npartial", "1.body",
         "1 EIdConnClosedGracefully Connection Closed Gracefully.\n", nullptr},
    };
    for (const TLinkCase& linkCase : cases) {
        SCOPED_TRACE(linkCase.Name);
        Peer peer({{Peer::ExpectUntil(kHeadEnd), Peer::Send(linkCase.Response), Peer::Close()}});
        TTempFolder outside;
        WriteFile(outside.File("precious"), "precious");
        TTempFolder out;
        std::filesystem::create_symlink(outside.File("precious"), out.File(linkCase.Linked));
        TProcessResult result = Get({"--out", out.Path().string(), On(peer, "/a")});
        EXPECT_EQ(result.Out, linkCase.Line);
        EXPECT_EQ(ReadFile(outside.File("precious")), "precious");
        EXPECT_EQ(outside.Entries(), std::vector<std::string>{"precious"});
        if (linkCase.Kept == nullptr) {
            EXPECT_TRUE(out.Entries().empty());
            continue;
        }
        EXPECT_EQ(out.Entries(), std::vector<std::string>{linkCase.Linked});
        EXPECT_FALSE(std::filesystem::is_symlink(out.File(linkCase.Linked)));
        EXPECT_EQ(ReadFile(out.File(linkCase.Linked)), linkCase.Kept);
    }
}

} // namespace
