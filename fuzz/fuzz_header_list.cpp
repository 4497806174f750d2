// Header lists over arbitrary header blocks: lookups with continuations, replacement,
// removal and line wrapping.

#include "FuzzInput.h"
#include "http/IdHeaderList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    std::uint8_t options = input.TakeByte();
    std::vector<std::string> pieces = input.Pieces('\0');
    const std::string& block = pieces[0];
    const std::string& value = pieces.size() > 1 ? pieces[1] : pieces[0];

    TIdHeaderList headers;
    headers.JoinContinuations = (options & 1) != 0;
    headers.NamesCaseSensitive = (options & 2) != 0;
    headers.WrapWidth = options >> 2;
    headers.SetText(block);

    for (int index = 0; index < headers.Count(); ++index) {
        std::string name = headers.NameAt(index);
        headers.ValueOf(name);
        headers.ValueAt(index);
        std::vector<std::string> values;
        headers.CollectValues(name, &values);
        headers.WrapHeaderLine(headers[index]);
    }
    WrapAtWidth(block, "\r\n ", " \t,", headers.WrapWidth);
    if (headers.Count() > 0) {
        std::string name = headers.NameAt(options % headers.Count());
        headers.SetHeader(name, value);
        headers.DropContinuations(headers.IndexOfHeader(name));
        headers.SetHeader(name, "");
    }
    headers.SetHeader(value, block);
    headers.Text();
    return 0;
}
