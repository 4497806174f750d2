#pragma once

#include "watch/TextField.h"

namespace watch {

// A text field held as plain state, for tests and the headless tool.
class TMemoryTextField : public ITextField {
public:
    std::string Text() const override { return text_; }
    void SetText(const std::string& text) override { text_ = text; }

private:
    std::string text_;
};

} // namespace watch
