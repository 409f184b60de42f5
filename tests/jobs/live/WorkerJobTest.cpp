// Node jobs on worker threads against the test servers: running, counting,
// cancelling, stopping all, failing, and handing the progress window back.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <stdexcept>
#include <thread>

#include "jobs/CLDAPOperationThread.h"
#include "tests/support/HeadlessProgressDlg.h"
#include "tests/jobs/JobTestSupport.h"
#include "tests/support/LiveSupport.h"

using namespace arbldap;

namespace live {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using jobtest::FetchJob;
using jobtest::JobUi;
using jobtest::LogLines;
using jobtest::NodeJob;
using jobtest::TestNode;

const wchar_t kUnexpected[] = L"unexpected failure";

// A search below base, read to its end at safe points.
NodeJob::Work Search(const std::string& base, int scope)
{
    return [base, scope](NodeJob& job) {
        job.SetCurrentQueue(job.GetConnection()->Search(base, scope, "", StringList(), false));
        job.ReadCurrentQueue();
    };
}

// A bind that the silent server never answers.
void BindAndWait(NodeJob& job)
{
    job.SetCurrentQueue(job.GetConnection()->Bind("", ""));
    job.ReadCurrentQueue();
}

std::unique_ptr<CHeadlessProgressDlg> MakeProgress(TestNode& node,
                                                   std::shared_ptr<const HeadlessProgressRecord>& record)
{
    auto progress = std::make_unique<CHeadlessProgressDlg>();
    progress->ShowStatus(L"Working", L"", 368, &node);
    progress->PositionBottomRight();
    record = progress->GetRecord();
    return progress;
}

size_t CountBelow(const std::string& base)
{
    RefPtr<LDAPSyncConnection> connection = OpenSync(MainServer().Port());
    return connection->Search(base, 1, "", StringList(), false)->GetEntries().GetCount();
}

// What every cancelled node job leaves: an idle node with one information node.
void ExpectCancelledAndRestored(const TestNode& node, const NodeJob& job)
{
    EXPECT_TRUE(job.IsCancelled());
    EXPECT_EQ(job.finishes, 1);
    EXPECT_EQ(job.errors, 0);
    EXPECT_EQ(job.checks, 0);
    EXPECT_EQ(node.Information(), std::vector<std::wstring>{jobtest::CancelledText()});
    EXPECT_TRUE(node.childrenLoaded);
    EXPECT_FALSE(node.busy);
    EXPECT_FALSE(node.aborting);
    EXPECT_EQ(node.overlay, 0);
    EXPECT_FALSE(node.HasJobPointer());
    EXPECT_EQ(node.GetEvent(), nullptr);
}

class WorkerJob : public ::testing::Test {
protected:
    void TearDown() override
    {
        EXPECT_TRUE(ui.PumpUntilIdle());
        EXPECT_EQ(GetRunningThreadCount(), 0);
    }

    JobUi ui;
};

TEST_F(WorkerJob, AJobRunsEndsAndIsUnregistered)
{
    TestNode node(kNodeEntry, Open(MainServer().Port()));
    node.Insert();
    std::shared_ptr<const HeadlessProgressRecord> record;
    auto job = jobtest::MakeNodeJob(node, Search("o=lab", 1), MakeProgress(node, record));
    job->checkHook = [](NodeJob& j) { j.SetFinishMessage(platform::WM_WORKER_CALL2, 0); };
    node.StartJob(job);
    // It cannot get far without the user interface: its node's tree item waits.
    EXPECT_EQ(GetRunningThreadCount(), 1);
    ASSERT_TRUE(ui.PumpUntilIdle());

    EXPECT_EQ(GetRunningThreadCount(), 0);
    EXPECT_EQ(static_cast<size_t>(job->entries), CountBelow("o=lab"));
    EXPECT_EQ(job->lastCheckCode, 0);
    EXPECT_EQ(job->errors, 0);
    EXPECT_EQ(job->finishes, 1);
    EXPECT_FALSE(job->IsCancelled());
    EXPECT_FALSE(node.busy);
    EXPECT_EQ(ui.Tree().GetItemOverlay(node.GetTreeItem()), 0);
    EXPECT_FALSE(node.HasJobPointer());
    EXPECT_EQ(node.GetEvent(), nullptr);
    EXPECT_TRUE(node.Information().empty());

    std::vector<jobtest::Posted> posted = ui.ListView().All();
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[0].id, platform::WM_WORKER_DONE);
    EXPECT_EQ(posted[1].id, platform::WM_WORKER_CALL2);
    EXPECT_EQ(posted[1].wParam, node.GetNodeId());
    EXPECT_TRUE(record->Get().deleted);
}

