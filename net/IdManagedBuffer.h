#pragma once

#include "net/IdSimpleBuffer.h"

#include <cstdint>

// The connection's input buffer.  Consuming bytes from the front only moves an offset;
// the unread bytes are moved to the front once CompactThreshold consumed bytes have piled
// up, and the buffer starts over when everything has been consumed.
class TIdManagedBuffer : public TIdSimpleBuffer {
public:
    std::int64_t CompactThreshold = 32768;

    // Bytes already consumed and no longer visible.
    std::int64_t ConsumedCount() const { return start_; }
    void Discard(std::int64_t count) override;
    void Compact();
};
