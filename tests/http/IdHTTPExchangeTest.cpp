// The exchange against the scripted loopback peer: what goes out, how responses are read and
// judged, and when the connection is kept.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "ServerProcess.h"
#include "http/EConvertError.h"
#include "http/EIdIOHandlerPropInvalid.h"
#include "http/EIdUnknownProtocol.h"
#include "http/IdHTTP.h"
#include "tests/support/ScriptedPeer.h"

namespace {

using Peer = TScriptedPeer;
using Script = TScriptedPeer::TScript;

const std::string kHeadEnd = "\r\n\r\n";
const std::string kOk = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";

// One request answered with response.
Script Answer(const std::string& response) {
    return {Peer::ExpectUntil(kHeadEnd), Peer::Send(response)};
}

Script Then(Script script, const Script& more) {
    script.insert(script.end(), more.begin(), more.end());
    return script;
}

std::string WithLength(const std::string& status, const std::string& headers,
                       const std::string& body) {
    return status + "\r\n" + headers + "Content-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

// The exception that call raises, checked to be of type E.
template <typename E> E Failure(const std::function<void()>& call) {
    try {
        call();
    } catch (const E& failure) {
        return failure;
    } catch (const std::exception& other) {
        ADD_FAILURE() << "unexpected exception: " << other.what();
        throw;
    }
    ADD_FAILURE() << "no exception";
    throw std::logic_error("no exception");
}

class Exchange : public ::testing::Test {
protected:
    void SetUp() override {
        client_.AllowCookies = true;
        client_.MaxLineAction = maException;
        client_.Request().ContentType = "text/html";
        client_.Request().Accept = "text/html, */*";
        // A fault must not hang the suite.
        client_.ReadTimeout = 3000;
    }

    Peer& Serve(std::vector<Script> scripts) {
        peer_ = std::make_unique<Peer>(std::move(scripts));
        return *peer_;
    }

    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(peer_->Port()) + path;
    }

    std::string HostValue() const { return "127.0.0.1:" + std::to_string(peer_->Port()); }

    std::unique_ptr<Peer> peer_;
    TIdHTTP client_;
};

TEST_F(Exchange, TheProgramsHeadByteForByteAndCookiesFromTheSecondRequestOn) {
    Serve({Then(Answer(WithLength("HTTP/1.1 200 OK", "Set-Cookie: sid=7; path=/\r\n", "one")),
                Answer(kOk))});
    const std::string query = "/jobsearch/search_result.php?keyword=%B1%B1%BE%A9&jobarea=0100";
    client_.Request().CacheControl = "no-cache";
    EXPECT_EQ(client_.CookieManager(), nullptr);
    EXPECT_EQ(client_.Get(Url(query)), "one");
    EXPECT_NE(client_.CookieManager(), nullptr);
    EXPECT_TRUE(client_.OwnsCookieManager());
    client_.Request().CacheControl = "no-cache";
    EXPECT_EQ(client_.Get(Url("/next.php")), "ok");

    const std::string head =
        "Content-Type: text/html\r\nCache-control: no-cache\r\nHost: " + HostValue() +
        "\r\nAccept: text/html, */*\r\n"
        "User-Agent: Mozilla/3.0 (compatible; Quorvel HTTP)\r\n";
    EXPECT_EQ(peer_->Received(0), "GET " + query + " HTTP/1.1\r\n" + head + "\r\n" +
                                      "GET /next.php HTTP/1.1\r\n" + head +
                                      "Cookie: sid=7\r\n\r\n");
    EXPECT_EQ(peer_->AcceptedCount(), 1);
}

TEST_F(Exchange, AURLWithoutAPortGivesAHostWithoutOne) {
    client_.ReadTimeout = 200;
    try {
        client_.Get("http://127.0.0.1/x");
    } catch (const std::exception&) {
        // Whatever listens on port 80 (usually nothing) does not matter here.
    }
    EXPECT_EQ(client_.Request().Host, "127.0.0.1");
}

TEST_F(Exchange, WithoutCookiesNoManagerIsMadeAndNoCookieSent) {
    Serve({Then(Answer(WithLength("HTTP/1.1 200 OK", "Set-Cookie: sid=7; path=/\r\n", "one")),
                Answer(kOk))});
    client_.AllowCookies = false;
    client_.Get(Url("/1"));
    client_.Get(Url("/2"));
    EXPECT_EQ(client_.CookieManager(), nullptr);
    EXPECT_EQ(peer_->Received(0).find("Cookie:"), std::string::npos);
}

TEST_F(Exchange, AFailedConnectLeavesTheClientUsable) {
    Serve({Answer(kOk)});
    const std::string refusing = "http://127.0.0.1:" + std::to_string(FreeLoopbackPort()) + "/";
    // A read limit also bounds the connect, which then runs on a thread of its own.
    auto timed = Failure<EIdConnectException>([&] { client_.Get(refusing); });
    EXPECT_STREQ(timed.what(), "Socket Error # 10061\r\nConnection refused.");
    client_.ReadTimeout = 0;
    auto direct = Failure<EIdSocketError>([&] { client_.Get(refusing); });
    EXPECT_STREQ(direct.what(), "Socket Error # 10061\r\nConnection refused.");
    EXPECT_EQ(client_.Get(Url("/")), "ok");
}

TEST_F(Exchange, CloseInAnyCaseEndsTheConnection) {
    for (const std::string header : {"Connection: close", "Connection: CLOSE",
                                     "Connection:   Close  ", "Proxy-Connection: close"}) {
        SCOPED_TRACE(header);
        Serve({Answer(WithLength("HTTP/1.1 200 OK", header + "\r\n", "a")), Answer(kOk)});
        EXPECT_EQ(client_.Get(Url("/1")), "a");
        EXPECT_FALSE(client_.IsConnected());
        EXPECT_EQ(client_.Get(Url("/2")), "ok");
        EXPECT_EQ(peer_->AcceptedCount(), 2);
    }
}

TEST_F(Exchange, CloseWithAnotherTokenKeepsTheConnection) {
    Serve({Then(Answer(WithLength("HTTP/1.1 200 OK", "Connection: close, x\r\n", "a")),
                Answer(kOk))});
    EXPECT_EQ(client_.Get(Url("/1")), "a");
    EXPECT_EQ(client_.Get(Url("/2")), "ok");
    EXPECT_EQ(peer_->AcceptedCount(), 1);
}

TEST_F(Exchange, ARedirectRaisesWithItsPageAndItsCookiesAreKept) {
    Serve({Then(
        Answer(WithLength("HTTP/1.1 302 Found",
                          "Location: /elsewhere\r\nSet-Cookie: r=2; path=/\r\n", "moved here")),
        Answer(kOk))});
    auto failure = Failure<EIdHTTPProtocolException>([&] { client_.Get(Url("/start")); });
    EXPECT_EQ(failure.ErrorCode(), 302);
    EXPECT_STREQ(failure.what(), "HTTP/1.1 302 Found");
    EXPECT_EQ(failure.ErrorBody(), "moved here");
    EXPECT_EQ(client_.ReadTimeout, 3000);
    EXPECT_EQ(client_.Get(Url("/again")), "ok");
    EXPECT_NE(peer_->Received(0).find("Cookie: r=2\r\n"), std::string::npos);
    EXPECT_EQ(peer_->AcceptedCount(), 1);
}

TEST_F(Exchange, ASuccessWithALocationRaisesLikeARedirect) {
    Serve({Answer(WithLength("HTTP/1.1 200 OK", "Location: http://elsewhere/\r\n", "body"))});
    auto failure = Failure<EIdHTTPProtocolException>([&] { client_.Get(Url("/")); });
    EXPECT_EQ(failure.ErrorCode(), 200);
    EXPECT_EQ(failure.ErrorBody(), "body");
}

TEST_F(Exchange, NoContentReturnsWithoutWaitingForABody) {
    Serve({Then(Answer("HTTP/1.1 204 No Content\r\n\r\n"), Answer(kOk))});
    EXPECT_EQ(client_.Get(Url("/1")), "");
    EXPECT_EQ(client_.ResponseCode(), 204);
    EXPECT_EQ(client_.Get(Url("/2")), "ok");
}

TEST_F(Exchange, AnInterimContinueIsSkippedAndItsCookiesKept) {
    Serve({Then(Answer("HTTP/1.1 100 Continue\r\nSet-Cookie: c=1; path=/\r\n\r\n" +
                       WithLength("HTTP/1.1 200 OK", "", "body")),
                Answer(kOk))});
    EXPECT_EQ(client_.Get(Url("/1")), "body");
    EXPECT_EQ(client_.ResponseCode(), 200);
    client_.Get(Url("/2"));
    EXPECT_NE(peer_->Received(0).find("Cookie: c=1\r\n"), std::string::npos);
}

TEST_F(Exchange, ANotFoundPageWithALengthLeavesTheConnectionReusable) {
    Serve({Then(Answer(WithLength("HTTP/1.1 404 Not Found", "", "no such page")), Answer(kOk))});
    auto failure = Failure<EIdHTTPProtocolException>([&] { client_.Get(Url("/missing")); });
    EXPECT_EQ(failure.ErrorCode(), 404);
    EXPECT_EQ(failure.ErrorBody(), "no such page");
    EXPECT_EQ(client_.Get(Url("/there")), "ok");
    EXPECT_EQ(peer_->AcceptedCount(), 1);
}

TEST_F(Exchange, ACloseBeforeTheStatusLineRaisesAndTheNextGetConnectsAnew) {
    Serve({{Peer::ExpectUntil(kHeadEnd), Peer::Close()}, Answer(kOk)});
    auto failure = Failure<EIdConnClosedGracefully>([&] { client_.Get(Url("/1")); });
    EXPECT_STREQ(failure.what(), "Connection Closed Gracefully.");
    EXPECT_EQ(client_.Get(Url("/2")), "ok");
}

TEST_F(Exchange, AHeaderBlockCutByACloseIsAnUndefinedSituationForASuccess) {
    Serve({{Peer::ExpectUntil(kHeadEnd), Peer::Send("HTTP/1.1 200 OK\r\nServer: x\r\n"),
            Peer::Close()},
           {Peer::ExpectUntil(kHeadEnd), Peer::Send("HTTP/1.1 404 Not Found\r\nServer: y\r\n"),
            Peer::Close()}});
    auto failure = Failure<EIdException>([&] { client_.Get(Url("/1")); });
    EXPECT_STREQ(failure.what(), "Undefined situation");
    EXPECT_STREQ(failure.ClassName(), "EIdException");
    EXPECT_EQ(client_.Response().Server, "x");
    auto notFound = Failure<EIdHTTPProtocolException>([&] { client_.Get(Url("/2")); });
    EXPECT_EQ(notFound.ErrorCode(), 404);
    EXPECT_EQ(client_.Response().Server, "y");
}

// Every framing, with the response arriving in one piece and split at every byte.
class Framing : public Exchange {
protected:
    // Answers one request per split point on one connection and checks every body.
    void OnOneConnection(const std::string& response, const std::string& body) {
        Script script;
        for (std::size_t split = 0; split < response.size(); ++split) {
            script.push_back(Peer::ExpectUntil(kHeadEnd));
            AddSplitResponse(script, response, split);
        }
        Serve({script});
        for (std::size_t split = 0; split < response.size(); ++split) {
            ASSERT_EQ(client_.Get(Url("/")), body) << "split at " << split;
        }
        EXPECT_EQ(peer_->AcceptedCount(), 1);
    }

