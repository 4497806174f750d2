#pragma once

namespace watch {

// The polling timer. While enabled it fires a tick every Interval() milliseconds; each tick
// calls TSearchRun::timerFindJobTimer() (the owner of the panel wires that up).
//
// An implementation must keep these restart rules:
// - SetInterval(v) with v different from the current interval restarts the countdown from
//   zero (when enabled); setting the interval it already has does nothing at all.
// - SetEnabled(b) with b different from the current flag restarts the countdown from zero
//   (enabling counts one full interval to the first tick); setting the flag it already
//   has does nothing at all.
// (A QTimer restarts on every setInterval() while active: compare before calling it.)
// A new timer is disabled with an interval of 1000 ms.
class IWatchTimer {
public:
    virtual ~IWatchTimer() = default;

    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual int Interval() const = 0;
    virtual void SetInterval(int milliseconds) = 0;
};

} // namespace watch
