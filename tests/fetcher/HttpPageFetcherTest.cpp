// The page fetcher against the scripted loopback peer: what the program's client sends.

#include "fetcher/HttpPageFetcher.h"
#include "net/IdException.h"
#include "tests/support/ScriptedPeer.h"

#include <gtest/gtest.h>

namespace {

using Peer = TScriptedPeer;

// The request head of the program's client for a target on the peer.
std::string ProgramHead(const std::string& target, int port, const std::string& cookie = "") {
    return "GET " + target +
           " HTTP/1.1\r\n"
           "Content-Type: text/html\r\n"
           "Cache-control: no-cache\r\n"
           "Host: 127.0.0.1:" +
           std::to_string(port) +
           "\r\n"
           "Accept: text/html, */*\r\n"
           "User-Agent: Mozilla/3.0 (compatible; Quorvel HTTP)\r\n" +
           (cookie.empty() ? "" : "Cookie: " + cookie + "\r\n") + "\r\n";
}

TEST(HttpPageFetcherTest, SendsTheProgramsHeadAndCarriesConnectionCookiesAndTarget) {
    Peer peer({{Peer::ExpectUntil("\r\n\r\n"),
                Peer::Send("HTTP/1.1 200 OK\r\nSet-Cookie: board=s1; path=/\r\n"
                           "Content-Length: 5\r\n\r\npage1"),
                Peer::ExpectUntil("\r\n\r\n"),
                Peer::Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                           "3\r\npag\r\n2\r\ne2\r\n0\r\n\r\n")}});
    THttpPageFetcher fetcher;
    std::string site = "http://127.0.0.1:" + std::to_string(peer.Port());

    fetcher.SetCacheControl("no-cache");
    EXPECT_EQ(fetcher.Get(site + "/jobsearch/search_result.php?keyword=%C7%E0"), "page1");
    fetcher.SetCacheControl("no-cache");
    // A next-page link without scheme and host, as the board writes it.
    EXPECT_EQ(fetcher.Get("search_result.php?keyword=%C7%E0&curr_page=2"), "page2");

    ASSERT_TRUE(peer.WaitForScript(0, 2000));
    EXPECT_EQ(peer.AcceptedCount(), 1);
    EXPECT_EQ(peer.Received(0),
              ProgramHead("/jobsearch/search_result.php?keyword=%C7%E0", peer.Port()) +
                  ProgramHead("/jobsearch/search_result.php?keyword=%C7%E0&curr_page=2",
                              peer.Port(), "board=s1"));
    EXPECT_TRUE(peer.Mismatches().empty());
}

TEST(HttpPageFetcherTest, PassesTheClientsExceptionsOn) {
    Peer peer({{Peer::ExpectUntil("\r\n\r\n"), Peer::Close()}});
    THttpPageFetcher fetcher;
    fetcher.SetCacheControl("no-cache");
    try {
        fetcher.Get("http://127.0.0.1:" + std::to_string(peer.Port()) + "/");
        FAIL() << "a close before the status line must raise";
    } catch (const EIdException& error) {
        EXPECT_STREQ(error.ClassName(), "EIdConnClosedGracefully");
    }
}

} // namespace
