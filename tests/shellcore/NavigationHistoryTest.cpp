#include <gtest/gtest.h>

#include "model/nodes/TreeViewOperations.h"
#include "platform/RegistryKey.h"
#include "shellcore/CNavigationHistory.h"
#include "shellcore/RegistryPaths.h"
#include "tests/model/entries/NodeTestSupport.h"
#include "tests/support/LogCapture.h"

namespace {

using nodetest::Profile;

uint32_t StoredDepth()
{
    platform::RegistryKey key(platform::RegRoot::CurrentUser, true);
    uint32_t value = 0;
    if (!key.Open(g_strSettingsKey) || !key.Read(L"HistoryDepth", value))
        return 0;
    return value;
}

void StoreDepth(uint32_t depth)
{
    platform::RegistryKey key(platform::RegRoot::CurrentUser, false);
    ASSERT_TRUE(key.CreateKey(g_strSettingsKey));
    ASSERT_TRUE(key.Write(L"HistoryDepth", depth));
}

// A tree that tells the history of every selection change, as the tree view
// does.
class ViewTree : public platform::HeadlessTree {
public:
    bool SelectItem(platform::TreeItem item) override
    {
        const bool changed = GetSelectedItem() != item;
        const bool done = HeadlessTree::SelectItem(item);
        if (done && changed && history)
            history->AddEntry(item);
        return done;
    }
    CNavigationHistory* history = nullptr;
};

class NavigationHistoryTest : public nodetest::NodeTest {
protected:
    void SetUp() override
    {
        nodetest::NodeTest::SetUp();
        tree->SetTextProvider(&GetTreeItemText);
        previousTree = platform::SetTreeControl(tree);
        root = modeltest::AddNode<modeltest::TestNode>(platform::kTreeRoot, kNodeRoot, L"Root");
        server = modeltest::AddNode<CServerObject>(root->GetTreeItem(), Profile("o=lab"));
        server->SetChildrenLoaded(true);
        a = AddEntry(*server, "ou=a,o=lab", server);
        b = AddEntry(*server, "ou=b,o=lab", server);
        c = AddEntry(*a, "cn=c,ou=a,o=lab", server);
        // The navigation job stands in: it reaches the DN's node at once and
        // selects it as the real one does.
        previousMaker = CLDAPObject::SetNavigateJobMaker([this](CLDAPObject& from, const arbldap::LDAPDN& dn) {
            navigations.push_back(dn.GetText());
            if (CDataObject* target = FindItemByDN(dn, from.GetServerObject()->GetTreeItem()))
                SelectNavigatedItem(target->GetTreeItem());
            return std::shared_ptr<CLDAPThread>();
        });
    }
    void TearDown() override
    {
        SetNavigationObserver(nullptr);
        CLDAPObject::SetNavigateJobMaker(previousMaker);
        DeleteChildItems(platform::kTreeRoot);
        platform::SetTreeControl(previousTree);
        nodetest::NodeTest::TearDown();
    }

    // A history that hears of selections and of navigations' arrivals, as
    // the document wires it.
    std::unique_ptr<CNavigationHistory> MakeHistory()
    {
        auto history = std::make_unique<CNavigationHistory>();
        tree->history = history.get();
        CNavigationHistory* h = history.get();
        SetNavigationObserver([h](bool arriving) {
            if (arriving)
                h->BeginQuietSelection();
            else
                h->EndQuietSelection();
        });
        return history;
    }

    void Select(CDataObject& node) { tree->SelectItem(node.GetTreeItem()); }
    CDataObject* Selected() { return GetSelectedTreeObject(); }

