#include <gtest/gtest.h>

#include <thread>
#include <utility>
#include <vector>

#include "DispatcherTestSupport.h"
#include "tests/support/ManualDispatcher.h"

using arbtest::Recorder;
using platform::ManualDispatcher;
using platform::MessagePayload;
using platform::ReceiverId;

namespace {

// (clock time, timer id) of every WM_TIMER a receiver got.
struct TimerLog : Recorder {
    explicit TimerLog(ManualDispatcher& d)
    {
        hook = [this, &d](const arbtest::Delivery& del, std::unique_ptr<MessagePayload>&) {
            if (del.id == platform::WM_TIMER)
                fired.emplace_back(d.NowMs(), static_cast<uint32_t>(del.wParam));
        };
    }
    std::vector<std::pair<uint64_t, uint32_t>> fired;
};

typedef std::vector<std::pair<uint64_t, uint32_t>> Firings;

} // namespace

TEST(ManualTimers, FireAtTheirDueTimesUntilKilled)
{
    ManualDispatcher d;
    TimerLog r(d);
    ReceiverId id = d.Register(r);
    ASSERT_TRUE(d.SetTimer(id, platform::kListProgressTimer, 4000));
    d.Advance(3999);
    EXPECT_TRUE(r.fired.empty());
    d.Advance(1);
    d.Advance(8500);
    EXPECT_EQ(r.fired, (Firings{{4000, 61440}, {8000, 61440}, {12000, 61440}}));
    EXPECT_EQ(d.NowMs(), 12500u);
    EXPECT_TRUE(d.KillTimer(id, platform::kListProgressTimer));
    EXPECT_FALSE(d.HasTimer(id, platform::kListProgressTimer));
    d.Advance(20000);
    EXPECT_EQ(r.fired.size(), 3u);
    EXPECT_FALSE(d.KillTimer(id, platform::kListProgressTimer)) << "killing twice";
}

TEST(ManualTimers, SeveralTimersInterleaveInTimeOrder)
{
    ManualDispatcher d;
    TimerLog a(d), b(d);
    ReceiverId ia = d.Register(a), ib = d.Register(b);
    d.SetTimer(ia, 1, 100);
    d.SetTimer(ib, 1, 250);  // same timer id, other receiver: a timer of its own
    std::vector<std::pair<char, uint64_t>> all;
    auto track = [&](TimerLog& log, char who) {
        auto inner = log.hook;
        log.hook = [&all, inner, who, &d](const arbtest::Delivery& del, std::unique_ptr<MessagePayload>& p) {
            inner(del, p);
            all.emplace_back(who, d.NowMs());
        };
    };
    track(a, 'a');
    track(b, 'b');
    d.Advance(500);
    const std::vector<std::pair<char, uint64_t>> want = {{'a', 100}, {'a', 200}, {'b', 250}, {'a', 300},
                                                         {'a', 400}, {'a', 500}, {'b', 500}};
    EXPECT_EQ(all, want);
}

