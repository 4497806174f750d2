#pragma once

#include "net/IdWinSock2.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// The four bytes of an IPv4 address, first byte first.
using TIdIPv4Bytes = std::array<std::uint8_t, 4>;

// Reads piece as a decimal number from 0 to 255, with any count of leading zeros; false for
// anything else.
bool ReadAddressByte(std::string_view piece, std::uint8_t& value);

// A socket's address as the stack reports it.
struct TIdSocketAddress {
    int Family = 0;
    std::string IP;
    int Port = 0;
};

// The process-wide socket stack: thin wrappers over the socket functions, the error checks
// that turn failed calls into EIdSocketError, and host name resolution.  One instance,
// ActiveStack(), lives while at least one TIdComponent does.
class TIdStack {
public:
    virtual ~TIdStack() = default;

    // The code fetched by the last CheckSocketResult that met an error.
    int LastSocketError = 0;

    static TIdStack* ActiveStack();
    static int StackUsers();
    // Called by each TIdComponent on creation and destruction: the first user creates
    // the stack and the last one frees it.
    static void AddStackUser();
    static void RemoveStackUser();

    // False when result is not -1.  Otherwise stores the error code in LastSocketError and
    // returns true when it is one of allowed, else raises EIdSocketError for it.
    bool CheckSocketResult(int result, std::initializer_list<int> allowed = {});
    [[noreturn]] void RaiseSocketFailure(int code);
    // "Socket Error # <code>", CR LF, and the code's text (empty for unknown codes).
    virtual std::string DescribeSocketError(int code) const;

    TSocket NewSocketHandle(int type, int protocol);
    // LOCALHOST in any case is 127.0.0.1 without a lookup; a dotted quad passes unchanged;
    // any other name is looked up and its first address taken.
    std::string ResolveHostAddress(const std::string& host);
    static bool IsDottedQuad(const std::string& text);

    virtual std::string HostLookup(const std::string& host) = 0;
    virtual std::string AddressToText(const TIdIPv4Bytes& address) const = 0;
    virtual TIdIPv4Bytes TextToAddress(const std::string& text) const = 0;

    virtual TSocket SocketCreate(int family, int type, int protocol) = 0;
    virtual int SocketBind(TSocket socket, int family, int port, const std::string& ip) = 0;
    virtual int SocketConnect(TSocket socket, int family, int port, const std::string& ip) = 0;
    virtual int SocketRecv(TSocket socket, void* buffer, int length, int flags) = 0;
    virtual int SocketSend(TSocket socket, const void* buffer, int length, int flags) = 0;
    // Waits until a socket of the read or write list is ready or one of the error list has
    // an exception, for at most timeout ms (-2: no limit).  Each given list is cut down to
    // its ready sockets; more than 64 in a list raise EIdStackSetSizeExceeded.
    virtual int SocketSelect(std::vector<TSocket>* readList, std::vector<TSocket>* writeList,
                             int timeout, std::vector<TSocket>* errorList) = 0;
    virtual int SocketShutdown(TSocket socket, int how) = 0;
    virtual int SocketClose(TSocket socket) = 0;
    virtual int SocketSetOption(TSocket socket, int level, int option, const void* value,
                                int length) = 0;
    virtual TIdSocketAddress SocketLocalAddress(TSocket socket) = 0;
    virtual TIdSocketAddress SocketPeerAddress(TSocket socket) = 0;
    virtual int FetchLastError() = 0;

    virtual std::uint16_t HostToNet16(std::uint16_t value) = 0;
    virtual std::uint16_t NetToHost16(std::uint16_t value) = 0;
    virtual std::uint32_t HostToNet32(std::uint32_t value) = 0;
    virtual std::uint32_t NetToHost32(std::uint32_t value) = 0;
};
