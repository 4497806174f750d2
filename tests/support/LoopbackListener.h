#pragma once

// A listening TCP socket on 127.0.0.1 at a port the system picks, for the servers that tests
// and benchmarks start themselves. The owner closes Socket.
struct TLoopbackListener {
    int Socket = -1;
    int Port = 0;
};

// Throws std::runtime_error when no socket can listen.
TLoopbackListener ListenOnLoopback(int backlog);
