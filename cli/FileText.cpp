#include "cli/FileText.h"

#include "cli/UnreadableFile.h"
#include "cli/UnwritableFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes the descriptor when the scope ends, whichever way it ends.
class TFileDescriptor {
public:
    explicit TFileDescriptor(int fd) : fd_(fd) {}
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    ~TFileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int Get() const { return fd_; }

private:
    int fd_;
};

std::string Failure(const std::string& what, const std::string& path, int error) {
    return what + " " + path + ": " + std::strerror(error);
}

} // namespace

std::string ReadRegularFile(const std::string& path, std::int64_t maxBytes) {
    // Without O_NONBLOCK the open of a FIFO would wait for a writer before the check.
    TFileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (file.Get() < 0 || ::fstat(file.Get(), &status) != 0)
        throw EUnreadableFile(Failure("cannot read", path, errno));
    if (!S_ISREG(status.st_mode))
        throw EUnreadableFile("cannot read " + path + ": not a regular file");
    const std::string tooLarge =
        "cannot read " + path + ": larger than " + std::to_string(maxBytes >> 20) + " MiB";
    if (status.st_size > maxBytes)
        throw EUnreadableFile(tooLarge);
    std::string bytes;
    char buffer[65536];
    for (;;) {
        ssize_t count = ::read(file.Get(), buffer, sizeof buffer);
        if (count == 0)
            return bytes;
        if (count < 0 && errno != EINTR)
            throw EUnreadableFile(Failure("cannot read", path, errno));
        if (count > 0)
            bytes.append(buffer, static_cast<size_t>(count));
        // The file may still grow while it is read.
        if (static_cast<std::int64_t>(bytes.size()) > maxBytes)
            throw EUnreadableFile(tooLarge);
    }
}

namespace {

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
