#pragma once

#include <string>
#include <sys/types.h>

// The demo job board (demo/board.py) running on a free loopback port for the life of the
// object; stopped with SIGTERM, as scripts/run stops it.
class TDemoBoard {
public:
    TDemoBoard();
    ~TDemoBoard();
    TDemoBoard(const TDemoBoard&) = delete;
    TDemoBoard& operator=(const TDemoBoard&) = delete;

    int Port() const { return port_; }
    // "127.0.0.1:PORT", as --board takes it.
    std::string HostAndPort() const;
    // Exit status of the board after the stop (-1 when a signal ended it).
    int Stop();

private:
    pid_t pid_ = -1;
    int port_ = 0;
};

// One board for every test of the process that needs no board of its own, started on first
// use and stopped when the process ends.
TDemoBoard& SharedDemoBoard();
