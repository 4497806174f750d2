#pragma once

#include <cstdint>

// How the watch lets time pass between its searches and learns that it is to stop.
class ITickWait {
public:
    virtual ~ITickWait() = default;

    // Waits until `milliseconds` have passed or a stop comes, whichever is first, and
    // returns the milliseconds that passed.
    virtual std::int64_t WaitAtMost(std::int64_t milliseconds) = 0;
    // The signal that asked the watch to stop, 0 while none has come. Never waits.
    virtual int StopSignal() = 0;
};
