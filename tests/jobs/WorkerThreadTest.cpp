// The worker base, the running-thread registry and the node job's finish
// work, with jobs that do no LDAP work. The LDAP side is in live/.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <stdexcept>
#include <thread>

#include "jobs/CLDAPOperationThread.h"
#include "tests/support/HeadlessProgressDlg.h"
#include "tests/jobs/JobTestSupport.h"

using namespace arbldap;

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using jobtest::FunctionJob;
using jobtest::JobUi;
using jobtest::LogLines;
using jobtest::NodeJob;
using jobtest::TestNode;

const wchar_t kGaveUp[] = L"reached no safe point";
const wchar_t kUnexpected[] = L"unexpected failure";

// Shortens the cancel's wait for a safe point for one test.
class SafePointLimit {
public:
    explicit SafePointLimit(std::chrono::milliseconds limit) : m_previous(SetSafePointWaitLimit(limit)) {}
    ~SafePointLimit() { SetSafePointWaitLimit(m_previous); }

private:
    std::chrono::milliseconds m_previous;
};

platform::Event MakeGate()
{
    return platform::Event(platform::Event::Mode::ManualReset);
}

// Every test leaves the registry as it found it.
class WorkerTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        EXPECT_TRUE(WaitForAllThreads(5s));
        EXPECT_EQ(GetRunningThreadCount(), 0);
    }
};

