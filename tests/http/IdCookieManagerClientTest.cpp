// A client and a cookie manager that it did not make: the manager tells the clients that use
// it when it goes, and a client that moved on is no longer told.

#include "http/IdCookieManager.h"
#include "http/IdHTTP.h"
#include "tests/support/ScriptedPeer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using Peer = TScriptedPeer;

const std::string kSetsCookie =
    "HTTP/1.1 200 OK\r\nSet-Cookie: sid=7; path=/\r\nContent-Length: 3\r\n\r\none";
const std::string kOk = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";

TEST(AssignedCookieManager, DestroyedLeavesTheClientWithNoneAndItsOwnOnTheNextResponse) {
    Peer peer({{Peer::ExpectUntil("\r\n\r\n"), Peer::Send(kSetsCookie),
                Peer::ExpectUntil("\r\n\r\n"), Peer::Send(kOk)}});
    const std::string url = "http://127.0.0.1:" + std::to_string(peer.Port());
    TIdHTTP client;
    client.ReadTimeout = 3000;
    auto manager = std::make_unique<TIdCookieManager>();
    manager->TakeSetCookie("old=1; path=/", "127.0.0.1");
    client.SetCookieManager(manager.get());
    EXPECT_FALSE(client.OwnsCookieManager());

    manager.reset();
    ASSERT_EQ(client.CookieManager(), nullptr);

    EXPECT_EQ(client.Get(url + "/1"), "one");
    EXPECT_TRUE(client.OwnsCookieManager());
    EXPECT_EQ(client.Get(url + "/2"), "ok");
    const std::string received = peer.Received(0);
    EXPECT_EQ(received.find("old=1"), std::string::npos);
    EXPECT_NE(received.find("GET /2 HTTP/1.1\r\n"), std::string::npos);
    EXPECT_NE(received.find("Cookie: sid=7\r\n"), std::string::npos);
}

TEST(AssignedCookieManager, EveryClientThatUsesItIsToldAndOnesThatMovedOnAreNot) {
    TIdHTTP first;
    TIdHTTP second;
    TIdHTTP movedOn;
    auto shared = std::make_unique<TIdCookieManager>();
    TIdCookieManager other;
    first.SetCookieManager(shared.get());
    second.SetCookieManager(shared.get());
    movedOn.SetCookieManager(shared.get());
    movedOn.SetCookieManager(&other);
    {
        TIdHTTP gone;
        gone.SetCookieManager(shared.get());
    }

    shared.reset();
    EXPECT_EQ(first.CookieManager(), nullptr);
    EXPECT_EQ(second.CookieManager(), nullptr);
    EXPECT_EQ(movedOn.CookieManager(), &other);
}

TEST(AssignedCookieManager, AClientsOwnManagerLentToAnotherClientIsReportedGone) {
    Peer peer({{Peer::ExpectUntil("\r\n\r\n"), Peer::Send(kSetsCookie)}});
    TIdHTTP borrower;
    {
        TIdHTTP owner;
        owner.ReadTimeout = 3000;
        owner.Get("http://127.0.0.1:" + std::to_string(peer.Port()) + "/");
        ASSERT_TRUE(owner.OwnsCookieManager());
        borrower.SetCookieManager(owner.CookieManager());
        EXPECT_EQ(borrower.CookieManager(), owner.CookieManager());
    }
    EXPECT_EQ(borrower.CookieManager(), nullptr);
}

} // namespace
