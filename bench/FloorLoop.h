#pragma once

#include "bench/FloorTransport.h"

#include <functional>
#include <memory>

// The part of a floor loop that does not depend on its transport.

// How long a floor loop looks whether the peer closed the idle connection.
constexpr int CloseLookMs = 1;

// Prints `what` with errno's text when there is one, and exits 1.
[[noreturn]] void Fail(const char* what);

// Whether `socket` can be read within `timeoutMs`.
bool PollReadable(int socket, int timeoutMs);

// Usage: NAME PORT PATH COUNT, with `argc` and `argv` as main() has them.
// Connects to 127.0.0.1:PORT, makes the transport over the socket with `open`, and sends
// COUNT requests "GET PATH?i" (i from 0) with the same request head as the program's client.
// Before every request but the first it asks whether the peer closed the idle connection; it
// waits for readiness before every receive, receives into a 32 KB buffer, reads the head to
// its blank line, takes the body's length from Content-Length and receives the body. Prints
// "i OK n" for each body, as `quorvel-cli get` does; returns 2 on a wrong command line and
// exits 1 on any failure.
int RunFloor(int argc, char* argv[], const char* name,
             const std::function<std::unique_ptr<IFloorTransport>(int socket)>& open);
