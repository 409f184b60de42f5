#pragma once
// A dispatcher driven by hand, for tests and programs without a window
// system. Its UI thread is the thread that made it: only that thread pumps.
// Time is a test clock that moves only through Advance.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/QueuedDispatcher.h"

namespace platform {

class ManualDispatcher : public QueuedDispatcher {
public:
    ManualDispatcher();
    // Closes: sends still waiting fail with DispatcherClosed, payloads are freed.
    ~ManualDispatcher() override;

    bool SetTimer(ReceiverId receiver, uint32_t timerId, uint32_t periodMs) override;
    bool KillTimer(ReceiverId receiver, uint32_t timerId) override;

    // The calls below belong to the UI thread (std::logic_error elsewhere).

    // Delivers one queued message or runs one sent function; false when
    // nothing was queued.
    bool PumpOne();
    // Delivers until the queue is empty, including what the handlers post
    // meanwhile; returns how many items ran.
    size_t Pump();
    // Pumps, and waits for more work, until done() holds or the time (real
    // milliseconds) is up. done() is checked after every pump.
    bool PumpUntil(const std::function<bool()>& done, uint32_t timeoutMs);
    // Moves the test clock on by ms. Every timer that falls due meanwhile
    // fires at its due time, in time order, and the queue is pumped after
    // each instant, so a timer may fire several times in one step.
    void Advance(uint64_t ms);

    // Blocks until something is queued (true) or the time is up (false).
    bool WaitForWork(uint32_t timeoutMs);
    uint64_t NowMs() const;
    size_t PendingCount() const;
    bool HasTimer(ReceiverId receiver, uint32_t timerId) const;
    // Refuses all further work and drops the queue (also from the destructor).
    void Close();

private:
    struct Timer {
        uint64_t periodMs = 0;
        uint64_t dueMs = 0;
        uint64_t serial = 0;
    };

    void OnQueued() override;
    bool IsCurrentTimer(const TimerKey& key, uint64_t serial) const override;
    void ForgetTimersOf(ReceiverId id) override;
    void ForgetAllTimers() override;
    void RequireUiThread(const char* what) const;

    std::condition_variable m_workCv;  // something was queued, or closed
    std::map<TimerKey, Timer> m_timers;
    uint64_t m_nextTimerSerial = 1;
    uint64_t m_nowMs = 0;
};

} // namespace platform
