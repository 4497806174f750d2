#pragma once

#include "net/IdStream.h"

#include <cstdint>
#include <functional>
#include <string>

// A growable byte buffer that reports bytes taken from its front.
class TIdSimpleBuffer : public TIdMemoryStream {
public:
    // Fired after bytes were removed from the front: (sender, count).
    using TBytesRemovedEvent = std::function<void(TIdSimpleBuffer* sender, std::int64_t count)>;

    TBytesRemovedEvent BytesRemoved;

    // Adds bytes at the end, whatever the position.
    void Append(const void* bytes, std::int64_t count);
    // Receiving straight into the buffer: room for count bytes at the end, then the count
    // that actually arrived.
    char* ReserveTail(std::int64_t count) { return TIdMemoryStream::ReserveTail(count); }
    void CommitTail(std::int64_t count) { TIdMemoryStream::CommitTail(count); }

    // The first count bytes as text, removed from the buffer.
    std::string TakeText(std::int64_t count);
    // Removes the first count bytes; fewer unread bytes raise EIdNotEnoughDataInBuffer.
    virtual void Discard(std::int64_t count);

protected:
    void RequireUnread(std::int64_t count) const;
    void NotifyRemoved(std::int64_t count);
};
