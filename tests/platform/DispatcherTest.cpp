#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "DispatcherTestSupport.h"
#include "platform/Event.h"
#include "tests/support/ManualDispatcher.h"

using arbtest::CountedPayload;
using arbtest::Recorder;
using platform::ManualDispatcher;
using platform::MessagePayload;
using platform::ReceiverId;

namespace {

constexpr uint32_t kPumpTimeoutMs = 10000;

std::unique_ptr<MessagePayload> Counted(std::atomic<int>& destroyed, int tag = 0)
{
    return std::make_unique<CountedPayload>(destroyed, tag);
}

} // namespace

TEST(ManualDispatcher, DeliversOnlyWhenPumpedOnTheUiThread)
{
    ManualDispatcher d;
    Recorder r;
    ReceiverId id = d.Register(r);
    std::thread poster([&] { EXPECT_TRUE(d.Post(id, platform::WM_WORKER_CALL2, 5, 6)); });
    poster.join();
    EXPECT_TRUE(r.deliveries.empty());
    EXPECT_EQ(d.PendingCount(), 1u);
    EXPECT_EQ(d.Pump(), 1u);
    ASSERT_EQ(r.deliveries.size(), 1u);
    EXPECT_EQ(r.deliveries[0].id, platform::WM_WORKER_CALL2);
    EXPECT_EQ(r.deliveries[0].wParam, 5u);
    EXPECT_EQ(r.deliveries[0].lParam, 6);
    EXPECT_EQ(r.deliveries[0].thread, std::this_thread::get_id());
    EXPECT_EQ(d.Pump(), 0u);
}

TEST(ManualDispatcher, PostsFromSeveralThreadsArriveInOrderPerSender)
{
    constexpr int kSenders = 4;
    constexpr int kPerSender = 2000;
    ManualDispatcher d;
    Recorder r;
    ReceiverId id = d.Register(r);
    std::vector<std::thread> senders;
    for (int s = 0; s < kSenders; ++s)
        senders.emplace_back([&, s] {
            for (int i = 0; i < kPerSender; ++i)
                d.Post(id, platform::WM_OUTPUT_LINE, static_cast<uintptr_t>(s), i);
        });
    // Pump while they post, as the UI thread would.
    EXPECT_TRUE(d.PumpUntil([&] { return r.deliveries.size() == size_t(kSenders * kPerSender); }, kPumpTimeoutMs));
    for (std::thread& t : senders)
        t.join();
    d.Pump();
    ASSERT_EQ(r.deliveries.size(), size_t(kSenders * kPerSender));
    std::map<uintptr_t, intptr_t> next;
    for (const auto& del : r.deliveries) {
        ASSERT_EQ(del.lParam, next[del.wParam]) << "sender " << del.wParam << " out of order";
        ++next[del.wParam];
    }
}

TEST(ManualDispatcher, SameIdMeansWhatEachReceiverMakesOfIt)
{
    ManualDispatcher d;
    Recorder listView, hostPage;
    ReceiverId lv = d.Register(listView), hp = d.Register(hostPage);
    EXPECT_NE(lv, hp);
    d.Post(lv, platform::WM_WORKER_DONE, 1, 0);
    d.Post(hp, platform::WM_ROOTDSE_CONTROLS, 2, 0);
    d.Post(lv, platform::WM_WORKER_CALL1, 3, 0);
    d.Pump();
    ASSERT_EQ(listView.deliveries.size(), 2u);
    ASSERT_EQ(hostPage.deliveries.size(), 1u);
    EXPECT_EQ(listView.deliveries[0].wParam, 1u);
    EXPECT_EQ(listView.deliveries[1].wParam, 3u);
    EXPECT_EQ(hostPage.deliveries[0].id, 0x8D4u);
    EXPECT_EQ(hostPage.deliveries[0].wParam, 2u);
}

