#pragma once

// A process-wide hook that keeps a GUI responsive during blocking socket waits.  While one
// exists, is Active and the caller is the main thread, waits are cut into slices of
// IdleTimeOut ms and Process runs between them.  Nothing in this program creates one, so
// every hook point does nothing.
class TIdAntiFreezeBase {
public:
    TIdAntiFreezeBase();
    virtual ~TIdAntiFreezeBase();
    TIdAntiFreezeBase(const TIdAntiFreezeBase&) = delete;
    TIdAntiFreezeBase& operator=(const TIdAntiFreezeBase&) = delete;

    bool Active = true;
    bool ApplicationHasPriority = true;
    int IdleTimeOut = 250;
    bool OnlyWhenIdle = true;

    // The current hook when it is in use on the calling thread, else nullptr.
    static TIdAntiFreezeBase* InUse();
    // Runs the current hook, if in use; idle tells whether the wait found nothing to do.
    static void DoProcess(bool idle);

protected:
    virtual void Process() = 0;
};
