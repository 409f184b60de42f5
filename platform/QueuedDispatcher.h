#pragma once
// The bookkeeping every dispatcher shares: registered receivers, one queue of
// posted messages and sent functions, deliveries in progress (so Unregister on
// a worker waits for a handler that runs), and closing. A dispatcher built on
// it only says how the user-interface thread learns of new work and keeps its
// own timers; its UI thread is the thread that made it.

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/Dispatcher.h"

namespace platform {

class QueuedDispatcher : public Dispatcher {
public:
    ReceiverId Register(MessageReceiver& receiver) override;
    void Unregister(ReceiverId id) override;
    bool IsRegistered(ReceiverId id) const override;
    bool Post(ReceiverId to, MessageId id, uintptr_t wParam, intptr_t lParam,
              std::unique_ptr<MessagePayload> payload = nullptr) override;
    bool IsUiThread() const override;

protected:
    QueuedDispatcher();

    struct SendState;
    struct Item {
        ReceiverId to = kNoReceiver;
        MessageId id = 0;
        uintptr_t wParam = 0;
        intptr_t lParam = 0;
        std::unique_ptr<MessagePayload> payload;
        uint64_t timerSerial = 0;         // non-zero: a timer expiry
        std::shared_ptr<SendState> send;  // set: a sent function
    };
    typedef std::pair<ReceiverId, uint32_t> TimerKey;

    void RunAndWait(std::function<void()> task) override;

    // Something was queued (called without the lock).
    virtual void OnQueued() = 0;
    // Under the lock: whether a timer expiry still belongs to its timer's
    // current setting, and the timer table's share of Unregister and Close.
    virtual bool IsCurrentTimer(const TimerKey& key, uint64_t serial) const = 0;
    virtual void ForgetTimersOf(ReceiverId id) = 0;
    virtual void ForgetAllTimers() = 0;

    // Takes the next queued item; false when the queue is empty.
    bool TakeNext(Item& item);
    // Runs a sent function, or hands a message to its receiver when that is
    // still registered (and a timer expiry when its timer still stands).
    void Deliver(Item& item);
    // Refuses further work: the queue is dropped (payloads freed, waiting
    // senders get DispatcherClosed), receivers and timers forgotten.
    void CloseQueue();
    // Under the lock.
    bool IsRegisteredLocked(ReceiverId id) const { return m_receivers.count(id) != 0; }

    mutable std::mutex m_mutex;
    std::deque<Item> m_queue;
    bool m_closed = false;

private:
    static void Drop(std::deque<Item>& items);
    void EndDelivery(ReceiverId id);

    const std::thread::id m_uiThread;
    std::condition_variable m_deliveryCv;  // a delivery ended
    std::map<ReceiverId, MessageReceiver*> m_receivers;
    std::map<ReceiverId, int> m_delivering;
    ReceiverId m_nextReceiver = 1;
};

} // namespace platform