TEST_F(WorkerJob, TheCountFollowsTheJobsThatRun)
{
    SilentServer silent;
    const int n = 4;
    std::vector<std::unique_ptr<TestNode>> nodes;
    std::vector<std::shared_ptr<NodeJob>> jobs;
    for (int i = 0; i < n; ++i) {
        nodes.push_back(std::make_unique<TestNode>(kNodeServer, Open(silent.Port())));
        jobs.push_back(jobtest::MakeNodeJob(*nodes.back(), BindAndWait));
        nodes.back()->StartJob(jobs.back());
        EXPECT_EQ(GetRunningThreadCount(), i + 1);
    }
    for (const auto& job : jobs)
        ASSERT_TRUE(ui.PumpUntil([&] { return job->IsDoneSignalled(); }));
    EXPECT_EQ(GetRunningThreadCount(), n);

    // One that ends by itself meanwhile comes and goes.
    TestNode reader(kNodeEntry, Open(MainServer().Port()));
    reader.Insert();  // so that it cannot end before the user interface pumps
    auto readerJob = jobtest::MakeNodeJob(reader, Search("ou=people,o=lab", 1));
    reader.StartJob(readerJob);
    EXPECT_EQ(GetRunningThreadCount(), n + 1);
    ASSERT_TRUE(ui.PumpUntil([&] { return GetRunningThreadCount() == n; }));
    EXPECT_EQ(readerJob->entries, 3);

    for (int i = 0; i < n; ++i) {
        nodes[i]->Abort();
        // The abort job counts until it is done too.
        ASSERT_TRUE(ui.PumpUntil([&] { return GetRunningThreadCount() == n - i - 1; }));
        EXPECT_TRUE(jobs[i]->IsCancelled());
        for (int k = i + 1; k < n; ++k)
            EXPECT_FALSE(jobs[k]->IsCancelled());
    }
}

TEST_F(WorkerJob, AJobWaitingOnAServerThatNeverAnswersIsCancelledWhileItWaits)
{
    // The user-interface thread must not wait for another canceller: that
    // one finishes the job, sending to the user-interface thread.
    std::future<void> other;
    struct Case {
        const char* canceller;
        std::function<void(TestNode&, NodeJob&)> cancel;
    };
    const Case cases[] = {
        {"the node's abort", [](TestNode& node, NodeJob&) { node.Abort(); }},
        {"another thread",
         [&](TestNode&, NodeJob& job) { other = std::async(std::launch::async, [&job] { job.Cancel(); }); }},
        {"the user-interface thread", [](TestNode&, NodeJob& job) { job.Cancel(); }},
        {"stop-all", [](TestNode&, NodeJob&) { AbortAllThreads(); }},
    };
    SilentServer silent;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.canceller);
        JobUi local;
        LogLines log;
        TestNode node(kNodeServer, Open(silent.Port()));
        node.Insert();
        std::shared_ptr<const HeadlessProgressRecord> record;
        auto job = jobtest::MakeNodeJob(node, BindAndWait, MakeProgress(node, record));
        node.StartJob(job);
        ASSERT_TRUE(local.PumpUntil([&] { return job->IsDoneSignalled(); }));
        std::this_thread::sleep_for(50ms);
        EXPECT_TRUE(node.busy);

        Clock::time_point start = Clock::now();
        c.cancel(node, *job);
        ASSERT_TRUE(local.PumpUntil(
            [&] { return !other.valid() || other.wait_for(0s) == std::future_status::ready; }));
        ASSERT_TRUE(local.PumpUntilIdle());
        EXPECT_LT(Clock::now() - start, jobtest::NoWaitBound());
        if (other.valid())
            other.get();
        ExpectCancelledAndRestored(node, *job);
        EXPECT_EQ(local.ListView().Count(platform::WM_WORKER_DONE), 1);
        EXPECT_EQ(log.CountContaining(jobtest::CancelledText()), 1);
        EXPECT_TRUE(record->Get().deleted);
    }
}

