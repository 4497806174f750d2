// Name lookup against a hosts file of the test's own, in a child process with a private
// resolver configuration (see TPrivateResolver).  It needs root, as CI has.

#include "net/IdException.h"
#include "net/IdIOHandlerSocket.h"
#include "net/IdSocketHandle.h"
#include "net/IdStack.h"
#include "net/IdTCPClient.h"
#include "tests/support/PrivateResolver.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>

namespace {

// A listening socket on address (an address of 127.0.0.0/8) and port (0: any free one).
int Listen(const char* address, int port) {
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET, address, &local.sin_addr);
    socklen_t length = sizeof(local);
    if (listener < 0 || bind(listener, reinterpret_cast<sockaddr*>(&local), length) != 0 ||
        listen(listener, 4) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        return -1;
    }
    return listener;
}

int PortOf(int listener) {
    sockaddr_in local{};
    socklen_t length = sizeof(local);
    getsockname(listener, reinterpret_cast<sockaddr*>(&local), &length);
    return ntohs(local.sin_port);
}

class PrivateHostsFile : public ::testing::Test {
protected:
    // Runs check in a child whose /etc/hosts holds hosts; the child's report (what check
    // returned) comes back as text.  Skips when no private mount namespace can be made.
    std::string InChild(const std::string& hosts, const std::function<std::string()>& check) {
        std::optional<std::string> report = resolver_.Run(hosts, check);
        skipped_ = !report;
        return report.value_or("");
    }

    bool skipped_ = false;
    TPrivateResolver resolver_;
};

TEST_F(PrivateHostsFile, ANameWithSeveralAddressesConnectsToTheFirstListed) {
    const std::string report =
        InChild("127.0.0.9 multi.test\n127.0.0.7 multi.test\n", []() -> std::string {
            const int first = Listen("127.0.0.9", 0);
            const int second = Listen("127.0.0.7", PortOf(first));
            if (first < 0 || second < 0) {
                return "cannot listen on 127.0.0.9 and 127.0.0.7";
            }
            TIdTCPClient client;
            client.SetHost("multi.test");
            client.SetPort(PortOf(first));
            client.OpenConnection();
            const auto* handler = dynamic_cast<TIdIOHandlerSocket*>(client.IOHandler());
            return TIdStack::ActiveStack()->ResolveHostAddress("multi.test") + " " +
                   handler->Binding()->PeerAddress();
        });
    if (skipped_) {
        GTEST_SKIP() << "needs root and a mount namespace of its own";
    }
    EXPECT_EQ(report, "127.0.0.9 127.0.0.9");
}

TEST_F(PrivateHostsFile, ANameThatIsNotThereIsHostNotFound) {
    const std::string report = InChild("127.0.0.9 multi.test\n", []() -> std::string {
        TIdTCPClient client;
        client.SetHost("absent.test");
        client.SetPort(80);
        try {
            client.OpenConnection();
        } catch (const EIdSocketError& failure) {
            return std::to_string(failure.LastError()) + " " + failure.what();
        }
        return "connected";
    });
    if (skipped_) {
        GTEST_SKIP() << "needs root and a mount namespace of its own";
    }
    EXPECT_EQ(report, "11001 Socket Error # 11001\r\nHost not found.");
}

} // namespace
