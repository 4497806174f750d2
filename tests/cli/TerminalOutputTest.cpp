// What quorvel-cli prints from the network reaches the terminal with every control byte but
// TAB made visible: a peer cannot set the window title, clear the screen or split a line.

#include "ChildProcess.h"
#include "tests/support/TempFolder.h"

#include "tests/support/ScriptedPeer.h"
#include "watch/GbkText.h"

#include <gtest/gtest.h>

namespace {

using Peer = TScriptedPeer;
using watch::Gbk;
using namespace std::string_literals;

const std::string kHeadEnd = "\r\n\r\n";

std::string Response(const std::string& body) {
    return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// A result page of the board with one posting.
std::string ResultPage(const std::string& title, const std::string& link) {
    return "<html><div class=\"resultListDiv\"><table><tr><th>head</th></tr>"
           "<tr><td class=\"td1\"><a href=\"" +
           link + "\" target=\"_blank\" >" + title +
           "</a></td><td class=\"td2\">company</td></tr></table></div>"
           "<div class=\"bt_center clearboth\"></div></html>";
}

TEST(TerminalOutputTest, StatusLinesOfPeersArePrintedWithTheirControlBytesEscaped) {
    Peer peer(
        {{Peer::ExpectUntil(kHeadEnd), Peer::Send("HTTP/1.1 404 \x1b]0;owned\x07\tgone\x7f\x01"s +
                                                  '\0' + "end\r\nContent-Length: 0\r\n\r\n")}});
    TProcessResult result =
        RunProcess({QUORVEL_CLI, "get", "http://127.0.0.1:" + std::to_string(peer.Port()) + "/"});
    EXPECT_EQ(result.ExitStatus, 1);
    EXPECT_EQ(result.Out,
              "1 EIdHTTPProtocolException 404 HTTP/1.1 404 \\x1b]0;owned\\x07\tgone\\x7f\\x01"
              "\\x00end\n");
}

TEST(TerminalOutputTest, ResultLinesAreEscapedInUtf8AndRawOutputAlike) {
    const std::string title = Gbk("职位") + "\x1b[2J\x07\tJava\\\n";
    const std::string link = "http://board.invalid/job/\x1b]0;x\x07.html";
    Peer peer({{Peer::ExpectUntil(kHeadEnd), Peer::Send(Response(ResultPage(title, link)))},
               {Peer::ExpectUntil(kHeadEnd), Peer::Send(Response(ResultPage(title, link)))}});
    TTempFolder folder;
    WriteFile(folder.File("program.ini"), Gbk("[pair]\ncom=Larkspur\nposition=java\n"));
    std::vector<std::string> search = {QUORVEL_CLI, "search",
                                       "--ini",     folder.File("program.ini"),
                                       "--board",   "127.0.0.1:" + std::to_string(peer.Port())};
    const std::string escapedLink = "http://board.invalid/job/\\x1b]0;x\\x07.html";

    TProcessResult utf8 = RunProcess(search);
    EXPECT_EQ(utf8.ExitStatus, 0) << utf8.Err;
    EXPECT_EQ(utf8.Out,
              "Larkspur\n职位\\x1b[2J\\x07\tJava\\\\\\n\n" + escapedLink + "\n===== =====\n");

    search.push_back("--raw");
    TProcessResult raw = RunProcess(search);
    EXPECT_EQ(raw.ExitStatus, 0) << raw.Err;
    EXPECT_EQ(raw.Out, "Larkspur\n" + Gbk("职位") + "\\x1b[2J\\x07\tJava\\\\\\n\n" + escapedLink +
                           "\n===== =====\n");
}

} // namespace
