#pragma once

#include <cstddef>
#include <string>

namespace watch {

// What reading a file gave: its bytes, or why there are none.
struct TRegularFileText {
    enum class TState { Read, Missing, Refused };
    TState State;
    std::string Text;
    // The system's reason, "not a regular file" or "larger than N MiB".
    std::string Problem;
};

// The whole of a regular file of at most maxBytes (a whole number of MiB). Anything else is
// refused: a pipe or a terminal would wait forever, a device could deliver without end, a
// huge file would be held in memory whole.
TRegularFileText ReadRegularFile(const std::string& path, std::size_t maxBytes);

} // namespace watch
