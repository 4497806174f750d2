#include "cli/CheckedOutput.h"

#include "cli/UnwritableOutput.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <ostream>
#include <string>
#include <unistd.h>

namespace {

// errno is cleared before each write, so a reason left there is that write's.
void CheckOutput(std::ostream& out) {
    if (out)
        return;
    int error = errno;
    std::string reason = error != 0 ? std::string(": ") + std::strerror(error) : std::string();
    throw EUnwritableOutput("cannot write standard output" + reason);
}

} // namespace

void WriteOutput(std::ostream& out, std::string_view text) {
    errno = 0;
    out << text;
    CheckOutput(out);
}

void FlushOutput(std::ostream& out) {
    errno = 0;
    out.flush();
    CheckOutput(out);
}

void PrepareStandardStreams() {
    // open() takes the lowest free number, so each closed one is filled in order.
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF)
            ::open("/dev/null", O_RDONLY);
    std::signal(SIGPIPE, SIG_IGN);
}
