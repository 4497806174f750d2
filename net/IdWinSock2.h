#pragma once

// The WinSock-shaped functions the socket stack calls.  Each one is bound by name from the
// C library the first time it is called: until then its slot points at a stub that binds
// it, so no function is looked up before it is needed and each is looked up once.  Failed
// calls leave a WinSock error code (ECONNREFUSED becomes 10061, a name not found 11001, ...)
// for WsGetLastError, so that the socket error texts reach callers unchanged.

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <cstdint>
#include <string>
#include <vector>

using TSocket = int;
inline constexpr TSocket INVALID_SOCKET = -1;
inline constexpr int SOCKET_ERROR = -1;

// WinSock error codes that the socket layer itself refers to.
inline constexpr int WSAEINTR = 10004;
inline constexpr int WSAEBADF = 10009;
inline constexpr int WSAEINVAL = 10022;
inline constexpr int WSAEWOULDBLOCK = 10035;
inline constexpr int WSAENOTSOCK = 10038;
inline constexpr int WSAEADDRINUSE = 10048;
inline constexpr int WSAECONNABORTED = 10053;
inline constexpr int WSAECONNRESET = 10054;
inline constexpr int WSAESHUTDOWN = 10058;
inline constexpr int WSAETIMEDOUT = 10060;
inline constexpr int WSAECONNREFUSED = 10061;
inline constexpr int WSAVERNOTSUPPORTED = 10092;
inline constexpr int WSANOTINITIALISED = 10093;
inline constexpr int WSAHOST_NOT_FOUND = 11001;
inline constexpr int WSATRY_AGAIN = 11002;
inline constexpr int WSANO_RECOVERY = 11003;
inline constexpr int WSANO_DATA = 11004;

// The library the functions are bound from.
inline constexpr char kWinsockLibraryName[] = "libc.so.6";

// A select set: at most 64 sockets.
inline constexpr unsigned kFdSetSize = 64;
struct TFdSet {
    unsigned Count = 0;
    TSocket Sockets[kFdSetSize];
};

struct TWSAData {
    std::uint16_t Version = 0;
    std::uint16_t HighVersion = 0;
};

// Loads the library once (later calls return 0 at once) and starts the socket layer with
// the requested version.  A load failure raises EIdWS2StubError.
int StartWinsock(std::uint16_t version, TWSAData* data);
// Forgets the library and points every slot back at its stub.
void UnloadWinsock();
bool WinsockLoaded();

int WsCleanup();
TSocket WsSocket(int family, int type, int protocol);
int WsBind(TSocket socket, const sockaddr* address, socklen_t length);
int WsConnect(TSocket socket, const sockaddr* address, socklen_t length);
int WsGetSockName(TSocket socket, sockaddr* address, socklen_t* length);
int WsGetPeerName(TSocket socket, sockaddr* address, socklen_t* length);
// The IPv4 addresses of a host name, in the resolver's order; empty on failure.
std::vector<in_addr> WsGetHostByName(const char* name);
std::uint16_t WsHtons(std::uint16_t value);
std::uint16_t WsNtohs(std::uint16_t value);
std::uint32_t WsHtonl(std::uint32_t value);
std::uint32_t WsNtohl(std::uint32_t value);
// The count of ready sockets, each given set cut down to its ready sockets; no timeout
// means no limit.  Waits with poll, so any descriptor number is fine.  Fails with WSAEINTR
// once the wake descriptor is readable.
int WsSelect(TFdSet* readSet, TFdSet* writeSet, TFdSet* errorSet, const timeval* timeout);
// A descriptor that, once readable, ends every wait of WsSelect at once and fails every
// WsConnect begun after, so that a process asked to stop can give up a transfer however
// slowly the peer sends; -1 for none.
void WsSetWakeDescriptor(int descriptor);
// Shuts down the socket that a WsConnect is blocked in, if any, so that a connect to a peer
// that never answers ends at once (ECONNABORTED).  Async-signal-safe: for a stop handler,
// after it has made the wake descriptor readable.
void WsAbortConnect();
int WsRecv(TSocket socket, void* buffer, int length, int flags);
// Never raises SIGPIPE: a send to a closed peer fails with an error code instead.
int WsSend(TSocket socket, const void* buffer, int length, int flags);
int WsShutdown(TSocket socket, int how);
int WsCloseSocket(TSocket socket);
int WsSetSockOpt(TSocket socket, int level, int option, const void* value, socklen_t length);
int WsGetLastError();

// The operating system's text for a WinSock or system error code.
std::string SystemErrorText(std::uint32_t code);
