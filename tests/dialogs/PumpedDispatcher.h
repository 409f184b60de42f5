#pragma once
// A hand-driven dispatcher that the toolkit's event loop pumps, so that
// workers' posts and sends reach the windows while a test's (nested) loops
// run, as they do in the program.

#include <functional>
#include <memory>

#include <wx/timer.h>

#include "tests/support/ManualDispatcher.h"

class PumpedDispatcher : public wxTimer {
public:
    PumpedDispatcher() : m_scope(m_dispatcher) { Start(10); }
    ~PumpedDispatcher() override { Stop(); }

    // Runs on every tick, after the pump (tests watch the loop with it).
    std::function<void()> onTick;
    int ticks = 0;

    platform::ManualDispatcher& Dispatcher() { return *m_dispatcher; }

    void Notify() override
    {
        ++ticks;
        m_dispatcher->Pump();
        if (onTick) onTick();
    }

private:
    std::shared_ptr<platform::ManualDispatcher> m_dispatcher = std::make_shared<platform::ManualDispatcher>();
    platform::DispatcherScope m_scope;
};