TEST(ManualDispatcher, EveryPayloadIsFreedExactlyOnce)
{
    struct Case {
        const char* name;
        // Runs the scenario; returns how many payloads must have been freed
        // before the dispatcher itself goes away.
        std::function<int(ManualDispatcher&, std::atomic<int>&)> run;
        int freedBeforeEnd;
        int freedAtEnd;
    };
    const Case cases[] = {
        {"receiver never registered",
         [](ManualDispatcher& d, std::atomic<int>& freed) {
             EXPECT_FALSE(d.Post(12345, platform::WM_WORKER_DONE, 0, 0, Counted(freed)));
             return freed.load();
         },
         1, 1},
        {"receiver gone before the post",
         [](ManualDispatcher& d, std::atomic<int>& freed) {
             Recorder r;
             ReceiverId id = d.Register(r);
             d.Unregister(id);
             EXPECT_FALSE(d.Post(id, platform::WM_WORKER_DONE, 0, 0, Counted(freed)));
             return freed.load();
         },
         1, 1},
        {"receiver gone while queued",
         [](ManualDispatcher& d, std::atomic<int>& freed) {
             Recorder r;
             ReceiverId id = d.Register(r);
             EXPECT_TRUE(d.Post(id, platform::WM_WORKER_DONE, 0, 0, Counted(freed)));
             EXPECT_TRUE(d.Post(id, platform::WM_OUTPUT_LINE, 0, 0, Counted(freed)));
             EXPECT_EQ(freed.load(), 0);
             d.Unregister(id);
             d.Pump();
             EXPECT_TRUE(r.deliveries.empty());
             return freed.load();
         },
         2, 2},
        {"handler ignores the payload",
         [](ManualDispatcher& d, std::atomic<int>& freed) {
             Recorder r;
             int freedInHandler = -1;
             r.hook = [&](const arbtest::Delivery&, std::unique_ptr<MessagePayload>&) { freedInHandler = freed; };
             d.Post(d.Register(r), platform::WM_WORKER_DONE, 0, 0, Counted(freed));
             d.Pump();
             EXPECT_EQ(freedInHandler, 0) << "freed before the handler ran";
             return freed.load();
         },
         1, 1},
        {"handler keeps the payload",
         [](ManualDispatcher& d, std::atomic<int>& freed) {
             Recorder r;
             std::unique_ptr<MessagePayload> kept;
             r.hook = [&](const arbtest::Delivery&, std::unique_ptr<MessagePayload>& p) { kept = std::move(p); };
             d.Post(d.Register(r), platform::WM_WORKER_DONE, 0, 0, Counted(freed, 7));
             d.Pump();
             EXPECT_EQ(freed.load(), 0) << "the dispatcher freed what the receiver kept";
             auto* payload = dynamic_cast<CountedPayload*>(kept.get());
             EXPECT_TRUE(payload && payload->tag == 7);
             kept.reset();
             return freed.load();
         },
         1, 1},
        {"dispatcher closes with the message queued",
         [](ManualDispatcher& d, std::atomic<int>& freed) {
             Recorder r;
             d.Post(d.Register(r), platform::WM_WORKER_DONE, 0, 0, Counted(freed));
             d.Close();
             EXPECT_FALSE(d.Post(d.Register(r), platform::WM_WORKER_DONE, 0, 0, Counted(freed)));
             return freed.load();
         },
         2, 2},
        {"dispatcher destroyed with the message queued", [](ManualDispatcher& d, std::atomic<int>& freed) {
             static Recorder r;  // outlives the dispatcher
             d.Post(d.Register(r), platform::WM_WORKER_DONE, 0, 0, Counted(freed));
             return freed.load();
         },
         0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::atomic<int> freed{0};
        {
            ManualDispatcher d;
            EXPECT_EQ(c.run(d, freed), c.freedBeforeEnd);
        }
        EXPECT_EQ(freed.load(), c.freedAtEnd) << "payload leaked or freed twice";
    }
}

TEST(ManualDispatcher, PayloadValuesAndCasts)
{
    ManualDispatcher d;
    Recorder r;
    std::wstring line;
    std::unique_ptr<CountedPayload> counted;
    std::atomic<int> freed{0};
    r.hook = [&](const arbtest::Delivery& del, std::unique_ptr<MessagePayload>& p) {
        if (del.id == platform::WM_OUTPUT_LINE) {
            EXPECT_EQ(platform::PayloadValue<int>(p), nullptr);
            if (std::wstring* text = platform::PayloadValue<std::wstring>(p))
                line = *text;
        } else {
            EXPECT_EQ(platform::PayloadCast<platform::ValuePayload<std::wstring>>(p), nullptr);
            EXPECT_NE(p, nullptr) << "a failed cast must leave the payload in place";
            counted = platform::PayloadCast<CountedPayload>(p);
            EXPECT_EQ(p, nullptr);
        }
    };
    ReceiverId id = d.Register(r);
    d.Post(id, platform::WM_OUTPUT_LINE, 0, 0, platform::MakeValuePayload(std::wstring(L"one line")));
    d.Post(id, platform::WM_WORKER_DONE, 0, 0, Counted(freed, 3));
    d.Pump();
    EXPECT_EQ(line, L"one line");
    ASSERT_NE(counted, nullptr);
    EXPECT_EQ(counted->tag, 3);
    EXPECT_EQ(freed.load(), 0);
}

TEST(ManualDispatcher, UnregisterWhileQueuedKeepsOthersInOrder)
{
    ManualDispatcher d;
    Recorder a, b;
    ReceiverId ia = d.Register(a), ib = d.Register(b);
    for (int i = 0; i < 6; ++i)
        d.Post(i % 2 ? ia : ib, platform::WM_PROGRESS_STEP, static_cast<uintptr_t>(i), 0);
    d.Unregister(ia);
    EXPECT_FALSE(d.IsRegistered(ia));
    EXPECT_TRUE(d.IsRegistered(ib));
    EXPECT_EQ(d.PendingCount(), 3u) << "the gone receiver's messages should leave the queue";
    d.Pump();
    EXPECT_TRUE(a.deliveries.empty());
    ASSERT_EQ(b.deliveries.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(b.deliveries[i].wParam, 2 * i);
    // Ids are not handed out again, so a stale id stays dead.
    Recorder c;
    EXPECT_NE(d.Register(c), ia);
    EXPECT_FALSE(d.Post(ia, platform::WM_PROGRESS_END, 0, 0));
}

TEST(ManualDispatcher, HandlerMayUnregisterItselfAndPostMore)
{
    ManualDispatcher d;
    Recorder self, other;
    ReceiverId is = d.Register(self), io = d.Register(other);
    self.hook = [&](const arbtest::Delivery& del, std::unique_ptr<MessagePayload>&) {
        if (del.wParam == 1) {
            d.Post(io, platform::WM_PROGRESS_END, 10, 0);  // delivered in the same Pump
            d.Unregister(is);                               // must not wait for itself
        }
    };
    d.Post(is, platform::WM_WORKER_CALL1, 1, 0);
    d.Post(is, platform::WM_WORKER_CALL1, 2, 0);
    EXPECT_EQ(d.Pump(), 2u);
    ASSERT_EQ(self.deliveries.size(), 1u);
    ASSERT_EQ(other.deliveries.size(), 1u);
    EXPECT_EQ(other.deliveries[0].wParam, 10u);
    EXPECT_EQ(d.PendingCount(), 0u);
}

TEST(ManualDispatcher, UnregisterOffTheUiThreadWaitsForTheDeliveryInProgress)
{
    ManualDispatcher d;
    Recorder r;
    ReceiverId id = d.Register(r);
    platform::Event entered;
    std::atomic<bool> unregistered{false};
    bool returnedEarly = false;
    r.hook = [&](const arbtest::Delivery&, std::unique_ptr<MessagePayload>&) {
        entered.Set();
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        returnedEarly = unregistered.load();
    };
    d.Post(id, platform::WM_WORKER_DONE, 0, 0);
    std::thread worker([&] {
        entered.Wait();
        d.Unregister(id);
        unregistered = true;
    });
    d.Pump();
    worker.join();
    EXPECT_FALSE(returnedEarly) << "Unregister returned while the receiver was still handling a message";
    EXPECT_TRUE(unregistered.load());
}

TEST(ManualDispatcher, SendFromWorkerWaitsForThePumpAndReturnsTheResult)
{
    ManualDispatcher d;
    std::atomic<bool> returned{false};
    std::thread::id ranOn;
    int result = 0;
    std::thread worker([&] {
        result = d.Send([&] {
            ranOn = std::this_thread::get_id();
            return 42;
        });
        returned = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(returned.load()) << "Send returned before the UI thread ran it";
    EXPECT_TRUE(d.PumpUntil([&] { return returned.load(); }, kPumpTimeoutMs));
    worker.join();
    EXPECT_EQ(result, 42);
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(ManualDispatcher, SendOnTheUiThreadRunsInline)
{
    ManualDispatcher d;
    std::string s = d.Send([] { return std::string("inline"); });
    EXPECT_EQ(s, "inline");
    int calls = 0;
    d.Send([&] { ++calls; });
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(d.PendingCount(), 0u);
}

TEST(ManualDispatcher, SendRethrowsOnTheSendingThread)
{
    ManualDispatcher d;
    std::string caught;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        try {
            d.Send([]() -> int { throw std::runtime_error("from the UI thread"); });
        } catch (const std::runtime_error& e) {
            caught = e.what();
        }
        done = true;
    });
    EXPECT_NO_THROW(d.PumpUntil([&] { return done.load(); }, kPumpTimeoutMs));
    worker.join();
    EXPECT_EQ(caught, "from the UI thread");
    EXPECT_THROW(d.Send([]() -> int { throw std::logic_error("inline"); }), std::logic_error);
}

TEST(ManualDispatcher, SendAndPostShareOneQueueInOrder)
{
    ManualDispatcher d;
    Recorder r;
    ReceiverId id = d.Register(r);
    std::vector<std::string> order;
    r.hook = [&](const arbtest::Delivery& del, std::unique_ptr<MessagePayload>&) {
        order.push_back("post" + std::to_string(del.wParam));
    };
    std::atomic<bool> done{false};
    std::thread worker([&] {
        d.Post(id, platform::WM_WORKER_CALL3, 1, 0);
        d.Send([&] { order.push_back("send"); });
        d.Post(id, platform::WM_WORKER_CALL3, 2, 0);
        done = true;
    });
    EXPECT_TRUE(d.PumpUntil([&] { return done.load() && d.PendingCount() == 0; }, kPumpTimeoutMs));
    worker.join();
    d.Pump();
    EXPECT_EQ(order, (std::vector<std::string>{"post1", "send", "post2"}));
}

TEST(ManualDispatcher, ClosingFailsWaitingAndLaterSends)
{
    auto d = std::make_unique<ManualDispatcher>();
    std::atomic<int> closedSeen{0};
    std::vector<std::thread> workers;
    for (int i = 0; i < 3; ++i)
        workers.emplace_back([&] {
            try {
                d->Send([] { return 1; });
            } catch (const platform::DispatcherClosed&) {
                ++closedSeen;
            }
        });
    while (d->PendingCount() < 3)
        std::this_thread::yield();
    d->Close();
    for (std::thread& t : workers)
        t.join();
    EXPECT_EQ(closedSeen.load(), 3);
    std::thread late([&] { EXPECT_THROW(d->Send([] { return 1; }), platform::DispatcherClosed); });
    late.join();
    d.reset();
}

TEST(ManualDispatcher, DrivingCallsBelongToTheUiThread)
{
    ManualDispatcher d;
    std::thread other([&] {
        EXPECT_FALSE(d.IsUiThread());
        EXPECT_THROW(d.Pump(), std::logic_error);
        EXPECT_THROW(d.PumpOne(), std::logic_error);
        EXPECT_THROW(d.Advance(10), std::logic_error);
    });
    other.join();
    EXPECT_TRUE(d.IsUiThread());
}

TEST(GlobalDispatcher, CallsWithoutADispatcher)
{
    platform::DispatcherScope none(nullptr);
    std::atomic<int> freed{0};
    EXPECT_FALSE(platform::Post(1, platform::WM_WORKER_DONE, 0, 0, Counted(freed)));
    EXPECT_EQ(freed.load(), 1);
    EXPECT_EQ(platform::Send([] { return 7; }), 7);
    EXPECT_TRUE(platform::IsUiThread());
    EXPECT_FALSE(platform::SetTimer(1, 1, 100));
    EXPECT_FALSE(platform::KillTimer(1, 1));
}

// Whether this is the UI thread is remembered per thread, and must follow
// each dispatcher installed, from any thread's view.
TEST(GlobalDispatcher, TheUiThreadFollowsTheInstalledDispatcher)
{
    auto here = std::make_shared<ManualDispatcher>();
    std::shared_ptr<ManualDispatcher> elsewhere;
    std::thread([&] { elsewhere = std::make_shared<ManualDispatcher>(); }).join();
    auto fromOtherThread = [] {
        bool ui = true;
        std::thread([&] { ui = platform::IsUiThread(); }).join();
        return ui;
    };
    {
        platform::DispatcherScope a(here);
        EXPECT_TRUE(platform::IsUiThread());
        EXPECT_FALSE(fromOtherThread());
        {
            platform::DispatcherScope b(elsewhere);
            EXPECT_FALSE(platform::IsUiThread());
        }
        EXPECT_TRUE(platform::IsUiThread());
        {
            platform::DispatcherScope none(nullptr);
            EXPECT_TRUE(platform::IsUiThread());
            EXPECT_TRUE(fromOtherThread());
        }
        EXPECT_TRUE(platform::IsUiThread());
        EXPECT_FALSE(fromOtherThread());
        EXPECT_EQ(platform::Send([] { return 3; }), 3);
    }
}

TEST(GlobalDispatcher, ScopeInstallsAndRestores)
{
    auto outer = std::make_shared<ManualDispatcher>();
    auto inner = std::make_shared<ManualDispatcher>();
    platform::DispatcherScope a(outer);
    {
        platform::DispatcherScope b(inner);
        EXPECT_EQ(platform::GetDispatcher(), inner);
        Recorder r;
        platform::ReceiverRegistration reg(r);
        EXPECT_TRUE(inner->IsRegistered(reg.Id()));
        EXPECT_TRUE(platform::Post(reg.Id(), platform::WM_PROGRESS_START, 40, 300));
        inner->Pump();
        ASSERT_EQ(r.deliveries.size(), 1u);
        EXPECT_EQ(r.deliveries[0].lParam, 300);
        // Moving the registration keeps it; the moved-from one unregisters nothing.
        platform::ReceiverRegistration moved(std::move(reg));
        EXPECT_EQ(reg.Id(), platform::kNoReceiver);
        EXPECT_TRUE(inner->IsRegistered(moved.Id()));
        ReceiverId id = moved.Id();
        moved.Reset();
        EXPECT_FALSE(inner->IsRegistered(id));
    }
    EXPECT_EQ(platform::GetDispatcher(), outer);
}

TEST(GlobalDispatcher, RegistrationEndsWithItsOwner)
{
    auto d = std::make_shared<ManualDispatcher>();
    platform::DispatcherScope scope(d);
    ReceiverId id;
    std::atomic<int> freed{0};
    {
        Recorder r;
        platform::ReceiverRegistration reg(r);
        id = reg.Id();
        platform::Post(id, platform::WM_WORKER_DONE, 0, 0, Counted(freed));
    }
    EXPECT_FALSE(d->IsRegistered(id));
    EXPECT_EQ(freed.load(), 1);
    EXPECT_EQ(d->Pump(), 0u);
}

TEST(GlobalDispatcher, AppWindowIds)
{
    using platform::AppWindow;
    const AppWindow all[] = {AppWindow::TreeView, AppWindow::ListView, AppWindow::MainFrame, AppWindow::OutputList};
    ReceiverId n = 100;
    for (AppWindow w : all)
        platform::SetAppWindow(w, n++);
    n = 100;
    for (AppWindow w : all)
        EXPECT_EQ(platform::GetAppWindow(w), n++);
    for (AppWindow w : all)
        platform::SetAppWindow(w, platform::kNoReceiver);
    EXPECT_EQ(platform::GetAppWindow(AppWindow::ListView), platform::kNoReceiver);
}