    static void AddSplitResponse(Script& script, const std::string& response, std::size_t split) {
        if (split == 0) {
            script.push_back(Peer::Send(response));
            return;
        }
        script.push_back(Peer::Send(response.substr(0, split)));
        script.push_back(Peer::Pause(1));
        script.push_back(Peer::Send(response.substr(split)));
    }
};

TEST_F(Framing, ContentLength) {
    OnOneConnection("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n0123456789", "0123456789");
}

TEST_F(Framing, Chunked) {
    const std::string a(26, 'a');
    OnOneConnection("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1A\r\n" + a +
                        "\r\n5\r\nbbbbb\r\n0\r\n\r\n",
                    a + "bbbbb");
}

TEST_F(Framing, UntilTheServerCloses) {
    // Every split needs a connection of its own; connect without the timed connect's slices.
    client_.ReadTimeout = 0;
    const std::string response = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nthe body";
    std::vector<Script> scripts;
    for (std::size_t split = 0; split < response.size(); ++split) {
        Script script{Peer::ExpectUntil(kHeadEnd)};
        AddSplitResponse(script, response, split);
        script.push_back(Peer::Close());
        scripts.push_back(script);
    }
    Serve(scripts);
    for (std::size_t split = 0; split < response.size(); ++split) {
        ASSERT_EQ(client_.Get(Url("/")), "the body") << "split at " << split;
    }
}

TEST_F(Exchange, ChunkSizeLines) {
    Serve({Then(Answer("HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, chunked\r\n\r\n"
                       "1a and more words\r\nabcdefghijklmnopqrstuvwxyz\r\n3\r\nABC\r\n0\r\n\r\n"),
                Then(Answer("HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\n"
                            "3\r\nxyz\r\n0\r\n\r\n"),
                     {Peer::Close()}))});
    EXPECT_EQ(client_.Get(Url("/1")), "abcdefghijklmnopqrstuvwxyzABC");
    // Only "chunked" in lower case is the chunked coding: this body runs until the close.
    EXPECT_EQ(client_.Get(Url("/2")), "3\r\nxyz\r\n0\r\n\r\n");
}

TEST_F(Exchange, ABodyCutShortUnderItsLengthFails) {
    const std::string partial(60, 'p');
    Serve({{Peer::ExpectUntil(kHeadEnd),
            Peer::Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n" + partial), Peer::Close()},
           {Peer::ExpectUntil(kHeadEnd),
            Peer::Send("HTTP/1.1 500 Oops\r\nContent-Length: 100\r\n\r\n" + partial),
            Peer::Close()}});
    Failure<EIdConnClosedGracefully>([&] { client_.Get(Url("/1")); });
    // An error page may come short: the failure still carries what arrived.
    auto failure = Failure<EIdHTTPProtocolException>([&] { client_.Get(Url("/2")); });
    EXPECT_EQ(failure.ErrorBody(), partial);
}

TEST_F(Exchange, ARelativeLinkIsResolvedAgainstThePreviousPage) {
    Serve({Then(Then(Answer(kOk), Answer(kOk)), Answer(kOk))});
    client_.Get(Url("/jobs/list/page1.php?p=1"));
    client_.Get("page2.php?p=%32");
    client_.Get("../up.php");
    const std::string received = peer_->Received(0);
    EXPECT_NE(received.find("GET /jobs/list/page2.php?p=%32 HTTP/1.1\r\n"), std::string::npos);
    EXPECT_NE(received.find("GET /jobs/up.php HTTP/1.1\r\n"), std::string::npos);
    EXPECT_EQ(client_.Request().Host, HostValue());
    EXPECT_EQ(peer_->AcceptedCount(), 1);
}

TEST_F(Exchange, HttpsFtpAndBadPorts) {
    Serve({Answer(kOk), Answer(kOk)});
    client_.Get(Url("/"));
    // A new port closes the open connection before anything else.
    auto https = Failure<EIdIOHandlerPropInvalid>([&] { client_.Get("https://127.0.0.1:1/x"); });
    EXPECT_STREQ(https.what(), "IOHandler value is not valid");
    EXPECT_FALSE(client_.IsConnected());
    EXPECT_EQ(peer_->AcceptedCount(), 1);

    auto badPort = Failure<EConvertError>([&] { client_.Get("http://127.0.0.1:8x/"); });
    EXPECT_STREQ(badPort.what(), "'8x' is not a valid integer value");

    TIdHTTP fresh;
    Failure<EIdIOHandlerPropInvalid>([&] { fresh.Get("https://127.0.0.1/x"); });
    EXPECT_EQ(fresh.Request().Host, "127.0.0.1:443");
    auto ftp = Failure<EIdUnknownProtocol>([&] { fresh.Get("ftp://127.0.0.1/"); });
    EXPECT_STREQ(ftp.what(), "");
    // With a port of its own the protocol is not looked at.
    EXPECT_EQ(fresh.Get("ftp://127.0.0.1:" + std::to_string(peer_->Port()) + "/"), "ok");
}

TEST_F(Exchange, HeaderLinesAreLimitedTo16384Bytes) {
    const std::string longest = "X: " + std::string(16383 - 3, 'a');
    const std::string tooLong = "X: " + std::string(16384 - 3, 'a');
    Serve({Then(Answer("HTTP/1.1 200 OK\r\n" + longest + "\r\nContent-Length: 2\r\n\r\nok"),
                Answer("HTTP/1.1 200 OK\r\n" + tooLong + "\r\nContent-Length: 2\r\n\r\nok")),
           Answer(kOk)});
    EXPECT_EQ(client_.Get(Url("/1")), "ok");
    auto failure = Failure<EIdReadLnMaxLineLengthExceeded>([&] { client_.Get(Url("/2")); });
    EXPECT_STREQ(failure.what(), "Max line length exceeded.");
    // The rest of that response must not be read as the next one.
    EXPECT_FALSE(client_.IsConnected());
    EXPECT_EQ(client_.Get(Url("/3")), "ok");
}

TEST_F(Exchange, AServerThatClosesTheIdleConnectionCostsNoError) {
    Serve({Then(Answer(kOk), {Peer::Close()}), Answer(kOk)});
    EXPECT_EQ(client_.Get(Url("/1")), "ok");
    ASSERT_TRUE(peer_->WaitForScript(0, 2000));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(client_.Get(Url("/2")), "ok");
    EXPECT_EQ(peer_->AcceptedCount(), 2);
}

TEST_F(Exchange, FollowedRedirectsEndAtTheBound) {
    Script chain;
    for (int hop = 1; hop <= 15; ++hop) {
        chain =
            Then(chain, Answer(WithLength("HTTP/1.1 302 Found",
                                          "Location: /r" + std::to_string(hop) + "\r\n", "hop")));
    }
    Serve({chain});
    client_.HandleRedirects = true;
    EXPECT_EQ(client_.Get(Url("/r0")), "");
    EXPECT_EQ(client_.Response().Location, "/r15");
    EXPECT_EQ(client_.RedirectCount(), 0);
    const std::string received = peer_->Received(0);
    EXPECT_NE(received.find("GET /r14 HTTP/1.1"), std::string::npos);
    EXPECT_EQ(received.find("GET /r15 HTTP/1.1"), std::string::npos);
}

TEST_F(Exchange, AStreamGetsTheBodyAtItsPosition) {
    Serve({Then(Answer(WithLength("HTTP/1.1 302 Found", "Location: /there\r\n", "moved")),
                Answer(WithLength("HTTP/1.1 200 OK", "", "body")))});
    client_.HandleRedirects = true;
    TIdMemoryStream stream("keep:");
    stream.SetPosition(5);
    client_.Get(Url("/here"), stream);
    EXPECT_EQ(stream.DataString(), "keep:body");
    EXPECT_EQ(stream.Position(), 9);
}

TEST_F(Exchange, ARedirectHookChoosesTheTarget) {
    Serve({Then(Answer(WithLength("HTTP/1.1 301 Moved", "Location: /old\r\n", "")), Answer(kOk))});
    client_.HandleRedirects = true;
    client_.OnRedirect = [](TIdCustomHTTP&, std::string& dest, int& count, bool& handled,
                            TIdHTTPMethod&) {
        EXPECT_EQ(count, 1);
        EXPECT_TRUE(handled);
        dest = "/new";
    };
    EXPECT_EQ(client_.Get(Url("/start")), "ok");
    EXPECT_NE(peer_->Received(0).find("GET /new HTTP/1.1"), std::string::npos);
}

TEST_F(Exchange, AStalledResponseTimesOutAndIsNotReused) {
    client_.ReadTimeout = 200;
    Serve({Answer("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc"), Answer(kOk)});
    auto failure = Failure<EIdReadTimeout>([&] { client_.Get(Url("/1")); });
    EXPECT_STREQ(failure.what(), "Read Timeout");
    EXPECT_FALSE(client_.IsConnected());
    EXPECT_EQ(client_.Get(Url("/2")), "ok");
}

TEST_F(Exchange, AnErrorBodyWithoutFramingTimesOutAfterTwoSeconds) {
    client_.ReadTimeout = 0;
    Serve({Answer("HTTP/1.1 304 Not Modified\r\n\r\n")});
    const auto start = std::chrono::steady_clock::now();
    Failure<EIdReadTimeout>([&] { client_.Get(Url("/")); });
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1900));
    EXPECT_EQ(client_.ReadTimeout, 0);
}

