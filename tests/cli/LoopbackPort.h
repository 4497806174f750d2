#pragma once

#include <string>

// A loopback port held for the life of the object, where no real server runs.
class TLoopbackPort {
public:
    // Bound but not listening: every connection attempt is refused, and no one else can
    // take the port meanwhile.
    static TLoopbackPort Refusing() { return TLoopbackPort(false); }
    // Listening but never accepting: the kernel completes connections and nothing ever
    // answers, like a server that stalls.
    static TLoopbackPort Silent() { return TLoopbackPort(true); }

    ~TLoopbackPort();
    TLoopbackPort(const TLoopbackPort&) = delete;
    TLoopbackPort& operator=(const TLoopbackPort&) = delete;

    // The port number as text.
    std::string Port() const { return std::to_string(port_); }

private:
    explicit TLoopbackPort(bool listening);

    int fd_ = -1;
    int port_ = 0;
};
