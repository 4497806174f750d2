// quorvel-cli get, run as a process against loopback servers started here.

#include "ChildProcess.h"
#include "DemoBoard.h"
#include "LoopbackPort.h"
#include "tests/support/TempFolder.h"

#include "tests/support/ScriptedPeer.h"
#include "watch/GbkText.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::string SearchQuery =
    "search_result.php?fromJs=1&jobarea=0100&funtype=0000&industrytype=00&issuedate=1"
    "&providesalary=99&keyword=%C7%E0%BA%CC&keywordtype=0&lang=c&stype=2&workyear=99"
    "&cotype=99&degreefrom=99&jobterm=01&fromType=1";

TProcessResult Get(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {QUORVEL_CLI, "get"});
    return RunProcess(arguments);
}

TEST(GetCommandTest, CarriesTargetAndCookiesFromOneUrlToTheNext) {
    TDemoBoard& board = SharedDemoBoard();
    TTempFolder out;
    std::string first = "http://" + board.HostAndPort() + "/jobsearch/" + SearchQuery;
    // The second URL has no host: it is resolved against the first, like a next-page link.
    TProcessResult result =
        Get({"--out", out.Path().string(), first, SearchQuery + "&curr_page=2"});
    EXPECT_EQ(result.ExitStatus, 0) << result.Err;
    std::string page1 = ReadFile(out.File("1.body")), page2 = ReadFile(out.File("2.body"));
    EXPECT_EQ(result.Out, "1 OK " + std::to_string(page1.size()) + "\n2 OK " +
                              std::to_string(page2.size()) + "\n");
    EXPECT_NE(page1.find("session: new"), std::string::npos);
    EXPECT_NE(page2.find("session: returning"), std::string::npos);
    // Page 2 comes chunked; none of the framing may reach the body.
    EXPECT_EQ(page2.rfind("</html>"), page2.size() - 7);
    EXPECT_NE(page2.find(watch::Gbk("第2页")), std::string::npos);
}

TEST(GetCommandTest, ProtocolErrorsReportCodeAndStatusLineAndKeepTheErrorBody) {
    TDemoBoard& board = SharedDemoBoard();
    TTempFolder out;
    std::string site = "http://" + board.HostAndPort();
    TProcessResult result =
        Get({"--out", out.Path().string(), site + "/nothing.html", site + "/announce.html"});
    EXPECT_EQ(result.ExitStatus, 1);
    std::string announcement = ReadFile(out.File("2.body"));
    EXPECT_EQ(result.Out, "1 EIdHTTPProtocolException 404 HTTP/1.1 404 Not Found\n2 OK " +
                              std::to_string(announcement.size()) + "\n");
    EXPECT_EQ(ReadFile(out.File("1.error")), watch::Gbk("<html><body>页面不存在</body></html>"));
    EXPECT_FALSE(std::filesystem::exists(out.File("1.body")));
    EXPECT_FALSE(std::filesystem::exists(out.File("2.error")));
    EXPECT_NE(announcement.find("#Braodcast2#"), std::string::npos);
}

TEST(GetCommandTest, RefusedConnectionPrintsTheSocketErrorOnOneLine) {
    TLoopbackPort refusing = TLoopbackPort::Refusing();
    std::string url = "http://127.0.0.1:" + refusing.Port() + "/";
    // The program's client connects with its read time-out as the limit, on a connect
    // thread that hands the socket error on inside EIdConnectException.
    TProcessResult timed = Get({url});
    EXPECT_EQ(timed.ExitStatus, 1);
    EXPECT_EQ(timed.Out, "1 EIdConnectException Socket Error # 10061\\r\\nConnection refused.\n");
    // Without a limit the connect runs on the calling thread and raises directly.
    TProcessResult untimed = Get({"--read-timeout", "0", url});
    EXPECT_EQ(untimed.ExitStatus, 1);
    EXPECT_EQ(untimed.Out, "1 EIdSocketError Socket Error # 10061\\r\\nConnection refused.\n");
}

TEST(GetCommandTest, ReadTimeoutOptionLimitsTheWaitForASilentServer) {
    TLoopbackPort silent = TLoopbackPort::Silent();
    TProcessResult result = Get({"--read-timeout", "200", "http://127.0.0.1:" + silent.Port()});
    EXPECT_EQ(result.ExitStatus, 1);
    EXPECT_EQ(result.Out, "1 EIdReadTimeout Read Timeout\n");
}

TEST(GetCommandTest, UrlsTheClientRefusesAreReportedByClassAndTheRestStillRun) {
    TDemoBoard& board = SharedDemoBoard();
    // ftp first: a URL without a port inherits any earlier explicit port, and then the
    // protocol no longer matters.  The board speaks plain http only, so https fails in the
    // handshake.
    TProcessResult result =
        Get({"ftp://127.0.0.1/file.html", "https://127.0.0.1:" + std::to_string(board.Port()) + "/",
             "http://127.0.0.1:8x/", "http://" + board.HostAndPort() + "/job/100000.html"});
    EXPECT_EQ(result.ExitStatus, 1);
    EXPECT_EQ(result.Out.substr(0, result.Out.rfind("4 OK ")),
              "1 EIdUnknownProtocol \n"
              "2 EIdTLSHandshakeError TLS handshake failed: wrong version number\n"
              "3 EConvertError '8x' is not a valid integer value\n");
    EXPECT_NE(result.Out.find("4 OK "), std::string::npos);
}

using Peer = TScriptedPeer;

std::string On(const Peer& peer, const std::string& path = "/") {
    return "http://127.0.0.1:" + std::to_string(peer.Port()) + path;
}

