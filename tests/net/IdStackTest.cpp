#include "net/IdStack.h"
#include "net/IdComponent.h"
#include "net/IdException.h"
#include "net/IdStackWindows.h"
#include "net/IdWinSock2.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Keeps the process-wide stack alive for a test.
class StackTest : public ::testing::Test {
protected:
    TIdComponent user;
    TIdStack& stack = *TIdStack::ActiveStack();
};

TEST_F(StackTest, DescribesErrorsWithTheirTexts) {
    EXPECT_EQ(stack.DescribeSocketError(10061), "Socket Error # 10061\r\nConnection refused.");
    EXPECT_EQ(stack.DescribeSocketError(10035), "Socket Error # 10035\r\nOperation would block. ");
    EXPECT_EQ(stack.DescribeSocketError(10066), "Socket Error # 10066\r\nDirectory not empty");
    EXPECT_EQ(stack.DescribeSocketError(10070), "Socket Error # 10070\r\n");
    EXPECT_EQ(stack.DescribeSocketError(11004), "Socket Error # 11004\r\n");
}

TEST_F(StackTest, CheckSocketResultRaisesUnlessAllowed) {
    EXPECT_FALSE(stack.CheckSocketResult(0));
    // A bind on a closed descriptor fails with EBADF, which is 10009.
    const int closed = dup(0);
    close(closed);
    EXPECT_TRUE(stack.CheckSocketResult(stack.SocketBind(closed, AF_INET, 0, ""), {10009}));
    EXPECT_EQ(stack.LastSocketError, 10009);
    try {
        stack.CheckSocketResult(stack.SocketBind(closed, AF_INET, 0, ""));
        FAIL() << "a failed bind passed";
    } catch (const EIdSocketError& error) {
        EXPECT_EQ(error.LastError(), 10009);
        EXPECT_STREQ(error.what(), "Socket Error # 10009\r\nBad file number.");
    }
}

TEST_F(StackTest, RecognisesDottedQuads) {
    EXPECT_TRUE(TIdStack::IsDottedQuad("10.0.0.1"));
    EXPECT_TRUE(TIdStack::IsDottedQuad("255.255.255.0"));
    for (const char* text :
         {"10.0.0", "10.0.0.256", "10.0.0.1.5", "a.b.c.d", "10..0.1", "", "1.2.3.-4"}) {
        EXPECT_FALSE(TIdStack::IsDottedQuad(text)) << text;
    }
}

TEST_F(StackTest, ADottedQuadPieceIsANumberWhateverItsDigits) {
    for (const char* text : {"0010.0.0.1", "010.000.0255.001", "000000000000127.0.0.1"}) {
        EXPECT_TRUE(TIdStack::IsDottedQuad(text)) << text;
    }
    for (const char* text :
         {"0256.0.0.1", "10.0.0.0000000000000000000256", "1.2.3.99999999999999999999"}) {
        EXPECT_FALSE(TIdStack::IsDottedQuad(text)) << text;
    }
    // Decimal, not octal as the resolver would read it (0010 there is 8).
    EXPECT_EQ(stack.ResolveHostAddress("0010.0.0.1"), "0010.0.0.1");
    EXPECT_EQ(stack.TextToAddress("0010.0.0.1"), (TIdIPv4Bytes{10, 0, 0, 1}));
    EXPECT_EQ(stack.TextToAddress("000000000000127.0.0.0001"), (TIdIPv4Bytes{127, 0, 0, 1}));
}

TEST_F(StackTest, ResolvesWithoutLookupWhereItCan) {
    EXPECT_EQ(stack.ResolveHostAddress("localHOST"), "127.0.0.1");
    EXPECT_EQ(stack.ResolveHostAddress("10.1.2.3"), "10.1.2.3");
    EXPECT_EQ(stack.ResolveHostAddress("127.0.0.1"), "127.0.0.1");
}

TEST_F(StackTest, ConvertsAddressesBothWays) {
    EXPECT_EQ(stack.AddressToText({192, 168, 0, 17}), "192.168.0.17");
    EXPECT_EQ(stack.TextToAddress("192.168.0.17"), (TIdIPv4Bytes{192, 168, 0, 17}));
    EXPECT_THROW(stack.TextToAddress("192.x.0.17"), EIdException);
    EXPECT_THROW(stack.TextToAddress("192.168.0"), EIdException);
}

