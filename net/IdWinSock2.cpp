#include "net/IdWinSock2.h"

#include "net/IdException.h"
#include "net/IdFormat.h"
#include "net/IdResourceStrings.h"

#include <dlfcn.h>
#include <netdb.h>
#include <poll.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <iterator>

namespace {

std::atomic<int> WakeDescriptor{-1};
std::atomic<TSocket> ConnectingSocket{INVALID_SOCKET};
static_assert(std::atomic<TSocket>::is_always_lock_free, "read in a signal handler");

// One row per bound function, in the order of the table below.
enum TWinsockRow : std::size_t {
    rowSocket,
    rowBind,
    rowConnect,
    rowGetSockName,
    rowGetPeerName,
    rowGetHostByName,
    rowHtons,
    rowNtohs,
    rowHtonl,
    rowNtohl,
    rowPoll,
    rowRecv,
    rowSend,
    rowShutdown,
    rowClose,
    rowSetSockOpt,
    rowCount
};

using TSocketFn = int(int, int, int);
using TAddressFn = int(int, const sockaddr*, socklen_t);
using TNameFn = int(int, sockaddr*, socklen_t*);
using TGetHostByNameFn = int(const char*, hostent*, char*, size_t, hostent**, int*);
using TShortFn = std::uint16_t(std::uint16_t);
using TLongFn = std::uint32_t(std::uint32_t);
using TPollFn = int(pollfd*, nfds_t, int);
using TRecvFn = ssize_t(int, void*, size_t, int);
using TSendFn = ssize_t(int, const void*, size_t, int);
using TShutdownFn = int(int, int);
using TCloseFn = int(int);
using TSetSockOptFn = int(int, int, int, const void*, socklen_t);

struct TWinsockEntry {
    const char* Name;
    std::atomic<void*> Slot;
    void* Stub;
};

// The loader's code for a library that cannot be loaded; the loader's own text explains it.
constexpr std::uint32_t kModuleNotFound = 126;

// The most room a name's lookup result may take.
constexpr std::size_t kMaxHostEntrySize = 1024 * 1024;

std::atomic<void*> WinsockLibrary{nullptr};
thread_local int LastError = 0;

void* ResolveWinsockEntry(std::size_t row);

// The stub of a row: binds the row, then runs the bound function with the caller's arguments,
// so the first call behaves exactly like the later ones.
template <std::size_t Row, typename Fn> struct TStub;
template <std::size_t Row, typename Result, typename... Args> struct TStub<Row, Result(Args...)> {
    static Result Call(Args... args) {
        return reinterpret_cast<Result (*)(Args...)>(ResolveWinsockEntry(Row))(args...);
    }
    static void* Address() { return reinterpret_cast<void*>(&Call); }
};

TWinsockEntry WinsockEntryTable[rowCount] = {
    {"socket", {nullptr}, TStub<rowSocket, TSocketFn>::Address()},
    {"bind", {nullptr}, TStub<rowBind, TAddressFn>::Address()},
    {"connect", {nullptr}, TStub<rowConnect, TAddressFn>::Address()},
    {"getsockname", {nullptr}, TStub<rowGetSockName, TNameFn>::Address()},
    {"getpeername", {nullptr}, TStub<rowGetPeerName, TNameFn>::Address()},
    // The reentrant form: the plain one shares one result area between all threads.
    {"gethostbyname_r", {nullptr}, TStub<rowGetHostByName, TGetHostByNameFn>::Address()},
    {"htons", {nullptr}, TStub<rowHtons, TShortFn>::Address()},
    {"ntohs", {nullptr}, TStub<rowNtohs, TShortFn>::Address()},
    {"htonl", {nullptr}, TStub<rowHtonl, TLongFn>::Address()},
    {"ntohl", {nullptr}, TStub<rowNtohl, TLongFn>::Address()},
    {"poll", {nullptr}, TStub<rowPoll, TPollFn>::Address()},
    {"recv", {nullptr}, TStub<rowRecv, TRecvFn>::Address()},
    {"send", {nullptr}, TStub<rowSend, TSendFn>::Address()},
    {"shutdown", {nullptr}, TStub<rowShutdown, TShutdownFn>::Address()},
    {"close", {nullptr}, TStub<rowClose, TCloseFn>::Address()},
    {"setsockopt", {nullptr}, TStub<rowSetSockOpt, TSetSockOptFn>::Address()},
};

void ResetWinsockEntries() {
    for (TWinsockEntry& entry : WinsockEntryTable) {
        entry.Slot.store(entry.Stub, std::memory_order_release);
    }
}

// Points every slot at its stub before any call can be made.
[[maybe_unused]] const bool EntriesReset = (ResetWinsockEntries(), true);

void* ResolveWinsockEntry(std::size_t row) {
    TWinsockEntry& entry = WinsockEntryTable[row];
    void* library = WinsockLibrary.load(std::memory_order_acquire);
    if (library == nullptr) {
        throw EIdWS2StubError(FormatText(RSWinsockCallError, entry.Name), WSANOTINITIALISED,
                              SystemErrorText(WSANOTINITIALISED));
    }
    void* function = dlsym(library, entry.Name);
    if (function == nullptr) {
        throw EIdWS2StubError(FormatText(RSWinsockCallError, entry.Name), WSANO_RECOVERY,
                              SystemErrorText(WSANO_RECOVERY));
    }
    entry.Slot.store(function, std::memory_order_release);
    return function;
}

template <std::size_t Row, typename Fn> Fn* Bound() {
    return reinterpret_cast<Fn*>(WinsockEntryTable[Row].Slot.load(std::memory_order_acquire));
}

struct TErrnoCode {
    int Errno;
    int Code;
};

constexpr TErrnoCode kErrnoCodes[] = {
    {EINTR, 10004},           {EBADF, 10009},        {EACCES, 10013},
    {EFAULT, 10014},          {EINVAL, 10022},       {EMFILE, 10024},
    {EAGAIN, 10035},          {EINPROGRESS, 10036},  {EALREADY, 10037},
    {ENOTSOCK, 10038},        {EDESTADDRREQ, 10039}, {EMSGSIZE, 10040},
    {EPROTOTYPE, 10041},      {ENOPROTOOPT, 10042},  {EPROTONOSUPPORT, 10043},
    {ESOCKTNOSUPPORT, 10044}, {EOPNOTSUPP, 10045},   {EPFNOSUPPORT, 10046},
    {EAFNOSUPPORT, 10047},    {EADDRINUSE, 10048},   {EADDRNOTAVAIL, 10049},
    {ENETDOWN, 10050},        {ENETUNREACH, 10051},  {ENETRESET, 10052},
    {ECONNABORTED, 10053},    {ECONNRESET, 10054},   {ENOBUFS, 10055},
    {EISCONN, 10056},         {ENOTCONN, 10057},     {ESHUTDOWN, 10058},
    {EPIPE, 10058},           {ETOOMANYREFS, 10059}, {ETIMEDOUT, 10060},
    {ECONNREFUSED, 10061},    {ELOOP, 10062},        {ENAMETOOLONG, 10063},
    {EHOSTDOWN, 10064},       {EHOSTUNREACH, 10065}, {ENOTEMPTY, 10066},
};

int CodeOfErrno(int error) {
    for (const TErrnoCode& pair : kErrnoCodes) {
        if (pair.Errno == error) {
            return pair.Code;
        }
    }
    return error;
}

int ErrnoOfCode(int code) {
    for (const TErrnoCode& pair : kErrnoCodes) {
        if (pair.Code == code) {
            return pair.Errno;
        }
    }
    return 0;
}

int CodeOfResolverError(int error) {
    switch (error) {
    case HOST_NOT_FOUND:
        return WSAHOST_NOT_FOUND;
    case TRY_AGAIN:
        return WSATRY_AGAIN;
    case NO_DATA:
        return WSANO_DATA;
    case NETDB_INTERNAL:
        return CodeOfErrno(errno);
    default:
        return WSANO_RECOVERY;
    }
}

// Keeps the WinSock code of a failed call; the result passes through.
template <typename Result> Result Checked(Result result) {
    if (result == -1) {
        LastError = CodeOfErrno(errno);
    }
    return result;
}

int PollTimeout(const timeval* timeout) {
    if (timeout == nullptr) {
        return -1;
    }
    const long long milliseconds =
        static_cast<long long>(timeout->tv_sec) * 1000 + (timeout->tv_usec + 999) / 1000;
    return milliseconds > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(milliseconds);
}

struct TPollSet {
    TFdSet* Set;
    short Events;
};

// Whether the wake descriptor is set and readable.
bool Woken() {
    const int wake = WakeDescriptor.load();
    if (wake < 0) {
        return false;
    }
    pollfd polled{wake, POLLIN, 0};
    return Bound<rowPoll, TPollFn>()(&polled, 1, 0) == 1;
}

} // namespace