// A referral to hosts that never answer a connect. Each connect lasts the
// session's network time-out and sees no cancel meanwhile; after it, the
// cancelled job stops instead of trying every further host.
TEST_F(WorkerJob, AJobFollowingAReferralToDeadHostsEndsWithinOneNetworkTimeoutOfItsCancel)
{
    SilentServer blackHole(SilentServer::Mode::NeverConnect);
    const std::string dn = "cn=dead hosts," + std::string(kScratch);
    StringList refs;
    for (const char* target : {"cn=one,o=lab", "cn=two,o=lab"})
        refs.Add("ldap://127.0.0.1:" + std::to_string(blackHole.Port()) + "/" + target);
    StringList classes;
    classes.Add("referral");
    classes.Add("extensibleObject");
    LDAPEntry referral(dn);
    referral.GetAttributes().Add(LDAPAttribute("objectClass", classes));
    referral.GetAttributes().Add(LDAPAttribute("cn", "dead hosts"));
    referral.GetAttributes().Add(LDAPAttribute("ref", refs));
    RefPtr<LDAPSyncConnection> admin = OpenAdmin();
    admin->Add(referral);
    struct Remove {
        ~Remove()
        {
            // The referral object itself, not the servers it names.
            LDAPControlList manageDsaIT;
            manageDsaIT.Add(LDAPControl("2.16.840.1.113730.3.4.2", true, std::string(), true));
            LDAPOperationOptions options;
            options.SetServerControls(&manageDsaIT);
            try {
                admin->Delete(dn, &options);
            } catch (const LDAPException& e) {
                ADD_FAILURE() << "left behind: " << dn << " (" << e.GetResultCode() << ")";
            }
        }
        RefPtr<LDAPSyncConnection>& admin;
        const std::string& dn;
    } remove{admin, dn};

    LDAPOperationOptions chase;
    chase.SetChaseReferrals(true);
    chase.SetRebindCredentials(std::make_shared<LDAPBindCredentials>(testsupport::kAdminDN, testsupport::kAdminPassword));
    TestNode node(kNodeEntry, Open(MainServer().Port()));
    node.Insert();
    auto job = jobtest::MakeNodeJob(node, [&](NodeJob& j) {
        j.SetCurrentQueue(j.GetConnection()->Compare(dn, LDAPAttribute("cn", "dead hosts"), &chase));
        j.ReadCurrentQueue();
    });
    node.StartJob(job);
    ASSERT_TRUE(ui.PumpUntil([&] { return job->IsDoneSignalled(); }));
    std::this_thread::sleep_for(300ms);  // into the first connect

    Clock::time_point start = Clock::now();
    job->Cancel();
    const std::chrono::milliseconds networkTimeout = std::chrono::seconds(kLDAPNetworkTimeoutSeconds);
    ASSERT_TRUE(ui.PumpUntilIdle(networkTimeout * 6));  // a guard against a hang only
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    EXPECT_LT(took.count(), (networkTimeout * 3 / 2).count());
    ExpectCancelledAndRestored(node, *job);
}

