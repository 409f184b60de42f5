// The node base: flags, texts, sizes, the views it drives, and deleting.

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <utility>
#include <thread>
#include <vector>

#include "model/nodes/CErrorObject.h"
#include "model/ports/NodeRegistry.h"
#include "model/ports/ProgressDialogFactory.h"
#include "tests/model/nodes/ModelTestSupport.h"
#include "tests/support/HeadlessProgressDlg.h"

namespace {

using modeltest::AddNode;
using modeltest::ModelUi;
using modeltest::TestNode;
using modeltest::Text;

// A node whose size the test sets.
class SizedNode : public TestNode {
public:
    explicit SizedNode(uint32_t size) : m_size(size) {}
    uint32_t GetSize() const override { return m_size; }

private:
    uint32_t m_size;
};

TEST(NodeBase, ANewNodeIsIdleAndOutsideTheViews)
{
    ModelUi ui;
    TestNode node;
    EXPECT_FALSE(node.GetTreeItem());
    EXPECT_FALSE(node.IsBusy());
    EXPECT_FALSE(node.IsChildrenLoaded());
    EXPECT_FALSE(node.IsAborting());
    EXPECT_FALSE(node.IsAbortRequested());
    EXPECT_FALSE(node.IsJobBlocked());
    EXPECT_EQ(node.GetJob(), nullptr);
    EXPECT_EQ(node.GetStatusText(), Text(57345));
    EXPECT_EQ(node.GetDisplayName(), L"");
    EXPECT_EQ(node.GetServerObject(), nullptr);
    EXPECT_EQ(node.GetConnection(), nullptr);
    EXPECT_EQ(node.GetTypeName(), Text(348));
    EXPECT_EQ(node.GetPropertiesTitle(), L"");
    EXPECT_FALSE(node.CanRenameInList());
    EXPECT_FALSE(node.CanRenameInTree());
    EXPECT_TRUE(node.QueryCapability3());
    EXPECT_FALSE(node.IsCurrent());
    EXPECT_EQ(NodeRegistry::Find(node.GetNodeId()), &node);
}

TEST(NodeBase, IdsAreNeverGivenTwice)
{
    NodeId previous = kNoNode;
    for (int i = 0; i < 3; ++i) {
        auto node = std::make_unique<TestNode>();
        NodeId id = node->GetNodeId();
        EXPECT_GT(id, previous);
        previous = id;
        node.reset();
        EXPECT_EQ(NodeRegistry::Find(id), nullptr);
    }
    EXPECT_EQ(NodeRegistry::Find(kNoNode), nullptr);
}

// Fetches make nodes on several helper threads at once.
TEST(NodeBase, NodesMadeOnSeveralThreadsAtOnceGetOwnIdsAndAreFound)
{
    const size_t before = NodeRegistry::Count();
    constexpr int kThreads = 4;
    constexpr int kEach = 2000;
    std::vector<std::vector<std::unique_ptr<TestNode>>> made(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&made, t] {
            for (int i = 0; i < kEach; ++i)
                made[t].push_back(std::make_unique<TestNode>());
        });
    for (std::thread& thread : threads)
        thread.join();

    std::set<NodeId> ids;
    for (const auto& nodes : made)
        for (const auto& node : nodes) {
            EXPECT_TRUE(ids.insert(node->GetNodeId()).second) << "id given twice: " << node->GetNodeId();
            EXPECT_EQ(NodeRegistry::Find(node->GetNodeId()), node.get());
        }
    EXPECT_EQ(NodeRegistry::Count(), before + kThreads * kEach);
    made.clear();
    EXPECT_EQ(NodeRegistry::Count(), before);
    for (NodeId id : ids)
        ASSERT_EQ(NodeRegistry::Find(id), nullptr) << id;
}

