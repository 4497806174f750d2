#pragma once

#include <stdexcept>
#include <string>

namespace watch {

// A board text that names no board.
class EBoardTextException : public std::runtime_error {
public:
    explicit EBoardTextException(const std::string& text)
        : std::runtime_error("not a board: '" + text +
                             "' (give HOST[:PORT], classic, greenhouse, lever, ashby or "
                             "KIND@URL with an http or https URL)") {}
};

} // namespace watch
