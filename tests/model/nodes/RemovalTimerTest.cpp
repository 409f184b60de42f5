// Information nodes remove themselves after the options' delay, through the
// tree view's removal timers (test clock).

#include <gtest/gtest.h>

#include "model/nodes/CInformationObject.h"
#include "model/ports/NodeRegistry.h"
#include "model/ports/RemovalTimerMap.h"
#include "tests/model/nodes/ModelTestSupport.h"

namespace {

using modeltest::AddNode;
using modeltest::ModelUi;
using modeltest::TestNode;

constexpr uint32_t kDelaySeconds = 5;
constexpr uint64_t kDelayMs = kDelaySeconds * 1000;

class RemovalTimerTest : public ::testing::Test {
protected:
    RemovalTimerTest()
    {
        GetAppConfig().m_nInfoTimeoutSec = kDelaySeconds;
        holder = AddNode(platform::kTreeRoot, kNodeEntry, L"holder");
    }
    ~RemovalTimerTest() override
    {
        // Whatever a test left is freed with the tree; no timer may outlive it.
        DeleteChildItems(platform::kTreeRoot);
        EXPECT_EQ(Timers().GetRunningCount(), 0u);
        EXPECT_EQ(Timers().GetWaitingCount(), 0u);
    }

    static CRemovalTimerMap& Timers() { return CRemovalTimerMap::Instance(); }

    // Reports one information node under holder and returns it.
    CInformationObject* Inform(const std::wstring& text = L"text")
    {
        holder->ReportInformation(text, L"");
        platform::TreeItem last;
        for (platform::TreeItem item : ui.Tree().GetChildren(holder->GetTreeItem()))
            last = item;
        return dynamic_cast<CInformationObject*>(GetTreeItemObject(last));
    }

    bool Alive(NodeId id) { return NodeRegistry::Find(id) != nullptr; }