// The registry's table shrinks again after a big list went.
TEST(NodeBase, NodesLeftAfterMostWentAreStillFound)
{
    const size_t before = NodeRegistry::Count();
    std::vector<std::unique_ptr<TestNode>> nodes;
    for (int i = 0; i < 100000; ++i)
        nodes.push_back(std::make_unique<TestNode>());
    std::vector<std::unique_ptr<TestNode>> kept;
    for (size_t i = 0; i < nodes.size(); i += 997)
        kept.push_back(std::move(nodes[i]));
    nodes.clear();
    EXPECT_EQ(NodeRegistry::Count(), before + kept.size());
    for (const auto& node : kept)
        ASSERT_EQ(NodeRegistry::Find(node->GetNodeId()), node.get());
    auto another = std::make_unique<TestNode>();
    EXPECT_EQ(NodeRegistry::Find(another->GetNodeId()), another.get());
}

TEST(NodeBase, ACopyTakesItsSourcesPlaceButNotItsJobState)
{
    ModelUi ui;
    TestNode* source = AddNode(platform::kTreeRoot, kNodeEntry, L"entry");
    source->SetBusy();
    source->SetChildrenLoaded(true);
    source->SetAborting();
    auto server = reinterpret_cast<CServerObject*>(source);  // any distinct pointer
    ServerLink link;
    link.server = server;
    source->SetServerObject(link);
    source->SetStatusText(L"working");

    class CopiedNode : public CDataObject {
    public:
        explicit CopiedNode(const CDataObject* from) : CDataObject(from) {}
        int GetType() const override { return kNodeEntry; }
        int GetImage(bool) const override { return 0; }
        bool QueryCapability1() const override { return false; }
        bool QueryCapability2() const override { return false; }
        void ShowContents(intptr_t) override {}
        void OnCommandNew() override {}
        bool PromptDelete() override { return false; }
        std::wstring GetFullName() const override { return L""; }
    };
    CopiedNode copy(source);
    EXPECT_NE(copy.GetNodeId(), source->GetNodeId());
    EXPECT_EQ(copy.GetTreeItem(), source->GetTreeItem());
    EXPECT_TRUE(copy.IsBusy());
    EXPECT_TRUE(copy.IsChildrenLoaded());
    EXPECT_FALSE(copy.IsAborting());
    EXPECT_FALSE(copy.IsAbortRequested());
    EXPECT_EQ(copy.GetCaption(), L"entry");
    EXPECT_EQ(copy.GetServerObject(), server);
    EXPECT_EQ(copy.GetStatusText(), Text(57345));
    EXPECT_EQ(copy.GetValueText(), L"");
}

TEST(NodeBase, ExpandRefreshAndLoadChangeNothingOnABusyNode)
{
    ModelUi ui;
    for (bool busy : {false, true}) {
        SCOPED_TRACE(busy);
        TestNode* node = AddNode(platform::kTreeRoot, kNodeEntry, L"node");
        AddNode(node->GetTreeItem());
        if (busy)
            node->SetBusy();
        node->CDataObject::Expand(0);
        EXPECT_EQ(ui.Tree().IsExpanded(node->GetTreeItem()), !busy);
        EXPECT_EQ(node->IsChildrenLoaded(), !busy);
        node->SetChildrenLoaded(true);
        node->CDataObject::Refresh(0);
        EXPECT_EQ(node->IsChildrenLoaded(), busy);
        node->CDataObject::LoadChildren(0);
        EXPECT_EQ(node->IsChildrenLoaded(), busy);
    }
}

TEST(NodeBase, TheSizeIsKnownOnceTheChildrenAre)
{
    ModelUi ui;
    TestNode* parent = AddNode(platform::kTreeRoot, kNodeEntry, L"parent");
    ui.Select(*parent);
    UpdateRowText(*parent, -1);
    EXPECT_EQ(parent->GetSize(), kSizeUnknown);
    EXPECT_EQ(ui.List().GetItemText(0, 3), Text(350));

    parent->SetChildrenLoaded(true);
    parent->UpdateSizeText(0);
    EXPECT_EQ(ui.List().GetItemText(0, 3), L"0");

    AddNode<SizedNode>(parent->GetTreeItem(), 5u);
    AddNode<SizedNode>(parent->GetTreeItem(), kSizeUnknown);
    AddNode<SizedNode>(parent->GetTreeItem(), 7u);
    EXPECT_EQ(parent->GetSize(), 12u);
    parent->UpdateSizeText(0);
    EXPECT_EQ(ui.List().GetItemText(0, 3), L"12");
}

