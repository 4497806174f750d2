#pragma once

#include <atomic>
#include <shared_mutex>
#include <thread>

// A readers-writer lock whose write side the holding thread may take again (and then must
// release as often).  The writer may also take the read side; a reader must not ask for the
// write side.  It meets the standard lockable requirements, for std::unique_lock (writing)
// and std::shared_lock (reading).
class TIdReadWriteLock {
public:
    void lock();
    void unlock();
    void lock_shared();
    void unlock_shared();

private:
    bool HeldForWritingHere() const;

    std::shared_mutex mutex_;
    std::atomic<std::thread::id> writer_{};
    int writeDepth_ = 0; // touched only by the thread that holds the write side
};