int StartWinsock(std::uint16_t version, TWSAData* data) {
    if (WinsockLibrary.load(std::memory_order_acquire) != nullptr) {
        return 0;
    }
    void* library = dlopen(kWinsockLibraryName, RTLD_NOW);
    if (library == nullptr) {
        const char* reason = dlerror();
        throw EIdWS2StubError(FormatText(RSWinsockLoadError, kWinsockLibraryName), kModuleNotFound,
                              reason != nullptr ? reason : "");
    }
    void* expected = nullptr;
    if (!WinsockLibrary.compare_exchange_strong(expected, library)) {
        dlclose(library);
    }
    if (version < 0x0202) {
        return WSAVERNOTSUPPORTED;
    }
    if (data != nullptr) {
        data->Version = 0x0202;
        data->HighVersion = 0x0202;
    }
    return 0;
}

void UnloadWinsock() {
    void* library = WinsockLibrary.exchange(nullptr);
    if (library != nullptr) {
        dlclose(library);
        ResetWinsockEntries();
    }
}

bool WinsockLoaded() {
    return WinsockLibrary.load(std::memory_order_acquire) != nullptr;
}

int WsCleanup() {
    return 0;
}

TSocket WsSocket(int family, int type, int protocol) {
    return Checked(Bound<rowSocket, TSocketFn>()(family, type | SOCK_CLOEXEC, protocol));
}

