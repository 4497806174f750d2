#include "net/IdStream.h"

#include <algorithm>
#include <cstring>

TIdMemoryStream::TIdMemoryStream(const std::string& bytes) {
    Write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    position_ = 0;
}

void TIdMemoryStream::SetPosition(std::int64_t position) {
    position_ = std::max<std::int64_t>(position, 0);
}

void TIdMemoryStream::SetSize(std::int64_t size) {
    size = std::max<std::int64_t>(size, 0);
    const std::int64_t old = Size();
    if (size > old) {
        std::memset(ReserveTail(size - old), 0, static_cast<std::size_t>(size - old));
    }
    end_ = start_ + size;
    position_ = std::min(position_, size);
}

void TIdMemoryStream::ReserveSize(std::int64_t size) {
    if (size > Size()) {
        ReserveTail(size - Size());
    }
}

std::int64_t TIdMemoryStream::Read(void* buffer, std::int64_t count) {
    const std::int64_t available = std::max<std::int64_t>(Size() - position_, 0);
    count = std::clamp<std::int64_t>(count, 0, available);
    if (count > 0) {
        std::memcpy(buffer, Memory() + position_, static_cast<std::size_t>(count));
        position_ += count;
    }
    return count;
}

std::int64_t TIdMemoryStream::Write(const void* buffer, std::int64_t count) {
    if (count <= 0) {
        return 0;
    }
    const std::int64_t newEnd = position_ + count;
    if (newEnd > Size()) {
        // A position beyond the end leaves a zero-filled gap, as growing does.
        SetSize(position_);
        ReserveTail(newEnd - Size());
        end_ = start_ + newEnd;
    }
    std::memcpy(Memory() + position_, buffer, static_cast<std::size_t>(count));
    position_ = newEnd;
    return count;
}

void TIdMemoryStream::Clear() {
    start_ = 0;
    end_ = 0;
    position_ = 0;
}

char* TIdMemoryStream::ReserveTail(std::int64_t count) {
    if (end_ + count > capacity_) {
        Reserve(std::max(end_ + count, capacity_ * 2));
    }
    return data_.get() + end_;
}

void TIdMemoryStream::Reserve(std::int64_t capacity) {
    auto grown = std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(capacity));
    if (end_ > 0) {
        std::memcpy(grown.get(), data_.get(), static_cast<std::size_t>(end_));
    }
    data_ = std::move(grown);
    capacity_ = capacity;
}
