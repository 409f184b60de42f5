#pragma once
// A lock of one byte for objects made by the hundred thousand, whose locks
// are held for a few instructions and seldom wanted by two threads at once
// (a std::mutex takes 40 bytes). A waiter spins briefly, then yields to the
// holder between tries. Not recursive; use it with std::lock_guard.

#include <atomic>
#include <thread>

class SmallLock {
public:
    SmallLock() = default;
    SmallLock(const SmallLock&) = delete;
    SmallLock& operator=(const SmallLock&) = delete;

    bool try_lock() { return !m_held.exchange(true, std::memory_order_acquire); }

    void lock()
    {
        for (unsigned tries = 0; !try_lock(); ++tries) {
            while (m_held.load(std::memory_order_relaxed)) {
                if (tries < 64)
                    ++tries;
                else
                    std::this_thread::yield();
            }
        }
    }

    void unlock() { m_held.store(false, std::memory_order_release); }

private:
    std::atomic<bool> m_held{false};
};
