#include "watch/MemoryLineList.h"

namespace watch {

std::string TMemoryLineList::Text() const {
    std::string text;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (i > 0)
            text += "\r\n";
        text += lines_[i];
    }
    return text;
}

} // namespace watch