TEST_F(Exchange, AuthenticationAnswersOnlyWithARegisteredSchemeAndAHandler) {
    const std::string challenge =
        WithLength("HTTP/1.1 401 Unauthorized", "WWW-Authenticate: Basic realm=\"r\"\r\n", "no");
    Serve({Then(Then(Answer(WithLength("HTTP/1.1 401 Unauthorized",
                                       "WWW-Authenticate: Negotiate\r\n", "no")),
                     Answer(challenge)),
                Then(Answer(challenge), Answer(kOk)))});
    auto unknown = Failure<EIdHTTPProtocolException>([&] { client_.Get(Url("/a")); });
    EXPECT_EQ(unknown.ErrorCode(), 401);
    EXPECT_EQ(client_.AuthTries(), 1);
    // Basic is known, but nobody supplies credentials.
    Failure<EIdHTTPProtocolException>([&] { client_.Get(Url("/b")); });

    client_.HTTPOptions = {hoInProcessAuth};
    client_.OnAuthorization = [](TIdCustomHTTP&, TIdAuthentication& scheme, bool& handled) {
        scheme.Username = "user";
        scheme.Password = "pass";
        handled = true;
    };
    EXPECT_EQ(client_.Get(Url("/c")), "ok");
    EXPECT_NE(peer_->Received(0).find("Authorization: Basic dXNlcjpwYXNz\r\n"), std::string::npos);
}