TEST(NodeBase, ChildIndicatorAndCountsFollowTheChildItems)
{
    ModelUi ui;
    TestNode* parent = AddNode(platform::kTreeRoot, kNodeEntry, L"parent");
    // Not loaded yet: an expand button on insertion.
    EXPECT_EQ(ui.Tree().GetChildIndicator(parent->GetTreeItem()), 1);
    parent->UpdateChildIndicator();
    EXPECT_EQ(ui.Tree().GetChildIndicator(parent->GetTreeItem()), 0);
    AddNode(parent->GetTreeItem());
    parent->ReportError(arbldap::LDAPException(32));
    parent->UpdateChildIndicator();
    EXPECT_EQ(ui.Tree().GetChildIndicator(parent->GetTreeItem()), 1);
    EXPECT_EQ(parent->CountChildItems(nullptr), 2);
    EXPECT_EQ(parent->CountChildItems("CErrorObject"), 1);
    EXPECT_EQ(parent->CountChildItems("CInformationObject"), 0);
    parent->SetChildIndicator(3);
    EXPECT_EQ(ui.Tree().GetChildIndicator(parent->GetTreeItem()), 3);
}

TEST(NodeBase, TreeAndListShowTheNodesTextsAndImages)
{
    ModelUi ui;
    TestNode* parent = AddNode(platform::kTreeRoot, kNodeEntry, L"parent");
    // As an entry: caption the naming attribute, display name the whole RDN.
    struct NamedNode : TestNode {
        NamedNode() : TestNode(kNodeEntry, L"cn") { SetDisplayName(L"cn=child"); }
    };
    TestNode* child = AddNode<NamedNode>(parent->GetTreeItem());
    EXPECT_EQ(ui.Tree().GetItemText(child->GetTreeItem()), L"cn=child");  // through the text callback
    int image = -1, selected = -1;
    ui.Tree().GetItemImage(child->GetTreeItem(), image, selected);
    EXPECT_EQ(image, 9);
    EXPECT_EQ(selected, 22);
    EXPECT_EQ(child->GetParentNode(), parent);
    EXPECT_EQ(parent->GetParentNode(), nullptr);

    // A list row only while the parent is selected.
    child->InsertIntoViews(parent->GetTreeItem(), kInsertListRow);
    EXPECT_EQ(ui.List().GetItemCount(), 0);
    ui.Select(*parent);
    child->InsertIntoViews(parent->GetTreeItem(), kInsertListRow);
    ASSERT_EQ(ui.List().GetItemCount(), 1);
    EXPECT_EQ(ui.List().RowText(0), L"cn|value of cn|" + Text(348) + L"|" + Text(350));
    EXPECT_EQ(ui.List().GetItemImage(0), 9);
    EXPECT_EQ(ui.List().GetItemData(0), child->GetItemData());
    EXPECT_EQ(FindObjectRow(*child), 0);
    EXPECT_EQ(FindObjectRow(*parent), -1);
}

TEST(NodeBase, InsertedItemsAreRevealedOnlyWhenTheOptionsAskAndTheParentIsSelected)
{
    for (bool reveal : {false, true}) {
        SCOPED_TRACE(reveal);
        ModelUi ui;
        GetAppConfig().m_bEnsureVisible = reveal ? 1 : 0;
        TestNode* parent = AddNode(platform::kTreeRoot, kNodeEntry, L"parent");
        TestNode* hidden = AddNode(parent->GetTreeItem());
        EXPECT_NE(ui.Tree().LastEnsuredVisible(), hidden->GetTreeItem());
        ui.Select(*parent);
        TestNode* shown = AddNode(parent->GetTreeItem());
        EXPECT_EQ(ui.Tree().LastEnsuredVisible() == shown->GetTreeItem(), reveal);
    }
}

