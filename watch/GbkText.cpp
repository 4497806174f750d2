#include "watch/GbkText.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <memory>
#include <stdexcept>

namespace watch {
namespace {

struct IconvCloser {
    void operator()(iconv_t* handle) const {
        iconv_close(*handle);
        delete handle;
    }
};
using IconvHandle = std::unique_ptr<iconv_t, IconvCloser>;

IconvHandle OpenConverter(const char* to, const char* from) {
    iconv_t handle = iconv_open(to, from);
    if (handle == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error(std::string("No conversion from ") + from + " to " + to);
    return IconvHandle(new iconv_t(handle));
}

// Length of the UTF-8 sequence that starts with `lead`, so that a character the target
// cannot hold is replaced as a whole; 1 for a byte that cannot start a sequence.
size_t Utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    if (lead >= 0xE0)
        return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2)
        return 2;
    return 1;
}

// A GBK character is one byte below 0x80 or a lead byte 0x81..0xFE with one trail byte.
size_t GbkSequenceLength(unsigned char lead) {
    return lead >= 0x81 && lead <= 0xFE ? 2 : 1;
}

std::string Convert(std::string_view input, const char* to, const char* from,
                    size_t (*sequenceLength)(unsigned char)) {
    IconvHandle converter = OpenConverter(to, from);
    std::string output;
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char buffer[1024];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        size_t result = iconv(*converter, &in, &inLeft, &out, &outLeft);
        output.append(buffer, out);
        if (result != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        // EILSEQ (not valid or not representable) or EINVAL (cut off at the end).
        size_t skip = std::min(sequenceLength(static_cast<unsigned char>(*in)), inLeft);
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
    return Convert(utf8, "GBK", "UTF-8", Utf8SequenceLength);
}

std::string Utf8FromGbk(std::string_view gbk) {
    return Convert(gbk, "UTF-8", "GBK", GbkSequenceLength);
}

} // namespace watch
