#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/Event.h"

using platform::Event;
using Clock = std::chrono::steady_clock;

namespace {

// Polls a counter until it reaches want or the time is up.
bool WaitForCount(const std::atomic<int>& counter, int want, int timeoutMs = 5000)
{
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (counter.load() < want) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace

TEST(Event, SignalSemanticsByMode)
{
    struct Case {
        Event::Mode mode;
        bool initiallySet;
        bool setFirst;
        bool firstWait;
        bool secondWait;
    };
    const Case cases[] = {
        {Event::Mode::AutoReset, false, false, false, false},
        {Event::Mode::AutoReset, false, true, true, false},   // one waiter consumes the signal
        {Event::Mode::AutoReset, true, false, true, false},
        {Event::Mode::ManualReset, false, false, false, false},
        {Event::Mode::ManualReset, false, true, true, true},  // stays set
        {Event::Mode::ManualReset, true, false, true, true},
    };
    for (const Case& c : cases) {
        Event e(c.mode, c.initiallySet);
        if (c.setFirst)
            e.Set();
        SCOPED_TRACE(testing::Message() << "manual=" << (c.mode == Event::Mode::ManualReset)
                                        << " initiallySet=" << c.initiallySet << " setFirst=" << c.setFirst);
        EXPECT_EQ(e.Wait(0), c.firstWait);
        EXPECT_EQ(e.Wait(0), c.secondWait);
    }
}

TEST(Event, ResetAndIsSet)
{
    for (Event::Mode mode : {Event::Mode::AutoReset, Event::Mode::ManualReset}) {
        Event e(mode);
        EXPECT_FALSE(e.IsSet());
        e.Set();
        e.Set();  // a second Set is no extra signal
        EXPECT_TRUE(e.IsSet());
        EXPECT_TRUE(e.IsSet()) << "IsSet must not consume an auto-reset signal";
        e.Reset();
        EXPECT_FALSE(e.IsSet());
        EXPECT_FALSE(e.Wait(0));
        e.Set();
        EXPECT_TRUE(e.Wait(0));
        EXPECT_EQ(e.IsSet(), mode == Event::Mode::ManualReset);
    }
}

TEST(Event, WaitTimesOutWhenNotSet)
{
    Event e;
    auto start = Clock::now();
    EXPECT_FALSE(e.Wait(60));
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    EXPECT_GE(elapsed, 55);
}

TEST(Event, SetFromAnotherThreadWakesWaiter)
{
    for (uint32_t timeout : {Event::kInfinite, 10000u}) {
        Event e;
        std::thread setter([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            e.Set();
        });
        EXPECT_TRUE(e.Wait(timeout));
        setter.join();
    }
}

TEST(Event, AutoResetReleasesOneWaiterPerSetManualReleasesAll)
{
    constexpr int kWaiters = 4;
    for (Event::Mode mode : {Event::Mode::AutoReset, Event::Mode::ManualReset}) {
        SCOPED_TRACE(mode == Event::Mode::AutoReset ? "auto" : "manual");
        Event e(mode);
        std::atomic<int> released{0};
        std::vector<std::thread> waiters;
        for (int i = 0; i < kWaiters; ++i)
            waiters.emplace_back([&] {
                if (e.Wait(10000))
                    ++released;
            });
        std::this_thread::sleep_for(std::chrono::milliseconds(30));  // let them block
        e.Set();
        if (mode == Event::Mode::ManualReset) {
            EXPECT_TRUE(WaitForCount(released, kWaiters));
        } else {
            EXPECT_TRUE(WaitForCount(released, 1));
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            EXPECT_EQ(released.load(), 1) << "one Set let more than one waiter through";
            EXPECT_FALSE(e.IsSet()) << "the released waiter must reset the event";
            for (int i = 1; i < kWaiters; ++i) {
                e.Set();
                EXPECT_TRUE(WaitForCount(released, i + 1));
            }
        }
        for (std::thread& t : waiters)
            t.join();
        EXPECT_EQ(released.load(), kWaiters);
    }
}

TEST(Event, AutoResetSignalsAreNotLostUnderContention)
{
    // Each round hands one signal from a producer to one of two consumers;
    // every signal must be consumed exactly once.
    constexpr int kRounds = 2000;
    Event ready, consumed;
    std::atomic<int> taken{0};
    std::atomic<bool> stop{false};
    auto consumer = [&] {
        while (!stop.load()) {
            if (ready.Wait(5)) {
                ++taken;
                consumed.Set();
            }
        }
    };
    std::thread a(consumer), b(consumer);
    for (int i = 0; i < kRounds; ++i) {
        ready.Set();
        if (!consumed.Wait(5000)) {
            ADD_FAILURE() << "signal of round " << i << " was lost";
            break;
        }
    }
    stop = true;
    a.join();
    b.join();
    EXPECT_EQ(taken.load(), kRounds);
}
