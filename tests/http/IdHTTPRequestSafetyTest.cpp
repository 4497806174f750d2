// What a page or a peer must not be able to make the client write: line breaks and NUL bytes
// in the request target or in a header value, and the rest of a half-read body taken for the
// next response.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "http/EIdUnsafeRequestText.h"
#include "http/IdHTTP.h"
#include "net/IdException.h"
#include "tests/support/ScriptedPeer.h"

namespace {

using Peer = TScriptedPeer;

const std::string kHeadEnd = "\r\n\r\n";
const std::string kOk = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";

class RequestSafety : public ::testing::Test {
protected:
    RequestSafety() { client_.ReadTimeout = 3000; }

    std::string Url(const Peer& peer, const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(peer.Port()) + path;
    }

    // The class and message of what Get(url) raised, or "" when it returned.
    std::string Failure(const std::string& url) {
        try {
            client_.Get(url);
        } catch (const EIdException& failure) {
            return std::string(failure.ClassName()) + ": " + failure.what();
        }
        return "";
    }

    TIdHTTP client_;
};

TEST_F(RequestSafety, ALinkWithALineBreakOrNulIsRefusedBeforeAnythingIsSent) {
    Peer peer({{Peer::ExpectUntil(kHeadEnd), Peer::Send(kOk), Peer::ExpectUntil(kHeadEnd),
                Peer::Send(kOk)}});
    EXPECT_EQ(client_.Get(Url(peer, "/p/1")), "ok");
    const std::string firstRequest = peer.Received(0);
    for (const std::string& link :
         {std::string("/p/2\r\nInjected: yes"), std::string("/p/2\rInjected: yes"),
          std::string("/p/2\nInjected: yes"), std::string("/p/2\0Injected", 13),
          "http://127.0.0.1:" + std::to_string(peer.Port()) + "/p/2?q=1\r\n\r\nGET /x"}) {
        SCOPED_TRACE(link);
        EXPECT_EQ(Failure(link), "EIdUnsafeRequestText: Request URL contains a CR, LF or NUL byte");
    }
    EXPECT_EQ(peer.Received(0), firstRequest);
    // Nothing went out, so the connection is as good as before.
    EXPECT_EQ(client_.Get("/p/3"), "ok");
    EXPECT_EQ(peer.AcceptedCount(), 1);
}

TEST_F(RequestSafety, ARedirectToATargetWithABareCrIsRefused) {
    Peer peer({{Peer::ExpectUntil(kHeadEnd),
                Peer::Send("HTTP/1.1 302 Found\r\nLocation: /next\rInjected: yes\r\n"
                           "Content-Length: 0\r\n\r\n"),
                Peer::Pause(2000)}});
    client_.HandleRedirects = true;
    EXPECT_EQ(Failure(Url(peer, "/start")),
              "EIdUnsafeRequestText: Request URL contains a CR, LF or NUL byte");
    EXPECT_EQ(peer.Received(0).find("Injected"), std::string::npos);
}

TEST_F(RequestSafety, AHeaderValueWithALineBreakOrNulIsRefusedAndNothingIsWritten) {
    struct TCase {
        const char* Name;
        std::function<void(TIdHTTPRequest&)> Spoil;
    };
    const TCase cases[] = {
        {"Referer with CR LF",
         [](TIdHTTPRequest& request) { request.Referer = "http://a/\r\nInjected: yes"; }},
        {"cache control with a bare LF",
         [](TIdHTTPRequest& request) { request.CacheControl = "no-cache\nInjected: yes"; }},
        {"user agent with NUL",
         [](TIdHTTPRequest& request) { request.UserAgent = std::string("agent\0x", 7); }},
        {"custom line with CR LF",
         [](TIdHTTPRequest& request) { request.CustomHeaders.Add("X-A: 1\r\nInjected: yes"); }},
        {"custom line with a bare CR",
         [](TIdHTTPRequest& request) { request.CustomHeaders.Add("X-A: 1\rInjected: yes"); }},
    };
    for (const TCase& spoilt : cases) {
        SCOPED_TRACE(spoilt.Name);
        Peer peer({{Peer::ExpectUntil(kHeadEnd), Peer::Send(kOk)}});
        TIdHTTP client;
        client.ReadTimeout = 3000;
        spoilt.Spoil(client.Request());
        try {
            client.Get(Url(peer, "/"));
            ADD_FAILURE() << "sent";
        } catch (const EIdUnsafeRequestText& failure) {
            EXPECT_STREQ(failure.what(), "Request header contains a CR, LF or NUL byte");
        }
        EXPECT_FALSE(client.IsConnected());
        EXPECT_EQ(peer.Received(0), "");
    }
}

TEST_F(RequestSafety, ALongValueStillGoesOutWrappedOnContinuationLines) {
    Peer peer({{Peer::ExpectUntil(kHeadEnd), Peer::Send(kOk)}});
    std::string many;
    for (int n = 0; n < 40; ++n) {
        many += "v" + std::to_string(n) + "=" + std::to_string(n) + ", ";
    }
    client_.Request().CustomHeaders.SetHeader("X-Many", many);
    EXPECT_EQ(client_.Get(Url(peer, "/")), "ok");
    EXPECT_NE(peer.Received(0).find("X-Many: v0=0, "), std::string::npos);
    EXPECT_NE(peer.Received(0).find(",\r\n v"), std::string::npos);
}

// A body that cannot be drained to its end leaves the rest of it in the connection; read as
// the next response, that rest would be believed. The first connection answers `head` with a
// chunk size too long to read and a forged response behind it, the second one genuinely.
std::vector<Peer::TScript> UndrainableThenGenuine(const std::string& head) {
    const std::string forged = "HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\nforged";
    return {{Peer::ExpectUntil(kHeadEnd),
             Peer::Send(head + "Transfer-Encoding: chunked\r\n\r\n" + std::string(20000, '1') +
                        "\r\n" + forged),
             Peer::Pause(2000)},
            {Peer::ExpectUntil(kHeadEnd),
             Peer::Send("HTTP/1.1 200 OK\r\nContent-Length: 7\r\n\r\ngenuine")}};
}

TEST_F(RequestSafety, ARedirectWhoseDrainFailsFollowsOnANewConnection) {
    Peer peer(UndrainableThenGenuine("HTTP/1.1 302 Found\r\nLocation: /there\r\n"));
    client_.HandleRedirects = true;
    EXPECT_EQ(client_.Get(Url(peer, "/here")), "genuine");
    EXPECT_EQ(peer.AcceptedCount(), 2);
    EXPECT_NE(peer.Received(1).find("GET /there HTTP/1.1"), std::string::npos);
}

TEST_F(RequestSafety, AnAuthenticationRetryWhoseDrainFailsGoesOnANewConnection) {
    Peer peer(UndrainableThenGenuine(
        "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"r\"\r\n"));
    client_.HTTPOptions = {hoInProcessAuth};
    client_.OnAuthorization = [](TIdCustomHTTP&, TIdAuthentication& scheme, bool& handled) {
        scheme.Username = "user";
        scheme.Password = "pass";
        handled = true;
    };
    EXPECT_EQ(client_.Get(Url(peer, "/")), "genuine");
    EXPECT_EQ(peer.AcceptedCount(), 2);
    EXPECT_NE(peer.Received(1).find("Authorization: Basic dXNlcjpwYXNz\r\n"), std::string::npos);
}

} // namespace
