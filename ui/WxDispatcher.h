#pragma once
// The dispatcher on the toolkit's event loop: posted messages and sent
// functions are queued and run on the user-interface thread from the event
// loop; timers are the toolkit's timers. Made on the user-interface thread
// after the toolkit is up; Close (or destruction) before the toolkit goes.

#include <map>
#include <memory>

#include "platform/QueuedDispatcher.h"

class wxEvtHandler;

namespace ui {

class WxDispatcher : public platform::QueuedDispatcher {
public:
    WxDispatcher();
    ~WxDispatcher() override;

    bool SetTimer(platform::ReceiverId receiver, uint32_t timerId, uint32_t periodMs) override;
    bool KillTimer(platform::ReceiverId receiver, uint32_t timerId) override;

    // Refuses further work: queued messages are dropped (payloads freed),
    // waiting senders get DispatcherClosed, timers stop.
    void Close();
    bool IsClosed() const;
    // Runs what is queued now (UI thread); the event loop does this by itself.
    void RunQueued();

private:
    class TimerImpl;
    struct TimerState {
        uint32_t periodMs = 0;
        uint64_t serial = 0;
    };

    void OnQueued() override { Wake(); }
    bool IsCurrentTimer(const TimerKey& key, uint64_t serial) const override;
    void ForgetTimersOf(platform::ReceiverId id) override;
    void ForgetAllTimers() override { m_timers.clear(); }
    void Wake();
    void OnTimer(const TimerKey& key, uint64_t serial);
    // Makes the toolkit's timers match the table (UI thread).
    void SyncTimers();

    std::unique_ptr<wxEvtHandler> m_handler;
    bool m_wakePending = false;
    std::map<TimerKey, TimerState> m_timers;                   // what should run
    std::map<TimerKey, std::unique_ptr<TimerImpl>> m_running;  // UI thread only
    uint64_t m_nextSerial = 1;
};

} // namespace ui
