#include "net/IdSocketHandle.h"

#include "net/IdAntiFreezeBase.h"
#include "net/IdException.h"
#include "net/IdFormat.h"
#include "net/IdResourceStrings.h"
#include "net/IdStack.h"

#include <vector>

namespace {

// Shut down for sending only, as a close that still lets the peer's data drain.
constexpr int SD_SEND = 1;

TIdStack& Stack() {
    return *TIdStack::ActiveStack();
}

} // namespace

TIdSocketHandle::TIdSocketHandle() {
    ResetBinding(true);
}

TIdSocketHandle::~TIdSocketHandle() {
    ReleaseHandle();
}

void TIdSocketHandle::AllocateHandle(int type, int protocol) {
    ReleaseHandle();
    socketValue_.store(Stack().NewSocketHandle(type, protocol));
    hasSocket_.store(true);
}

void TIdSocketHandle::ReleaseHandle() {
    if (hasSocket_.exchange(false)) {
        const TSocket socket = socketValue_.load();
        Stack().SocketShutdown(socket, SD_SEND);
        Stack().SocketClose(socket);
    }
}

void TIdSocketHandle::ResetBinding(bool resetLocal) {
    hasSocket_.store(false);
    socketValue_.store(INVALID_SOCKET);
    if (resetLocal) {
        IP.clear();
        Port = 0;
    }
    peerAddress_.clear();
    peerPortNumber_ = 0;
}

void TIdSocketHandle::BindLocal() {
    if (Port != 0 || ClientPortMin == 0 || ClientPortMax == 0) {
        if (!TryBindOnce()) {
            throw EIdCouldNotBindSocket();
        }
        return;
    }
    if (ClientPortMax < ClientPortMin) {
        throw EIdInvalidPortRange(FormatText(RSInvalidPortRange, ClientPortMin, ClientPortMax));
    }
    for (int port = ClientPortMax; port >= ClientPortMin; --port) {
        Port = port;
        if (TryBindOnce()) {
            return;
        }
    }
    throw EIdCanNotBindPortInRange(FormatText(RSCanNotBindRange, ClientPortMin, ClientPortMax));
}

bool TIdSocketHandle::TryBindOnce() {
    const int result = Stack().SocketBind(SocketValue(), AF_INET, Port, IP);
    if (Stack().CheckSocketResult(result, {WSAEADDRINUSE})) {
        return false;
    }
    RefreshLocalAddress();
    return true;
}

int TIdSocketHandle::ConnectToPeer(int family) {
    const int result = Stack().SocketConnect(SocketValue(), family, peerPortNumber_, peerAddress_);
    if (result != SOCKET_ERROR) {
        RefreshLocalAddress();
        RefreshPeerAddress();
    }
    return result;
}

void TIdSocketHandle::SetPeerAddress(const std::string& address, int port) {
    peerAddress_ = address;
    peerPortNumber_ = port;
}

void TIdSocketHandle::RefreshLocalAddress() {
    const TIdSocketAddress local = Stack().SocketLocalAddress(SocketValue());
    IP = local.IP;
    Port = local.Port;
}

void TIdSocketHandle::RefreshPeerAddress() {
    const TIdSocketAddress peer = Stack().SocketPeerAddress(SocketValue());
    peerAddress_ = peer.IP;
    peerPortNumber_ = peer.Port;
}

bool TIdSocketHandle::SelectReadable(int timeout) {
    if (!HasSocket()) {
        throw EIdConnClosedGracefully();
    }
    const TIdAntiFreezeBase* antiFreeze = TIdAntiFreezeBase::InUse();
    if (antiFreeze == nullptr) {
        return WaitReadableOnce(timeout);
    }
    const int slice = antiFreeze->IdleTimeOut;
    bool readable = false;
    if (timeout == -2) {
        while (!readable) {
            readable = WaitReadableOnce(slice);
            TIdAntiFreezeBase::DoProcess(!readable);
        }
        return readable;
    }
    if (timeout > slice) {
        readable = WaitReadableOnce(timeout - slice);
        TIdAntiFreezeBase::DoProcess(!readable);
        timeout = slice;
    }
    if (!readable) {
        readable = WaitReadableOnce(timeout);
        TIdAntiFreezeBase::DoProcess(!readable);
    }
    return readable;
}

bool TIdSocketHandle::WaitReadableOnce(int timeout) {
    std::vector<TSocket> readList{SocketValue()};
    return Stack().SocketSelect(&readList, nullptr, timeout, nullptr) == 1;
}

int TIdSocketHandle::ReceiveBytes(void* buffer, int length, int flags) {
    return Stack().SocketRecv(SocketValue(), buffer, length, flags);
}

int TIdSocketHandle::SendBytes(const void* buffer, int length, int flags) {
    return Stack().SocketSend(SocketValue(), buffer, length, flags);
}

void TIdSocketHandle::SetOption(int level, int option, const void* value, int length) {
    Stack().CheckSocketResult(Stack().SocketSetOption(SocketValue(), level, option, value, length));
}
