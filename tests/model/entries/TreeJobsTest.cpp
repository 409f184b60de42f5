// Refreshing a subtree and removing a server while jobs run below: the jobs
// are aborted first, the job-block bit holds new ones off, and only then is
// the subtree reloaded or removed, on the user-interface thread.

#include <gtest/gtest.h>
#include <algorithm>

#include <atomic>
#include <chrono>
#include <thread>

#include "jobs/CLDAPThread.h"
#include "model/entries/CRootObject.h"
#include "model/entries/CServerTreeWalkThread.h"
#include "model/nodes/CTreeRefreshThread.h"
#include "model/ports/NodeRegistry.h"
#include "model/ports/RemovalTimerMap.h"
#include "platform/CStdRegistry.h"
#include "platform/Event.h"
#include "tests/jobs/JobTestSupport.h"
#include "tests/model/entries/NodeTestSupport.h"

namespace {

using namespace std::chrono_literals;
using jobtest::NodeJob;
using modeltest::AddNode;
using modeltest::TestNode;

// A node that notes, when its reload comes, whether the job below still ran.
class ReloadWitness : public TestNode {
public:
    void LoadChildren(intptr_t arg) override
    {
        TestNode::LoadChildren(arg);
        jobBelowFinished = watched && watched->IsFinished();
    }
    std::shared_ptr<CLDAPThread> watched;
    bool jobBelowFinished = false;
};

// Nodes that note on which thread they were deleted.
std::atomic<int> g_deletedOnUi{0};
std::atomic<int> g_deletedElsewhere{0};

void NoteDeletion()
{
    (platform::IsUiThread() ? g_deletedOnUi : g_deletedElsewhere)++;
}

class WitnessServer : public CServerObject {
public:
    using CServerObject::CServerObject;
    ~WitnessServer() override { NoteDeletion(); }
};

class WitnessEntry : public CEntryObject {
public:
    using CEntryObject::CEntryObject;
    ~WitnessEntry() override { NoteDeletion(); }
};

class TreeJobs : public nodetest::NodeTest {
protected:
    void SetUp() override
    {
        NodeTest::SetUp();
        g_deletedOnUi = 0;
        g_deletedElsewhere = 0;
    }

    void TearDown() override
    {
        EXPECT_TRUE(PumpUntilIdle());
        NodeTest::TearDown();
    }

    bool PumpUntilIdle()
    {
        bool idle = ui.Dispatcher().PumpUntil([] { return GetRunningThreadCount() == 0; }, 20000);
        ui.Dispatcher().Pump();
        return idle && GetRunningThreadCount() == 0;
    }

    // A job that works for a while without a safe point (so an abort must
    // wait for it), then stands at one until it is cancelled.
    std::shared_ptr<NodeJob> StartSlowJob(CDataObject& node)
    {
        auto job = std::make_shared<NodeJob>(
            [this](NodeJob& self) {
                std::this_thread::sleep_for(300ms);
                self.WaitAtSafePoint(m_never);
            },
            &node, nullptr);
        node.StartJob(job);
        return job;
    }

