#pragma once

#include <string>

// A loopback port held for the life of the object, where no real server runs.
class TLoopbackPort {
public:
    // Bound but not listening: every connection attempt is refused, and no one else can
    // take the port meanwhile.
    static TLoopbackPort Refusing() { return TLoopbackPort(TKind::Refusing); }
    // Listening but never accepting: the kernel completes connections and nothing ever
    // answers, like a server that stalls.
    static TLoopbackPort Silent() { return TLoopbackPort(TKind::Silent); }
    // Listening with a full queue of connections never accepted: the kernel drops every
    // further connection request, like a host that never answers, and a connect waits.
    static TLoopbackPort Unanswering() { return TLoopbackPort(TKind::Unanswering); }

    ~TLoopbackPort();
    TLoopbackPort(const TLoopbackPort&) = delete;
    TLoopbackPort& operator=(const TLoopbackPort&) = delete;

    // The port number as text.
    std::string Port() const { return std::to_string(port_); }

private:
    enum class TKind { Refusing, Silent, Unanswering };
    explicit TLoopbackPort(TKind kind);

    int fd_ = -1;
    // The connection that fills the queue of an unanswering port.
    int queued_ = -1;
    int port_ = 0;
};