TEST(ManualTimers, SetAgainRestartsAndShortPeriodsAreRaised)
{
    struct Case {
        uint32_t firstPeriod;
        uint64_t resetAt;  // 0: no second SetTimer
        uint32_t secondPeriod;
        uint64_t advance;
        Firings want;
    };
    const Case cases[] = {
        {100, 0, 0, 350, {{100, 5}, {200, 5}, {300, 5}}},
        {100, 150, 100, 400, {{100, 5}, {250, 5}, {350, 5}}},  // restarted at 150
        {100, 50, 300, 400, {{350, 5}}},                       // replaced before it ever fired
        {0, 0, 0, 35, {{10, 5}, {20, 5}, {30, 5}}},             // 0 ms counts as 10 ms
        {3, 0, 0, 20, {{10, 5}, {20, 5}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "period " << c.firstPeriod << " reset at " << c.resetAt);
        ManualDispatcher d;
        TimerLog r(d);
        ReceiverId id = d.Register(r);
        d.SetTimer(id, 5, c.firstPeriod);
        if (c.resetAt) {
            d.Advance(c.resetAt);
            d.SetTimer(id, 5, c.secondPeriod);
            d.Advance(c.advance - c.resetAt);
        } else {
            d.Advance(c.advance);
        }
        EXPECT_EQ(r.fired, c.want);
    }
}

TEST(ManualTimers, HandlerKillingItsTimerFiresOnce)
{
    // As the information nodes' removal timers do.
    ManualDispatcher d;
    TimerLog r(d);
    ReceiverId id = d.Register(r);
    auto inner = r.hook;
    r.hook = [&](const arbtest::Delivery& del, std::unique_ptr<MessagePayload>& p) {
        inner(del, p);
        d.KillTimer(id, static_cast<uint32_t>(del.wParam));
    };
    d.SetTimer(id, platform::kFirstRemovalTimer, 30000);
    d.Advance(120000);
    EXPECT_EQ(r.fired, (Firings{{30000, platform::kFirstRemovalTimer}}));
}

TEST(ManualTimers, KilledBeforeDeliveryIsNotDelivered)
{
    // Two timers fall due at the same instant; the first handler kills the second.
    ManualDispatcher d;
    TimerLog r(d);
    ReceiverId id = d.Register(r);
    auto inner = r.hook;
    r.hook = [&](const arbtest::Delivery& del, std::unique_ptr<MessagePayload>& p) {
        inner(del, p);
        if (del.wParam == 1)
            d.KillTimer(id, 2);
    };
    d.SetTimer(id, 1, 100);
    d.SetTimer(id, 2, 100);
    d.Advance(250);
    EXPECT_EQ(r.fired, (Firings{{100, 1}, {200, 1}}));
}

TEST(ManualTimers, TimersBelongToRegisteredReceivers)
{
    ManualDispatcher d;
    TimerLog r(d);
    EXPECT_FALSE(d.SetTimer(999, 1, 100)) << "no such receiver";
    ReceiverId id = d.Register(r);
    d.SetTimer(id, 1, 100);
    d.SetTimer(id, 2, 100);
    d.Unregister(id);
    EXPECT_FALSE(d.HasTimer(id, 1));
    EXPECT_FALSE(d.HasTimer(id, 2));
    d.Advance(1000);
    EXPECT_TRUE(r.fired.empty());
}

TEST(ManualTimers, SetFromAWorkerThread)
{
    // Information nodes start their removal timer from the job's thread.
    ManualDispatcher d;
    TimerLog r(d);
    ReceiverId id = d.Register(r);
    std::thread worker([&] { EXPECT_TRUE(d.SetTimer(id, platform::kFirstRemovalTimer + 3, 30000)); });
    worker.join();
    d.Advance(30000);
    EXPECT_EQ(r.fired, (Firings{{30000, platform::kFirstRemovalTimer + 3}}));
}

TEST(ManualTimers, MessagesPostedByATimerHandlerArriveWithinTheSameAdvance)
{
    ManualDispatcher d;
    Recorder other;
    ReceiverId io = d.Register(other);
    TimerLog r(d);
    ReceiverId id = d.Register(r);
    auto inner = r.hook;
    uint64_t postedAt = 0;
    other.hook = [&](const arbtest::Delivery&, std::unique_ptr<MessagePayload>&) { postedAt = d.NowMs(); };
    r.hook = [&](const arbtest::Delivery& del, std::unique_ptr<MessagePayload>& p) {
        inner(del, p);
        d.Post(io, platform::WM_PROGRESS_END, 0, 0);
        d.KillTimer(id, 1);
    };
    d.SetTimer(id, 1, 100);
    d.Advance(1000);
    ASSERT_EQ(other.deliveries.size(), 1u);
    EXPECT_EQ(postedAt, 100u) << "delivered at the timer's instant, before the clock moved on";
}
