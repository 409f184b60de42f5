#include "ui/WxDispatcher.h"

#include <algorithm>

#include <wx/event.h>
#include <wx/timer.h>

namespace ui {

using platform::DispatcherClosed;
using platform::MessageId;
using platform::MessagePayload;
using platform::MessageReceiver;
using platform::ReceiverId;

namespace {
constexpr uint32_t kMinTimerPeriodMs = 10;
// Items run per turn of the event loop, so that painting and input keep up.
constexpr int kItemsPerTurn = 256;
} // namespace

// A sent function and its fate: the loop runs it, Close drops it.
struct WxDispatcher::SendState {
    enum class Fate { Queued, Done, Dropped };
    std::function<void()> task;
    std::mutex mutex;
    std::condition_variable cv;
    Fate fate = Fate::Queued;

    void Settle(Fate f)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            fate = f;
        }
        cv.notify_all();
    }
};

struct WxDispatcher::Item {
    ReceiverId to = platform::kNoReceiver;
    MessageId id = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
    std::unique_ptr<MessagePayload> payload;
    std::shared_ptr<SendState> send;
};

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

WxDispatcher::WxDispatcher() : m_uiThread(std::this_thread::get_id()), m_handler(std::make_unique<wxEvtHandler>()) {}

WxDispatcher::~WxDispatcher()
{
    Close();
    m_running.clear();
}

ReceiverId WxDispatcher::Register(MessageReceiver& receiver)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ReceiverId id = m_nextReceiver++;
    m_receivers[id] = &receiver;
    return id;
}

void WxDispatcher::Unregister(ReceiverId id)
{
    std::deque<Item> dropped;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_receivers.erase(id);
        for (auto it = m_timers.begin(); it != m_timers.end();)
            it = it->first.first == id ? m_timers.erase(it) : std::next(it);
        std::deque<Item> kept;
        for (Item& item : m_queue) (item.to == id && !item.send ? dropped : kept).push_back(std::move(item));
        m_queue.swap(kept);
        if (!IsUiThread()) m_deliveryCv.wait(lock, [&] { return m_delivering.count(id) == 0; });
    }
    if (IsUiThread())
        SyncTimers();
    else
        Wake();
}

bool WxDispatcher::IsRegistered(ReceiverId id) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_receivers.count(id) != 0;
}

bool WxDispatcher::Post(ReceiverId to, MessageId id, uintptr_t wParam, intptr_t lParam,
                        std::unique_ptr<MessagePayload> payload)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_closed || m_receivers.count(to) == 0) return false;  // the payload is freed on return
        Item item;
        item.to = to;
        item.id = id;
        item.wParam = wParam;
        item.lParam = lParam;
        item.payload = std::move(payload);
        m_queue.push_back(std::move(item));
    }
    Wake();
    return true;
}

bool WxDispatcher::IsUiThread() const
{
    return std::this_thread::get_id() == m_uiThread;
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
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_queue.empty()) return;
            item = std::move(m_queue.front());
            m_queue.pop_front();
        }
        Deliver(item);
    }
    Wake();
}

void WxDispatcher::Deliver(Item& item)
{
    if (item.send) {
        struct Settle {
            SendState& s;
            ~Settle() { s.Settle(SendState::Fate::Done); }
        } settle{*item.send};
        item.send->task();
        return;
    }
    MessageReceiver* receiver = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto r = m_receivers.find(item.to);
        if (r == m_receivers.end()) return;
        receiver = r->second;
        ++m_delivering[item.to];
    }
    struct End {
        WxDispatcher& d;
        ReceiverId to;
        ~End() { d.EndDelivery(to); }
    } end{*this, item.to};
    receiver->OnMessage(item.id, item.wParam, item.lParam, std::move(item.payload));
}

void WxDispatcher::EndDelivery(ReceiverId id)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_delivering.find(id);
        if (it != m_delivering.end() && --it->second == 0) m_delivering.erase(it);
    }
    m_deliveryCv.notify_all();
}

bool WxDispatcher::SetTimer(ReceiverId receiver, uint32_t timerId, uint32_t periodMs)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_closed || m_receivers.count(receiver) == 0) return false;
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
    MessageReceiver* receiver = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto t = m_timers.find(key);
        auto r = m_receivers.find(key.first);
        if (t == m_timers.end() || t->second.serial != serial || r == m_receivers.end()) return;
        receiver = r->second;
        ++m_delivering[key.first];
    }
    struct End {
        WxDispatcher& d;
        ReceiverId to;
        ~End() { d.EndDelivery(to); }
    } end{*this, key.first};
    receiver->OnMessage(platform::WM_TIMER, key.second, 0, nullptr);
}

void WxDispatcher::Close()
{
    std::deque<Item> dropped;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
        dropped.swap(m_queue);
        m_receivers.clear();
        m_timers.clear();
    }
    for (Item& item : dropped)
        if (item.send) item.send->Settle(SendState::Fate::Dropped);
    dropped.clear();
    if (IsUiThread()) SyncTimers();
}

bool WxDispatcher::IsClosed() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_closed;
}

void WxDispatcher::RunAndWait(std::function<void()> task)
{
    if (IsUiThread()) {
        task();
        return;
    }
    auto state = std::make_shared<SendState>();
    state->task = std::move(task);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_closed) throw DispatcherClosed();
        Item item;
        item.send = state;
        m_queue.push_back(std::move(item));
    }
    Wake();
    std::unique_lock<std::mutex> lock(state->mutex);
    state->cv.wait(lock, [&] { return state->fate != SendState::Fate::Queued; });
    if (state->fate == SendState::Fate::Dropped) throw DispatcherClosed();
}

void WxDispatcher::BeginDelivery(ReceiverId id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_delivering[id];
}

} // namespace ui
