#pragma once
// The dispatcher on the toolkit's event loop: posted messages and sent
// functions are queued and run on the user-interface thread from the event
// loop; timers are the toolkit's timers. Made on the user-interface thread
// after the toolkit is up; Close (or destruction) before the toolkit goes.

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/Dispatcher.h"

class wxEvtHandler;

namespace ui {

class WxDispatcher : public platform::Dispatcher {
public:
    WxDispatcher();
    ~WxDispatcher() override;

    platform::ReceiverId Register(platform::MessageReceiver& receiver) override;
    void Unregister(platform::ReceiverId id) override;
    bool IsRegistered(platform::ReceiverId id) const override;
    bool Post(platform::ReceiverId to, platform::MessageId id, uintptr_t wParam, intptr_t lParam,
              std::unique_ptr<platform::MessagePayload> payload = nullptr) override;
    bool IsUiThread() const override;
    bool SetTimer(platform::ReceiverId receiver, uint32_t timerId, uint32_t periodMs) override;
    bool KillTimer(platform::ReceiverId receiver, uint32_t timerId) override;

    // Refuses further work: queued messages are dropped (payloads freed),
    // waiting senders get DispatcherClosed, timers stop.
    void Close();
    bool IsClosed() const;
    // Runs what is queued now (UI thread); the event loop does this by itself.
    void RunQueued();

protected:
    void RunAndWait(std::function<void()> task) override;

private:
    struct SendState;
    struct Item;
    class TimerImpl;
    typedef std::pair<platform::ReceiverId, uint32_t> TimerKey;
    struct TimerState {
        uint32_t periodMs = 0;
        uint64_t serial = 0;
    };

    void Wake();
    void Deliver(Item& item);
    void OnTimer(const TimerKey& key, uint64_t serial);
    // Makes the toolkit's timers match the table (UI thread).
    void SyncTimers();
    void BeginDelivery(platform::ReceiverId id);
    void EndDelivery(platform::ReceiverId id);

    const std::thread::id m_uiThread;
    std::unique_ptr<wxEvtHandler> m_handler;
    mutable std::mutex m_mutex;
    std::condition_variable m_deliveryCv;
    std::deque<Item> m_queue;
    bool m_wakePending = false;
    std::map<platform::ReceiverId, platform::MessageReceiver*> m_receivers;
    std::map<platform::ReceiverId, int> m_delivering;
    std::map<TimerKey, TimerState> m_timers;          // what should run
    std::map<TimerKey, std::unique_ptr<TimerImpl>> m_running;  // UI thread only
    platform::ReceiverId m_nextReceiver = 1;
    uint64_t m_nextSerial = 1;
    bool m_closed = false;
};

} // namespace ui
