#include "watch/GbkText.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace watch {
namespace {

// One iconv converter, kept for the life of its thread and reset before every conversion.
class TConverter {
public:
    TConverter(const char* to, const char* from) : handle_(iconv_open(to, from)) {
        if (handle_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("No conversion from ") + from + " to " + to);
    }
    ~TConverter() { iconv_close(handle_); }
    TConverter(const TConverter&) = delete;
    TConverter& operator=(const TConverter&) = delete;

    iconv_t Reset() const {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        return handle_;
    }

private:
    iconv_t handle_;
};

bool IsUtf8Continuation(unsigned char byte) {
    return byte >= 0x80 && byte <= 0xBF;
}

// Length of the UTF-8 sequence that starts with `lead`; 1 for a byte that cannot start one.
size_t Utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    if (lead >= 0xE0)
        return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2)
        return 2;
    return 1;
}

// The bytes at the front of `rest` that iconv refused: a whole sequence when the target
// cannot hold its character, but only the lead and the continuation bytes that follow it when
// the sequence is broken, so that a byte after a broken sequence is read on its own.
size_t RefusedUtf8Length(std::string_view rest) {
    size_t wanted = Utf8SequenceLength(static_cast<unsigned char>(rest[0]));
    size_t length = 1;
    while (length < wanted && length < rest.size() &&
           IsUtf8Continuation(static_cast<unsigned char>(rest[length])))
        ++length;
    return length;
}

bool IsGbkLead(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

bool IsGbkTrail(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

bool IsDigit(unsigned char byte) {
    return byte >= '0' && byte <= '9';
}

// Lead, digit, lead, digit: the shape of a four-byte character.
bool IsFourByteShape(std::string_view rest) {
    return rest.size() >= 4 && IsGbkLead(static_cast<unsigned char>(rest[0])) &&
           IsDigit(static_cast<unsigned char>(rest[1])) &&
           IsGbkLead(static_cast<unsigned char>(rest[2])) &&
           IsDigit(static_cast<unsigned char>(rest[3]));
}

// A lead and a trail byte, or four bytes of the four-byte shape, that name no character are
// one character; a lead byte without bytes that can follow it is one on its own, and the next
// byte is read afresh.
size_t RefusedGbkLength(std::string_view rest) {
    if (IsFourByteShape(rest))
        return 4;
    bool pair = IsGbkLead(static_cast<unsigned char>(rest[0])) && rest.size() >= 2 &&
                IsGbkTrail(static_cast<unsigned char>(rest[1]));
    return pair ? 2 : 1;
}

std::string Convert(std::string_view input, const TConverter& converter,
                    size_t (*refusedLength)(std::string_view)) {
    iconv_t handle = converter.Reset();
    std::string output;
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char buffer[1024];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        size_t result = iconv(handle, &in, &inLeft, &out, &outLeft);
        output.append(buffer, out);
        if (result != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        // EILSEQ (not valid or not representable) or EINVAL (cut off at the end).
        size_t skip = refusedLength(std::string_view(in, inLeft));
        in += skip;
        inLeft -= skip;
        output += '?';
    }
    return output;
}

} // namespace

std::string Gbk(std::string_view utf8Literal) {
    return GbkFromUtf8(utf8Literal);
}

std::string GbkFromUtf8(std::string_view utf8) {
    thread_local const TConverter toGbk("GB18030", "UTF-8");
    return Convert(utf8, toGbk, RefusedUtf8Length);
}

std::string Utf8FromGbk(std::string_view gbk) {
    thread_local const TConverter toUtf8("UTF-8", "GB18030");
    return Convert(gbk, toUtf8, RefusedGbkLength);
}

} // namespace watch
