#include "platform/QueuedDispatcher.h"

namespace platform {

// A sent function and its fate. The sender waits on it; whoever takes the
// item off the queue decides: delivery runs it, closing drops it.
struct QueuedDispatcher::SendState {
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

QueuedDispatcher::QueuedDispatcher() : m_uiThread(std::this_thread::get_id()) {}

void QueuedDispatcher::Drop(std::deque<Item>& items)
{
    for (Item& item : items)
        if (item.send)
            item.send->Settle(SendState::Fate::Dropped);
    items.clear();  // frees the payloads
}

ReceiverId QueuedDispatcher::Register(MessageReceiver& receiver)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ReceiverId id = m_nextReceiver++;
    m_receivers[id] = &receiver;
    return id;
}

void QueuedDispatcher::Unregister(ReceiverId id)
{
    std::deque<Item> dropped;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_receivers.erase(id);
        ForgetTimersOf(id);
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

bool QueuedDispatcher::IsRegistered(ReceiverId id) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_receivers.count(id) != 0;
}

bool QueuedDispatcher::Post(ReceiverId to, MessageId id, uintptr_t wParam, intptr_t lParam,
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
    OnQueued();
    return true;
}

bool QueuedDispatcher::IsUiThread() const
{
    return std::this_thread::get_id() == m_uiThread;
}

bool QueuedDispatcher::TakeNext(Item& item)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_queue.empty())
        return false;
    item = std::move(m_queue.front());
    m_queue.pop_front();
    return true;
}

void QueuedDispatcher::Deliver(Item& item)
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
        if (r == m_receivers.end())
            return;  // the item, payload and all, is freed by the caller
        if (item.timerSerial != 0 &&
            !IsCurrentTimer(TimerKey(item.to, static_cast<uint32_t>(item.wParam)), item.timerSerial))
            return;
        receiver = r->second;
        ++m_delivering[item.to];
    }
    struct End {
        QueuedDispatcher& d;
        ReceiverId to;
        ~End() { d.EndDelivery(to); }
    } end{*this, item.to};
    receiver->OnMessage(item.id, item.wParam, item.lParam, std::move(item.payload));
}

void QueuedDispatcher::EndDelivery(ReceiverId id)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_delivering.find(id);
        if (it != m_delivering.end() && --it->second == 0)
            m_delivering.erase(it);
    }
    m_deliveryCv.notify_all();
}

void QueuedDispatcher::CloseQueue()
{
    std::deque<Item> dropped;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
        dropped.swap(m_queue);
        m_receivers.clear();
        ForgetAllTimers();
    }
    Drop(dropped);
}

void QueuedDispatcher::RunAndWait(std::function<void()> task)
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
    OnQueued();
    std::unique_lock<std::mutex> lock(state->mutex);
    state->cv.wait(lock, [&] { return state->fate != SendState::Fate::Queued; });
    if (state->fate == SendState::Fate::Dropped)
        throw DispatcherClosed();
}

} // namespace platform
