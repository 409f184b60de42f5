#include "ui/WxDispatcher.h"

#include <algorithm>

#include <wx/event.h>
#include <wx/timer.h>

namespace ui {

using platform::ReceiverId;

namespace {
constexpr uint32_t kMinTimerPeriodMs = 10;
// Items run per turn of the event loop, so that painting and input keep up.
constexpr int kItemsPerTurn = 256;
} // namespace

class WxDispatcher::TimerImpl : public wxTimer {
public:
    TimerImpl(WxDispatcher& owner, TimerKey key, uint64_t serial) : m_owner(owner), m_key(key), m_serial(serial) {}
    void Notify() override { m_owner.OnTimer(m_key, m_serial); }
    uint64_t Serial() const { return m_serial; }

private:
    WxDispatcher& m_owner;
    TimerKey m_key;
    uint64_t m_serial;
};

WxDispatcher::WxDispatcher() : m_handler(std::make_unique<wxEvtHandler>()) {}

WxDispatcher::~WxDispatcher()
{
    Close();
    m_running.clear();
}

void WxDispatcher::Wake()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_wakePending) return;
        m_wakePending = true;
    }
    m_handler->CallAfter([this] { RunQueued(); });
}

void WxDispatcher::RunQueued()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_wakePending = false;
    }
    SyncTimers();
    for (int n = 0; n < kItemsPerTurn; ++n) {
        Item item;
        if (!TakeNext(item)) return;
        Deliver(item);
    }
    Wake();
}

bool WxDispatcher::SetTimer(ReceiverId receiver, uint32_t timerId, uint32_t periodMs)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_closed || !IsRegisteredLocked(receiver)) return false;
        TimerState& t = m_timers[TimerKey(receiver, timerId)];
        t.periodMs = std::max(periodMs, kMinTimerPeriodMs);
        t.serial = m_nextSerial++;  // a running timer restarts with the new period
    }
    if (IsUiThread())
        SyncTimers();
    else
        Wake();
    return true;
}

bool WxDispatcher::KillTimer(ReceiverId receiver, uint32_t timerId)
{
    bool existed;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        existed = m_timers.erase(TimerKey(receiver, timerId)) != 0;
    }
    if (existed) {
        if (IsUiThread())
            SyncTimers();
        else
            Wake();
    }
    return existed;
}

void WxDispatcher::SyncTimers()
{
    std::map<TimerKey, TimerState> wanted;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        wanted = m_timers;
    }
    for (auto it = m_running.begin(); it != m_running.end();) {
        auto w = wanted.find(it->first);
        if (w == wanted.end() || w->second.serial != it->second->Serial()) {
            it->second->Stop();
            it = m_running.erase(it);
        } else {
            ++it;
        }
    }
    for (const auto& w : wanted) {
        if (m_running.count(w.first)) continue;
        auto timer = std::make_unique<TimerImpl>(*this, w.first, w.second.serial);
        timer->Start(static_cast<int>(w.second.periodMs));
        m_running[w.first] = std::move(timer);
    }
}

void WxDispatcher::OnTimer(const TimerKey& key, uint64_t serial)
{
    Item item;
    item.to = key.first;
    item.id = platform::WM_TIMER;
    item.wParam = key.second;
    item.timerSerial = serial;
    Deliver(item);
}

bool WxDispatcher::IsCurrentTimer(const TimerKey& key, uint64_t serial) const
{
    auto t = m_timers.find(key);
    return t != m_timers.end() && t->second.serial == serial;
}

void WxDispatcher::ForgetTimersOf(ReceiverId id)
{
    for (auto it = m_timers.begin(); it != m_timers.end();)
        it = it->first.first == id ? m_timers.erase(it) : std::next(it);
}

void WxDispatcher::Close()
{
    CloseQueue();
    if (IsUiThread()) SyncTimers();
}

bool WxDispatcher::IsClosed() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_closed;
}

} // namespace ui
