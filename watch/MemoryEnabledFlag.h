#pragma once

#include "watch/EnabledFlag.h"

namespace watch {

// An enabled flag held as plain state, for tests and the headless tool.
class TMemoryEnabledFlag : public IEnabledFlag {
public:
    explicit TMemoryEnabledFlag(bool enabled) : enabled_(enabled) {}

    bool Enabled() const override { return enabled_; }
    void SetEnabled(bool enabled) override { enabled_ = enabled; }

private:
    bool enabled_;
};

} // namespace watch
