#include "cli/BodyFile.h"

#include "cli/FolderSync.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <unistd.h>
#include <utility>

namespace {

// ".NAME.XXXXXX" beside NAME, with six random letters or digits.
std::string TemporaryNameBeside(const std::string& path) {
    static const char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937 random{std::random_device{}()};
    std::filesystem::path final(path);
    std::string name = "." + final.filename().string() + ".";
    for (int i = 0; i < 6; ++i)
        name += Letters[random() % (sizeof Letters - 1)];
    return (final.parent_path() / name).string();
}

} // namespace

TBodyFile::TBodyFile(std::string path) : path_(std::move(path)) {
    // A new file of a new name: nothing that stands at either name (a link above all) is
    // opened, so no byte lands outside the folder.
    do {
        temporaryPath_ = TemporaryNameBeside(path_);
        fd_ = ::open(temporaryPath_.c_str(),
                     O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    } while (fd_ < 0 && errno == EEXIST);
    if (fd_ < 0)
        Fail(errno);
}

TBodyFile::~TBodyFile() {
    if (fd_ >= 0)
        ::close(fd_);
    // An unfinished body never takes its name.
    if (!temporaryPath_.empty())
        ::unlink(temporaryPath_.c_str());
}

void TBodyFile::SetPosition(std::int64_t position) {
    position_ = std::max<std::int64_t>(position, 0);
}

void TBodyFile::SetSize(std::int64_t size) {
    size = std::max<std::int64_t>(size, 0);
    // Reading a body sets the size it already has after every piece; only a change is sent.
    if (size != size_ && fd_ >= 0 && ::ftruncate(fd_, size) != 0)
        Fail(errno);
    size_ = size;
    position_ = std::min(position_, size);
}

std::int64_t TBodyFile::Read(void* buffer, std::int64_t count) {
    count = std::clamp<std::int64_t>(count, 0, size_ - std::min(position_, size_));
    ssize_t read = fd_ >= 0 ? ::pread(fd_, buffer, static_cast<size_t>(count), position_) : -1;
    if (read < 0)
        return 0;
    position_ += read;
    return read;
}

std::int64_t TBodyFile::Write(const void* buffer, std::int64_t count) {
    if (count <= 0)
        return 0;
    const char* bytes = static_cast<const char*>(buffer);
    for (std::int64_t written = 0; fd_ >= 0 && written < count;) {
        ssize_t n = ::pwrite(fd_, bytes + written, static_cast<size_t>(count - written),
                             position_ + written);
        if (n < 0 && errno != EINTR)
            Fail(errno);
        else if (n > 0)
            written += n;
    }
    position_ += count;
    size_ = std::max(size_, position_);
    StartWriteBack();
    return count;
}

// Hands every further 8 MiB to the disk while the body is still arriving, so the sync at
// the end waits for the last piece only rather than for the whole body.
void TBodyFile::StartWriteBack() {
    constexpr std::int64_t kWriteBackStep = 8 * 1024 * 1024;
    if (fd_ < 0 || position_ - writeBackFrom_ < kWriteBackStep)
        return;
    ::sync_file_range(fd_, writeBackFrom_, position_ - writeBackFrom_, SYNC_FILE_RANGE_WRITE);
    writeBackFrom_ = position_;
}

void TBodyFile::Finish() {
    if (fd_ >= 0 && ::fsync(fd_) != 0)
        Fail(errno);
    // A write-back error may only show at the close (network file systems).
    if (fd_ >= 0 && ::close(std::exchange(fd_, -1)) != 0)
        Fail(errno);
    if (!failure_.empty())
        return;
    // The rename replaces whatever stands at the name, a link itself rather than its target.
    if (::rename(temporaryPath_.c_str(), path_.c_str()) != 0)
        Fail(errno);
    else if (int error = SyncFolderOf(path_))
        Fail(error);
    else
        temporaryPath_.clear();
}

void TBodyFile::Remove() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporaryPath_.empty())
        ::unlink(temporaryPath_.c_str());
    temporaryPath_.clear();
    // What stood at the name is no body of this URL; a link goes, its target stays.
    ::unlink(path_.c_str());
}

// Keeps the first reason and stops writing: the bytes still count, so the transfer goes on.
void TBodyFile::Fail(int error) {
    if (failure_.empty())
        failure_ = "cannot write " + path_ + ": " + std::strerror(error);
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}
