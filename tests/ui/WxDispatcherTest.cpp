#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "tests/support/gui/UiTestSupport.h"
#include "ui/WxDispatcher.h"

using namespace platform;

namespace {

struct Recorder : MessageReceiver {
    void OnMessage(MessageId id, uintptr_t wParam, intptr_t, std::unique_ptr<MessagePayload> payload) override
    {
        ids.push_back(id);
        params.push_back(wParam);
        if (auto* text = PayloadValue<std::wstring>(payload)) texts.push_back(*text);
    }
    std::vector<MessageId> ids;
    std::vector<uintptr_t> params;
    std::vector<std::wstring> texts;
};

// Counts the payloads alive, to see that undelivered ones are freed.
struct Counted : MessagePayload {
    explicit Counted(std::atomic<int>& live) : live(live) { ++live; }
    ~Counted() override { --live; }
    std::atomic<int>& live;
};

TEST(WxDispatcher, PostsFromWorkersArriveInOrderOnTheEventLoop)
{
    auto d = std::make_shared<ui::WxDispatcher>();
    Recorder r;
    ReceiverId id = d->Register(r);
    std::thread worker([&] {
        EXPECT_FALSE(d->IsUiThread());
        for (int i = 0; i < 100; ++i) d->Post(id, 0x8D3, i, 0, MakeValuePayload(std::wstring(L"line")));
    });
    worker.join();
    EXPECT_TRUE(r.ids.empty());  // nothing runs until the loop does
    ASSERT_TRUE(uitest::RunUntil([&] { return r.ids.size() == 100; }));
    for (int i = 0; i < 100; ++i) EXPECT_EQ(r.params[i], uintptr_t(i));
    EXPECT_EQ(r.texts.size(), 100u);
}

TEST(WxDispatcher, SendRunsOnTheUserInterfaceThreadAndWaits)
{
    auto d = std::make_shared<ui::WxDispatcher>();
    std::atomic<bool> done{false};
    int result = 0;
    std::thread worker([&] {
        result = d->Send([&] {
            EXPECT_TRUE(d->IsUiThread());
            return 42;
        });
        done = true;
    });
    ASSERT_TRUE(uitest::RunUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_EQ(result, 42);
    EXPECT_EQ(d->Send([] { return 7; }), 7);  // inline on the UI thread
}

TEST(WxDispatcher, TimersRepeatUntilKilled)
{
    auto d = std::make_shared<ui::WxDispatcher>();
    Recorder r;
    ReceiverId id = d->Register(r);
    ASSERT_TRUE(d->SetTimer(id, 61441, 20));
    ASSERT_TRUE(uitest::RunUntil([&] { return r.ids.size() >= 3; }));
    EXPECT_EQ(r.ids[0], WM_TIMER);
    EXPECT_EQ(r.params[0], 61441u);
    EXPECT_TRUE(d->KillTimer(id, 61441));
    EXPECT_FALSE(d->KillTimer(id, 61441));
    const size_t seen = r.ids.size();
    uitest::RunFor(150);
    EXPECT_EQ(r.ids.size(), seen);

    // Set from a worker, it starts on the loop.
    std::thread([&] { EXPECT_TRUE(d->SetTimer(id, 7, 10)); }).join();
    ASSERT_TRUE(uitest::RunUntil([&] { return r.ids.size() > seen; }));
    d->Unregister(id);
    const size_t after = r.ids.size();
    uitest::RunFor(100);
    EXPECT_EQ(r.ids.size(), after);
    EXPECT_FALSE(d->SetTimer(id, 7, 10));
}

TEST(WxDispatcher, UndeliveredPayloadsAreFreed)
{
    std::atomic<int> live{0};
    auto d = std::make_shared<ui::WxDispatcher>();
    Recorder r;
    ReceiverId id = d->Register(r);
    EXPECT_FALSE(d->Post(id + 100, 1, 0, 0, std::make_unique<Counted>(live)));
    EXPECT_EQ(live.load(), 0);
    for (int i = 0; i < 5; ++i) d->Post(id, 1, 0, 0, std::make_unique<Counted>(live));
    EXPECT_EQ(live.load(), 5);
    std::thread([&] { d->Unregister(id); }).join();
    EXPECT_EQ(live.load(), 0);
    uitest::RunFor(50);
    EXPECT_TRUE(r.ids.empty());
}

TEST(WxDispatcher, CloseLetsWaitingSendersGo)
{
    std::atomic<int> live{0};
    auto d = std::make_shared<ui::WxDispatcher>();
    Recorder r;
    ReceiverId id = d->Register(r);
    d->Post(id, 1, 0, 0, std::make_unique<Counted>(live));
    std::atomic<bool> closedSeen{false};
    std::thread worker([&] {
        try {
            d->Send([] { return 1; });
        } catch (const DispatcherClosed&) {
            closedSeen = true;
        }
    });
    // The sender is queued behind the post; close before the loop runs it.
    while (d->IsRegistered(id) && !closedSeen) {
        d->Close();
    }
    worker.join();
    EXPECT_TRUE(closedSeen.load());
    EXPECT_EQ(live.load(), 0);
    EXPECT_FALSE(d->Post(id, 1, 0, 0));
    bool refused = false;
    std::thread([&] {
        try {
            d->Send([] { return 1; });
        } catch (const DispatcherClosed&) {
            refused = true;
        }
    }).join();
    EXPECT_TRUE(refused);
}

} // namespace
