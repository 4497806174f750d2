#pragma once

// SIGINT, SIGTERM and SIGHUP as a request to stop, for the object's life. The first one is
// kept; from then on the wake descriptor is readable, which ends every wait of the socket
// layer at once (a fetch in progress is given up, however slowly its peer sends, and so is
// a connect that the peer never answers) and lets the tool's own waits end too. One object
// at a time.
class TStopSignals {
public:
    TStopSignals();
    ~TStopSignals();
    TStopSignals(const TStopSignals&) = delete;
    TStopSignals& operator=(const TStopSignals&) = delete;

    // The signal that asked to stop, 0 while none has come.
    int Signal() const;
    // Readable once a stop has come, and from then on.
    int WakeDescriptor() const { return wakeRead_; }

private:
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
};