    platform::Event m_never{platform::Event::Mode::ManualReset};
};

TEST_F(TreeJobs, RefreshOfANodeWithoutChildrenReloadsAtOnce)
{
    TestNode* node = AddNode(platform::kTreeRoot, kNodeEntry, L"leaf");
    node->StartJob(std::make_shared<CTreeRefreshThread>(node, 7));
    ASSERT_TRUE(PumpUntilIdle());
    EXPECT_EQ(node->loads, 1);
    EXPECT_EQ(node->lastArgument, 7);
    EXPECT_FALSE(node->IsBusy());
}

TEST_F(TreeJobs, RefreshAbortsTheJobsBelowAndReloadsOnlyAfterThem)
{
    struct Case {
        intptr_t reload;
        bool blocked;
    };
    for (const Case& c : {Case{0, true}, Case{1, false}}) {
        SCOPED_TRACE(c.reload);
        ReloadWitness* top = AddNode<ReloadWitness>(platform::kTreeRoot);
        TestNode* middle = AddNode(top->GetTreeItem(), kNodeEntry, L"middle");
        TestNode* deep = AddNode(middle->GetTreeItem(), kNodeEntry, L"deep");
        TestNode* side = AddNode(top->GetTreeItem(), kNodeEntry, L"side");
        ui.Select(*top);
        std::shared_ptr<NodeJob> slow = StartSlowJob(*deep);
        top->watched = slow;

        top->StartJob(std::make_shared<CTreeRefreshThread>(top, c.reload));
        ASSERT_TRUE(PumpUntilIdle());

        EXPECT_EQ(slow->runs, 1);
        EXPECT_TRUE(slow->IsCancelled()) << "the job below was aborted";
        EXPECT_EQ(top->loads, 1);
        EXPECT_EQ(top->lastArgument, c.reload);
        EXPECT_TRUE(top->jobBelowFinished) << "the reload came before the job below had stopped";
        EXPECT_FALSE(top->IsJobBlocked()) << "the refreshed node itself is never marked";
        for (TestNode* node : {middle, deep, side})
            EXPECT_EQ(node->IsJobBlocked(), c.blocked) << WideToUtf8Text(node->GetCaption());

        // A job offered below now is dropped unstarted while blocked.
        auto offered = std::make_shared<NodeJob>(nullptr, side, nullptr);
        side->StartJob(offered);
        EXPECT_EQ(offered->IsStarted(), !c.blocked);
        ASSERT_TRUE(PumpUntilIdle());
        EXPECT_EQ(offered->runs, c.blocked ? 0 : 1);
        EXPECT_EQ(offered->finishes, 1);
        DeleteChildItems(platform::kTreeRoot);
    }
}

// A wide node is looked at in slices: every child is still marked, and a
// job under the last one is aborted before the reload.
TEST_F(TreeJobs, RefreshOfAWideNodeMarksEveryChild)
{
    ReloadWitness* top = AddNode<ReloadWitness>(platform::kTreeRoot);
    std::vector<TestNode*> children;
    for (int i = 0; i < 20000; ++i)
        children.push_back(AddNode(top->GetTreeItem(), kNodeEntry, L"child"));
    TestNode* deep = AddNode(children.back()->GetTreeItem(), kNodeEntry, L"deep");
    std::shared_ptr<NodeJob> slow = StartSlowJob(*deep);
    top->watched = slow;

    top->StartJob(std::make_shared<CTreeRefreshThread>(top, 0));
    ASSERT_TRUE(PumpUntilIdle());

    EXPECT_TRUE(slow->IsCancelled());
    EXPECT_TRUE(top->jobBelowFinished) << "the reload came before the job below had stopped";
    EXPECT_EQ(top->loads, 1);
    EXPECT_TRUE(deep->IsJobBlocked());
    EXPECT_TRUE(std::all_of(children.begin(), children.end(), [](TestNode* node) { return node->IsJobBlocked(); }));
    DeleteChildItems(platform::kTreeRoot);
}

TEST_F(TreeJobs, RefreshOfEntriesAndServersGoesThroughTheWalk)
{
    CServerObject* server = AddServer();
    CEntryObject* entry = AddEntry(*server, "ou=a,o=lab", server);
    entry->SetChildrenLoaded(true);
    std::shared_ptr<NodeJob> slow = StartSlowJob(*AddEntry(*entry, "cn=x,ou=a,o=lab", server));

    // An entry in use or blocked does not refresh.
    entry->IncrementUseCount();
    entry->Refresh(0);
    EXPECT_FALSE(entry->IsBusy());
    entry->DecrementUseCount();
    entry->SetJobBlock(true);
    entry->Refresh(0);
    EXPECT_FALSE(entry->IsBusy());
    entry->SetJobBlock(false);

    ui.Tree().Expand(entry->GetTreeItem(), platform::TreeExpand::Expand);
    entry->Refresh(0);
    EXPECT_TRUE(entry->IsBusy());
    EXPECT_FALSE(ui.Tree().IsExpanded(entry->GetTreeItem())) << "collapsed first";
    EXPECT_TRUE(dynamic_cast<CTreeRefreshThread*>(entry->GetJob().get()));
    entry->Refresh(0);  // busy: nothing more
    // The reload that follows has no server to talk to; it reports that.
    ASSERT_TRUE(PumpUntilIdle());
    EXPECT_TRUE(slow->IsCancelled());

    server->Refresh(1);
    EXPECT_TRUE(dynamic_cast<CTreeRefreshThread*>(server->GetJob().get()));
    EXPECT_EQ(static_cast<CTreeRefreshThread*>(server->GetJob().get())->GetReload(), 1);
}

TEST_F(TreeJobs, RemovingAServerWaitsForItsJobsThenRemovesItAllOnTheUserInterfaceThread)
{
    CRootObject* root = new CRootObject;
    root->LoadChildren(0);
    CServerProfile profile = nodetest::Profile();
    ASSERT_TRUE(profile.SaveProfile());
    WitnessServer* server = AddNode<WitnessServer>(root->GetTreeItem(), profile);
    WitnessEntry* entry = AddNode<WitnessEntry>(server->GetTreeItem(), arbldap::LDAPConnectionPtr(),
                                                arbldap::LDAPDN("ou=a,o=lab"), server, false, false);
    WitnessEntry* deeper = AddNode<WitnessEntry>(entry->GetTreeItem(), arbldap::LDAPConnectionPtr(),
                                                 arbldap::LDAPDN("cn=x,ou=a,o=lab"), server, false, false);
    root->ShowContents(0);
    ASSERT_EQ(ui.List().GetItemCount(), 1);
    std::shared_ptr<NodeJob> slow = StartSlowJob(*deeper);
    const NodeId serverId = server->GetNodeId();
    const NodeId entryId = entry->GetNodeId();
    const NodeId deeperId = deeper->GetNodeId();

    // Things that name the nodes beyond the removal: an information node
    // with its removal timer, and a message posted for the entry.
    entry->ReportInformation(L"note", L"");
    ASSERT_EQ(CRemovalTimerMap::Instance().GetRunningCount(), 1u);
    platform::Post(ui.ListViewId(), platform::WM_WORKER_CALL3, entryId, 0);

    // While busy nothing is removed; asked first and answered No, neither.
    ui.Shell().MessageBox().Answer(platform::kIdNo);
    EXPECT_FALSE(server->Delete(1));
    EXPECT_TRUE(server->Delete(0));
    EXPECT_FALSE(server->Delete(0)) << "busy with its removal";
    ASSERT_TRUE(PumpUntilIdle());

    EXPECT_TRUE(slow->IsCancelled());
    EXPECT_EQ(NodeRegistry::Find(serverId), nullptr);
    EXPECT_EQ(NodeRegistry::Find(entryId), nullptr);
    EXPECT_EQ(NodeRegistry::Find(deeperId), nullptr);
    EXPECT_EQ(g_deletedOnUi, 3);
    EXPECT_EQ(g_deletedElsewhere, 0);
    EXPECT_EQ(CRemovalTimerMap::Instance().GetRunningCount(), 0u);
    EXPECT_TRUE(ui.Tree().GetChildren(root->GetTreeItem()).empty());
    EXPECT_EQ(ui.List().GetItemCount(), 0);
    CStdRegistry key(platform::RegRoot::CurrentUser, true);
    EXPECT_FALSE(key.KeyExists(profile.GetKeyPath(true)));

    // What still names them finds nothing.
    ui.Dispatcher().Advance(60 * 1000);
    ui.Dispatcher().Pump();
    EXPECT_EQ(ui.Tree().GetChildren(root->GetTreeItem()).size(), 0u);
}

}  // namespace
