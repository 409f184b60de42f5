#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

#include "base/SmallLock.h"

namespace {

TEST(SmallLock, ThreadsTakingTurnsLoseNoUpdate)
{
    SmallLock lock;
    // Not atomic: only the lock keeps the updates whole.
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 200000; ++i) {
                std::lock_guard<SmallLock> hold(lock);
                counter = counter + 1;
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(counter, 800000);
}

TEST(SmallLock, TryLockFailsWhileHeld)
{
    SmallLock lock;
    EXPECT_TRUE(lock.try_lock());
    bool other = true;
    std::thread([&] { other = lock.try_lock(); }).join();
    EXPECT_FALSE(other);
    lock.unlock();
    std::thread([&] { other = lock.try_lock(); }).join();
    EXPECT_TRUE(other);
    lock.unlock();
}

} // namespace
