#include "DemoBoard.h"

#include <cstdio>
#include <fcntl.h>
#include <signal.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

TDemoBoard::TDemoBoard() {
    int out[2];
    if (::pipe(out) != 0)
        throw std::runtime_error("pipe failed");
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::close(out[1]);
        int nullFd = ::open("/dev/null", O_WRONLY);
        ::dup2(nullFd, 2);
        ::execlp("python3", "python3", QUORVEL_DEMO_BOARD, "--port", "0", nullptr);
        ::_exit(127);
    }
    ::close(out[1]);
    // The board's first line, once it listens: "board listening on http://127.0.0.1:PORT/".
    std::string line;
    char c;
    while (::read(out[0], &c, 1) == 1 && c != '\n')
        line += c;
    ::close(out[0]);
    size_t colon = line.rfind(':');
    if (colon == std::string::npos || std::sscanf(line.c_str() + colon + 1, "%d", &port_) != 1) {
        Stop();
        throw std::runtime_error("the demo board did not start: '" + line + "'");
    }
}

TDemoBoard::~TDemoBoard() {
    Stop();
}

std::string TDemoBoard::HostAndPort() const {
    return "127.0.0.1:" + std::to_string(port_);
}

int TDemoBoard::Stop() {
    if (pid_ < 0)
        return -1;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TDemoBoard& SharedDemoBoard() {
    static TDemoBoard board;
    return board;
}
