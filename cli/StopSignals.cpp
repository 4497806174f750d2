#include "cli/StopSignals.h"

#include "net/IdWinSock2.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace {

const int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

volatile sig_atomic_t StopSignal = 0;
volatile sig_atomic_t WakeWrite = -1;

void TakeStop(int signal) {
    int savedErrno = errno;
    if (StopSignal == 0)
        StopSignal = signal;
    // The pipe is never drained, so one byte keeps it readable; a full pipe already is.
    char byte = 0;
    [[maybe_unused]] ssize_t written = ::write(WakeWrite, &byte, 1);
    WsAbortConnect();
    errno = savedErrno;
}

void SetHandler(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // Restarted calls keep a signal from failing the writes to standard output.
    action.sa_flags = SA_RESTART;
    for (int signal : kStopSignals)
        ::sigaction(signal, &action, nullptr);
}

} // namespace

TStopSignals::TStopSignals() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error(std::string("cannot create the stop pipe: ") +
                                 std::strerror(errno));
    wakeRead_ = ends[0];
    wakeWrite_ = ends[1];
    StopSignal = 0;
    WakeWrite = wakeWrite_;
    WsSetWakeDescriptor(wakeRead_);
    SetHandler(TakeStop);
}

TStopSignals::~TStopSignals() {
    SetHandler(SIG_DFL);
    WsSetWakeDescriptor(-1);
    WakeWrite = -1;
    ::close(wakeRead_);
    ::close(wakeWrite_);
}

int TStopSignals::Signal() const {
    return StopSignal;
}
