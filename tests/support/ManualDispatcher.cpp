#include "tests/support/ManualDispatcher.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <string>

namespace platform {

namespace {
constexpr uint64_t kMinTimerPeriodMs = 10;
}

// A sent function and its fate. The sender waits on it; whoever takes the
// item off the queue decides: the pump runs it, Close drops it.
struct ManualDispatcher::SendState {
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

ManualDispatcher::ManualDispatcher() : m_uiThread(std::this_thread::get_id()) {}

ManualDispatcher::~ManualDispatcher()
{
    Close();
}

void ManualDispatcher::RequireUiThread(const char* what) const
{
    if (!IsUiThread())
        throw std::logic_error(std::string("ManualDispatcher::") + what + " called off the UI thread");
}

void ManualDispatcher::Drop(std::deque<Item>& items)
{
    for (Item& item : items)
        if (item.send)
            item.send->Settle(SendState::Fate::Dropped);
    items.clear();  // frees the payloads
}

ReceiverId ManualDispatcher::Register(MessageReceiver& receiver)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ReceiverId id = m_nextReceiver++;
    m_receivers[id] = &receiver;
    return id;
}

void ManualDispatcher::Unregister(ReceiverId id)
{
    std::deque<Item> dropped;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_receivers.erase(id);
        for (auto it = m_timers.begin(); it != m_timers.end();)
            it = it->first.first == id ? m_timers.erase(it) : std::next(it);
        std::deque<Item> kept;
        for (Item& item : m_queue)
            (item.to == id && !item.send ? dropped : kept).push_back(std::move(item));
        m_queue.swap(kept);
        // On the UI thread the delivery in progress is our own caller.
        if (!IsUiThread())
            m_deliveryCv.wait(lock, [&] { return m_delivering.count(id) == 0; });
    }
    Drop(dropped);
}

bool ManualDispatcher::IsRegistered(ReceiverId id) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_receivers.count(id) != 0;
}

bool ManualDispatcher::Post(ReceiverId to, MessageId id, uintptr_t wParam, intptr_t lParam,
                            std::unique_ptr<MessagePayload> payload)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_closed || m_receivers.count(to) == 0)
            return false;  // the payload dies on the way out, after the lock
        Item item;
        item.to = to;
        item.id = id;
        item.wParam = wParam;
        item.lParam = lParam;
        item.payload = std::move(payload);
        m_queue.push_back(std::move(item));
    }
    m_workCv.notify_all();
    return true;
}

bool ManualDispatcher::IsUiThread() const
{
    return std::this_thread::get_id() == m_uiThread;
}

bool ManualDispatcher::SetTimer(ReceiverId receiver, uint32_t timerId, uint32_t periodMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_closed || m_receivers.count(receiver) == 0)
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
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_queue.empty())
        return false;
    Item item = std::move(m_queue.front());
    m_queue.pop_front();

    if (item.send) {
        lock.unlock();
        struct Settle {
            SendState& s;
            ~Settle() { s.Settle(SendState::Fate::Done); }
        } settle{*item.send};
        item.send->task();
        return true;
    }

    auto r = m_receivers.find(item.to);
    bool deliver = r != m_receivers.end();
    if (deliver && item.timerSerial != 0) {
        auto t = m_timers.find(TimerKey(item.to, static_cast<uint32_t>(item.wParam)));
        deliver = t != m_timers.end() && t->second.serial == item.timerSerial;
    }
    if (!deliver) {
        lock.unlock();
        return true;  // the item, payload and all, is freed outside the lock
    }
    MessageReceiver* receiver = r->second;
    ++m_delivering[item.to];
    lock.unlock();

    struct DeliveryEnd {
        ManualDispatcher& d;
        ReceiverId to;
        ~DeliveryEnd()
        {
            {
                std::lock_guard<std::mutex> lock(d.m_mutex);
                auto it = d.m_delivering.find(to);
                if (--it->second == 0)
                    d.m_delivering.erase(it);
            }
            d.m_deliveryCv.notify_all();
        }
    } end{*this, item.to};
    receiver->OnMessage(item.id, item.wParam, item.lParam, std::move(item.payload));
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
    std::deque<Item> dropped;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
        dropped.swap(m_queue);
        m_receivers.clear();
        m_timers.clear();
    }
    m_workCv.notify_all();
    Drop(dropped);
}

void ManualDispatcher::RunAndWait(std::function<void()> task)
{
    if (IsUiThread()) {
        task();
        return;
    }
    auto state = std::make_shared<SendState>();
    state->task = std::move(task);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_closed)
            throw DispatcherClosed();
        Item item;
        item.send = state;
        m_queue.push_back(std::move(item));
    }
    m_workCv.notify_all();
    std::unique_lock<std::mutex> lock(state->mutex);
    state->cv.wait(lock, [&] { return state->fate != SendState::Fate::Queued; });
    if (state->fate == SendState::Fate::Dropped)
        throw DispatcherClosed();
}

} // namespace platform
