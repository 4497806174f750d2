#include "net/IdException.h"
#include "net/IdManagedBuffer.h"
#include "net/IdStream.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(MemoryStream, WritesReadsAndResizesAroundThePosition) {
    TIdMemoryStream stream;
    stream.Write("hello", 5);
    stream.SetPosition(1);
    char bytes[3];
    EXPECT_EQ(stream.Read(bytes, 3), 3);
    EXPECT_EQ(std::string(bytes, 3), "ell");
    stream.SetSize(8);
    EXPECT_EQ(stream.Position(), 4);
    EXPECT_EQ(stream.DataString(), std::string("hello\0\0\0", 8));
    stream.SetSize(2);
    EXPECT_EQ(stream.Position(), 2);
    EXPECT_EQ(stream.Read(bytes, 3), 0);
    // Writing past the end fills the gap with zeros.
    stream.SetPosition(4);
    stream.Write("!", 1);
    EXPECT_EQ(stream.DataString(), std::string("he\0\0!", 5));
}

TEST(ManagedBuffer, ConsumesFromTheFrontAndCountsWhatWasRemoved) {
    TIdManagedBuffer buffer;
    std::int64_t removed = 0;
    buffer.BytesRemoved = [&](TIdSimpleBuffer*, std::int64_t count) { removed += count; };
    buffer.Append("line one\nrest", 13);
    EXPECT_EQ(buffer.TakeText(9), "line one\n");
    EXPECT_EQ(buffer.ConsumedCount(), 9);
    EXPECT_EQ(buffer.DataString(), "rest");
    buffer.Append("!", 1);
    EXPECT_EQ(buffer.DataString(), "rest!");
    buffer.Discard(5);
    EXPECT_EQ(buffer.Size(), 0);
    EXPECT_EQ(buffer.ConsumedCount(), 0);
    EXPECT_EQ(removed, 14);
}

TEST(ManagedBuffer, CompactsOnceTheThresholdIsConsumed) {
    TIdManagedBuffer buffer;
    buffer.CompactThreshold = 8;
    buffer.Append("0123456789abcdef", 16);
    buffer.Discard(5);
    EXPECT_EQ(buffer.ConsumedCount(), 5);
    buffer.Discard(4);
    EXPECT_EQ(buffer.ConsumedCount(), 0);
    EXPECT_EQ(buffer.DataString(), "9abcdef");
}

TEST(ManagedBuffer, RefusesToRemoveMoreThanIsUnread) {
    TIdManagedBuffer buffer;
    buffer.Append("abc", 3);
    buffer.Discard(1);
    try {
        buffer.Discard(3);
        FAIL() << "discarded bytes that were not there";
    } catch (const EIdNotEnoughDataInBuffer& error) {
        EXPECT_STREQ(error.what(), "Not enough data in buffer.");
    }
    EXPECT_EQ(buffer.DataString(), "bc");
}

TEST(SimpleBuffer, DiscardMovesTheRestToTheFront) {
    TIdSimpleBuffer buffer;
    buffer.Append("abcdef", 6);
    buffer.Discard(2);
    EXPECT_EQ(buffer.DataString(), "cdef");
    EXPECT_THROW(buffer.TakeText(5), EIdNotEnoughDataInBuffer);
}

} // namespace