int WsBind(TSocket socket, const sockaddr* address, socklen_t length) {
    return Checked(Bound<rowBind, TAddressFn>()(socket, address, length));
}

int WsConnect(TSocket socket, const sockaddr* address, socklen_t length) {
    // Published before the wake descriptor is looked at: a stop that comes after the look
    // finds the socket to shut down.
    ConnectingSocket.store(socket);
    int result = -1;
    if (Woken()) {
        errno = EINTR;
    } else {
        do {
            result = Bound<rowConnect, TAddressFn>()(socket, address, length);
        } while (result == -1 && errno == EINTR && !Woken());
    }
    ConnectingSocket.store(INVALID_SOCKET);
    return Checked(result);
}

int WsGetSockName(TSocket socket, sockaddr* address, socklen_t* length) {
    return Checked(Bound<rowGetSockName, TNameFn>()(socket, address, length));
}

int WsGetPeerName(TSocket socket, sockaddr* address, socklen_t* length) {
    return Checked(Bound<rowGetPeerName, TNameFn>()(socket, address, length));
}

std::vector<in_addr> WsGetHostByName(const char* name) {
    hostent entry{};
    hostent* found = nullptr;
    int resolverError = 0;
    std::vector<char> scratch(1024);
    int error;
    // The scratch area holds the names and addresses; a long list needs a larger one.
    while ((error = Bound<rowGetHostByName, TGetHostByNameFn>()(
                name, &entry, scratch.data(), scratch.size(), &found, &resolverError)) == ERANGE &&
           scratch.size() < kMaxHostEntrySize) {
        scratch.resize(scratch.size() * 2);
    }
    std::vector<in_addr> addresses;
    if (error != 0 || found == nullptr) {
        LastError = error != 0 ? CodeOfErrno(error) : CodeOfResolverError(resolverError);
        return addresses;
    }
    if (found->h_addrtype == AF_INET && found->h_length == sizeof(in_addr)) {
        for (char** address = found->h_addr_list; *address != nullptr; ++address) {
            in_addr bytes;
            std::memcpy(&bytes, *address, sizeof(bytes));
            addresses.push_back(bytes);
        }
    }
    if (addresses.empty()) {
        LastError = WSANO_DATA;
    }
    return addresses;
}

std::uint16_t WsHtons(std::uint16_t value) {
    return Bound<rowHtons, TShortFn>()(value);
}
std::uint16_t WsNtohs(std::uint16_t value) {
    return Bound<rowNtohs, TShortFn>()(value);
}
std::uint32_t WsHtonl(std::uint32_t value) {
    return Bound<rowHtonl, TLongFn>()(value);
}
std::uint32_t WsNtohl(std::uint32_t value) {
    return Bound<rowNtohl, TLongFn>()(value);
}

