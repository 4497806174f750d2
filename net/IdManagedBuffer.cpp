#include "net/IdManagedBuffer.h"

#include <cstring>

void TIdManagedBuffer::Discard(std::int64_t count) {
    RequireUnread(count);
    if (count == Size()) {
        Clear();
    } else {
        start_ += count;
        position_ = 0;
        if (start_ >= CompactThreshold) {
            Compact();
        }
    }
    NotifyRemoved(count);
}

void TIdManagedBuffer::Compact() {
    if (start_ == 0) {
        return;
    }
    const std::int64_t unread = Size();
    if (unread > 0) {
        std::memmove(data_.get(), Memory(), static_cast<std::size_t>(unread));
    }
    start_ = 0;
    end_ = unread;
}