    ModelUi ui;
    TestNode* holder = nullptr;
};

TEST_F(RemovalTimerTest, AnInformationNodeRemovesItselfAfterTheDelay)
{
    CInformationObject* information = Inform();
    ASSERT_NE(information, nullptr);
    NodeId id = information->GetNodeId();
    platform::TreeItem item = information->GetTreeItem();
    EXPECT_EQ(information->GetRemovalTimerId(), int(platform::kFirstRemovalTimer));
    EXPECT_TRUE(ui.Dispatcher().HasTimer(ui.TreeViewId(), platform::kFirstRemovalTimer));

    ui.Dispatcher().Advance(kDelayMs - 1);
    EXPECT_TRUE(Alive(id));
    ui.Dispatcher().Advance(1);
    EXPECT_FALSE(Alive(id));
    EXPECT_FALSE(ui.Tree().ItemExists(item));
    EXPECT_FALSE(ui.Dispatcher().HasTimer(ui.TreeViewId(), platform::kFirstRemovalTimer));
    EXPECT_EQ(Timers().GetNextTimerId(), platform::kFirstRemovalTimer);
}

TEST_F(RemovalTimerTest, WithTheOptionOffInformationNodesStay)
{
    GetAppConfig().m_bAutoRemoveInfo = 0;
    CInformationObject* information = Inform();
    NodeId id = information->GetNodeId();
    EXPECT_EQ(information->GetRemovalTimerId(), -1);
    ui.Dispatcher().Advance(10 * kDelayMs);
    EXPECT_TRUE(Alive(id));
}

TEST_F(RemovalTimerTest, ANodeDeletedBeforeItsTimerFreesTheIdForTheNextNode)
{
    CInformationObject* first = Inform(L"first");
    CInformationObject* second = Inform(L"second");
    EXPECT_EQ(first->GetRemovalTimerId(), int(platform::kFirstRemovalTimer));
    EXPECT_EQ(second->GetRemovalTimerId(), int(platform::kFirstRemovalTimer + 1));

    // The holder's children are reloaded: the first node goes with its item.
    first->Delete(1);
    EXPECT_FALSE(ui.Dispatcher().HasTimer(ui.TreeViewId(), platform::kFirstRemovalTimer));
    CInformationObject* third = Inform(L"third");
    EXPECT_EQ(third->GetRemovalTimerId(), int(platform::kFirstRemovalTimer));  // the lowest free id
    NodeId secondId = second->GetNodeId(), thirdId = third->GetNodeId();

    ui.Dispatcher().Advance(kDelayMs);
    EXPECT_FALSE(Alive(secondId));
    EXPECT_FALSE(Alive(thirdId));
}

TEST_F(RemovalTimerTest, ATimerWhoseNodeWentWithItsTreeItemRemovesNothing)
{
    CInformationObject* information = Inform();
    NodeId id = information->GetNodeId();
    TestNode* other = AddNode(holder->GetTreeItem(), kNodeEntry, L"other");
    NodeId otherId = other->GetNodeId();

    DeleteChildItems(holder->GetTreeItem());  // a reload of the holder
    EXPECT_FALSE(Alive(id));
    EXPECT_FALSE(Alive(otherId));
    EXPECT_EQ(Timers().GetRunningCount(), 0u);

    // A fresh node made meanwhile is not the old timer's to remove.
    TestNode* fresh = AddNode(holder->GetTreeItem(), kNodeEntry, L"fresh");
    NodeId freshId = fresh->GetNodeId();
    ui.Dispatcher().Advance(2 * kDelayMs);
    EXPECT_TRUE(Alive(freshId));
    EXPECT_TRUE(Alive(holder->GetNodeId()));
}

TEST_F(RemovalTimerTest, ATimerWhoseTreeItemIsGoneOnlyFreesItsId)
{
    CInformationObject* information = Inform();
    int timerId = information->GetRemovalTimerId();
    // The item goes without the tree view deleting the node (the node is
    // someone else's from here on).
    std::unique_ptr<CInformationObject> orphan(information);
    ui.Tree().DeleteItem(information->GetTreeItem());

    EXPECT_TRUE(HandleTreeViewTimer(static_cast<uint32_t>(timerId)));
    EXPECT_TRUE(Alive(orphan->GetNodeId()));
    EXPECT_EQ(orphan->GetRemovalTimerId(), -1);
    EXPECT_EQ(Timers().GetRunningCount(), 0u);
    EXPECT_FALSE(ui.Dispatcher().HasTimer(ui.TreeViewId(), static_cast<uint32_t>(timerId)));
}

TEST_F(RemovalTimerTest, TheTreeViewLeavesOtherTimersAlone)
{
    EXPECT_FALSE(HandleTreeViewTimer(platform::kListProgressTimer));
    EXPECT_FALSE(HandleTreeViewTimer(platform::kLastRemovalTimer + 1));
    EXPECT_FALSE(HandleTreeViewTimer(1));
    EXPECT_TRUE(HandleTreeViewTimer(platform::kLastRemovalTimer));  // a removal timer of nobody
}

TEST_F(RemovalTimerTest, MoreThan256NodesNeverShareATimerAndEachRemovesItself)
{
    const size_t kIds = platform::kLastRemovalTimer - platform::kFirstRemovalTimer + 1;
    std::vector<NodeId> nodes;
    std::set<int> ids;
    for (size_t i = 0; i < kIds; ++i) {
        CInformationObject* information = Inform(L"n" + std::to_wstring(i));
        nodes.push_back(information->GetNodeId());
        ids.insert(information->GetRemovalTimerId());
    }
    EXPECT_EQ(ids.size(), kIds);
    EXPECT_EQ(*ids.begin(), int(platform::kFirstRemovalTimer));
    EXPECT_EQ(*ids.rbegin(), int(platform::kLastRemovalTimer));

    // Two more, a while later: no id is free, so they wait.
    ui.Dispatcher().Advance(1000);
    CInformationObject* late = Inform(L"late");
    CInformationObject* later = Inform(L"later");
    NodeId lateId = late->GetNodeId(), laterId = later->GetNodeId();
    EXPECT_EQ(late->GetRemovalTimerId(), -1);
    EXPECT_EQ(Timers().GetWaitingCount(), 2u);
    EXPECT_EQ(Timers().GetRunningCount(), kIds);

    // The user removes one: the first waiting node gets its id at once.
    CInformationObject* removed = static_cast<CInformationObject*>(NodeRegistry::Find(nodes[10]));
    int freed = removed->GetRemovalTimerId();
    removed->Delete(1);
    EXPECT_EQ(late->GetRemovalTimerId(), freed);
    EXPECT_EQ(later->GetRemovalTimerId(), -1);

    // The first 256 go after their delay; the waiting ones get the freed ids
    // then and the full delay from there.
    ui.Dispatcher().Advance(kDelayMs - 1000);
    for (NodeId id : nodes)
        EXPECT_FALSE(Alive(id));
    EXPECT_TRUE(Alive(lateId));
    EXPECT_TRUE(Alive(laterId));
    EXPECT_NE(later->GetRemovalTimerId(), -1);
    EXPECT_EQ(Timers().GetWaitingCount(), 0u);

    ui.Dispatcher().Advance(kDelayMs);
    EXPECT_FALSE(Alive(lateId));
    EXPECT_FALSE(Alive(laterId));
    EXPECT_TRUE(ui.Tree().GetChildren(holder->GetTreeItem()).empty());
}

TEST_F(RemovalTimerTest, AWaitingNodeDeletedByTheUserLeavesTheQueue)
{
    const size_t kIds = platform::kLastRemovalTimer - platform::kFirstRemovalTimer + 1;
    for (size_t i = 0; i < kIds; ++i)
        Inform();
    CInformationObject* waiting = Inform(L"waiting");
    ASSERT_EQ(Timers().GetWaitingCount(), 1u);
    waiting->Delete(1);
    EXPECT_EQ(Timers().GetWaitingCount(), 0u);
    ui.Dispatcher().Advance(kDelayMs);
    EXPECT_TRUE(ui.Tree().GetChildren(holder->GetTreeItem()).empty());
}

}  // namespace
