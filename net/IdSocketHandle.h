#pragma once

#include "net/IdWinSock2.h"

#include <atomic>
#include <string>

// One socket with its local and peer addresses, driven through the active socket stack.
class TIdSocketHandle {
public:
    TIdSocketHandle();
    virtual ~TIdSocketHandle();
    TIdSocketHandle(const TIdSocketHandle&) = delete;
    TIdSocketHandle& operator=(const TIdSocketHandle&) = delete;

    // Local address and port to bind to (empty and 0: any), and a local port range to bind
    // in (0 and 0: no range).  Binding and connecting fill IP and Port with what was used.
    std::string IP;
    int Port = 0;
    int ClientPortMin = 0;
    int ClientPortMax = 0;

    TSocket SocketValue() const { return socketValue_.load(); }
    bool HasSocket() const { return hasSocket_.load(); }
    const std::string& PeerAddress() const { return peerAddress_; }
    int PeerPortNumber() const { return peerPortNumber_; }

    void AllocateHandle(int type, int protocol);
    // Shuts the socket down for sending and closes it; the socket is gone either way.
    virtual void ReleaseHandle();
    // Forgets the socket without closing it, and the peer; with resetLocal the local
    // address and port too.
    void ResetBinding(bool resetLocal);
    // Binds to IP and Port, or to the highest free port of the client port range.
    void BindLocal();
    // One bind to IP and Port: false when the address is in use.
    bool TryBindOnce();
    // Connects to the peer address; the raw result, for the caller to check.
    virtual int ConnectToPeer(int family);
    void SetPeerAddress(const std::string& address, int port);
    void RefreshLocalAddress();
    void RefreshPeerAddress();
    // Waits up to timeout ms (-2: no limit) for the socket to become readable.  Without a
    // socket raises EIdConnClosedGracefully.
    bool SelectReadable(int timeout);
    int ReceiveBytes(void* buffer, int length, int flags);
    int SendBytes(const void* buffer, int length, int flags);
    void SetOption(int level, int option, const void* value, int length);

private:
    bool WaitReadableOnce(int timeout);

    // Atomic because a timed connect closes the socket under the connect thread.
    std::atomic<TSocket> socketValue_{INVALID_SOCKET};
    std::atomic<bool> hasSocket_{false};
    std::string peerAddress_;
    int peerPortNumber_ = 0;
};
