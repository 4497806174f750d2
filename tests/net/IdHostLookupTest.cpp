// Name lookup against a hosts file of the test's own: the test runs its checks in a child
// process with a mount namespace of its own, where that file is bind-mounted over /etc/hosts
// (and a "files only" name service configuration over /etc/nsswitch.conf, so that a name
// missing from the file is not asked of any DNS server).  It needs root, as CI has.

#include "net/IdException.h"
#include "net/IdIOHandlerSocket.h"
#include "net/IdSocketHandle.h"
#include "net/IdStack.h"
#include "net/IdTCPClient.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace {

constexpr int kCannotIsolate = 77;

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

bool BindOver(const std::string& file, const char* target) {
    return mount(file.c_str(), target, nullptr, MS_BIND, nullptr) == 0;
}

class PrivateHostsFile : public ::testing::Test {
protected:
    // Runs check in a child whose /etc/hosts holds hosts; the child's report (what check
    // returned) comes back as text.  Skips when no private mount namespace can be made.
    std::string InChild(const std::string& hosts, const std::function<std::string()>& check) {
        if (geteuid() != 0) {
            skipped_ = true;
            return {};
        }
        WriteFile(folder_.File("hosts"), hosts);
        WriteFile(folder_.File("nsswitch.conf"), "hosts: files\n");
        int report[2];
        if (pipe(report) != 0) {
            ADD_FAILURE() << "no pipe";
            return {};
        }
        const pid_t child = fork();
        if (child == 0) {
            close(report[0]);
            if (unshare(CLONE_NEWNS) != 0 ||
                mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                !BindOver(folder_.File("hosts"), "/etc/hosts") ||
                !BindOver(folder_.File("nsswitch.conf"), "/etc/nsswitch.conf")) {
                _exit(kCannotIsolate);
            }
            std::string text;
            try {
                text = check();
            } catch (const std::exception& failure) {
                text = std::string("raised: ") + failure.what();
            }
            (void)!write(report[1], text.data(), text.size());
            _exit(0);
        }
        close(report[1]);
        std::string text;
        char buffer[512];
        for (ssize_t count; (count = read(report[0], buffer, sizeof buffer)) > 0;) {
            text.append(buffer, static_cast<std::size_t>(count));
        }
        close(report[0]);
        int status = 0;
        waitpid(child, &status, 0);
        skipped_ = WIFEXITED(status) && WEXITSTATUS(status) == kCannotIsolate;
        EXPECT_TRUE(WIFEXITED(status)) << "the child did not end normally";
        return text;
    }

    bool skipped_ = false;
    TTempFolder folder_;
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
