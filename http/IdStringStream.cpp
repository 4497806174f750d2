#include "http/IdStringStream.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "http/EIdResponseBodyTooLarge.h"

namespace {

constexpr std::size_t kBound = static_cast<std::size_t>(TIdStringStream::kMaxInMemoryBody);

// The room to make for size bytes: doubling, but once past half the bound straight to the
// bound, so that no move of the bytes to a larger area holds more than one and a half times
// the bound at once.
std::size_t CapacityFor(std::size_t size, std::size_t capacity) {
    const std::size_t wanted = std::max(size, capacity * 2);
    return wanted > kBound / 2 ? kBound : wanted;
}

} // namespace

void TIdStringStream::SetPosition(std::int64_t position) {
    position_ = std::clamp<std::int64_t>(position, 0, Size());
}

void TIdStringStream::Grow(std::int64_t size) {
    if (size > kMaxInMemoryBody) {
        throw EIdResponseBodyTooLarge();
    }
    if (size <= 0) {
        return;
    }
    const auto needed = static_cast<std::size_t>(size);
    if (needed > bytes_.capacity()) {
        bytes_.reserve(CapacityFor(needed, bytes_.capacity()));
    }
}

void TIdStringStream::SetSize(std::int64_t size) {
    size = std::max<std::int64_t>(size, 0);
    Grow(size);
    bytes_.resize(static_cast<std::size_t>(size));
    position_ = std::min(position_, Size());
}

void TIdStringStream::ReserveSize(std::int64_t size) {
    // Only a hint: a body announced beyond the bound fails when its bytes come, not before.
    Grow(std::min(size, kMaxInMemoryBody));
}

std::int64_t TIdStringStream::Read(void* buffer, std::int64_t count) {
    const std::int64_t taken = std::clamp<std::int64_t>(Size() - position_, 0, count);
    std::memcpy(buffer, bytes_.data() + position_, static_cast<std::size_t>(taken));
    position_ += taken;
    return taken;
}

std::int64_t TIdStringStream::Write(const void* buffer, std::int64_t count) {
    if (count <= 0) {
        return 0;
    }
    Grow(position_ + count);
    const auto start = static_cast<std::size_t>(position_);
    const auto length = static_cast<std::size_t>(count);
    if (start == bytes_.size()) {
        bytes_.append(static_cast<const char*>(buffer), length);
    } else {
        if (start + length > bytes_.size()) {
            bytes_.resize(start + length);
        }
        std::memcpy(bytes_.data() + start, buffer, length);
    }
    position_ += count;
    return count;
}

std::string TIdStringStream::TakeString() {
    position_ = 0;
    return std::exchange(bytes_, {});
}
