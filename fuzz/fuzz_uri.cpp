// URI parsing, composing and path merging over arbitrary text, with and without the GBK
// lead-byte set, plus the text routines they are built from.

#include "FuzzInput.h"
#include "http/EConvertError.h"
#include "http/EIdURIException.h"
#include "http/IdGlobal.h"
#include "http/IdURI.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    std::uint8_t options = input.TakeByte();
    SetLeadBytes((options & 1) != 0 ? GbkLeadBytes() : TIdLeadByteSet{});
    std::vector<std::string> pieces = input.Pieces('\n');
    const std::string& text = pieces[0];
    const std::string& other = pieces.size() > 1 ? pieces[1] : pieces[0];

    TIdURI uri(text);
    try {
        uri.Compose({(options & 2) != 0, (options & 4) != 0});
        std::string full = uri.FullText();
        TIdURI again(full);
    } catch (const EIdURIException&) {
        // An empty protocol or host is a refusal, not a fault.
    }
    MergePath(uri.Path, other);
    MergePath(text, other);

    TextPos(other, text);
    BackwardPos(other, text, static_cast<int>(options) - 1);
    std::string rest = text;
    TakeToken(rest, other.substr(0, 2));
    ForwardSlashes(text);
    StrToIntDef(text, -1);
    StrToInt64Def(text, -1);
    try {
        StrToInt(other);
    } catch (const EConvertError&) {
    }
    return 0;
}
