#include "net/IdStackWindows.h"

#include "net/IdException.h"
#include "net/IdFormat.h"
#include "net/IdResourceStrings.h"

#include <atomic>
#include <cstring>

namespace {

std::atomic<bool> WinsockStarted{false};

// Cleans the socket library up when the program ends.
struct TWinsockFinalizer {
    ~TWinsockFinalizer() { FinalizeWinsock(); }
} WinsockFinalizer;

bool FillSet(const std::vector<TSocket>* list, TFdSet& set) {
    if (list == nullptr) {
        return false;
    }
    if (list->size() > kFdSetSize) {
        throw EIdStackSetSizeExceeded();
    }
    set.Count = static_cast<unsigned>(list->size());
    std::copy(list->begin(), list->end(), set.Sockets);
    return true;
}

void TakeSet(std::vector<TSocket>* list, const TFdSet& set) {
    if (list != nullptr) {
        list->assign(set.Sockets, set.Sockets + set.Count);
    }
}

// One address part as a byte; anything else raises the integer conversion error.
std::uint8_t AddressByte(const std::string& part) {
    std::uint8_t value = 0;
    if (!ReadAddressByte(part, value)) {
        throw EIdException(FormatText(RSInvalidInteger, part.c_str()));
    }
    return value;
}

} // namespace

void FinalizeWinsock() {
    if (WinsockStarted.exchange(false)) {
        WsCleanup();
    }
    UnloadWinsock();
}

const timeval* SelectTimeout(int timeout, timeval& storage) {
    if (timeout == -2) {
        return nullptr;
    }
    storage.tv_sec = timeout / 1000;
    storage.tv_usec = (timeout % 1000) * 1000;
    return &storage;
}

TIdStackWindows::TIdStackWindows() {
    if (!WinsockStarted.load()) {
        TWSAData data;
        if (StartWinsock(0x0202, &data) != 0) {
            throw EIdStackInitializationFailed();
        }
        WinsockStarted.store(true);
    }
}

std::string TIdStackWindows::HostLookup(const std::string& host) {
    const std::vector<in_addr> addresses = WsGetHostByName(host.c_str());
    if (addresses.empty()) {
        CheckSocketResult(SOCKET_ERROR);
    }
    TIdIPv4Bytes bytes;
    std::memcpy(bytes.data(), &addresses.front().s_addr, bytes.size());
    return AddressToText(bytes);
}

std::string TIdStackWindows::AddressToText(const TIdIPv4Bytes& address) const {
    return FormatText("%u.%u.%u.%u", address[0], address[1], address[2], address[3]);
}

TIdIPv4Bytes TIdStackWindows::TextToAddress(const std::string& text) const {
    TIdIPv4Bytes address{};
    std::size_t start = 0;
    for (std::size_t i = 0; i < address.size(); ++i) {
        const std::size_t dot = i + 1 < address.size() ? text.find('.', start) : text.size();
        if (dot == std::string::npos) {
            throw EIdException(FormatText(RSInvalidInteger, ""));
        }
        address[i] = AddressByte(text.substr(start, dot - start));
        start = dot + 1;
    }
    return address;
}

TSocket TIdStackWindows::SocketCreate(int family, int type, int protocol) {
    return WsSocket(family, type, protocol);
}

sockaddr_in TIdStackWindows::MakeAddress(int family, int port, const std::string& ip) {
    sockaddr_in address{};
    address.sin_family = static_cast<sa_family_t>(family);
    address.sin_port = HostToNet16(static_cast<std::uint16_t>(port));
    if (!ip.empty()) {
        const TIdIPv4Bytes bytes = TextToAddress(ip);
        std::memcpy(&address.sin_addr.s_addr, bytes.data(), bytes.size());
    }
    return address;
}

int TIdStackWindows::SocketBind(TSocket socket, int family, int port, const std::string& ip) {
    const sockaddr_in address = MakeAddress(family, port, ip);
    return WsBind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
}

int TIdStackWindows::SocketConnect(TSocket socket, int family, int port, const std::string& ip) {
    const sockaddr_in address = MakeAddress(family, port, ip);
    return WsConnect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
}

int TIdStackWindows::SocketRecv(TSocket socket, void* buffer, int length, int flags) {
    return WsRecv(socket, buffer, length, flags);
}

int TIdStackWindows::SocketSend(TSocket socket, const void* buffer, int length, int flags) {
    return WsSend(socket, buffer, length, flags);
}

int TIdStackWindows::SocketSelect(std::vector<TSocket>* readList, std::vector<TSocket>* writeList,
                                  int timeout, std::vector<TSocket>* errorList) {
    TFdSet readSet;
    TFdSet writeSet;
    TFdSet errorSet;
    const bool hasRead = FillSet(readList, readSet);
    const bool hasWrite = FillSet(writeList, writeSet);
    const bool hasError = FillSet(errorList, errorSet);
    timeval storage;
    const int result = WsSelect(hasRead ? &readSet : nullptr, hasWrite ? &writeSet : nullptr,
                                hasError ? &errorSet : nullptr, SelectTimeout(timeout, storage));
    if (result != SOCKET_ERROR) {
        TakeSet(readList, readSet);
        TakeSet(writeList, writeSet);
        TakeSet(errorList, errorSet);
    }
    return result;
}

int TIdStackWindows::SocketShutdown(TSocket socket, int how) {
    return WsShutdown(socket, how);
}

int TIdStackWindows::SocketClose(TSocket socket) {
    return WsCloseSocket(socket);
}

int TIdStackWindows::SocketSetOption(TSocket socket, int level, int option, const void* value,
                                     int length) {
    return WsSetSockOpt(socket, level, option, value, static_cast<socklen_t>(length));
}

TIdSocketAddress TIdStackWindows::DescribeAddress(const sockaddr_in& address) {
    TIdIPv4Bytes bytes;
    std::memcpy(bytes.data(), &address.sin_addr.s_addr, bytes.size());
    return {address.sin_family, AddressToText(bytes), NetToHost16(address.sin_port)};
}

TIdSocketAddress TIdStackWindows::SocketLocalAddress(TSocket socket) {
    sockaddr_in address{};
    socklen_t length = sizeof(address);
    CheckSocketResult(WsGetSockName(socket, reinterpret_cast<sockaddr*>(&address), &length));
    return DescribeAddress(address);
}

TIdSocketAddress TIdStackWindows::SocketPeerAddress(TSocket socket) {
    sockaddr_in address{};
    socklen_t length = sizeof(address);
    CheckSocketResult(WsGetPeerName(socket, reinterpret_cast<sockaddr*>(&address), &length));
    return DescribeAddress(address);
}

int TIdStackWindows::FetchLastError() {
    return WsGetLastError();
}

std::uint16_t TIdStackWindows::HostToNet16(std::uint16_t value) {
    return WsHtons(value);
}
std::uint16_t TIdStackWindows::NetToHost16(std::uint16_t value) {
    return WsNtohs(value);
}
std::uint32_t TIdStackWindows::HostToNet32(std::uint32_t value) {
    return WsHtonl(value);
}
std::uint32_t TIdStackWindows::NetToHost32(std::uint32_t value) {
    return WsNtohl(value);
}