TEST(GetCommandTest, StatusLinesAndBodiesArriveByteForByte) {
    using namespace std::string_literals;
    const std::string errorPage = "line 1\r\nline 2\0"s;
    const std::string page = "a\0b\r\n"s;
    Peer peer({{Peer::ExpectUntil("\r\n\r\n"),
                Peer::Send("HTTP/1.1 503 Busy\\Later\r\nContent-Length: " +
                           std::to_string(errorPage.size()) + "\r\n\r\n" + errorPage),
                Peer::ExpectUntil("\r\n\r\n"),
                Peer::Send("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n" + page)}});
    TTempFolder out;
    TProcessResult result = Get({"--out", out.Path().string(), On(peer, "/a"), On(peer, "/b")});
    EXPECT_EQ(result.ExitStatus, 1);
    EXPECT_EQ(result.Out, "1 EIdHTTPProtocolException 503 HTTP/1.1 503 Busy\\\\Later\n2 OK 5\n");
    EXPECT_EQ(ReadFile(out.File("1.error")), errorPage);
    EXPECT_EQ(ReadFile(out.File("2.body")), page);
    EXPECT_EQ(peer.AcceptedCount(), 1);
}

TEST(GetCommandTest, BrokenResponsesAreNamedByTheirClass) {
    Peer longLine({{Peer::ExpectUntil("\r\n\r\n"),
                    Peer::Send("HTTP/1.1 200 OK\r\nX-Long: " + std::string(16384, 'x') +
                               "\r\nContent-Length: 0\r\n\r\n")}});
    Peer closesAtOnce({{Peer::ExpectUntil("\r\n\r\n"), Peer::Close()}});
    Peer cutHead({{Peer::ExpectUntil("\r\n\r\n"),
                   Peer::Send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n"), Peer::Close()}});
    TProcessResult result = Get({On(longLine), On(closesAtOnce), On(cutHead)});
    EXPECT_EQ(result.ExitStatus, 1);
    EXPECT_EQ(result.Out, "1 EIdReadLnMaxLineLengthExceeded Max line length exceeded.\n"
                          "2 EIdConnClosedGracefully Connection Closed Gracefully.\n"
                          "3 EIdException Undefined situation\n");
}

TEST(GetCommandTest, BadCommandLinesEndWithStatusTwo) {
    TTempFolder folder;
    std::string file = folder.File("file");
    WriteFile(file, "");
    for (std::vector<std::string> arguments :
         std::vector<std::vector<std::string>>{{},
                                               {"--read-timeout", "-5", "http://127.0.0.1/"},
                                               {"--read-timeout", "5s", "http://127.0.0.1/"},
                                               {"--read-timeout"},
                                               {"--out", file, "http://127.0.0.1/"},
                                               {"--verbose", "http://127.0.0.1/"}}) {
        TProcessResult result = Get(arguments);
        EXPECT_EQ(result.ExitStatus, 2) << testing::PrintToString(arguments);
        EXPECT_EQ(result.Out, "");
        EXPECT_NE(result.Err, "");
    }
}

} // namespace

namespace {

// The value of the Cookie header of the request head that `received` holds from `from` on,
// its folded lines joined; empty if none.
std::string CookieValue(const std::string& received, std::size_t from) {
    std::size_t start = received.find("\r\nCookie:", from);
    if (start == std::string::npos)
        return "";
    std::string value;
    for (std::size_t at = start + 9; at < received.size(); ++at) {
        if (received.compare(at, 2, "\r\n") == 0 && received[at + 2] != ' ' &&
            received[at + 2] != '\t')
            break;
        if (received[at] != '\r' && received[at] != '\n')
            value += received[at];
    }
    return value.substr(value.find_first_not_of(" \t"));
}

// A peer that sets fifty cookies of 4000 bytes: each later request carries at most 64 KiB
// of them, the first ones of the header, and the same ones again the time after.
TEST(GetCommandTest, OneRequestCarriesAtMost64KiBOfCookies) {
    std::string setCookies;
    for (int n = 0; n < 50; ++n)
        setCookies += "Set-Cookie: c" + std::to_string(n) + "=" + std::string(3990, 'v') +
                      "; path=/\r\n";
    using Peer = TScriptedPeer;
    const std::string empty = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n";
    Peer peer({{Peer::ExpectUntil("\r\n\r\n"),
                Peer::Send("HTTP/1.1 200 OK\r\n" + setCookies + "Content-Length: 0\r\n\r\n"),
                Peer::ExpectUntil("\r\n\r\n"), Peer::Send(empty), Peer::ExpectUntil("\r\n\r\n"),
                Peer::Send(empty)}});
    const std::string url = "http://127.0.0.1:" + std::to_string(peer.Port()) + "/";
    TProcessResult result = Get({url, url, url});
    EXPECT_EQ(result.Out, "1 OK 0\n2 OK 0\n3 OK 0\n");
    const std::string received = peer.Received(0);
    std::size_t second = received.find("GET ", 1);
    ASSERT_NE(second, std::string::npos);
    const std::string cookies = CookieValue(received, second);
    EXPECT_LE(cookies.size(), 64u * 1024);
    // The newest come first; sixteen pairs of 4000 bytes fit.
    EXPECT_EQ(cookies.find("c49="), 0u);
    EXPECT_EQ(std::count(cookies.begin(), cookies.end(), ';'), 15);
    EXPECT_EQ(CookieValue(received, received.find("GET ", second + 1)), cookies);
}

} // namespace
