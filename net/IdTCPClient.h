#pragma once

#include "net/IdTCPConnection.h"

#include <string>

// A connection that opens itself to Host:Port.
class TIdTCPClient : public TIdTCPConnection {
public:
    const std::string& Host() const { return host_; }
    virtual void SetHost(const std::string& host) { host_ = host; }
    int Port() const { return port_; }
    virtual void SetPort(int port) { port_ = port; }

    // Local address and port to connect from (empty and 0: any), and a local port range
    // (0 and 0: none) tried from its top down.
    std::string BoundIP;
    int BoundPort = 0;
    int BoundPortMin = 0;
    int BoundPortMax = 0;

    TNotifyEvent OnConnected;

    // Connects, creating a socket IO handler if none is set.  A timeout other than -1 or 0
    // (-2: no limit) bounds the connect itself.  On any failure the socket is dropped and the
    // exception propagates; a handler that is still connected raises EIdAlreadyConnected.
    virtual void OpenConnection(int timeout = -1);
    virtual void NotifyConnected();

private:
    std::string host_;
    int port_ = 0;
};