TEST(NodeBase, DeleteRemovesTheNodeWithEverythingBelowIt)
{
    ModelUi ui;
    TestNode* parent = AddNode(platform::kTreeRoot, kNodeEntry, L"parent");
    TestNode* node = AddNode(parent->GetTreeItem(), kNodeEntry, L"node");
    TestNode* sibling = AddNode(parent->GetTreeItem(), kNodeEntry, L"sibling");
    TestNode* grandchild = AddNode(node->GetTreeItem(), kNodeEntry, L"grandchild");
    node->ReportError(arbldap::LDAPException(32));
    std::vector<NodeId> gone = {node->GetNodeId(), grandchild->GetNodeId(),
                                GetTreeItemObject(ui.Tree().GetChildren(node->GetTreeItem())[1])->GetNodeId()};
    ui.Select(*parent);
    parent->ShowContents(0);
    ASSERT_EQ(ui.List().GetItemCount(), 2);
    int shown = parent->showContents;

    EXPECT_TRUE(node->Delete(0));

    for (NodeId id : gone)
        EXPECT_EQ(NodeRegistry::Find(id), nullptr) << id;
    EXPECT_EQ(ui.Tree().GetChildren(parent->GetTreeItem()), std::vector<platform::TreeItem>{sibling->GetTreeItem()});
    EXPECT_EQ(ui.Tree().GetCount(), 2u);
    ASSERT_EQ(ui.List().GetItemCount(), 1);
    EXPECT_EQ(ui.List().GetItemData(0), sibling->GetItemData());
    EXPECT_EQ(parent->showContents, shown + 1);
}

TEST(NodeBase, DeleteChildItemsFreesTheNodesBelowAndKeepsTheItem)
{
    ModelUi ui;
    TestNode* parent = AddNode(platform::kTreeRoot, kNodeEntry, L"parent");
    TestNode* child = AddNode(parent->GetTreeItem());
    TestNode* grandchild = AddNode(child->GetTreeItem());
    NodeId ids[] = {child->GetNodeId(), grandchild->GetNodeId()};
    DeleteChildItems(parent->GetTreeItem());
    for (NodeId id : ids)
        EXPECT_EQ(NodeRegistry::Find(id), nullptr);
    EXPECT_TRUE(ui.Tree().ItemExists(parent->GetTreeItem()));
    EXPECT_EQ(NodeRegistry::Find(parent->GetNodeId()), parent);
}

// The rows of the selected item's children read their texts from the nodes:
// they go before the nodes do, and rows of other items stay.
TEST(NodeBase, DeleteChildItemsOfTheSelectedItemTakesTheirRowsFirst)
{
    ModelUi ui;
    TestNode* parent = AddNode(platform::kTreeRoot, kNodeEntry, L"parent");
    TestNode* other = AddNode(platform::kTreeRoot, kNodeEntry, L"other");
    TestNode* child = AddNode(parent->GetTreeItem(), kNodeEntry, L"child");
    ui.Tree().SelectItem(parent->GetTreeItem());
    ui.List().InsertItem(-1, child->FillListItem());
    ASSERT_EQ(ui.List().RowText(0).substr(0, 5), L"child");

    DeleteChildItems(other->GetTreeItem());  // not selected: the rows stay
    EXPECT_EQ(ui.List().GetItemCount(), 1);
    DeleteChildItems(parent->GetTreeItem());
    EXPECT_EQ(ui.List().GetItemCount(), 0);

    // A selected item without children may still show rows (its values).
    ui.List().InsertItem(-1, other->FillListItem());
    ui.Tree().SelectItem(parent->GetTreeItem());
    DeleteChildItems(parent->GetTreeItem());
    EXPECT_EQ(ui.List().GetItemCount(), 0);
}

// A node that runs the test's step once, as its row is made (the fill asks
// for its image then).
class SteppingNode : public TestNode {
public:
    int GetImage(bool selected) const override
    {
        if (!selected && step)
            std::exchange(step, nullptr)();
        return TestNode::GetImage(selected);
    }
    mutable std::function<void()> step;
};

