// Starting and aborting a node's jobs.

#include <gtest/gtest.h>

#include "jobs/CLDAPThread.h"
#include "model/ports/NodeRegistry.h"
#include "platform/Event.h"
#include "tests/jobs/JobTestSupport.h"
#include "tests/model/nodes/ModelTestSupport.h"

namespace {

using namespace std::chrono_literals;
using jobtest::NodeJob;
using modeltest::AddNode;
using modeltest::ModelUi;
using modeltest::TestNode;

// Every test leaves no worker behind.
class NodeJobsTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        EXPECT_TRUE(ui.PumpUntilIdle());
        EXPECT_EQ(GetRunningThreadCount(), 0);
    }

    struct Ui : ModelUi {
        bool PumpUntilIdle()
        {
            bool idle = Dispatcher().PumpUntil([] { return GetRunningThreadCount() == 0; }, 10000);
            idle = WaitForAllThreads(5s) && idle;
            Dispatcher().Pump();
            return idle;
        }
    };

    std::shared_ptr<NodeJob> MakeJob(TestNode* node, NodeJob::Work work = nullptr)
    {
        return std::make_shared<NodeJob>(std::move(work), node, nullptr);
    }

    Ui ui;
};

// Makes a cancel wait long for a safe point, so an abort job stays running.
class LongSafePointWait {
public:
    LongSafePointWait() : m_previous(SetSafePointWaitLimit(60s)) {}
    ~LongSafePointWait() { SetSafePointWaitLimit(m_previous); }

private:
    std::chrono::milliseconds m_previous;
};

TEST_F(NodeJobsTest, AJobOfferedToABlockedNodeIsFinishedAtOnceAndDropped)
{
    TestNode* node = AddNode(platform::kTreeRoot, kNodeEntry, L"node");
    node->SetJobBlock(true);
    auto job = MakeJob(node);
    job->SetFinishMessage(platform::WM_WORKER_CALL2, 5);
    std::weak_ptr<NodeJob> watch = job;
    ASSERT_TRUE(node->IsBusy());  // a job keeps its node busy from its making

    node->StartJob(job);

    EXPECT_FALSE(job->IsStarted());
    EXPECT_EQ(job->runs, 0);
    EXPECT_EQ(job->finishes, 1);
    EXPECT_EQ(GetRunningThreadCount(), 0);
    EXPECT_EQ(node->GetJob(), nullptr);
    EXPECT_FALSE(node->IsBusy());
    job.reset();
    EXPECT_TRUE(watch.expired());
    // Its finish work posted what it posts at any end.
    ui.Dispatcher().Pump();
    EXPECT_EQ(node->loads, 1);
    EXPECT_EQ(node->lastArgument, 5);
}

TEST_F(NodeJobsTest, AJobStartedForANodeRunsAsItsJob)
{
    TestNode* node = AddNode(platform::kTreeRoot, kNodeEntry, L"node");
    node->StartJob(nullptr);  // ignored
    platform::Event gate(platform::Event::Mode::ManualReset);
    auto job = MakeJob(node, [&](NodeJob&) { gate.Wait(); });
    job->SetFinishMessage(platform::WM_WORKER_CALL2, 3);

    node->StartJob(job);

    EXPECT_TRUE(job->IsStarted());
    EXPECT_EQ(node->GetJob(), job);
    EXPECT_TRUE(node->IsBusy());
    EXPECT_EQ(ui.Tree().GetItemOverlay(node->GetTreeItem()), 1);
    gate.Set();
    ASSERT_TRUE(ui.PumpUntilIdle());
    EXPECT_EQ(job->runs, 1);
    EXPECT_FALSE(node->IsBusy());
    EXPECT_EQ(node->GetJob(), nullptr);
    EXPECT_EQ(ui.Tree().GetItemOverlay(node->GetTreeItem()), 0);
    EXPECT_EQ(node->loads, 1);
    EXPECT_EQ(node->lastArgument, 3);
}

TEST_F(NodeJobsTest, AbortStartsOneAbortJobPerJob)
{
    LongSafePointWait wait;
    TestNode* node = AddNode(platform::kTreeRoot, kNodeEntry, L"node");
    // A job that reaches no safe point until the gate opens: the abort job
    // waits for it meanwhile and stays registered.
    platform::Event gate(platform::Event::Mode::ManualReset);
    auto job = MakeJob(node, [&](NodeJob&) { gate.Wait(); });
    node->StartJob(job);
    ASSERT_EQ(GetRunningThreadCount(), 1);

    node->Abort();
    EXPECT_TRUE(node->IsAbortRequested());
    node->Abort();
    EXPECT_EQ(GetRunningThreadCount(), 2) << "the job and one abort job";

    gate.Set();
    ASSERT_TRUE(ui.PumpUntilIdle());
    EXPECT_FALSE(node->IsAborting());
    // The bit stays until the next job is made, so no abort starts meanwhile.
    EXPECT_TRUE(node->IsAbortRequested());
    node->Abort();
    EXPECT_EQ(GetRunningThreadCount(), 0);

    auto next = MakeJob(node);
    EXPECT_FALSE(node->IsAbortRequested());
    next->FinishUnstarted();
}

TEST_F(NodeJobsTest, NoAbortStartsWhileTheNodeIsAborting)
{
    TestNode* node = AddNode(platform::kTreeRoot, kNodeEntry, L"node");
    node->SetAborting();
    node->Abort();
    EXPECT_FALSE(node->IsAbortRequested());
    EXPECT_EQ(GetRunningThreadCount(), 0);
}

TEST_F(NodeJobsTest, AbortStopsTheRunningJobAndLeavesAnInformationNode)
{
    TestNode* node = AddNode(platform::kTreeRoot, kNodeEntry, L"node");
    platform::Event gate(platform::Event::Mode::ManualReset);
    auto job = MakeJob(node, [&](NodeJob& j) { j.WaitAtSafePoint(gate); });
    node->StartJob(job);
    node->Abort();
    ASSERT_TRUE(ui.PumpUntilIdle());
    EXPECT_TRUE(job->IsCancelled());
    EXPECT_FALSE(node->IsBusy());
    EXPECT_FALSE(node->IsAborting());
    std::vector<platform::TreeItem> children = ui.Tree().GetChildren(node->GetTreeItem());
    ASSERT_EQ(children.size(), 1u);
    CDataObject* information = GetTreeItemObject(children[0]);
    ASSERT_NE(information, nullptr);
    EXPECT_EQ(information->GetType(), kNodeInformation);
    EXPECT_EQ(information->GetValueText(), jobtest::CancelledText());
}

TEST_F(NodeJobsTest, ANodeDeletedWhileItsJobRunsIsNotReachedByTheJob)
{
    TestNode* node = AddNode(platform::kTreeRoot, kNodeEntry, L"node");
    platform::Event gate(platform::Event::Mode::ManualReset);
    auto job = MakeJob(node, [&](NodeJob&) { gate.Wait(); });
    job->SetFinishMessage(platform::WM_WORKER_CALL1, 1);
    node->StartJob(job);

    node->Delete(0);

    EXPECT_EQ(job->GetNode(), nullptr);
    gate.Set();
    ASSERT_TRUE(ui.PumpUntilIdle());
    EXPECT_EQ(job->finishes, 1);
    EXPECT_EQ(ui.ListView().handled, 0);  // nothing was posted for a node that is gone
}

}  // namespace
