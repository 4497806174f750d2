#include "net/IdSimpleBuffer.h"

#include "net/IdException.h"

#include <cstring>

void TIdSimpleBuffer::Append(const void* bytes, std::int64_t count) {
    if (count > 0) {
        std::memcpy(ReserveTail(count), bytes, static_cast<std::size_t>(count));
        CommitTail(count);
    }
}

std::string TIdSimpleBuffer::TakeText(std::int64_t count) {
    RequireUnread(count);
    std::string text(Memory(), static_cast<std::size_t>(count));
    Discard(count);
    return text;
}

void TIdSimpleBuffer::Discard(std::int64_t count) {
    RequireUnread(count);
    const std::int64_t rest = Size() - count;
    if (rest > 0) {
        std::memmove(Memory(), Memory() + count, static_cast<std::size_t>(rest));
    }
    end_ = start_ + rest;
    position_ = 0;
    NotifyRemoved(count);
}

void TIdSimpleBuffer::RequireUnread(std::int64_t count) const {
    if (count < 0 || count > Size()) {
        throw EIdNotEnoughDataInBuffer();
    }
}

void TIdSimpleBuffer::NotifyRemoved(std::int64_t count) {
    if (BytesRemoved) {
        BytesRemoved(this, count);
    }
}
