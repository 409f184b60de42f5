#pragma once
// A hand-driven dispatcher that the toolkit's event loop pumps, so that
// workers' posts and sends reach the windows while a test's (nested) loops
// run, as they do in the program.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>

#include <wx/timer.h>

#include "jobs/CLDAPThread.h"
#include "platform/ResourceLibrary.h"
#include "tests/support/ManualDispatcher.h"
#include "tests/support/TempHome.h"

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

// A dialog test in fresh settings with the resource library and a pumped
// dispatcher; its windows go (CloseWindows) before it waits for the workers
// they started.
class PumpedDialogTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        ASSERT_TRUE(platform::ResourceLibrary::Current().LoadDefault());
        m_pump = std::make_unique<PumpedDispatcher>();
    }

    void TearDown() override
    {
        CloseWindows();
        EXPECT_TRUE(WaitForAllThreads(std::chrono::seconds(10)));
        m_pump.reset();
        TempHomeTest::TearDown();
    }

    virtual void CloseWindows() {}

    std::unique_ptr<PumpedDispatcher> m_pump;
};