    std::shared_ptr<ViewTree> tree = std::make_shared<ViewTree>();
    std::shared_ptr<platform::TreePort> previousTree;
    CLDAPObject::NavigateJobMaker previousMaker;
    std::vector<std::string> navigations;
    modeltest::TestNode* root = nullptr;
    CServerObject* server = nullptr;
    CEntryObject* a = nullptr;
    CEntryObject* b = nullptr;
    CEntryObject* c = nullptr;
};

TEST_F(NavigationHistoryTest, DepthIsReadFromTheSettingsAndWrittenBack)
{
    struct Case {
        bool stored;
        uint32_t value;
        uint32_t depth;
    };
    const Case cases[] = {{false, 0, 15}, {true, 4, 15}, {true, 41, 15}, {true, 5, 5}, {true, 40, 40}, {true, 22, 22}};
    for (const Case& c : cases) {
        if (c.stored)
            StoreDepth(c.value);
        CNavigationHistory history;
        EXPECT_EQ(history.GetDepth(), c.depth) << c.value;
        EXPECT_EQ(StoredDepth(), c.depth) << c.value;
    }
}

TEST_F(NavigationHistoryTest, RecordsEachSelectedPlaceButNotMessageNodes)
{
    auto history = MakeHistory();
    auto* error = modeltest::AddNode<modeltest::TestNode>(a->GetTreeItem(), kNodeError, L"error");
    auto* info = modeltest::AddNode<modeltest::TestNode>(a->GetTreeItem(), kNodeInformation, L"info");
    Select(*root);
    Select(*server);
    Select(*a);
    Select(*error);
    Select(*info);
    Select(*c);
    const std::vector<HistoryEntry>& entries = history->GetEntries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_TRUE(entries[0].server == GUID());
    EXPECT_EQ(entries[0].dn, "");
    EXPECT_TRUE(entries[1].server == server->GetId());
    EXPECT_EQ(entries[1].dn, "o=lab");
    EXPECT_EQ(entries[2].dn, "ou=a,o=lab");
    EXPECT_EQ(entries[3].dn, "cn=c,ou=a,o=lab");
    EXPECT_FALSE(history->CanGoForward());
    EXPECT_TRUE(history->CanGoBack());
}

TEST_F(NavigationHistoryTest, KeepsTheNewestEntriesUpToItsDepth)
{
    auto history = MakeHistory();
    ASSERT_EQ(history->GetDepth(), 15u);
    for (int i = 0; i < 16; ++i)
        history->AddEntry(HistoryEntry{server->GetId(), "cn=" + std::to_string(i)});
    ASSERT_EQ(history->GetEntries().size(), 15u);
    EXPECT_EQ(history->GetEntries().front().dn, "cn=1");
    EXPECT_EQ(history->GetEntries().back().dn, "cn=15");
}

TEST_F(NavigationHistoryTest, BackAndForwardWalkTheTreeWithoutRecordingTheirMoves)
{
    auto history = MakeHistory();
    Select(*root);
    Select(*a);
    Select(*c);
    Select(*b);

    history->Back();  // to c, through a navigation from b's server
    EXPECT_EQ(Selected(), c);
    EXPECT_EQ(history->GetEntries().size(), 4u);
    EXPECT_EQ(history->GetPosition(), 2u);

    history->Back();
    EXPECT_EQ(Selected(), a);
    history->Back();  // the root: its contents, not recorded again
    EXPECT_EQ(root->showContents.load(), 1);
    EXPECT_EQ(history->GetPosition(), 0u);
    EXPECT_EQ(history->GetEntries().size(), 4u);
    EXPECT_FALSE(history->CanGoBack());

    history->Forward();
    EXPECT_EQ(Selected(), a);
    EXPECT_EQ(history->GetForwardEntries().size(), 2u);

    // A new selection replaces the places ahead.
    Select(*b);
    EXPECT_FALSE(history->CanGoForward());
    ASSERT_EQ(history->GetEntries().size(), 3u);
    EXPECT_EQ(history->GetEntries().back().dn, "ou=b,o=lab");
}

TEST_F(NavigationHistoryTest, SeveralStepsAtOnceRecordNothingOnTheWay)
{
    auto history = MakeHistory();
    Select(*root);
    Select(*a);
    Select(*c);
    Select(*b);
    // From the root back to c: the server is selected on the way.
    Select(*root);
    ASSERT_EQ(history->GetEntries().size(), 5u);

    history->BackBy(1);
    EXPECT_EQ(Selected(), c);
    EXPECT_EQ(history->GetPosition(), 2u);
    ASSERT_EQ(history->GetEntries().size(), 5u);
    EXPECT_EQ(history->GetForwardEntries().size(), 2u);

    history->ForwardBy(1);
    EXPECT_EQ(history->GetPosition(), 4u);
    EXPECT_EQ(history->GetEntries().size(), 5u);

    history->BackBy(3);
    EXPECT_EQ(history->GetPosition(), 0u);
    EXPECT_EQ(history->GetEntries().size(), 5u);
}

TEST_F(NavigationHistoryTest, AMoveThatStopsEarlyLeavesTheNextSelectionRecorded)
{
    auto history = MakeHistory();
    Select(*a);
    Select(*b);
    // The first place's server has gone: the move does nothing.
    HistoryEntry gone{Profile().GetId(), "ou=x,o=lab"};
    history->AddEntry(gone);
    Select(*c);
    ASSERT_EQ(history->GetEntries().size(), 4u);
    history->BackBy(0);  // to the gone server's entry
    EXPECT_EQ(Selected(), c);
    Select(*a);
    EXPECT_EQ(history->GetEntries().size(), 4u);
    EXPECT_EQ(history->GetEntries().back().dn, "ou=a,o=lab");

    // A navigation that arrives where the caret already is selects nothing.
    history->Back();
    history->Forward();
    Select(*b);
    EXPECT_EQ(history->GetEntries().back().dn, "ou=b,o=lab");
}

TEST_F(NavigationHistoryTest, GoingBackToADisconnectedServerOnlyWritesTheLogLine)
{
    auto history = MakeHistory();
    Select(*a);
    Select(*b);
    server->SetChildrenLoaded(false);
    testsupport::LogCapture log;
    history->Back();
    EXPECT_EQ(Selected(), b);
    EXPECT_TRUE(navigations.empty());
    EXPECT_TRUE(log.Contains(L"ERROR: There's no connection detected. Please connect to " + server->GetCaption() +
                             L" and repeat the operation."));
    EXPECT_EQ(history->GetPosition(), 0u);
}

TEST_F(NavigationHistoryTest, LoweringTheDepthKeepsTheCurrentPlace)
{
    struct Case {
        size_t count;
        size_t position;
        uint32_t depth;
        size_t dropOld;  // entries that go from the oldest end
    };
    // Drops come from the side with more entries; only the excess goes.
    const Case cases[] = {
        {15, 14, 10, 5}, {15, 0, 10, 0}, {15, 7, 9, 3}, {15, 3, 10, 1}, {12, 11, 10, 2}, {8, 4, 10, 0},
    };
    for (const Case& c : cases) {
        CNavigationHistory history(false);
        for (size_t i = 0; i < c.count; ++i)
            history.AddEntry(HistoryEntry{server->GetId(), std::to_string(i)});
        while (history.GetPosition() > c.position)
            history.BackBy(0);
        ASSERT_EQ(history.GetPosition(), c.position);
        const std::string current = history.GetEntries()[c.position].dn;
        history.SetDepth(c.depth);
        EXPECT_EQ(history.GetDepth(), c.depth);
        EXPECT_EQ(history.GetEntries().size(), std::min<size_t>(c.count, c.depth)) << c.count << "/" << c.position;
        EXPECT_EQ(history.GetEntries()[history.GetPosition()].dn, current) << c.count << "/" << c.position;
        EXPECT_EQ(history.GetEntries().front().dn, std::to_string(c.dropOld)) << c.count << "/" << c.position;
    }
}

} // namespace