TEST_F(WorkerJob, StopAllEndsEveryRunningJob)
{
    SilentServer silent;
    std::vector<std::unique_ptr<TestNode>> nodes;
    std::vector<std::shared_ptr<NodeJob>> jobs;
    for (int i = 0; i < 3; ++i) {
        nodes.push_back(std::make_unique<TestNode>(kNodeServer, Open(silent.Port())));
        std::shared_ptr<const HeadlessProgressRecord> record;
        jobs.push_back(jobtest::MakeNodeJob(*nodes.back(), BindAndWait, MakeProgress(*nodes.back(), record)));
        nodes.back()->StartJob(jobs.back());
    }
    // Workers without a node: reads of the silent server's root DSE.
    std::vector<std::shared_ptr<FetchJob>> fetches;
    for (int i = 0; i < 2; ++i) {
        fetches.push_back(std::make_shared<FetchJob>(
            [](FetchJob& job) { job.FetchAttributeValues("", "(objectClass=*)", StringList()); }, Open(silent.Port()),
            nullptr));
        ASSERT_TRUE(fetches.back()->CreateThread());
    }
    for (const auto& job : jobs)
        ASSERT_TRUE(ui.PumpUntil([&] { return job->IsDoneSignalled(); }));
    for (const auto& fetch : fetches)
        ASSERT_TRUE(ui.PumpUntil([&] { return fetch->IsDoneSignalled(); }));
    EXPECT_EQ(GetRunningThreadCount(), 5);

    Clock::time_point start = Clock::now();
    AbortAllThreads();
    EXPECT_LT(Clock::now() - start, jobtest::NoWaitBound());  // asks, does not wait
    ASSERT_TRUE(ui.PumpUntilIdle());
    EXPECT_LT(Clock::now() - start, jobtest::NoWaitBound());

    for (size_t i = 0; i < jobs.size(); ++i) {
        SCOPED_TRACE(i);
        ExpectCancelledAndRestored(*nodes[i], *jobs[i]);
        EXPECT_EQ(nodes[i]->abortJobsStarted, 1);
    }
    EXPECT_EQ(ui.ListView().Count(platform::WM_WORKER_DONE), 3);
    for (const auto& fetch : fetches) {
        EXPECT_TRUE(fetch->IsCancelled());
        EXPECT_EQ(fetch->errors, 0);
        EXPECT_EQ(fetch->finishes, 1);
    }
}

