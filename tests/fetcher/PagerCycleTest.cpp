// A board whose pager links in a cycle, served over the loopback through the program's client:
// the walk fetches each page once and stops, silently, at the link back.

#include "fetcher/HttpPageFetcher.h"
#include "http/IdHTTP.h"
#include "tests/support/ScriptedPeer.h"
#include "watch/MemoryWatchPanel.h"
#include "watch/ResultScraper.h"

#include <gtest/gtest.h>

namespace {

using Peer = TScriptedPeer;

// A result page with one row, whose pager's next-page link is `next`.
std::string PageLinkingTo(const std::string& next, const std::string& title) {
    return "<html><div class=\"navBold\">1 <img src=\"pageron.gif\"> <a href=\"" + next +
           "\">next</a></div><div class=\"resultListDiv\"><table><tr><th>t</th></tr>"
           "<tr><td class=\"td1\"><a href=\"http://board/job/" +
           title + ".html\" target=\"_blank\" >" + title +
           "</a></td><td class=\"td2\">Acme</td></tr></table></div>"
           "<div class=\"bt_center clearboth\">1</div></html>";
}

std::string Response(const std::string& page) {
    return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(page.size()) + "\r\n\r\n" + page;
}

TEST(PagerCycleTest, EachPageOfACycleIsFetchedOnce) {
    Peer peer({{Peer::ExpectUntil("\r\n\r\n"), Peer::Send(Response(PageLinkingTo("/p2", "one"))),
                Peer::ExpectUntil("\r\n\r\n"), Peer::Send(Response(PageLinkingTo("/p1", "two")))}});
    THttpPageFetcher fetcher;
    watch::TMemoryWatchPanel panel;
    watch::TResultScraper scraper(fetcher, panel);
    scraper.CurrentCompany = "Acme";
    scraper.CurrentPosition = "*";
    // Every link is relative to the peer, as the board writes them, so "/p1" names page 1 again.
    fetcher.httpFindJob().SetHost("127.0.0.1");
    fetcher.httpFindJob().SetPort(peer.Port());
    scraper.ScrapeResults("/p1", panel.memoResult(), panel.memoFilter());

    EXPECT_EQ(
        panel.memoResult().Lines(),
        (std::vector<std::string>{"Acme", "one", "http://board/job/one.html", "===== =====", "Acme",
                                  "two", "http://board/job/two.html", "===== ====="}));
    EXPECT_TRUE(panel.Messages.empty());
    EXPECT_EQ(peer.AcceptedCount(), 1);
    std::string received = peer.Received(0);
    EXPECT_NE(received.find("GET /p1 HTTP/1.1"), std::string::npos);
    EXPECT_NE(received.find("GET /p2 HTTP/1.1"), std::string::npos);
    EXPECT_EQ(received.find("GET /p1 HTTP/1.1"), received.rfind("GET /p1 HTTP/1.1"));
}

} // namespace
