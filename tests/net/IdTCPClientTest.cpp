#include "net/IdTCPClient.h"
#include "net/IdException.h"
#include "net/IdIOHandlerSocket.h"
#include "tests/support/PrivateResolver.h"
#include "tests/support/ScriptedPeer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using Peer = TScriptedPeer;

// A port on 127.0.0.1 where nothing listens: bound, then released.
int UnusedPort() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    bind(probe, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    close(probe);
    return ntohs(address.sin_port);
}

// A listener whose accept queue is full, so that a further connect hangs unanswered.
class FullListener {
public:
    FullListener() {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
        listen(listener_, 0);
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        for (int i = 0; i < 4; ++i) {
            const int filler = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            connect(filler, reinterpret_cast<sockaddr*>(&address), length);
            fillers_.push_back(filler);
        }
    }
    ~FullListener() {
        for (int filler : fillers_) {
            close(filler);
        }
        close(listener_);
    }
    int Port() const { return port_; }

private:
    int listener_;
    int port_;
    std::vector<int> fillers_;
};

TEST(OpenConnection, ReportsEachStepAndFiresOnConnected) {
    Peer peer({Peer::TScript{}});
    TIdTCPClient client;
    std::vector<std::string> statuses;
    client.OnStatus = [&](TIdComponent*, TIdStatus, const std::string& text) {
        statuses.push_back(text);
    };
    int connects = 0;
    client.OnConnected = [&](TIdComponent*) { ++connects; };
    client.SetHost("LocalHost");
    client.SetPort(peer.Port());
    client.OpenConnection();
    EXPECT_TRUE(client.IsConnected());
    EXPECT_TRUE(client.OwnsHandler());
    EXPECT_EQ(connects, 1);
    client.CloseConnection();
    EXPECT_FALSE(client.OwnsHandler());
    EXPECT_EQ(statuses,
              (std::vector<std::string>{"Resolving hostname LocalHost.", "Connecting to 127.0.0.1.",
                                        "Connected.", "Disconnecting.", "Disconnected."}));
    EXPECT_TRUE(peer.WaitForScript(0, 2000));
    EXPECT_EQ(peer.AcceptedCount(), 1);
}

TEST(OpenConnection, ADottedQuadWithLeadingZerosIsReadAsDecimalWithoutALookup) {
    Peer peer({{Peer::Expect("ping\n"), Peer::Send("pong\n")}});
    TIdTCPClient client;
    std::vector<std::string> statuses;
    client.OnStatus = [&](TIdComponent*, TIdStatus, const std::string& text) {
        statuses.push_back(text);
    };
    // The resolver would read 0127 as octal, that is 87.0.0.1.
    client.SetHost("0127.0.0.001");
    client.SetPort(peer.Port());
    client.OpenConnection();
    client.WriteText("ping\n");
    EXPECT_EQ(client.ReadLine(), "pong");
    EXPECT_EQ(statuses.front(), "Connecting to 0127.0.0.001.");
}

TEST(OpenConnection, RefusesASecondConnectAndKeepsTheFirst) {
    Peer peer({{Peer::Expect("ping\n"), Peer::Send("pong\n")}});
    TIdTCPClient client;
    client.SetHost("127.0.0.1");
    client.SetPort(peer.Port());
    client.OpenConnection();
    try {
        client.OpenConnection();
        FAIL() << "second connect accepted";
    } catch (const EIdAlreadyConnected& error) {
        EXPECT_STREQ(error.what(), "Already connected.");
    }
    client.WriteText("ping\n");
    EXPECT_EQ(client.ReadLine(), "pong");
    EXPECT_EQ(peer.AcceptedCount(), 1);
}

TEST(OpenConnection, RefusedConnectCarriesTheSocketErrorText) {
    TIdTCPClient client;
    client.SetHost("127.0.0.1");
    client.SetPort(UnusedPort());
    try {
        client.OpenConnection();
        FAIL() << "connect to a closed port succeeded";
    } catch (const EIdSocketError& error) {
        EXPECT_EQ(error.LastError(), 10061);
        EXPECT_STREQ(error.what(), "Socket Error # 10061\r\nConnection refused.");
    }
    EXPECT_FALSE(client.IsConnected());
}