TEST_F(StackTest, SelectWaitsForReadableSocketsOnly) {
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    std::vector<TSocket> readList{pair[0], pair[1]};
    EXPECT_EQ(stack.SocketSelect(&readList, nullptr, 0, nullptr), 0);
    EXPECT_TRUE(readList.empty());
    ASSERT_EQ(write(pair[1], "x", 1), 1);
    readList = {pair[1], pair[0]};
    EXPECT_EQ(stack.SocketSelect(&readList, nullptr, -2, nullptr), 1);
    EXPECT_EQ(readList, std::vector<TSocket>{pair[0]});
    close(pair[0]);
    close(pair[1]);
}

TEST_F(StackTest, SelectHandlesDescriptorsAbove1023) {
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    if (limit.rlim_cur <= 1500) {
        limit.rlim_cur = std::min<rlim_t>(limit.rlim_max, 2048);
        setrlimit(RLIMIT_NOFILE, &limit);
    }
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    const int high = dup2(pair[0], 1500);
    if (high < 0) {
        GTEST_SKIP() << "cannot open descriptor 1500 here";
    }
    ASSERT_EQ(write(pair[1], "x", 1), 1);
    std::vector<TSocket> readList{high};
    EXPECT_EQ(stack.SocketSelect(&readList, nullptr, 1000, nullptr), 1);
    EXPECT_EQ(readList, std::vector<TSocket>{high});
    close(high);
    close(pair[0]);
    close(pair[1]);
}

TEST_F(StackTest, SelectRefusesMoreThan64Sockets) {
    std::vector<TSocket> readList(65, 0);
    try {
        stack.SocketSelect(&readList, nullptr, 0, nullptr);
        FAIL() << "65 sockets accepted";
    } catch (const EIdStackSetSizeExceeded& error) {
        EXPECT_STREQ(error.what(), "Set Size Exceeded.");
    }
}

TEST(SelectTimeout, SplitsMillisecondsIntoSecondsAndMicroseconds) {
    timeval storage{};
    const timeval* timeout = SelectTimeout(1500, storage);
    ASSERT_NE(timeout, nullptr);
    EXPECT_EQ(timeout->tv_sec, 1);
    EXPECT_EQ(timeout->tv_usec, 500000);
    EXPECT_EQ(SelectTimeout(-2, storage), nullptr);
}

TEST(StackLifetime, LivesWhileAComponentDoes) {
    EXPECT_EQ(TIdStack::ActiveStack(), nullptr);
    {
        TIdComponent first;
        TIdStack* stack = TIdStack::ActiveStack();
        ASSERT_NE(stack, nullptr);
        {
            TIdComponent second;
            EXPECT_EQ(TIdStack::StackUsers(), 2);
            EXPECT_EQ(TIdStack::ActiveStack(), stack);
        }
        EXPECT_EQ(TIdStack::ActiveStack(), stack);
    }
    EXPECT_EQ(TIdStack::ActiveStack(), nullptr);
    EXPECT_EQ(TIdStack::StackUsers(), 0);
}

TEST(WinsockBinding, CallBeforeTheLibraryIsLoadedRaisesTheStubError) {
    FinalizeWinsock();
    ASSERT_FALSE(WinsockLoaded());
    try {
        WsSocket(AF_INET, SOCK_STREAM, 0);
        FAIL() << "a call went through without the library";
    } catch (const EIdWS2StubError& error) {
        EXPECT_EQ(error.Win32Error(), 10093u);
        EXPECT_EQ(error.Title(), "Error on call Winsock2 library function socket");
        EXPECT_EQ(std::string(error.what()),
                  "Error on call Winsock2 library function socket: " + SystemErrorText(10093));
    }
    // The next stack starts the library again, and calls go through.
    TIdComponent user;
    EXPECT_TRUE(WinsockLoaded());
    const TSocket socket = WsSocket(AF_INET, SOCK_STREAM, 0);
    EXPECT_GE(socket, 0);
    WsCloseSocket(socket);
}

} // namespace
