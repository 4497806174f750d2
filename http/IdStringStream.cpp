#include "http/IdStringStream.h"

#include <algorithm>
#include <cstring>
#include <utility>

void TIdStringStream::SetPosition(std::int64_t position) {
    position_ = std::clamp<std::int64_t>(position, 0, Size());
}

void TIdStringStream::SetSize(std::int64_t size) {
    bytes_.resize(static_cast<std::size_t>(std::max<std::int64_t>(size, 0)));
    position_ = std::min(position_, Size());
}

void TIdStringStream::ReserveSize(std::int64_t size) {
    if (size > 0) {
        bytes_.reserve(static_cast<std::size_t>(size));
    }
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
