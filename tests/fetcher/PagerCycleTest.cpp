// A board whose pager links in a cycle, served over the loopback through the program's client:
// the walk fetches each page once and stops, silently, at the link back.

#include "fetcher/HttpPageFetcher.h"
#include "http/IdHTTP.h"
#include "tests/support/ScriptedPeer.h"
#include "watch/MemoryWatchPanel.h"
#include "watch/QueryBuilder.h"
#include "watch/ResultScraper.h"
#include "watch/SearchRun.h"

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

// Page 1's path and query on the board, as the search asks for them.
std::string SearchPathAndQuery() {
    return watch::SearchURL("h", "Acme", "", "").substr(std::string("http://h").size());
}

// The search of pair 1 ("Acme", every title) run as the tool and the window run it. Page 1 is
// the search URL, page 2 is "/jobsearch/p2", and page 2 links back to page 1 by `linkBack`; the
// peer closes after the two pages, so fetching page 1 again would fail.
struct TCycleRun {
    explicit TCycleRun(const std::string& linkBack)
        : peer({{Peer::ExpectUntil("\r\n\r\n"),
                 Peer::Send(Response(PageLinkingTo("/jobsearch/p2", "one"))),
                 Peer::ExpectUntil("\r\n\r\n"),
                 Peer::Send(Response(PageLinkingTo(linkBack, "two"))), Peer::Close()}}) {}

    std::vector<std::string> Run(const std::string& boardName) {
        watch::TMemoryWatchPanel panel;
        panel.editComName(1).SetText("Acme");
        panel.editPosition(1).SetText("*");
        THttpPageFetcher fetcher;
        watch::TSearchRun run(panel, fetcher, boardName + ":" + std::to_string(peer.Port()));
        run.btnRightNowClick();
        messages = panel.Messages;
        return panel.memoResult().Lines();
    }

    Peer peer;
    std::vector<std::string> messages;
};

TEST(PagerCycleTest, ALinkBackToTheFirstPageEndsTheWalkHoweverItIsWritten) {
    // The peer's port is known only once it listens, so the absolute links name none: the
    // client keeps the board's port for a link without one.
    const std::string query = SearchPathAndQuery();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"127.0.0.1", query},                                           // relative to the board
        {"127.0.0.1", query.substr(std::string("/jobsearch/").size())}, // to page 2's folder
        {"127.0.0.1", "http://127.0.0.1" + query}, // the board without its port
        {"localhost", "HTTP://LocalHost" + query}, // scheme and name in capitals
    };
    for (const auto& [boardName, linkBack] : cases) {
        TCycleRun cycle(linkBack);
        EXPECT_EQ(cycle.Run(boardName),
                  (std::vector<std::string>{"Acme", "one", "http://board/job/one.html",
                                            "===== =====", "Acme", "two",
                                            "http://board/job/two.html", "===== ====="}))
            << linkBack;
        EXPECT_TRUE(cycle.messages.empty()) << linkBack;
        EXPECT_EQ(cycle.peer.AcceptedCount(), 1) << linkBack;
    }
}

TEST(PagerCycleTest, APathThatDiffersInCaseIsAnotherPage) {
    std::string query = SearchPathAndQuery();
    TCycleRun cycle("/JOBSEARCH" + query.substr(std::string("/jobsearch").size()));
    std::vector<std::string> lines = cycle.Run("127.0.0.1");
    EXPECT_EQ(lines.size(), 8u);
    // The third fetch finds the peer gone: the walk tried page "/JOBSEARCH/..." as a new one.
    EXPECT_EQ(cycle.messages.size(), 1u);
}

// What the fetcher says a link will fetch is what the client then asks the peer for; asking
// leaves the client's target as it was.
TEST(PagerCycleTest, TheAbsoluteURLOfALinkIsTheOneTheClientFetches) {
    const std::vector<std::string> links = {"../c/d.php?y=1", "f.php",
                                            "/g/h?i=/j#frag", "HTTP://127.0.0.1:PORT/k/",
                                            "..x/l.html",     "/a\\m.php"};
    Peer::TScript script;
    for (size_t n = 0; n <= links.size(); ++n) {
        script.push_back(Peer::ExpectUntil("\r\n\r\n"));
        script.push_back(Peer::Send(Response("ok")));
    }
    Peer peer({script});
    std::string hostAndPort = "127.0.0.1:" + std::to_string(peer.Port());
    THttpPageFetcher fetcher;
    fetcher.Get("http://" + hostAndPort + "/a/b/page.php?x=1");

    std::vector<std::string> expected;
    for (std::string link : links) {
        if (size_t at = link.find("PORT"); at != std::string::npos)
            link.replace(at, 4, std::to_string(peer.Port()));
        std::string before = fetcher.httpFindJob().TargetURI().Compose({});
        std::string absolute = fetcher.AbsoluteURL(link);
        EXPECT_EQ(fetcher.httpFindJob().TargetURI().Compose({}), before) << link;
        expected.push_back(absolute.substr(absolute.find("://") + 3));
        EXPECT_EQ(fetcher.Get(link), "ok");
    }

    ASSERT_TRUE(peer.WaitForScript(0, 2000));
    std::string received = peer.Received(0);
    std::vector<std::string> asked;
    for (size_t at = received.find("GET "); at != std::string::npos;
         at = received.find("GET ", at + 1)) {
        std::string target = received.substr(at + 4, received.find(' ', at + 4) - at - 4);
        size_t host = received.find("Host: ", at) + 6;
        asked.push_back(received.substr(host, received.find("\r\n", host) - host) + target);
    }
    ASSERT_EQ(asked.size(), links.size() + 1);
    asked.erase(asked.begin());
    EXPECT_EQ(asked, expected);
    EXPECT_EQ(expected[0], hostAndPort + "/a/c/d.php?y=1");
}

} // namespace
