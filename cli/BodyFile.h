#pragma once

#include "net/IdStream.h"

#include <cstdint>
#include <string>

// A body sink that writes straight into a file, so that a large body never has to fit in
// memory. A file that cannot be created or written is not an error of the transfer: the
// body is still read to its end (the connection stays usable for the next URL) and
// Failure() tells afterwards what went wrong.
class TBodyFile final : public TIdStream {
public:
    // Creates a new file of a temporary name beside `path`; Finish() renames it to `path`.
    explicit TBodyFile(std::string path);
    ~TBodyFile() override;
    TBodyFile(const TBodyFile&) = delete;
    TBodyFile& operator=(const TBodyFile&) = delete;

    std::int64_t Position() const override { return position_; }
    void SetPosition(std::int64_t position) override;
    std::int64_t Size() const override { return size_; }
    void SetSize(std::int64_t size) override;
    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;

    // Writes everything through to the disk, closes the file and renames it onto its path,
    // replacing what stood there (a link itself, never its target); a failure of any step
    // becomes Failure(). So the path only ever holds a whole body.
    void Finish();
    // "cannot write PATH: reason" for the first failure; empty when there was none.
    const std::string& Failure() const { return failure_; }
    // Closes the file and deletes it, and whatever stands at its path.
    void Remove();

private:
    void Fail(int error);
    void StartWriteBack();

    std::string path_;
    // Where the body is written until Finish(); empty once renamed or removed.
    std::string temporaryPath_;
    int fd_ = -1;
    std::int64_t position_ = 0;
    std::int64_t size_ = 0;
    // Where the bytes not yet handed to the disk begin.
    std::int64_t writeBackFrom_ = 0;
    std::string failure_;
};
