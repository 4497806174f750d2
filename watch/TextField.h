#pragma once

#include <string>

namespace watch {

// A single-line edit field of the watch panel. Text is GBK bytes.
class ITextField {
public:
    virtual ~ITextField() = default;

    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
};

} // namespace watch
