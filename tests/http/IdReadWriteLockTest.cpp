#include "http/IdReadWriteLock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <shared_mutex>
#include <thread>

using namespace std::chrono_literals;

namespace {

TEST(TIdReadWriteLock, WriterTakesItAgainAndHoldsItUntilTheLastRelease) {
    TIdReadWriteLock lock;
    std::atomic<bool> readerIn{false};
    lock.lock();
    lock.lock();
    lock.lock_shared(); // the writer may read too
    lock.unlock_shared();
    std::thread reader([&] {
        std::shared_lock reading(lock);
        readerIn = true;
    });
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(readerIn);
    lock.unlock();
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(readerIn);
    lock.unlock();
    reader.join();
    EXPECT_TRUE(readerIn);
}

TEST(TIdReadWriteLock, ReadersShareIt) {
    TIdReadWriteLock lock;
    std::mutex mutex;
    std::condition_variable changed;
    int inside = 0;
    bool allInside = true;
    auto read = [&] {
        std::shared_lock reading(lock);
        std::unique_lock guard(mutex);
        ++inside;
        changed.notify_all();
        // Every reader waits here, holding its read lock, until all are in.
        if (!changed.wait_for(guard, 5s, [&] { return inside == 3; })) {
            allInside = false;
        }
    };
    std::thread first(read);
    std::thread second(read);
    std::thread third(read);
    first.join();
    second.join();
    third.join();
    EXPECT_TRUE(allInside);
}

TEST(TIdReadWriteLock, WriterWaitsForReaders) {
    TIdReadWriteLock lock;
    std::atomic<bool> writerIn{false};
    lock.lock_shared();
    std::thread writer([&] {
        std::unique_lock writing(lock);
        writerIn = true;
    });
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(writerIn);
    lock.unlock_shared();
    writer.join();
    EXPECT_TRUE(writerIn);
}

} // namespace
