#include "net/IdSocketHandle.h"
#include "net/IdComponent.h"
#include "net/IdException.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace {

// A socket bound to any address on port (or -1 when the port is taken).
int Occupy(int port) {
    const int blocker = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (bind(blocker, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        close(blocker);
        return -1;
    }
    return blocker;
}

// Three consecutive ports that are free now; returns the lowest.
int FreePortRange() {
    for (int base = 40000; base < 60000; base += 7) {
        std::vector<int> held;
        for (int port = base; port < base + 3; ++port) {
            const int blocker = Occupy(port);
            if (blocker >= 0) {
                held.push_back(blocker);
            }
        }
        for (int blocker : held) {
            close(blocker);
        }
        if (held.size() == 3) {
            return base;
        }
    }
    return -1;
}

class SocketHandleTest : public ::testing::Test {
protected:
    TIdComponent user; // keeps the socket stack alive
    TIdSocketHandle handle;
};

TEST_F(SocketHandleTest, StartsWithoutASocketAndReleasesOnce) {
    EXPECT_FALSE(handle.HasSocket());
    EXPECT_EQ(handle.SocketValue(), INVALID_SOCKET);
    handle.AllocateHandle(SOCK_STREAM, 0);
    EXPECT_TRUE(handle.HasSocket());
    handle.ReleaseHandle();
    handle.ReleaseHandle();
    EXPECT_FALSE(handle.HasSocket());
    EXPECT_THROW(handle.SelectReadable(0), EIdConnClosedGracefully);
}

TEST_F(SocketHandleTest, BindsInThePortRangeFromTheTopDown) {
    const int low = FreePortRange();
    ASSERT_GT(low, 0);
    handle.ClientPortMin = low;
    handle.ClientPortMax = low + 2;

    const int top = Occupy(low + 2);
    handle.AllocateHandle(SOCK_STREAM, 0);
    handle.BindLocal();
    EXPECT_EQ(handle.Port, low + 1);
    handle.ReleaseHandle();

    const int middle = Occupy(low + 1);
    TIdSocketHandle second;
    second.ClientPortMin = low;
    second.ClientPortMax = low + 2;
    second.AllocateHandle(SOCK_STREAM, 0);
    second.BindLocal();
    EXPECT_EQ(second.Port, low);

    TIdSocketHandle full;
    full.ClientPortMin = low;
    full.ClientPortMax = low + 2;
    full.AllocateHandle(SOCK_STREAM, 0);
    try {
        full.BindLocal();
        FAIL() << "bound in a range with no free port";
    } catch (const EIdCanNotBindPortInRange& error) {
        EXPECT_EQ(std::string(error.what()), "Can not bind in port range (" + std::to_string(low) +
                                                 " - " + std::to_string(low + 2) + ")");
    }
    close(top);
    close(middle);
}

TEST_F(SocketHandleTest, PortInUseCannotBeBound) {
    const int low = FreePortRange();
    ASSERT_GT(low, 0);
    const int blocker = Occupy(low);
    handle.Port = low;
    handle.AllocateHandle(SOCK_STREAM, 0);
    EXPECT_FALSE(handle.TryBindOnce());
    try {
        handle.BindLocal();
        FAIL() << "bound to a port in use";
    } catch (const EIdCouldNotBindSocket& error) {
        EXPECT_STREQ(error.what(), "Could not bind socket. Address and port are already in use.");
    }
    close(blocker);
}

} // namespace
