#pragma once

#include <cstddef>
#include <string>

// The connection a floor loop sends its requests over and reads its responses from: the
// bare socket, or TLS on top of it.
class IFloorTransport {
public:
    virtual ~IFloorTransport() = default;

    // Whether there is something to read within `timeoutMs`.
    virtual bool Readable(int timeoutMs) = 0;
    // Whether the peer closed the idle connection, looked at for a moment before a request.
    virtual bool PeerClosed() = 0;
    virtual void SendAll(const std::string& bytes) = 0;
    // Receives up to `size` bytes into `into`; 0 when what came carries no data. Ends the
    // program on a failure or a close.
    virtual std::size_t Receive(char* into, std::size_t size) = 0;
};