TEST(NodeBase, ARowFillSkipsANodeFreedWhileItRunsEvenWhenANewNodeTakesItsPlace)
{
    // A fill done at once, and a long one, which runs in slices.
    for (size_t count : {size_t(10), size_t(20000)}) {
        SCOPED_TRACE(count);
        ModelUi ui;
        TestNode* parent = AddNode(platform::kTreeRoot, kNodeEntry, L"parent");
        ui.Select(*parent);
        auto* first = AddNode<SteppingNode>(parent->GetTreeItem());
        std::vector<CDataObject*> nodes{first};
        for (size_t i = 1; i < count; ++i)
            nodes.push_back(AddNode(parent->GetTreeItem(), kNodeEntry, L"child"));
        CDataObject* gone = nodes[count / 2];
        std::unique_ptr<TestNode> newcomer;
        first->step = [&] {
            ASSERT_TRUE(ui.Tree().DeleteItem(gone->GetTreeItem()));
            delete gone;
            // Made at once, it is likely to take the freed node's place.
            newcomer = std::make_unique<TestNode>(kNodeEntry, L"newcomer");
        };
        bool done = false;
        FillRows(*parent, nodes, [&](CDataObject&) { done = true; });
        for (int step = 0; step < 100000 && !done; ++step)
            ui.Dispatcher().Advance(1);
        ASSERT_TRUE(done);
        ASSERT_TRUE(newcomer);

        std::multiset<void*> rows;
        for (int row = 0; row < ui.List().GetItemCount(); ++row)
            rows.insert(ui.List().GetItemData(row));
        EXPECT_EQ(rows.size(), count - 1);
        EXPECT_EQ(rows.count(newcomer.get()), 0u);
        for (CDataObject* node : nodes)
            if (node != gone)
                ASSERT_EQ(rows.count(node), 1u);
    }
}

TEST(NodeBase, RouteCommandNewGoesToAnIdleParent)
{
    ModelUi ui;
    TestNode* parent = AddNode(platform::kTreeRoot, kNodeRoot, L"root");
    TestNode* child = AddNode(parent->GetTreeItem());
    EXPECT_TRUE(child->RouteCommandNew());
    EXPECT_EQ(parent->commandNew, 1);
    parent->SetBusy();
    EXPECT_FALSE(child->RouteCommandNew());
    EXPECT_EQ(parent->commandNew, 1);
    EXPECT_FALSE(parent->RouteCommandNew());  // no parent
}

TEST(NodeBase, StatusTextsReachTheFrameOnlyWhileTheNodeIsCurrent)
{
    ModelUi ui;
    TestNode* top = AddNode(platform::kTreeRoot, kNodeRoot, L"top");
    TestNode* node = AddNode(top->GetTreeItem());
    platform::HeadlessDocument& document = ui.Shell().Document();

    node->SetStatusText(L"not current");
    EXPECT_EQ(node->GetStatusText(), L"not current");
    EXPECT_TRUE(document.messageTexts.empty());
    EXPECT_EQ(document.paneText1, L"<unset>");

    ui.Select(*node);
    node->SetStatusText(L"Reading entries...");
    EXPECT_EQ(document.messageTexts, std::vector<std::wstring>{L"Reading entries..."});
    // The top node cleared the document's server texts.
    EXPECT_EQ(document.paneText1, L"");
    EXPECT_EQ(document.paneText2, L"");
    EXPECT_EQ(document.paneValue, 0);

    document.paneText1 = L"<unset>";
    node->ResetStatusText();
    EXPECT_EQ(document.messageTexts.back(), Text(57345));
    EXPECT_EQ(document.paneText1, L"<unset>");  // the idle text alone

    // From a worker, too.
    std::atomic<bool> done{false};
    std::thread worker([&] {
        node->SetStatusText(L"from a worker");
        done = true;
    });
    EXPECT_TRUE(ui.Dispatcher().PumpUntil([&] { return done.load(); }, 10000));
    worker.join();
    EXPECT_EQ(document.messageTexts.back(), L"from a worker");
}