TEST_F(Exchange, AProxyGetsTheAbsoluteForm) {
    Serve({Answer(kOk)});
    client_.ProxyParams.ProxyServer = "127.0.0.1";
    client_.ProxyParams.ProxyPort = peer_->Port();
    EXPECT_EQ(client_.Get("http://origin.example:8080/path/doc.php?q=1#top"), "ok");
    const std::string received = peer_->Received(0);
    EXPECT_EQ(received.substr(0, received.find("\r\n")),
              "GET http://origin.example:8080/path/doc.php?q=1 HTTP/1.1");
    EXPECT_NE(received.find("Host: origin.example:8080\r\n"), std::string::npos);
}

TEST_F(Exchange, Http10AsksForKeepAliveAndNeedsItBack) {
    client_.ProtocolVersion = pv1_0;
    Serve({Then(Answer(WithLength("HTTP/1.0 200 OK", "Connection: keep-alive\r\n", "a")),
                Answer(WithLength("HTTP/1.0 200 OK", "", "b"))),
           Answer(kOk)});
    EXPECT_EQ(client_.Get(Url("/1")), "a");
    EXPECT_EQ(client_.Get(Url("/2")), "b");
    EXPECT_EQ(client_.Get(Url("/3")), "ok");
    EXPECT_NE(peer_->Received(0).find("GET /1 HTTP/1.0\r\nConnection: keep-alive\r\n"),
              std::string::npos);
    EXPECT_EQ(peer_->AcceptedCount(), 2);
}

} // namespace
