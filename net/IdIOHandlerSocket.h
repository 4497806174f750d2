#pragma once

#include "net/IdIOHandler.h"
#include "net/IdSocketHandle.h"

#include <memory>

// The IO handler over one socket.
class TIdIOHandlerSocket : public TIdIOHandler {
public:
    TIdIOHandlerSocket();
    ~TIdIOHandlerSocket() override;

    // Nagle's algorithm stays on unless this is cleared before connecting.
    bool UseNagle = true;

    // The socket in use; created by the first OpenHandler.
    TIdSocketHandle* Binding() const { return binding_.get(); }

    void CloseHandler() override;
    // Binds, resolves the host and connects.  A timeout of -1 or 0 connects on this thread;
    // any other value (-2: no limit) connects on a TIdConnectThread and gives up after that
    // many ms with EIdConnectTimeout.
    void ConnectHandler(const std::string& host, int port, const std::string& boundIP,
                        int boundPort, int boundPortMin, int boundPortMax, int timeout) override;
    bool HandlerConnected() override;
    void OpenHandler() override;
    bool WaitReadable(int timeout) override;
    int ReceiveSome(void* buffer, int length) override;
    int SendSome(const void* buffer, int length) override;

private:
    void TimedConnect(int timeout);

    std::unique_ptr<TIdSocketHandle> binding_;
};