TEST_F(WorkerJob, AnExceptionInsideAJobLeavesNothingRegistered)
{
    struct Case {
        const char* name;
        std::function<void()> fail;
        int errors;
        bool logged;
    };
    const Case cases[] = {
        {"a standard exception", [] { throw std::runtime_error("out of cheese"); }, 0, true},
        {"anything at all", [] { throw 7; }, 0, true},
        {"out of memory", [] { throw std::bad_alloc(); }, 0, true},
        {"an LDAP failure", [] { throw LDAPException(53); }, 1, false},
        {"a break", [] { throw CBreakException(); }, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JobUi local;
        LogLines log;
        TestNode node(kNodeEntry, Open(MainServer().Port()));
        node.Insert();
        std::shared_ptr<const HeadlessProgressRecord> record;
        auto job = jobtest::MakeNodeJob(node, Search("ou=people,o=lab", 1), MakeProgress(node, record));
        // Fails in the middle of the search, with its queue still open.
        job->entryHook = [&](NodeJob&) { c.fail(); };
        node.StartJob(job);
        ASSERT_TRUE(local.PumpUntilIdle());

        EXPECT_EQ(GetRunningThreadCount(), 0);
        EXPECT_EQ(job->entries, 1);
        EXPECT_EQ(job->errors, c.errors);
        EXPECT_EQ(job->finishes, 1);
        EXPECT_EQ(log.CountContaining(kUnexpected), c.logged ? 1 : 0);
        EXPECT_FALSE(node.busy);
        EXPECT_EQ(local.Tree().GetItemOverlay(node.GetTreeItem()), 0);
        EXPECT_EQ(node.GetEvent(), nullptr);
        EXPECT_FALSE(node.HasJobPointer());
        EXPECT_EQ(local.ListView().Count(platform::WM_WORKER_DONE), 1);
        EXPECT_TRUE(record->Get().deleted);
        std::weak_ptr<NodeJob> watch = job;
        job.reset();
        EXPECT_TRUE(watch.expired());
    }
}

TEST_F(WorkerJob, TwoConcurrentCancelsBothReturn)
{
    struct Case {
        const char* name;
        bool withAbortJob;
    };
    SilentServer silent;
    for (const Case& c : {Case{"two threads", false}, Case{"a thread and the node's abort", true}}) {
        SCOPED_TRACE(c.name);
        JobUi local;
        TestNode node(kNodeServer, Open(silent.Port()));
        std::shared_ptr<const HeadlessProgressRecord> record;
        auto job = jobtest::MakeNodeJob(node, BindAndWait, MakeProgress(node, record));
        node.StartJob(job);
        ASSERT_TRUE(local.PumpUntil([&] { return job->IsDoneSignalled(); }));

        std::atomic<bool> go{false};
        auto cancel = [&] {
            while (!go)
                std::this_thread::yield();
            job->Cancel();
        };
        std::future<void> first = std::async(std::launch::async, cancel);
        std::future<void> second;
        if (!c.withAbortJob)
            second = std::async(std::launch::async, cancel);
        go = true;
        if (c.withAbortJob)
            node.Abort();
        ASSERT_TRUE(local.PumpUntil([&] {
            return first.wait_for(0s) == std::future_status::ready &&
                   (c.withAbortJob || second.wait_for(0s) == std::future_status::ready);
        }));
        ASSERT_TRUE(local.PumpUntilIdle());
        ExpectCancelledAndRestored(node, *job);
        EXPECT_EQ(local.ListView().Count(platform::WM_WORKER_DONE), 1);
    }
}

TEST_F(WorkerJob, AJobCancelledAsItEndsPostsWorkerDoneOnce)
{
    int cancelled = 0;
    const int rounds = 40;
    for (int i = 0; i < rounds; ++i) {
        SCOPED_TRACE(i);
        JobUi local;
        TestNode node(kNodeEntry, Open(MainServer().Port()));
        std::shared_ptr<const HeadlessProgressRecord> record;
        auto job = jobtest::MakeNodeJob(node, Search("o=lab", 0), MakeProgress(node, record));
        job->checkHook = [](NodeJob& j) { j.SetFinishMessage(platform::WM_WORKER_CALL3, 0); };
        node.StartJob(job);
        // Cancels at moments spread over the job's short life.
        std::thread canceller([&job, i] {
            std::this_thread::sleep_for(std::chrono::microseconds(i * 50));
            job->Cancel();
        });
        ASSERT_TRUE(local.PumpUntilIdle());
        canceller.join();
        local.Dispatcher().Pump();

        EXPECT_EQ(job->finishes, 1);
        EXPECT_EQ(local.ListView().Count(platform::WM_WORKER_DONE), 1);
        EXPECT_EQ(local.ListView().WindowsHandedBack(), 1);
        EXPECT_TRUE(record->Get().deleted);
        EXPECT_LE(local.ListView().Count(platform::WM_WORKER_CALL3), 1);
        EXPECT_EQ(node.Information().size(), job->IsCancelled() ? 1u : 0u);
        EXPECT_FALSE(node.busy);
        EXPECT_EQ(node.GetEvent(), nullptr);
        cancelled += job->IsCancelled();
    }
    RecordProperty("cancelled", cancelled);

    // Cancelled while it runs its own finish: the cancel neither waits nor
    // finishes it a second time.
    JobUi local;
    TestNode node(kNodeEntry, Open(MainServer().Port()));
    std::shared_ptr<const HeadlessProgressRecord> record;
    auto job = jobtest::MakeNodeJob(node, Search("o=lab", 0), MakeProgress(node, record));
    std::atomic<bool> cancelReturned{false};
    job->finishHook = [&](NodeJob& j) {
        std::async(std::launch::async, [&j] { j.Cancel(); }).get();
        cancelReturned = true;
    };
    node.StartJob(job);
    ASSERT_TRUE(local.PumpUntilIdle());
    EXPECT_TRUE(cancelReturned);
    EXPECT_FALSE(job->IsCancelled());
    EXPECT_EQ(job->finishes, 1);
    EXPECT_EQ(local.ListView().Count(platform::WM_WORKER_DONE), 1);
    EXPECT_TRUE(node.Information().empty());
}

TEST_F(WorkerJob, TheProgressWindowGetsTheJobsTextsAndComesBackThroughTheListView)
{
    TestNode node(kNodeEntry, Open(MainServer().Port()));
    node.Insert();
    std::shared_ptr<const HeadlessProgressRecord> record;
    auto job = jobtest::MakeNodeJob(
        node,
        [](NodeJob& j) {
            j.SetMainText(L"Reading ou=people,o=lab");
            j.SetStatusText(L"Searching...");
            j.PlayAnimation();
            Search("ou=people,o=lab", 1)(j);
            j.SetStatusText(std::to_wstring(j.entries.load()) + L" entries");
            j.StopAnimation();
        },
        MakeProgress(node, record));
    EXPECT_TRUE(job->HasProgressWindow());
    HeadlessProgressView view = record->Get();
    EXPECT_TRUE(view.visible);
    EXPECT_EQ(view.x, 724);
    EXPECT_EQ(view.y, 638);
    node.StartJob(job);
    ASSERT_TRUE(ui.PumpUntilIdle());

    view = record->Get();
    EXPECT_EQ(view.mainTexts, std::vector<std::wstring>{L"Reading ou=people,o=lab"});
    EXPECT_EQ(view.statusTexts, (std::vector<std::wstring>{L"Searching...", L"3 entries"}));
    EXPECT_FALSE(view.playing);
    EXPECT_EQ(ui.ListView().WindowsHandedBack(), 1);
    EXPECT_EQ(view.windowDestroyed, 1);
    EXPECT_TRUE(view.destroyedOnUiThread);
    EXPECT_TRUE(view.deleted);
    EXPECT_TRUE(view.deletedOnUiThread);
    EXPECT_FALSE(job->HasProgressWindow());
    // Texts set after the hand-back go nowhere.
    job->SetStatusText(L"late");
    EXPECT_EQ(record->Get().statusTexts.size(), 2u);
}

TEST_F(WorkerJob, TheProgressWindowsStopEndsTheJobOnce)
{
    SilentServer silent;
    TestNode node(kNodeServer, Open(silent.Port()));
    std::unique_ptr<CHeadlessProgressDlg> progress = std::make_unique<CHeadlessProgressDlg>();
    CHeadlessProgressDlg* window = progress.get();
    window->ShowStatus(L"Binding", L"", 368, &node);
    auto record = window->GetRecord();
    auto job = jobtest::MakeNodeJob(node, BindAndWait, std::move(progress));
    node.StartJob(job);
    ASSERT_TRUE(ui.PumpUntil([&] { return job->IsDoneSignalled(); }));

    window->OnStop();
    window->OnStop();
    ASSERT_TRUE(ui.PumpUntilIdle());
    EXPECT_EQ(node.abortJobsStarted, 1);
    EXPECT_FALSE(record->Get().stopEnabled);
    ExpectCancelledAndRestored(node, *job);
    EXPECT_EQ(ui.ListView().Count(platform::WM_WORKER_DONE), 1);
    EXPECT_TRUE(record->Get().deleted);
}

}  // namespace
}  // namespace live
