#include "watch/RegularFile.h"

#include "watch/FileDescriptor.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace watch {
namespace {

TRegularFileText Failure(int error) {
    return {error == ENOENT ? TRegularFileText::TState::Missing
                            : TRegularFileText::TState::Refused,
            "", std::strerror(error)};
}

TRegularFileText Refusal(std::string problem) {
    return {TRegularFileText::TState::Refused, "", std::move(problem)};
}

std::string TooLarge(std::size_t maxBytes) {
    return "larger than " + std::to_string(maxBytes >> 20) + " MiB";
}

// Empty when the file may be read.
std::string ProblemWith(const struct stat& status, std::size_t maxBytes) {
    if (!S_ISREG(status.st_mode))
        return "not a regular file";
    if (static_cast<std::size_t>(status.st_size) > maxBytes)
        return TooLarge(maxBytes);
    return {};
}

} // namespace

TRegularFileText ReadRegularFile(const std::string& path, std::size_t maxBytes) {
    // Looked at before opening, so that no device is ever opened; looked at again after,
    // in case the name was given to something else in between.
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return Failure(errno);
    if (std::string problem = ProblemWith(status, maxBytes); !problem.empty())
        return Refusal(std::move(problem));
    TFileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.Get() < 0 || ::fstat(file.Get(), &status) != 0)
        return Failure(errno);
    if (std::string problem = ProblemWith(status, maxBytes); !problem.empty())
        return Refusal(std::move(problem));

    std::string text;
    char buffer[65536];
    for (;;) {
        ssize_t count = ::read(file.Get(), buffer, sizeof buffer);
        if (count == 0)
            return {TRegularFileText::TState::Read, std::move(text), ""};
        if (count < 0 && errno != EINTR)
            return Failure(errno);
        if (count > 0)
            text.append(buffer, static_cast<size_t>(count));
        // The file may still grow while it is read.
        if (text.size() > maxBytes)
            return Refusal(TooLarge(maxBytes));
    }
}

} // namespace watch
