#include "http/IdReadWriteLock.h"

bool TIdReadWriteLock::HeldForWritingHere() const {
    return writer_.load() == std::this_thread::get_id();
}

void TIdReadWriteLock::lock() {
    if (HeldForWritingHere()) {
        ++writeDepth_;
        return;
    }
    mutex_.lock();
    writer_.store(std::this_thread::get_id());
    writeDepth_ = 1;
}

void TIdReadWriteLock::unlock() {
    if (--writeDepth_ == 0) {
        writer_.store(std::thread::id{});
        mutex_.unlock();
    }
}

void TIdReadWriteLock::lock_shared() {
    if (HeldForWritingHere()) {
        ++writeDepth_;
        return;
    }
    mutex_.lock_shared();
}

void TIdReadWriteLock::unlock_shared() {
    if (HeldForWritingHere()) {
        unlock();
        return;
    }
    mutex_.unlock_shared();
}
