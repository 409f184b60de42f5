// The node messages jobs post to the list view name their node by id; the
// list view calls the node, or skips it when it has gone meanwhile.

#include <gtest/gtest.h>

#include "model/ports/NodeRegistry.h"
#include "tests/jobs/JobTestSupport.h"
#include "tests/model/nodes/ModelTestSupport.h"
#include "tests/support/HeadlessProgressDlg.h"

namespace {

using jobtest::NodeJob;
using modeltest::AddNode;
using modeltest::ModelUi;
using modeltest::TestNode;

TEST(NodeMessages, EachMessageCallsItsOperationWithTheArgument)
{
    struct Case {
        const char* name;
        platform::MessageId message;
        bool aborting;
        int expands, loads, refreshes;
    };
    const Case cases[] = {
        {"expand", platform::WM_WORKER_CALL1, false, 1, 0, 0},
        {"expand while aborting", platform::WM_WORKER_CALL1, true, 0, 0, 0},
        {"load", platform::WM_WORKER_CALL2, false, 0, 1, 0},
        {"load while aborting", platform::WM_WORKER_CALL2, true, 0, 1, 0},
        {"refresh", platform::WM_WORKER_CALL3, false, 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ModelUi ui;
        TestNode* node = AddNode(platform::kTreeRoot);
        if (c.aborting)
            node->SetAborting();
        platform::Post(ui.ListViewId(), c.message, node->GetNodeId(), 42);
        ui.Dispatcher().Pump();
        EXPECT_EQ(ui.ListView().handled, 1);
        EXPECT_EQ(node->expands, c.expands);
        EXPECT_EQ(node->loads, c.loads);
        EXPECT_EQ(node->refreshes, c.refreshes);
        if (c.expands + c.loads + c.refreshes) {
            EXPECT_EQ(node->lastArgument, 42);
        }
    }
}

TEST(NodeMessages, AMessageForANodeThatWasDeletedMeanwhileIsSkipped)
{
    ModelUi ui;
    TestNode* gone = AddNode(platform::kTreeRoot, kNodeEntry, L"gone");
    TestNode* stays = AddNode(platform::kTreeRoot, kNodeEntry, L"stays");
    NodeId goneId = gone->GetNodeId();
    for (platform::MessageId message :
         {platform::WM_WORKER_CALL1, platform::WM_WORKER_CALL2, platform::WM_WORKER_CALL3})
        platform::Post(ui.ListViewId(), message, goneId, 1);
    platform::Post(ui.ListViewId(), platform::WM_WORKER_CALL3, stays->GetNodeId(), 1);
    gone->Delete(0);
    // A node made afterwards is not the one the messages named.
    TestNode* fresh = AddNode(platform::kTreeRoot, kNodeEntry, L"fresh");

    ui.Dispatcher().Pump();

    EXPECT_EQ(ui.ListView().handled, 4);
    EXPECT_EQ(stays->refreshes, 1);
    EXPECT_EQ(fresh->expands + fresh->loads + fresh->refreshes, 0);
    EXPECT_EQ(NodeRegistry::Find(goneId), nullptr);
}

TEST(NodeMessages, AJobsFinishMessageReachesItsNodeUnlessTheNodeWentFirst)
{
    for (bool deleted : {false, true}) {
        SCOPED_TRACE(deleted);
        ModelUi ui;
        TestNode* node = AddNode(platform::kTreeRoot);
        TestNode* other = AddNode(platform::kTreeRoot);
        auto job = std::make_shared<NodeJob>(nullptr, node, nullptr);
        job->SetFinishMessage(platform::WM_WORKER_CALL2, 9);
        // Aimed at another node by its id.
        auto aimed = std::make_shared<NodeJob>(nullptr, other, nullptr);
        aimed->SetFinishMessage(platform::WM_WORKER_CALL3, 4, node->GetNodeId());
        job->FinishUnstarted();
        aimed->FinishUnstarted();
        if (deleted)
            node->Delete(0);
        else
            node->lastArgument = -1;

        ui.Dispatcher().Pump();

        EXPECT_EQ(ui.ListView().handled, 2);
        EXPECT_EQ(other->loads + other->refreshes, 0);
        if (!deleted) {
            EXPECT_EQ(node->loads, 1);
            EXPECT_EQ(node->refreshes, 1);
            EXPECT_EQ(node->lastArgument, 4);
        }
    }
}

TEST(NodeMessages, AFinishedJobsProgressWindowIsDestroyedAndFreed)
{
    ModelUi ui;
    TestNode* node = AddNode(platform::kTreeRoot);
    auto progress = std::make_unique<CHeadlessProgressDlg>();
    ASSERT_TRUE(progress->ShowStatus(L"Job", L"", 368, node));
    auto record = progress->GetRecord();
    auto job = std::make_shared<NodeJob>(nullptr, node, std::move(progress));
    job->FinishUnstarted();
    ui.Dispatcher().Pump();
    EXPECT_EQ(ui.ListView().handled, 1);
    HeadlessProgressView view = record->Get();
    EXPECT_EQ(view.windowDestroyed, 1);
    EXPECT_TRUE(view.deleted);
    EXPECT_TRUE(view.deletedOnUiThread);
}

TEST(NodeMessages, OtherMessagesAreNotTheModels)
{
    std::unique_ptr<platform::MessagePayload> none;
    EXPECT_FALSE(HandleListViewMessage(platform::WM_PROGRESS_START, 40, 10, none));
    EXPECT_FALSE(HandleListViewMessage(platform::WM_TIMER, platform::kListProgressTimer, 0, none));
}

}  // namespace
