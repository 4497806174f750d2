#include "cli/FileText.h"

#include "cli/UnreadableFile.h"
#include "cli/UnwritableFile.h"
#include "watch/RegularFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {

std::string Failure(const std::string& what, const std::string& path, int error) {
    return what + " " + path + ": " + std::strerror(error);
}

// Errno of the first step that fails, 0 when the bytes are all on the disk.
int WriteWhole(int fd, const std::string& bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        ssize_t count = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno != EINTR)
            return errno;
        if (count > 0)
            written += static_cast<size_t>(count);
    }
    return ::fsync(fd) == 0 ? 0 : errno;
}

} // namespace

std::string ReadRegularFile(const std::string& path, std::int64_t maxBytes) {
    watch::TRegularFileText file =
        watch::ReadRegularFile(path, static_cast<std::size_t>(maxBytes));
    if (file.State != watch::TRegularFileText::TState::Read)
        throw EUnreadableFile("cannot read " + path + ": " + file.Problem);
    return std::move(file.Text);
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        throw EUnwritableFile(Failure("cannot write", path, errno));
    int error = WriteWhole(fd, bytes);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(path.c_str());
        throw EUnwritableFile(Failure("cannot write", path, error));
    }
}
