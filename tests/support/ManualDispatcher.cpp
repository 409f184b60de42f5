#include "tests/support/ManualDispatcher.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <string>

namespace platform {

namespace {
constexpr uint64_t kMinTimerPeriodMs = 10;
}

ManualDispatcher::ManualDispatcher() = default;

ManualDispatcher::~ManualDispatcher()
{
    Close();
}

void ManualDispatcher::RequireUiThread(const char* what) const
{
    if (!IsUiThread())
        throw std::logic_error(std::string("ManualDispatcher::") + what + " called off the UI thread");
}

bool ManualDispatcher::SetTimer(ReceiverId receiver, uint32_t timerId, uint32_t periodMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_closed || !IsRegisteredLocked(receiver))
        return false;
    Timer& t = m_timers[TimerKey(receiver, timerId)];
    t.periodMs = std::max<uint64_t>(periodMs, kMinTimerPeriodMs);
    t.dueMs = m_nowMs + t.periodMs;
    t.serial = m_nextTimerSerial++;  // an expiry queued for the old setting is void
    return true;
}

bool ManualDispatcher::KillTimer(ReceiverId receiver, uint32_t timerId)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_timers.erase(TimerKey(receiver, timerId)) != 0;
}

bool ManualDispatcher::PumpOne()
{
    RequireUiThread("PumpOne");
    Item item;
    if (!TakeNext(item))
        return false;
    Deliver(item);
    return true;
}

size_t ManualDispatcher::Pump()
{
    RequireUiThread("Pump");
    size_t n = 0;
    while (PumpOne())
        ++n;
    return n;
}

bool ManualDispatcher::PumpUntil(const std::function<bool()>& done, uint32_t timeoutMs)
{
    RequireUiThread("PumpUntil");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        Pump();
        if (done())
            return true;
        auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return false;
        // Short slices: done() may hang on things that never touch the queue.
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count();
        WaitForWork(static_cast<uint32_t>(std::min<long long>(left, 5)));
    }
}

void ManualDispatcher::Advance(uint64_t ms)
{
    RequireUiThread("Advance");
    uint64_t target;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        target = m_nowMs + ms;
    }
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            uint64_t next = UINT64_MAX;
            for (const auto& t : m_timers)
                next = std::min(next, t.second.dueMs);
            if (next > target) {
                m_nowMs = target;
                break;
            }
            m_nowMs = next;
            for (auto& t : m_timers) {
                if (t.second.dueMs != next)
                    continue;
                Item item;
                item.to = t.first.first;
                item.id = WM_TIMER;
                item.wParam = t.first.second;
                item.timerSerial = t.second.serial;
                m_queue.push_back(std::move(item));
                t.second.dueMs += t.second.periodMs;
            }
        }
        Pump();
    }
    Pump();
}

bool ManualDispatcher::WaitForWork(uint32_t timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_workCv.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                      [this] { return !m_queue.empty() || m_closed; });
    return !m_queue.empty();
}

uint64_t ManualDispatcher::NowMs() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nowMs;
}

size_t ManualDispatcher::PendingCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_queue.size();
}

bool ManualDispatcher::HasTimer(ReceiverId receiver, uint32_t timerId) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_timers.count(TimerKey(receiver, timerId)) != 0;
}

void ManualDispatcher::Close()
{
    CloseQueue();
    m_workCv.notify_all();
}

void ManualDispatcher::OnQueued()
{
    m_workCv.notify_all();
}

bool ManualDispatcher::IsCurrentTimer(const TimerKey& key, uint64_t serial) const
{
    auto t = m_timers.find(key);
    return t != m_timers.end() && t->second.serial == serial;
}

void ManualDispatcher::ForgetTimersOf(ReceiverId id)
{
    for (auto it = m_timers.begin(); it != m_timers.end();)
        it = it->first.first == id ? m_timers.erase(it) : std::next(it);
}

void ManualDispatcher::ForgetAllTimers()
{
    m_timers.clear();
}

} // namespace platform
