#pragma once

#include <cstdint>
#include <string>

#include "net/IdStream.h"

// A body held in memory: a stream whose bytes are a std::string, so that it can be handed on
// as text without a copy.  It holds at most kMaxInMemoryBody bytes; growing beyond raises
// EIdResponseBodyTooLarge.
class TIdStringStream final : public TIdStream {
public:
    static constexpr std::int64_t kMaxInMemoryBody = 64 * 1024 * 1024;

    std::int64_t Position() const override { return position_; }
    void SetPosition(std::int64_t position) override;
    std::int64_t Size() const override { return static_cast<std::int64_t>(bytes_.size()); }
    void SetSize(std::int64_t size) override;
    void ReserveSize(std::int64_t size) override;
    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;

    const std::string& DataString() const { return bytes_; }
    // Moves the bytes out and leaves the stream empty.
    std::string TakeString();

private:
    // Refuses size beyond the bound and makes room for it.
    void Grow(std::int64_t size);

    std::string bytes_;
    std::int64_t position_ = 0;
};
