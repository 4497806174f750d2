#pragma once

#include "net/IdComponent.h"

#include <string>

// What the connection needs of a transport: open, connect, wait for data, receive, send.
class TIdIOHandler : public TIdComponent {
public:
    virtual void CloseHandler() {}
    virtual void ConnectHandler(const std::string& /*host*/, int /*port*/,
                                const std::string& /*boundIP*/, int /*boundPort*/,
                                int /*boundPortMin*/, int /*boundPortMax*/, int /*timeout*/) {}
    virtual bool HandlerConnected() = 0;
    virtual void OpenHandler() {}
    // True when data (or a close) arrived within timeout ms; -2 waits without limit.
    virtual bool WaitReadable(int timeout) = 0;
    // One receive or send; the raw result, -1 on a socket error.
    virtual int ReceiveSome(void* buffer, int length) = 0;
    virtual int SendSome(const void* buffer, int length) = 0;
    // Raises when the close that ended a read until close may have cut the data short.
    virtual void CheckEndOfData() {}
};
