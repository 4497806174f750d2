#pragma once

namespace watch {

// Whether a button of the watch panel can be clicked.
class IEnabledFlag {
public:
    virtual ~IEnabledFlag() = default;

    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
};

} // namespace watch
