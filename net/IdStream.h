#pragma once

#include <cstdint>
#include <memory>
#include <string>

// A seekable byte stream: the target of ReadToStream and the source of WriteFromStream.
class TIdStream {
public:
    virtual ~TIdStream() = default;

    virtual std::int64_t Position() const = 0;
    virtual void SetPosition(std::int64_t position) = 0;
    virtual std::int64_t Size() const = 0;
    // Grows or cuts the stream; the position is kept, but never left beyond the end.
    virtual void SetSize(std::int64_t size) = 0;
    // Tells the stream that it is about to grow to size bytes, so it can make room at once.
    virtual void ReserveSize(std::int64_t size) { (void)size; }
    // Reads up to count bytes at the position and moves past them; returns how many.
    virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
    // Writes count bytes at the position, growing the stream as needed, and moves past them.
    virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
};

// A stream held in memory.  Growing it zero-fills the new bytes.
class TIdMemoryStream : public TIdStream {
public:
    TIdMemoryStream() = default;
    explicit TIdMemoryStream(const std::string& bytes);

    std::int64_t Position() const override { return position_; }
    void SetPosition(std::int64_t position) override;
    std::int64_t Size() const override { return end_ - start_; }
    void SetSize(std::int64_t size) override;
    void ReserveSize(std::int64_t size) override;
    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;

    // The first byte of the stream; valid until the stream next grows.
    char* Memory() { return data_.get() + start_; }
    const char* Memory() const { return data_.get() + start_; }
    // The whole content as text.
    std::string DataString() const {
        return std::string(Memory(), static_cast<std::size_t>(Size()));
    }
    void Clear();

protected:
    // Makes room for count more bytes after the end without touching them.
    char* ReserveTail(std::int64_t count);
    // Takes count bytes written into the reserved room into the stream.
    void CommitTail(std::int64_t count) { end_ += count; }

    // The bytes of the stream are data_[start_, end_); positions count from start_.  A plain
    // memory stream keeps start_ at 0; buffers that consume from the front move it.
    std::unique_ptr<char[]> data_;
    std::int64_t capacity_ = 0;
    std::int64_t start_ = 0;
    std::int64_t end_ = 0;
    std::int64_t position_ = 0;

private:
    void Reserve(std::int64_t capacity);
};