// Asked of a resolver configuration of the test's own, so that the query stays on this
// machine whatever network it sits in.
TEST(OpenConnection, UnknownHostIsNotFound) {
    TPrivateResolver resolver;
    std::optional<std::string> report = resolver.Run("127.0.0.1 localhost\n", []() -> std::string {
        TIdTCPClient client;
        client.SetHost("no-such-host.invalid");
        client.SetPort(80);
        try {
            client.OpenConnection();
        } catch (const EIdSocketError& error) {
            return std::to_string(error.LastError()) + " " + error.what();
        }
        return "an unknown name resolved";
    });
    if (!report)
        GTEST_SKIP() << "needs root and a mount namespace of its own";
    EXPECT_EQ(*report, "11001 Socket Error # 11001\r\nHost not found.");
}

TEST(OpenConnection, ReconnectsAfterThePeerClosed) {
    Peer peer({{Peer::Close()}, {Peer::Send("second\n")}});
    TIdTCPClient client;
    client.SetHost("127.0.0.1");
    client.SetPort(peer.Port());
    client.OpenConnection();
    ASSERT_TRUE(peer.WaitForScript(0, 2000));
    client.PollForClose(false);
    EXPECT_FALSE(client.IsConnected());
    client.OpenConnection();
    EXPECT_EQ(client.ReadLine(), "second");
    EXPECT_EQ(peer.AcceptedCount(), 2);
}

TEST(OpenConnection, UsesAHandlerTheCallerOwnsAndKeepsIt) {
    Peer peer({Peer::TScript{}, Peer::TScript{}});
    TIdIOHandlerSocket handler;
    handler.UseNagle = false;
    TIdTCPClient client;
    client.SetIOHandler(&handler);
    client.SetHost("127.0.0.1");
    client.SetPort(peer.Port());
    client.OpenConnection();
    EXPECT_FALSE(client.OwnsHandler());
    int noDelay = 0;
    socklen_t length = sizeof(noDelay);
    getsockopt(handler.Binding()->SocketValue(), IPPROTO_TCP, TCP_NODELAY, &noDelay, &length);
    EXPECT_EQ(noDelay, 1);
    client.CloseConnection();
    EXPECT_EQ(client.IOHandler(), &handler);
    client.OpenConnection();
    EXPECT_TRUE(client.IsConnected());
    client.CloseConnection();
}

TEST(TimedConnect, ConnectsWithinItsLimit) {
    Peer peer({{Peer::Send("hello\n")}});
    TIdTCPClient client;
    client.SetHost("127.0.0.1");
    client.SetPort(peer.Port());
    client.OpenConnection(2000);
    EXPECT_EQ(client.ReadLine(), "hello");
}

TEST(TimedConnect, ReportsWhatTheConnectThreadCaught) {
    TIdTCPClient client;
    client.SetHost("127.0.0.1");
    client.SetPort(UnusedPort());
    try {
        client.OpenConnection(2000);
        FAIL() << "connect to a closed port succeeded";
    } catch (const EIdConnectException& error) {
        EXPECT_STREQ(error.what(), "Socket Error # 10061\r\nConnection refused.");
    }
}

TEST(TimedConnect, GivesUpAfterItsLimit) {
    FullListener listener;
    TIdTCPClient client;
    client.SetHost("127.0.0.1");
    client.SetPort(listener.Port());
    try {
        client.OpenConnection(200);
        FAIL() << "connect to a full listener succeeded";
    } catch (const EIdConnectTimeout& error) {
        EXPECT_STREQ(error.what(), "Connect timed out.");
    }
    EXPECT_FALSE(client.IsConnected());
}

TEST(BoundPortRange, InvalidRangeIsReported) {
    Peer peer({Peer::TScript{}});
    TIdTCPClient client;
    client.SetHost("127.0.0.1");
    client.SetPort(peer.Port());
    client.BoundPortMin = 5002;
    client.BoundPortMax = 5000;
    try {
        client.OpenConnection();
        FAIL() << "an inverted range was accepted";
    } catch (const EIdInvalidPortRange& error) {
        EXPECT_STREQ(error.what(), "Invalid Port Range (5002 - 5000)");
    }
    EXPECT_FALSE(client.IsConnected());
}

} // namespace