template <class F>
std::chrono::milliseconds Timed(F&& f)
{
    Clock::time_point start = Clock::now();
    f();
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

long CountOf(LDAPConnection& connection)
{
    long n = connection.AddRef();
    connection.Release();
    return n - 1;
}

TEST(WorkerCheckResult, MapsResultCodes)
{
    enum Outcome { False, True, Throws, Referral };
    struct Case {
        int code;
        Outcome outcome;
    };
    const Case cases[] = {{5, False}, {6, True}, {0, Throws}, {32, Throws}, {49, Throws}, {10, Referral}};
    LDAPUrlList urls;
    urls.Add(LDAPUrl("ldap://elsewhere.example:389/o=lab"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        CLDAPThread job;
        // The referral's URLs come from the kept result.
        class Keeper : public CLDAPThread {
        public:
            using CLDAPThread::KeptResponse;
        } keeper;
        keeper.KeptResponse() = std::make_unique<LDAPResultResponse>(kLDAPSearchResult, c.code, "", "", urls);
        switch (c.outcome) {
        case False:
            EXPECT_FALSE(keeper.CheckResult(c.code));
            break;
        case True:
            EXPECT_TRUE(keeper.CheckResult(c.code));
            break;
        case Throws:
            try {
                keeper.CheckResult(c.code);
                ADD_FAILURE() << "no exception";
            } catch (const LDAPReferralException&) {
                ADD_FAILURE() << "a referral";
            } catch (const LDAPException& e) {
                EXPECT_EQ(e.GetResultCode(), c.code);
                EXPECT_EQ(e.GetResultText(), GetLDAPErrorText(c.code));
            }
            break;
        case Referral:
            try {
                keeper.CheckResult(c.code);
                ADD_FAILURE() << "no exception";
            } catch (const LDAPReferralException& e) {
                EXPECT_EQ(e.GetResultCode(), kLDAPReferral);
                ASSERT_EQ(e.GetReferrals().GetCount(), 1u);
                EXPECT_EQ(e.GetReferrals().begin()->GetURL(), "ldap://elsewhere.example:389/o=lab");
            }
            // Without a kept result the referral names nothing.
            try {
                job.CheckResult(c.code);
            } catch (const LDAPReferralException& e) {
                EXPECT_EQ(e.GetReferrals().GetCount(), 0u);
            }
            break;
        }
    }
}

TEST_F(WorkerTest, AWorkerIsRegisteredFromItsStartUntilItsExitWorkIsDone)
{
    platform::Event gate = MakeGate();
    auto job = std::make_shared<FunctionJob>([&](FunctionJob&) { gate.Wait(); });
    std::weak_ptr<FunctionJob> watch = job;
    EXPECT_EQ(GetRunningThreadCount(), 0);
    EXPECT_FALSE(job->IsStarted());
    ASSERT_TRUE(job->CreateThread());
    EXPECT_TRUE(job->IsStarted());
    EXPECT_FALSE(job->CreateThread());  // once only
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(GetRunningThreadCount(), 1);
    EXPECT_EQ(job->finishes, 0);

    gate.Set();
    ASSERT_TRUE(WaitForAllThreads(5s));
    EXPECT_EQ(GetRunningThreadCount(), 0);
    EXPECT_EQ(job->runs, 1);
    EXPECT_EQ(job->finishes, 1);
    EXPECT_TRUE(job->IsFinished());
    EXPECT_TRUE(job->IsDoneSignalled());
    // The base's result check got the code of no kept response.
    EXPECT_EQ(job->lastCheckCode, 0);
    // Its last owner letting go deletes it.
    job.reset();
    EXPECT_TRUE(watch.expired());
}

TEST_F(WorkerTest, EveryWayOutOfAJobUnregistersAndFinishesOnce)
{
    LDAPUrlList urls;
    urls.Add(LDAPUrl("ldap://elsewhere.example/o=lab"));
    struct Case {
        const char* name;
        FunctionJob::Work work;
        int errors;
        int lastError;
        int checks;
        bool logged;
    };
    const Case cases[] = {
        {"returns", [](FunctionJob&) {}, 0, -1, 1, false},
        {"breaks", [](FunctionJob&) { throw CBreakException(); }, 0, -1, 0, false},
        {"fails", [](FunctionJob&) { throw LDAPException(32); }, 1, 32, 0, false},
        // Caught as the base type: the error hook sees code 10.
        {"meets a referral", [&](FunctionJob&) { throw LDAPReferralException(urls); }, 1, 10, 0, false},
        {"fails once cancelled",
         [](FunctionJob& job) {
             job.RequestCancel();
             throw LDAPException(32);
         },
         0, -1, 0, false},
        {"is cancelled after its last safe point", [](FunctionJob& job) { job.RequestCancel(); }, 0, -1, 0, false},
        {"throws a standard exception", [](FunctionJob&) { throw std::runtime_error("disk on fire"); }, 0, -1, 0,
         true},
        {"throws anything", [](FunctionJob&) { throw 42; }, 0, -1, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LogLines log;
        auto job = std::make_shared<FunctionJob>(c.work);
        std::weak_ptr<FunctionJob> watch = job;
        ASSERT_TRUE(job->CreateThread());
        ASSERT_TRUE(WaitForAllThreads(5s));
        EXPECT_EQ(GetRunningThreadCount(), 0);
        EXPECT_EQ(job->finishes, 1);
        EXPECT_EQ(job->errors, c.errors);
        EXPECT_EQ(job->lastError, c.lastError);
        EXPECT_EQ(job->checks, c.checks);
        EXPECT_EQ(log.CountContaining(kUnexpected), c.logged ? 1 : 0);
        job.reset();
        EXPECT_TRUE(watch.expired());
    }
}

TEST_F(WorkerTest, CancellingAJobThatDoesNotRunReturnsAtOnce)
{
    auto unstarted = std::make_shared<FunctionJob>(nullptr);
    EXPECT_LT(Timed([&] { unstarted->Cancel(); }), jobtest::NoWaitBound());
    EXPECT_FALSE(unstarted->IsCancelled());

    auto finished = std::make_shared<FunctionJob>(nullptr);
    ASSERT_TRUE(finished->CreateThread());
    ASSERT_TRUE(WaitForAllThreads(5s));
    EXPECT_LT(Timed([&] { finished->Cancel(); }), jobtest::NoWaitBound());
    EXPECT_FALSE(finished->IsCancelled());
    EXPECT_EQ(finished->finishes, 1);
}

TEST_F(WorkerTest, ACancelThatCatchesASafePointEndsTheJobQuietly)
{
    platform::Event never = MakeGate();
    std::atomic<bool> wentOn{false};
    auto job = std::make_shared<FunctionJob>([&](FunctionJob& j) {
        j.WaitAtSafePoint(never);
        wentOn = true;
    });
    ASSERT_TRUE(job->CreateThread());
    while (!job->IsDoneSignalled())
        std::this_thread::sleep_for(1ms);
    EXPECT_LT(Timed([&] { job->Cancel(); }), jobtest::NoWaitBound());
    EXPECT_TRUE(job->IsCancelled());
    ASSERT_TRUE(WaitForAllThreads(5s));
    EXPECT_FALSE(wentOn);
    EXPECT_EQ(job->errors, 0);
    EXPECT_EQ(job->checks, 0);
    EXPECT_EQ(job->finishes, 1);
}

TEST_F(WorkerTest, ACancelThatFindsNoSafePointGivesUpAndTheJobStopsAtItsNextOne)
{
    SafePointLimit limit(150ms);
    LogLines log;
    platform::Event gate = MakeGate();
    std::atomic<bool> wentOn{false};
    auto job = std::make_shared<FunctionJob>([&](FunctionJob& j) {
        gate.Wait();  // like a connect: no safe point while it lasts
        j.SignalDone();
        j.CheckCancelled(nullptr, true);
        wentOn = true;
    });
    ASSERT_TRUE(job->CreateThread());
    std::chrono::milliseconds took = Timed([&] { job->Cancel(); });
    EXPECT_GE(took, 140ms);
    EXPECT_LT(took, jobtest::kHangLimit);
    EXPECT_TRUE(job->IsCancelled());
    EXPECT_EQ(log.CountContaining(kGaveUp), 1);
    EXPECT_EQ(GetRunningThreadCount(), 1);

    gate.Set();
    ASSERT_TRUE(WaitForAllThreads(5s));
    EXPECT_FALSE(wentOn);
    EXPECT_EQ(job->errors, 0);
    EXPECT_EQ(job->finishes, 1);
}

TEST_F(WorkerTest, TwoCancelsAtOnceBothReturn)
{
    struct Case {
        const char* name;
        bool safePoint;
    };
    for (const Case& c : {Case{"at a safe point", true}, Case{"with no safe point in time", false}}) {
        SCOPED_TRACE(c.name);
        SafePointLimit limit(200ms);
        LogLines log;
        platform::Event gate = MakeGate();
        std::atomic<bool> wentOn{false};
        auto job = std::make_shared<FunctionJob>([&](FunctionJob& j) {
            if (c.safePoint) {
                j.WaitAtSafePoint(gate);
            } else {
                gate.Wait();
                j.SignalDone();
                j.CheckCancelled(nullptr, true);
            }
            wentOn = true;
        });
        ASSERT_TRUE(job->CreateThread());
        if (c.safePoint)
            while (!job->IsDoneSignalled())
                std::this_thread::sleep_for(1ms);

        std::atomic<bool> go{false};
        auto cancel = [&] {
            while (!go)
                std::this_thread::yield();
            job->Cancel();
        };
        std::future<void> first = std::async(std::launch::async, cancel);
        std::future<void> second = std::async(std::launch::async, cancel);
        go = true;
        EXPECT_EQ(first.wait_for(jobtest::kHangLimit), std::future_status::ready);
        EXPECT_EQ(second.wait_for(jobtest::kHangLimit), std::future_status::ready);
        EXPECT_TRUE(job->IsCancelled());
        EXPECT_EQ(log.CountContaining(kGaveUp), c.safePoint ? 0 : 1);

        gate.Set();
        ASSERT_TRUE(WaitForAllThreads(5s));
        EXPECT_FALSE(wentOn);
        EXPECT_EQ(job->finishes, 1);
    }
}

TEST_F(WorkerTest, AJobThatCancelsItselfDoesNotWaitForItself)
{
    std::chrono::milliseconds took{0};
    std::atomic<bool> wentOn{false};
    auto job = std::make_shared<FunctionJob>([&](FunctionJob& j) {
        took = Timed([&] { j.Cancel(); });
        j.SignalDone();
        j.CheckCancelled(nullptr, true);
        wentOn = true;
    });
    ASSERT_TRUE(job->CreateThread());
    ASSERT_TRUE(WaitForAllThreads(5s));
    EXPECT_LT(took, jobtest::NoWaitBound());
    EXPECT_TRUE(job->IsCancelled());
    EXPECT_FALSE(wentOn);
    EXPECT_EQ(job->finishes, 1);
}

TEST_F(WorkerTest, TheUserInterfaceThreadNeverWaitsForAWorker)
{
    JobUi ui;
    platform::Event gate = MakeGate();
    auto job = std::make_shared<FunctionJob>([&](FunctionJob& j) {
        gate.Wait();
        j.SignalDone();
        j.CheckCancelled(nullptr, true);
        ADD_FAILURE() << "went past a cancel";
    });
    ASSERT_TRUE(job->CreateThread());
    EXPECT_LT(Timed([&] { job->Cancel(); }), jobtest::NoWaitBound());
    EXPECT_TRUE(job->IsCancelled());
    gate.Set();
    EXPECT_TRUE(ui.PumpUntilIdle());
    EXPECT_EQ(job->finishes, 1);
}

TEST_F(WorkerTest, WaitingForAllThreadsKeepsToItsLimit)
{
    platform::Event gate = MakeGate();
    auto job = std::make_shared<FunctionJob>([&](FunctionJob&) { gate.Wait(); });
    ASSERT_TRUE(job->CreateThread());
    bool ended = true;
    std::chrono::milliseconds took = Timed([&] { ended = WaitForAllThreads(100ms); });
    EXPECT_FALSE(ended);
    EXPECT_GE(took, 100ms);
    EXPECT_LT(took, jobtest::kHangLimit);
    gate.Set();
    EXPECT_TRUE(WaitForAllThreads(5s));
}

TEST(WorkerStart, NeedsASharedOwner)
{
    FunctionJob job(nullptr);
    EXPECT_THROW(job.CreateThread(), std::logic_error);
    EXPECT_FALSE(job.IsStarted());
    EXPECT_EQ(GetRunningThreadCount(), 0);
}

TEST_F(WorkerTest, StopAllAsksEveryWorkerButAbortJobsAndAbortingNodesAndReturnsAtOnce)
{
    JobUi ui;
    platform::Event never = MakeGate();
    platform::Event stuckGate = MakeGate();

    TestNode plain(kNodeRoot, nullptr);
    TestNode aborting(kNodeRoot, nullptr);
    TestNode stuck(kNodeRoot, nullptr);
    auto plainJob = jobtest::MakeNodeJob(plain, [&](NodeJob& j) { j.WaitAtSafePoint(never); });
    auto abortingJob = jobtest::MakeNodeJob(aborting, [&](NodeJob& j) { j.WaitAtSafePoint(never); });
    // No safe point until its gate opens, so the abort job for it waits.
    auto stuckJob = jobtest::MakeNodeJob(stuck, [&](NodeJob& j) {
        stuckGate.Wait();
        j.WaitAtSafePoint(never);
    });
    auto freeJob = std::make_shared<FunctionJob>([&](FunctionJob& j) { j.WaitAtSafePoint(never); });
    aborting.aborting = true;
    plain.StartJob(plainJob);
    aborting.StartJob(abortingJob);
    stuck.StartJob(stuckJob);
    ASSERT_TRUE(freeJob->CreateThread());
    stuck.Abort();
    std::shared_ptr<CLDAPThread> abortJob = stuck.LastAbortJob();
    ASSERT_NE(abortJob, nullptr);
    // The abort job counts while it runs.
    EXPECT_EQ(GetRunningThreadCount(), 5);

    EXPECT_LT(Timed([] { AbortAllThreads(); }), jobtest::NoWaitBound());
    EXPECT_TRUE(ui.PumpUntil(
        [&] { return plainJob->IsFinished() && freeJob->IsFinished() && GetRunningThreadCount() == 3; }));
    EXPECT_EQ(plain.abortJobsStarted, 1);
    EXPECT_EQ(plain.Information(), std::vector<std::wstring>{jobtest::CancelledText()});
    EXPECT_TRUE(freeJob->IsCancelled());
    // Left alone: the aborting node's job, and the abort job (whose node's
    // job has its abort started already).
    EXPECT_FALSE(abortingJob->IsCancelled());
    EXPECT_EQ(aborting.abortJobsStarted, 0);
    EXPECT_FALSE(abortJob->IsCancelled());
    EXPECT_EQ(stuck.abortJobsStarted, 1);

    stuckGate.Set();
    aborting.ResetAbort();
    AbortAllThreads();
    EXPECT_TRUE(ui.PumpUntilIdle());
    for (TestNode* node : {&plain, &aborting, &stuck}) {
        EXPECT_FALSE(node->busy);
        EXPECT_FALSE(node->aborting);
        EXPECT_EQ(node->Information().size(), 1u);
    }
    EXPECT_EQ(ui.ListView().Count(platform::WM_WORKER_DONE), 0);  // none had a progress window
}

TEST_F(WorkerTest, MakingANodeJobMarksTheNodeBusyAndHoldsItsConnection)
{
    JobUi ui;
    struct Case {
        const char* name;
        int type;
        bool connection;
    };
    for (const Case& c : {Case{"root", kNodeRoot, false}, Case{"server", kNodeServer, true},
                          Case{"entry", kNodeEntry, true}}) {
        SCOPED_TRACE(c.name);
        LDAPConnectionPtr connection = LDAPConnection::Create("127.0.0.1", 1);
        TestNode node(c.type, connection);
        const long before = CountOf(*connection);
        node.Insert();
        node.abortRequested = true;
        int repaints = ui.Tree().UpdateWindowCount();

        auto job = jobtest::MakeNodeJob(node, nullptr);
        EXPECT_TRUE(node.busy);
        EXPECT_EQ(node.setBusyCount, 1);
        EXPECT_FALSE(node.abortRequested);
        EXPECT_EQ(ui.Tree().GetItemOverlay(node.GetTreeItem()), 1);
        EXPECT_EQ(ui.Tree().UpdateWindowCount(), repaints + 1);
        ASSERT_NE(node.GetEvent(), nullptr);
        EXPECT_FALSE(node.GetEvent()->IsSet());
        EXPECT_EQ(node.connectionAsked, c.connection ? 1 : 0);
        EXPECT_EQ(job->GetConnection().get(), c.connection ? connection.get() : nullptr);
        EXPECT_EQ(CountOf(*connection), before + (c.connection ? 1 : 0));

        job->FinishUnstarted();
        EXPECT_FALSE(node.busy);
        EXPECT_EQ(ui.Tree().GetItemOverlay(node.GetTreeItem()), 0);
        EXPECT_EQ(node.GetEvent(), nullptr);
        job.reset();
        EXPECT_EQ(CountOf(*connection), before);
    }
}

TEST_F(WorkerTest, AJobOfferedToABlockedNodeNeverRunsButIsFinished)
{
    JobUi ui;
    TestNode node(kNodeEntry, LDAPConnection::Create("127.0.0.1", 1));
    node.Insert();
    node.jobBlock = true;
    auto progress = std::make_unique<CHeadlessProgressDlg>();
    progress->ShowStatus(L"Export", L"", 368, &node);
    auto record = progress->GetRecord();
    auto job = jobtest::MakeNodeJob(node, nullptr, std::move(progress));
    node.StartJob(job);
    ui.Dispatcher().Pump();

    EXPECT_EQ(job->runs, 0);
    EXPECT_FALSE(job->IsStarted());
    EXPECT_EQ(job->finishes, 1);
    EXPECT_EQ(GetRunningThreadCount(), 0);
    EXPECT_FALSE(node.busy);
    EXPECT_EQ(node.GetEvent(), nullptr);
    EXPECT_EQ(ui.ListView().WindowsHandedBack(), 1);
    EXPECT_TRUE(record->Get().deleted);
    // It cannot be started afterwards.
    EXPECT_FALSE(job->CreateThread());
    EXPECT_EQ(job->runs, 0);
}

TEST_F(WorkerTest, TheFinishRestoresTheNodeAndPostsItsMessages)
{
    struct Case {
        const char* name;
        platform::MessageId message;
        intptr_t lParam;
        uintptr_t wParam;
        bool childrenLoaded;
    };
    const Case cases[] = {
        {"no finish message", 0, 0, 0, false},
        {"load, naming the node", platform::WM_WORKER_CALL2, 7, 0, true},
        {"expand, naming another", platform::WM_WORKER_CALL1, 1, 0x1234, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JobUi ui;
        TestNode node(kNodeEntry, LDAPConnection::Create("127.0.0.1", 1));
        node.Insert();
        node.childrenLoaded = c.childrenLoaded;
        auto progress = std::make_unique<CHeadlessProgressDlg>();
        progress->ShowStatus(L"Job", L"", 368, &node);
        auto record = progress->GetRecord();
        auto job = jobtest::MakeNodeJob(
            node,
            [&](NodeJob& j) {
                j.SetNodeStatusText(L"working");
                j.SetStatusText(L"step");
                j.SetFinishMessage(c.message, c.lParam, c.wParam);
                node.aborting = true;  // as if an abort had come too late
            },
            std::move(progress));
        node.StartJob(job);
        EXPECT_TRUE(node.HasJobPointer());
        ASSERT_TRUE(ui.PumpUntilIdle());

        EXPECT_EQ(job->finishes, 1);
        EXPECT_FALSE(node.busy);
        EXPECT_EQ(node.resetBusyCount, 1);
        EXPECT_FALSE(node.aborting);
        EXPECT_FALSE(node.HasJobPointer());
        EXPECT_EQ(node.GetEvent(), nullptr);
        EXPECT_EQ(ui.Tree().GetItemOverlay(node.GetTreeItem()), 0);
        EXPECT_EQ(node.StatusTexts(), (std::vector<std::wstring>{L"working", L"<idle>"}));
        EXPECT_EQ(node.childIndicatorUpdates, c.childrenLoaded ? 1 : 0);
        EXPECT_TRUE(node.Information().empty());

        std::vector<jobtest::Posted> posted = ui.ListView().All();
        ASSERT_EQ(posted.size(), c.message ? 2u : 1u);
        EXPECT_EQ(posted[0].id, platform::WM_WORKER_DONE);
        if (c.message) {
            EXPECT_EQ(posted[1].id, c.message);
            EXPECT_EQ(posted[1].wParam, c.wParam ? c.wParam : node.GetNodeId());
            EXPECT_EQ(posted[1].lParam, c.lParam);
        }
        HeadlessProgressView view = record->Get();
        EXPECT_EQ(view.statusTexts, std::vector<std::wstring>{L"step"});
        EXPECT_EQ(view.windowDestroyed, 1);
        EXPECT_TRUE(view.destroyedOnUiThread);
        EXPECT_TRUE(view.deleted);
        EXPECT_TRUE(view.deletedOnUiThread);
    }
}

TEST_F(WorkerTest, AJobDetachedFromItsNodeLeavesTheNodeAloneAndPostsNoNodeMessage)
{
    JobUi ui;
    TestNode node(kNodeRoot, nullptr);
    auto job = jobtest::MakeNodeJob(node, nullptr);
    node.SetJob(job);
    job->SetFinishMessage(platform::WM_WORKER_CALL1, 1);
    job->DetachFromNode();
    EXPECT_EQ(job->GetNode(), nullptr);
    EXPECT_FALSE(node.HasJobPointer());
    EXPECT_EQ(node.GetEvent(), nullptr);  // its one reference went with it
    job->FinishUnstarted();
    ui.Dispatcher().Pump();
    EXPECT_TRUE(ui.ListView().All().empty());
    EXPECT_TRUE(node.busy);  // no longer the job's to restore
}

TEST_F(WorkerTest, TheFinishRedrawsTheNodesRowWhileTheListShowsIt)
{
    struct Case {
        const char* name;
        bool parentSelected;
        bool rowPresent;
        bool redrawn;
    };
    const Case cases[] = {
        {"shown", true, true, true},
        {"list of another node", false, true, false},
        {"row missing", true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JobUi ui;
        platform::TreeInsert parentInsert;
        parentInsert.text = L"parent";
        platform::TreeItem parent = ui.Tree().InsertItem(parentInsert);
        TestNode node(kNodeEntry, LDAPConnection::Create("127.0.0.1", 1));
        node.Insert(parent);
        if (c.parentSelected)
            ui.Tree().SelectItem(parent);
        platform::ListItem other;
        other.text = L"other";
        ui.List().InsertItem(-1, other);
        if (c.rowPresent) {
            platform::ListItem row;
            row.text = L"node";
            row.data = node.GetItemData();
            ui.List().InsertItem(-1, row);
        }
        auto job = jobtest::MakeNodeJob(node, nullptr);
        ui.List().ClearRedraws();
        job->FinishUnstarted();
        std::vector<std::pair<int, int>> expected;
        if (c.redrawn)
            expected.emplace_back(1, 1);
        EXPECT_EQ(ui.List().Redraws(), expected);
    }
}

TEST_F(WorkerTest, JobsOfOneNodeShareItsEventUntilTheLastLetsGo)
{
    JobUi ui;
    TestNode node(kNodeRoot, nullptr);
    auto first = jobtest::MakeNodeJob(node, nullptr);
    CRefCountedEvent* event = node.GetEvent();
    ASSERT_NE(event, nullptr);
    event->Set();
    auto second = jobtest::MakeNodeJob(node, nullptr);
    EXPECT_EQ(node.GetEvent(), event);
    EXPECT_FALSE(event->IsSet());  // each new job resets it
    EXPECT_EQ(event->AddRef(), 3);
    event->Release();

    first->FinishUnstarted();
    EXPECT_EQ(node.GetEvent(), event);
    EXPECT_EQ(event->AddRef(), 2);
    event->Release();
    second->FinishUnstarted();
    EXPECT_EQ(node.GetEvent(), nullptr);
    // A later job gets a new one.
    auto third = jobtest::MakeNodeJob(node, nullptr);
    EXPECT_NE(node.GetEvent(), nullptr);
    third->FinishUnstarted();
    EXPECT_EQ(node.GetEvent(), nullptr);
}

TEST_F(WorkerTest, AnAbortedNodeJobLeavesAnInformationNodeAndIsRestoredAtOnce)
{
    JobUi ui;
    ASSERT_EQ(jobtest::CancelledText(), L"The operation was stopped by the user.");
    LogLines log;
    platform::Event never = MakeGate();
    TestNode node(kNodeRoot, nullptr);
    node.Insert();
    auto progress = std::make_unique<CHeadlessProgressDlg>();
    progress->ShowStatus(L"Job", L"", 368, &node);
    auto record = progress->GetRecord();
    auto job = jobtest::MakeNodeJob(node, [&](NodeJob& j) { j.WaitAtSafePoint(never); }, std::move(progress));
    node.StartJob(job);
    ASSERT_TRUE(ui.PumpUntil([&] { return job->IsDoneSignalled(); }));

    node.Abort();
    node.Abort();  // one abort job per job
    ASSERT_TRUE(ui.PumpUntilIdle());
    EXPECT_EQ(node.abortJobsStarted, 1);
    EXPECT_TRUE(job->IsCancelled());
    EXPECT_EQ(job->finishes, 1);
    EXPECT_EQ(job->errors, 0);
    EXPECT_EQ(node.Information(), std::vector<std::wstring>{jobtest::CancelledText()});
    EXPECT_EQ(log.CountContaining(jobtest::CancelledText()), 1);
    EXPECT_TRUE(node.childrenLoaded);
    EXPECT_FALSE(node.busy);
    EXPECT_FALSE(node.aborting);
    EXPECT_EQ(ui.Tree().GetItemOverlay(node.GetTreeItem()), 0);
    EXPECT_EQ(ui.ListView().Count(platform::WM_WORKER_DONE), 1);
    EXPECT_TRUE(record->Get().deleted);
}

TEST_F(WorkerTest, AJobWhoseCancelGaveUpRestoresItsNodeItselfWhenItStops)
{
    SafePointLimit limit(100ms);
    JobUi ui;
    LogLines log;
    platform::Event gate = MakeGate();
    TestNode node(kNodeRoot, nullptr);
    auto job = jobtest::MakeNodeJob(node, [&](NodeJob& j) {
        gate.Wait();
        j.SignalDone();
        j.CheckCancelled(nullptr, true);
    });
    node.StartJob(job);
    node.Abort();
    ASSERT_TRUE(ui.PumpUntil([&] { return log.CountContaining(kGaveUp) == 1; }));
    ASSERT_TRUE(ui.PumpUntil([] { return GetRunningThreadCount() == 1; }));
    EXPECT_TRUE(node.busy);  // not restored behind the worker's back
    EXPECT_TRUE(node.aborting);

    gate.Set();
    ASSERT_TRUE(ui.PumpUntilIdle());
    EXPECT_EQ(node.Information(), std::vector<std::wstring>{jobtest::CancelledText()});
    EXPECT_FALSE(node.busy);
    EXPECT_FALSE(node.aborting);
    EXPECT_EQ(job->finishes, 1);
}

TEST(ProgressWindowPosition, BottomRightOfTheDesktop)
{
    struct Case {
        ProgressRect desktop;
        int width, height;
        int x, y;
    };
    const Case cases[] = {
        {{0, 0, 1024, 768}, 300, 100, 724, 638},
        {{0, 0, 1920, 1080}, 400, 150, 1520, 900},
        {{100, 50, 1124, 818}, 300, 100, 824, 688},
        {{0, 0, 200, 100}, 300, 100, -100, -30},
    };
    for (const Case& c : cases) {
        ProgressPoint p = BottomRightPosition(c.desktop, c.width, c.height);
        EXPECT_EQ(p.x, c.x);
        EXPECT_EQ(p.y, c.y);
    }
}

TEST_F(WorkerTest, TheProgressWindowShowsWhatItIsGivenAndStopsTheJobOnce)
{
    JobUi ui;
    TestNode node(kNodeRoot, nullptr);
    CHeadlessProgressDlg window;
    auto record = window.GetRecord();
    EXPECT_FALSE(window.IsWindow());
    ASSERT_TRUE(window.ShowStatus(L"LDIF export", L"Exporting o=lab", 368, &node));
    EXPECT_TRUE(window.IsWindow());
    EXPECT_EQ(window.GetCaption(), L"LDIF export");
    EXPECT_EQ(window.GetMainText(), L"Exporting o=lab");
    EXPECT_EQ(window.GetNode(), &node);
    HeadlessProgressView view = record->Get();
    EXPECT_EQ(view.title, L"LDIF export");
    EXPECT_EQ(view.openAnimation, 368);
    EXPECT_TRUE(view.playing);
    EXPECT_FALSE(view.visible);

    window.PositionBottomRight();
    view = record->Get();
    EXPECT_TRUE(view.visible);
    EXPECT_EQ(view.x, 724);
    EXPECT_EQ(view.y, 638);

    std::thread worker([&] {
        window.SetMainText(L"main");
        window.SetStatusText(L"first");
        window.SetStatusText(L"second");
        window.StopAnimation();
    });
    worker.join();
    view = record->Get();
    EXPECT_EQ(view.mainTexts, std::vector<std::wstring>{L"main"});
    EXPECT_EQ(view.statusTexts, (std::vector<std::wstring>{L"first", L"second"}));
    EXPECT_EQ(window.GetStatusText(), L"second");
    EXPECT_FALSE(view.playing);
    window.SetAnimation(392);
    EXPECT_EQ(window.GetAnimation(), 392);
    EXPECT_TRUE(record->Get().playing);

    window.OnHide();
    EXPECT_FALSE(record->Get().visible);
    EXPECT_TRUE(window.IsWindow());  // hidden, not gone

    window.OnStop();
    window.OnStop();
    EXPECT_FALSE(window.IsStopEnabled());
    EXPECT_FALSE(record->Get().stopEnabled);
    EXPECT_EQ(node.abortJobsStarted, 1);
    EXPECT_TRUE(ui.PumpUntilIdle());
}

TEST_F(WorkerTest, TheListViewDestroysTheWindowAndDeletesIt)
{
    struct Case {
        const char* name;
        bool created;
        bool destroyedBefore;
        int destroyed;
    };
    const Case cases[] = {
        {"open window", true, false, 1},
        {"window destroyed already", true, true, 1},
        {"window never made", false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto window = std::make_unique<CHeadlessProgressDlg>(ProgressRect{0, 0, 1024, 768}, 300, 100, c.created);
        EXPECT_EQ(window->ShowStatus(L"Job", L"", 368, nullptr), c.created);
        if (c.destroyedBefore)
            window->DestroyWindow();
        auto record = window->GetRecord();
        HandleWorkerDone(std::move(window));
        HeadlessProgressView view = record->Get();
        EXPECT_EQ(view.windowDestroyed, c.destroyed);
        EXPECT_TRUE(view.deleted);
    }
    // Other payloads are just freed.
    HandleWorkerDone(platform::MakeValuePayload(std::wstring(L"line")));
}

TEST_F(WorkerTest, AProgressWindowPostedToAListViewThatHasGoneIsFreedAndItsWindowDestroyed)
{
    JobUi ui;
    TestNode node(kNodeRoot, nullptr);
    auto progress = std::make_unique<CHeadlessProgressDlg>();
    progress->ShowStatus(L"Job", L"", 368, &node);
    auto record = progress->GetRecord();
    auto job = jobtest::MakeNodeJob(node, [](NodeJob& j) { j.SetStatusText(L"done"); }, std::move(progress));
    ui.CloseListView();
    node.StartJob(job);
    ASSERT_TRUE(ui.PumpUntilIdle());

    HeadlessProgressView view = record->Get();
    EXPECT_TRUE(view.deleted);
    EXPECT_FALSE(view.deletedOnUiThread);  // freed where it was posted
    EXPECT_EQ(view.windowDestroyed, 1);
    EXPECT_TRUE(view.destroyedOnUiThread);
    EXPECT_EQ(view.statusTexts, std::vector<std::wstring>{L"done"});
    EXPECT_FALSE(node.busy);
}

}  // namespace
