// The page fetcher over https against TLS servers on loopback, with a test authority.

#include "fetcher/HttpPageFetcher.h"
#include "http/IdHTTP.h"
#include "net/IdException.h"
#include "tests/support/ScriptedPeer.h"
#include "tests/support/TestTrustStore.h"
#include "tests/support/TlsServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

namespace {

using Peer = TScriptedPeer;

std::string Page(const std::string& body, const std::string& headers = "") {
    return "HTTP/1.1 200 OK\r\n" + headers + "Content-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

// Answers every request on a connection with answer(head) until the client closes.
TTlsServer::THandler Answering(std::function<std::string(const std::string&)> answer) {
    return [answer](TTlsServer::TPeer& peer) {
        for (std::string head = peer.ReadHead(); !head.empty(); head = peer.ReadHead()) {
            peer.Send(answer(head));
        }
    };
}

std::string Site(const std::string& host, int port) {
    return "https://" + host + ":" + std::to_string(port);
}

// How a body read until the close ends, by the server's close.
struct TUntilCloseCase {
    const char* Name;
    bool CloseNotify;
    const char* Body;    // what Get returns, when it returns
    const char* Failure; // the class raised instead, when not empty
};

class UntilCloseBodyTest : public ::testing::TestWithParam<TUntilCloseCase> {};

TEST_P(UntilCloseBodyTest, EndsCleanlyOnlyWithCloseNotify) {
    const TUntilCloseCase& c = GetParam();
    TTlsServer server(SharedTestTrustStore().Issue("DNS:localhost"), [&c](TTlsServer::TPeer& peer) {
        peer.ReadHead();
        peer.Send("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nwhole page");
        if (c.CloseNotify) {
            peer.SendCloseNotify();
        }
    });
    THttpPageFetcher fetcher;
    try {
        EXPECT_EQ(fetcher.Get(Site("localhost", server.Port()) + "/"), c.Body);
        EXPECT_STREQ(c.Failure, "");
    } catch (const EIdException& error) {
        EXPECT_STREQ(error.ClassName(), c.Failure) << error.Message();
        EXPECT_EQ(error.Message(), "TLS connection closed without close_notify");
    }
}

INSTANTIATE_TEST_SUITE_P(Closes, UntilCloseBodyTest,
                         ::testing::Values(TUntilCloseCase{"CloseNotify", true, "whole page", ""},
                                           TUntilCloseCase{"BareFin", false, "", "EIdTLSError"}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(HttpsPageFetcherTest, KeepsOneTlsConnectionForManyPagesOfOneServer) {
    TTlsServer server(SharedTestTrustStore().Issue("DNS:localhost"),
                      Answering([](const std::string& head) {
                          return Page(head.substr(4, head.find(' ', 4) - 4));
                      }));
    THttpPageFetcher fetcher;
    const std::string site = Site("localhost", server.Port());
    for (const std::string path : {"/one", "/two", "/three", "/four"}) {
        EXPECT_EQ(fetcher.Get(site + path), path);
    }
    EXPECT_EQ(server.Handshakes(), 1);
}

TEST(HttpsPageFetcherTest, SendsASecureCookieOnlyOverTls) {
    Peer plain({{Peer::ExpectUntil("\r\n\r\n"), Peer::Send(Page("plain"))}});
    std::vector<std::string> tlsHeads;
    TTlsServer server(SharedTestTrustStore().Issue("IP:127.0.0.1"),
                      Answering([&tlsHeads](const std::string& head) {
                          tlsHeads.push_back(head);
                          return Page("secure", "Set-Cookie: token=s1; path=/; Secure\r\n"
                                                "Set-Cookie: lang=zh; path=/\r\n");
                      }));
    THttpPageFetcher fetcher;
    fetcher.Get(Site("127.0.0.1", server.Port()) + "/");
    fetcher.Get("http://127.0.0.1:" + std::to_string(plain.Port()) + "/");
    fetcher.Get(Site("127.0.0.1", server.Port()) + "/");

    ASSERT_TRUE(plain.WaitForScript(0, 2000));
    EXPECT_NE(plain.Received(0).find("Cookie: lang=zh\r\n"), std::string::npos);
    EXPECT_EQ(plain.Received(0).find("token"), std::string::npos);
    ASSERT_EQ(tlsHeads.size(), 2u);
    EXPECT_NE(tlsHeads[1].find("token=s1"), std::string::npos) << tlsHeads[1];
    EXPECT_NE(tlsHeads[1].find("lang=zh"), std::string::npos);
}

// Redirects between http and https, in both directions, through the client.
struct TRedirectCase {
    const char* Name;
    bool StartsSecure;
};

class SchemeRedirectTest : public ::testing::TestWithParam<TRedirectCase> {};

TEST_P(SchemeRedirectTest, FollowsToTheOtherScheme) {
    TTlsServer secure(SharedTestTrustStore().Issue("DNS:localhost"),
                      Answering([](const std::string& head) {
                          return head.starts_with("GET /moved ") ? Page("over tls") : "";
                      }));
    const std::string secureSite = Site("localhost", secure.Port());
    Peer plain(
        {{Peer::ExpectUntil("\r\n\r\n"),
          Peer::Send(GetParam().StartsSecure ? Page("in clear")
                                             : "HTTP/1.1 302 Found\r\nLocation: " + secureSite +
                                                   "/moved\r\nContent-Length: 0\r\n\r\n")}});
    const std::string plainSite = "http://localhost:" + std::to_string(plain.Port());
    TTlsServer origin(SharedTestTrustStore().Issue("DNS:localhost"),
                      Answering([&plainSite](const std::string&) {
                          return "HTTP/1.1 301 Moved\r\nLocation: " + plainSite +
                                 "/moved\r\nContent-Length: 0\r\n\r\n";
                      }));
    THttpPageFetcher fetcher;
    fetcher.httpFindJob().HandleRedirects = true;
    if (GetParam().StartsSecure) {
        EXPECT_EQ(fetcher.Get(Site("localhost", origin.Port()) + "/"), "in clear");
    } else {
        EXPECT_EQ(fetcher.Get(plainSite + "/"), "over tls");
    }
}

INSTANTIATE_TEST_SUITE_P(Directions, SchemeRedirectTest,
                         ::testing::Values(TRedirectCase{"HttpToHttps", false},
                                           TRedirectCase{"HttpsToHttp", true}),
                         [](const auto& info) { return std::string(info.param.Name); });

// A server that closes an idle connection, with or without close_notify: the next page
// goes over a new connection instead of failing.
class IdleCloseTest : public ::testing::TestWithParam<TUntilCloseCase> {};

TEST_P(IdleCloseTest, ReconnectsAfterTheServerClosedAnIdleConnection) {
    const TUntilCloseCase& c = GetParam();
    TTlsServer server(SharedTestTrustStore().Issue("DNS:localhost"), [&c](TTlsServer::TPeer& peer) {
        peer.ReadHead();
        peer.Send(Page("page"));
        if (c.CloseNotify) {
            peer.SendCloseNotify();
        }
    });
    THttpPageFetcher fetcher;
    const std::string site = Site("localhost", server.Port());
    EXPECT_EQ(fetcher.Get(site + "/1"), "page");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(fetcher.Get(site + "/2"), "page");
    EXPECT_EQ(server.Handshakes(), 2);
    // Only a connection that ended cleanly leaves a session to resume.
    EXPECT_EQ(server.Resumed(), c.CloseNotify ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Closes, IdleCloseTest,
                         ::testing::Values(TUntilCloseCase{"CloseNotify", true, "", ""},
                                           TUntilCloseCase{"BareFin", false, "", ""}),
                         [](const auto& info) { return std::string(info.param.Name); });

// The same host and port asked for by the other scheme: the open connection is not reused.
class SchemeSwitchTest : public ::testing::TestWithParam<TRedirectCase> {};

TEST_P(SchemeSwitchTest, OpensANewConnectionForTheOtherScheme) {
    TTlsServer server(SharedTestTrustStore().Issue("DNS:localhost"),
                      Answering([](const std::string&) { return Page("page"); }));
    Peer plain({{Peer::ExpectUntil("\r\n\r\n"), Peer::Send(Page("page"))}});
    const int port = GetParam().StartsSecure ? server.Port() : plain.Port();
    const std::string first = GetParam().StartsSecure ? "https" : "http";
    const std::string second = GetParam().StartsSecure ? "http" : "https";
    THttpPageFetcher fetcher;
    EXPECT_EQ(fetcher.Get(first + "://localhost:" + std::to_string(port) + "/"), "page");
    // The server speaks only the first scheme, so the second page cannot arrive.
    EXPECT_THROW(fetcher.Get(second + "://localhost:" + std::to_string(port) + "/"), EIdException);
    if (GetParam().StartsSecure) {
        EXPECT_EQ(server.Accepted(), 2);
        EXPECT_EQ(server.Handshakes(), 1);
    } else {
        EXPECT_EQ(plain.AcceptedCount(), 2);
    }
}

INSTANTIATE_TEST_SUITE_P(Directions, SchemeSwitchTest,
                         ::testing::Values(TRedirectCase{"HttpThenHttps", false},
                                           TRedirectCase{"HttpsThenHttp", true}),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
