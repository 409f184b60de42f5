#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/CRefCountedEvent.h"

namespace {

std::atomic<int> g_destroyed{0};

class CountedEvent : public CRefCountedEvent {
public:
    using CRefCountedEvent::CRefCountedEvent;

protected:
    ~CountedEvent() override { ++g_destroyed; }
};

} // namespace

TEST(CRefCountedEvent, CountsAndDeletesAtZero)
{
    g_destroyed = 0;
    CRefCountedEvent* e = new CountedEvent();
    EXPECT_TRUE(e->IsReferenced());
    EXPECT_EQ(e->AddRef(), 2);
    EXPECT_EQ(e->AddRef(), 3);
    EXPECT_EQ(e->Release(), 2);
    EXPECT_EQ(e->Release(), 1);
    EXPECT_EQ(g_destroyed.load(), 0);
    EXPECT_EQ(e->Release(), 0);
    EXPECT_EQ(g_destroyed.load(), 1);
}

TEST(CRefCountedEvent, IsAnEventOfTheAskedKind)
{
    struct Case {
        bool initiallySet;
        bool manualReset;
        bool first, second;
    };
    const Case cases[] = {
        {false, false, false, false}, {true, false, true, false}, {true, true, true, true}, {false, true, false, false}};
    for (const Case& c : cases) {
        CRefCountedEvent* e = new CRefCountedEvent(c.initiallySet, c.manualReset);
        EXPECT_EQ(e->Wait(0), c.first);
        EXPECT_EQ(e->Wait(0), c.second);
        e->Set();
        EXPECT_TRUE(e->Wait(0));
        EXPECT_EQ(e->IsSet(), c.manualReset);
        e->Release();
    }
}

TEST(CRefCountedEvent, DeletedExactlyOnceUnderConcurrentUse)
{
    constexpr int kThreads = 8;
    constexpr int kRounds = 1000;
    for (int trial = 0; trial < 20; ++trial) {
        g_destroyed = 0;
        CRefCountedEvent* e = new CountedEvent();
        std::vector<std::thread> jobs;
        for (int t = 0; t < kThreads; ++t) {
            e->AddRef();  // each job gets its reference before it starts, as a node's jobs do
            jobs.emplace_back([e] {
                for (int i = 0; i < kRounds; ++i) {
                    e->AddRef();
                    e->Set();
                    e->Wait(0);
                    e->Release();
                }
                e->Release();
            });
        }
        e->Release();  // the creator lets go while the jobs still run
        for (std::thread& j : jobs)
            j.join();
        ASSERT_EQ(g_destroyed.load(), 1) << "trial " << trial;
    }
}