int WsSelect(TFdSet* readSet, TFdSet* writeSet, TFdSet* errorSet, const timeval* timeout) {
    if (timeout != nullptr && (timeout->tv_sec < 0 || timeout->tv_usec < 0)) {
        LastError = WSAEINVAL;
        return SOCKET_ERROR;
    }
    const TPollSet sets[] = {{readSet, POLLIN}, {writeSet, POLLOUT}, {errorSet, POLLPRI}};
    pollfd polled[3 * kFdSetSize + 1];
    nfds_t count = 0;
    for (const TPollSet& set : sets) {
        for (unsigned i = 0; set.Set != nullptr && i < set.Set->Count; ++i) {
            polled[count++] = pollfd{set.Set->Sockets[i], set.Events, 0};
        }
    }
    const int wake = WakeDescriptor.load();
    if (wake >= 0) {
        polled[count] = pollfd{wake, POLLIN, 0};
    }
    int result;
    do {
        result = Bound<rowPoll, TPollFn>()(polled, count + (wake >= 0 ? 1 : 0),
                                           PollTimeout(timeout));
    } while (result == -1 && errno == EINTR);
    if (result == -1) {
        return Checked(result);
    }
    if (wake >= 0 && (polled[count].revents & POLLIN) != 0) {
        LastError = WSAEINTR;
        return SOCKET_ERROR;
    }
    // Like select, a socket that failed or hung up counts as ready, so the next call on it
    // reports what happened.
    int ready = 0;
    nfds_t index = 0;
    for (const TPollSet& set : sets) {
        if (set.Set == nullptr) {
            continue;
        }
        unsigned kept = 0;
        const unsigned given = set.Set->Count;
        for (unsigned i = 0; i < given; ++i, ++index) {
            if ((polled[index].revents & (set.Events | POLLERR | POLLHUP | POLLNVAL)) != 0) {
                set.Set->Sockets[kept++] = polled[index].fd;
            }
        }
        set.Set->Count = kept;
        ready += static_cast<int>(kept);
    }
    return ready;
}

void WsSetWakeDescriptor(int descriptor) {
    WakeDescriptor.store(descriptor);
}

void WsAbortConnect() {
    const TSocket socket = ConnectingSocket.load();
    if (socket != INVALID_SOCKET) {
        // Called directly: binding the function by name is not safe in a signal handler.
        ::shutdown(socket, SHUT_RDWR);
    }
}

int WsRecv(TSocket socket, void* buffer, int length, int flags) {
    ssize_t result;
    do {
        result = Bound<rowRecv, TRecvFn>()(socket, buffer, static_cast<size_t>(length), flags);
    } while (result == -1 && errno == EINTR);
    return static_cast<int>(Checked(result));
}

int WsSend(TSocket socket, const void* buffer, int length, int flags) {
    ssize_t result;
    do {
        result = Bound<rowSend, TSendFn>()(socket, buffer, static_cast<size_t>(length),
                                           flags | MSG_NOSIGNAL);
    } while (result == -1 && errno == EINTR);
    return static_cast<int>(Checked(result));
}

int WsShutdown(TSocket socket, int how) {
    return Checked(Bound<rowShutdown, TShutdownFn>()(socket, how));
}

int WsCloseSocket(TSocket socket) {
    return Checked(Bound<rowClose, TCloseFn>()(socket));
}

int WsSetSockOpt(TSocket socket, int level, int option, const void* value, socklen_t length) {
    return Checked(Bound<rowSetSockOpt, TSetSockOptFn>()(socket, level, option, value, length));
}

int WsGetLastError() {
    return LastError;
}

std::string SystemErrorText(std::uint32_t code) {
    switch (code) {
    case WSANOTINITIALISED:
        return "Either the application has not called WSAStartup, or WSAStartup failed.";
    case WSAHOST_NOT_FOUND:
        return "No such host is known.";
    case WSANO_RECOVERY:
        return "A non-recoverable error occurred during a database lookup.";
    default:
        break;
    }
    const int error = ErrnoOfCode(static_cast<int>(code));
    return std::strerror(error != 0 ? error : static_cast<int>(code));
}