TEST(NodeBase, TheWaitingDisplayIsDrivenOnlyForTheCurrentNode)
{
    ModelUi ui;
    TestNode* node = AddNode(platform::kTreeRoot);
    TestNode* other = AddNode(platform::kTreeRoot);
    ui.Select(*node);
    platform::SetTimer(ui.ListViewId(), platform::kListProgressTimer, 4000);

    other->ShowProgress();
    EXPECT_FALSE(ui.Shell().ListView().animationShown);
    node->ShowProgress();
    EXPECT_TRUE(ui.Shell().ListView().animationShown);
    other->HideProgress();
    EXPECT_TRUE(ui.Shell().ListView().animationShown);
    EXPECT_TRUE(ui.Dispatcher().HasTimer(ui.ListViewId(), platform::kListProgressTimer));
    node->HideProgress();
    EXPECT_FALSE(ui.Shell().ListView().animationShown);
    EXPECT_FALSE(ui.Dispatcher().HasTimer(ui.ListViewId(), platform::kListProgressTimer));
}

TEST(NodeBase, ConfirmDeleteAsksAQuestionAndAgreesOnlyToYes)
{
    ModelUi ui;
    platform::ScriptedMessageBox& box = ui.Shell().MessageBox();
    box.Answer(platform::kIdYes);
    box.Answer(platform::kIdNo);
    EXPECT_TRUE(CDataObject::ConfirmDelete());
    EXPECT_FALSE(CDataObject::ConfirmDelete());
    EXPECT_FALSE(CDataObject::ConfirmDelete());  // closed without an answer
    ASSERT_EQ(box.asked.size(), 3u);
    EXPECT_EQ(box.asked[0].text, Text(346));
    EXPECT_EQ(box.asked[0].style, platform::kMbYesNo | platform::kMbIconQuestion);
}

TEST(NodeBase, AProgressWindowIsMadeForTheNodeAtTheDesktopsBottomRight)
{
    ModelUi ui;
    TestNode node;
    EXPECT_EQ(node.CreateProgressDialog(L"Export", L"Writing", 368), nullptr);  // no factory
    ProgressDialogFactory previous = SetProgressDialogFactory(
        [] { return std::make_unique<CHeadlessProgressDlg>(ProgressRect{0, 0, 1000, 800}, 300, 100); });
    std::unique_ptr<CProgressDlg> dialog = node.CreateProgressDialog(L"Export", L"Writing", 368);
    SetProgressDialogFactory(previous);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetCaption(), L"Export");
    EXPECT_EQ(dialog->GetMainText(), L"Writing");
    EXPECT_EQ(dialog->GetAnimation(), 368);
    EXPECT_EQ(dialog->GetNode(), &node);
    HeadlessProgressView view = static_cast<CHeadlessProgressDlg&>(*dialog).GetRecord()->Get();
    EXPECT_TRUE(view.visible);
    EXPECT_EQ(view.x, 700);
    EXPECT_EQ(view.y, 670);
}

TEST(NodeBase, FlagsChangedFromSeveralThreadsLoseNoChange)
{
    // Each thread owns one bit and toggles it many times, ending set or clear;
    // a read-modify-write that is not atomic loses the other threads' bits.
    TestNode node;
    const int kRounds = 20000;
    std::thread busy([&] {
        for (int i = 0; i < kRounds; ++i) {
            node.SetBusy();
            node.ResetBusy();
        }
        node.SetBusy();
    });
    std::thread loaded([&] {
        for (int i = 0; i < kRounds; ++i) {
            node.SetChildrenLoaded(true);
            node.SetChildrenLoaded(false);
        }
    });
    std::thread aborting([&] {
        for (int i = 0; i < kRounds; ++i) {
            node.SetAborting();
            node.ResetAbort();
        }
        node.SetAborting();
    });
    std::thread block([&] {
        for (int i = 0; i < kRounds; ++i) {
            node.SetJobBlock(true);
            node.SetJobBlock(false);
        }
    });
    busy.join();
    loaded.join();
    aborting.join();
    block.join();
    EXPECT_TRUE(node.IsBusy());
    EXPECT_FALSE(node.IsChildrenLoaded());
    EXPECT_TRUE(node.IsAborting());
    EXPECT_FALSE(node.IsJobBlocked());
}

}  // namespace
