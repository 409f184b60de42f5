// The tree and the list of the whole main window side by side against the
// demonstration directory: the names the list gives the people in each view
// style, the order of the list after a fetch and after the sort commands,
// and whether the default columns and the schema pane show their texts
// whole in the desktop's font.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <wx/dcclient.h>
#include <wx/imaglist.h>

#include "base/Utf8.h"
#include "jobs/CLDAPThread.h"
#include "model/nodes/CDataObject.h"
#include "model/entries/CServerObject.h"
#include "model/profiles/CServerProfile.h"
#include "platform/ResourceLibrary.h"
#include "shellcore/FrameCommands.h"
#include "shellcore/ListViewState.h"
#include "tests/support/DemoServer.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/ProgramSession.h"
#include "tests/ui/FrameTestSupport.h"
#include "ui/CArbDocument.h"
#include "ui/CArbListView.h"
#include "ui/CArbStatusBar.h"
#include "ui/CArbTreeView.h"
#include "widgets/UiResources.h"
#include "widgets/WxCommandIds.h"

namespace {

using namespace std::chrono_literals;

// The demonstration's people as the server sends them, and sorted.
const std::vector<std::wstring> kPeopleSorted = {L"uid=ada",    L"uid=alan", L"uid=barbara", L"uid=donald",
                                                 L"uid=edsger", L"uid=grace", L"uid=ken",   L"uid=margaret"};

// What the toolkit's list takes of a column's width besides a cell's text:
// a margin, and in the first column the row's small image with its gap.
constexpr int kCellMargin = 8;
constexpr int kImageGap = 5;

class ViewsWindowTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        frametest::Prepare();
        m_demo = std::make_unique<testsupport::DemoServer>();
        CServerProfile profile;
        profile.SetProfileName(L"Demo");
        profile.SetHostName(L"127.0.0.1");
        profile.SetPort(m_demo->Port());
        profile.SetVersion(3);
        profile.SetBaseDN(arbldap::LDAPDN(testsupport::DemoServer::Suffix()));
        profile.SetAnonymousBind(1);
        ASSERT_TRUE(profile.SaveProfile());
        m_session = std::make_unique<uitest::ProgramSession>();
        m_frame = m_session->OpenFrame();
        ASSERT_NE(m_frame, nullptr);
        m_tree = CArbTreeView::Get();
        m_list = CArbListView::Get();
        ASSERT_TRUE(m_tree && m_list);
    }

    void TearDown() override
    {
        EXPECT_TRUE(frametest::PumpUntil([] { return GetRunningThreadCount() == 0; }, 30s));
        m_session.reset();
        m_demo.reset();
        TempHomeTest::TearDown();
    }

    platform::TreePort& Tree() { return m_tree->GetPort(); }
    CDataObject* NodeOf(platform::TreeItem item) { return static_cast<CDataObject*>(Tree().GetItemData(item)); }

    std::vector<std::wstring> ChildTexts(platform::TreeItem parent)
    {
        std::vector<std::wstring> texts;
        for (platform::TreeItem item = Tree().GetChildItem(parent); item; item = Tree().GetNextSiblingItem(item))
            texts.push_back(Tree().GetItemText(item));
        return texts;
    }

    platform::TreeItem Child(platform::TreeItem parent, const std::wstring& text)
    {
        for (platform::TreeItem item = Tree().GetChildItem(parent); item; item = Tree().GetNextSiblingItem(item))
            if (Tree().GetItemText(item) == text) return item;
        return platform::TreeItem();
    }

    // Selects the item and shows its node, as a click does, until its
    // children and values are in.
    void Open(platform::TreeItem item)
    {
        Tree().SelectItem(item);
        NodeOf(item)->ShowContents(0);
        EXPECT_TRUE(frametest::PumpUntil(
            [&] {
                CDataObject* node = NodeOf(item);
                return GetRunningThreadCount() == 0 && node->IsChildrenLoaded() && !node->IsBusy() &&
                       m_list->GetItemCount() > 0;
            },
            30s));
        frametest::Pump();
    }

    // The demonstration's people, listed.
    platform::TreeItem OpenPeople()
    {
        const platform::TreeItem root = Tree().GetChildItem(platform::kTreeRoot);
        const platform::TreeItem server = Tree().GetChildItem(root);
        EXPECT_TRUE(server);
        if (!server) return platform::TreeItem();
        Open(server);
        EXPECT_TRUE(frametest::PumpUntil([&] { return bool(Child(server, L"ou=people")); }, 30s));
        const platform::TreeItem people = Child(server, L"ou=people");
        EXPECT_TRUE(people);
        if (!people) return platform::TreeItem();
        Open(people);
        EXPECT_TRUE(frametest::PumpUntil([&] { return ListedEntries().size() == kPeopleSorted.size(); }, 30s));
        return people;
    }

    // The tree texts of the entries the list shows, in row order.
    std::vector<std::wstring> ListedEntries()
    {
        std::vector<std::wstring> names;
        for (long row = 0; row < m_list->GetItemCount(); ++row) {
            CDataObject* node = m_list->GetRowObject(row);
            if (node && node->GetType() == kNodeEntry) names.push_back(node->GetDisplayName());
        }
        return names;
    }

    void Command(uint32_t command)
    {
        wxCommandEvent event(wxEVT_MENU, ui::WxId(command));
        event.SetEventObject(m_frame);
        m_frame->ProcessWindowEvent(event);
        frametest::Pump();
    }

    int TextWidth(wxWindow& window, const wxString& text)
    {
        wxClientDC dc(&window);
        dc.SetFont(window.GetFont());
        return dc.GetTextExtent(text).x;
    }

    std::unique_ptr<testsupport::DemoServer> m_demo;
    std::unique_ptr<uitest::ProgramSession> m_session;
    CArbMainFrame* m_frame = nullptr;
    CArbTreeView* m_tree = nullptr;
    CArbListView* m_list = nullptr;
};

TEST_F(ViewsWindowTest, EveryIconStyleLabelsAChildEntryAsTheTreeDoes)
{
    const platform::TreeItem people = OpenPeople();
    ASSERT_TRUE(people);
    struct Style {
        uint32_t style;
        const char* name;
    };
    const Style styles[] = {{CListViewState::kIcon, "large-icons"},
                            {CListViewState::kSmallIcon, "small-icons"},
                            {CListViewState::kList, "list"}};
    // Once switched to on a filled list, once filled while shown.
    for (bool refill : {false, true}) {
        for (const Style& s : styles) {
            SCOPED_TRACE(std::string(s.name) + (refill ? " refilled" : ""));
            m_list->SetViewStyle(s.style);
            if (refill) Open(people);
            frametest::Pump();
            std::set<std::wstring> labels;
            int entries = 0;
            for (long row = 0; row < m_list->GetItemCount(); ++row) {
                CDataObject* node = m_list->GetRowObject(row);
                if (!node || node->GetType() != kNodeEntry) continue;
                ++entries;
                const std::wstring label = m_list->GetItemText(row).ToStdWstring();
                EXPECT_EQ(label, Tree().GetItemText(node->GetTreeItem()));
                labels.insert(label);
            }
            EXPECT_EQ(entries, static_cast<int>(kPeopleSorted.size()));
            EXPECT_EQ(labels.size(), kPeopleSorted.size()) << "each person told apart";
            if (!refill) uitest::Screenshot(*m_list->GetListWindow(), std::string("views-list-") + s.name);
        }
    }
    // In the details the name column still names the naming attribute and
    // the value column its value.
    m_list->SetViewStyle(CListViewState::kReport);
    frametest::Pump();
    for (long row = 0; row < m_list->GetItemCount(); ++row) {
        CDataObject* node = m_list->GetRowObject(row);
        if (!node || node->GetType() != kNodeEntry) continue;
        EXPECT_EQ(m_list->GetItemText(row, CArbListView::kNameColumn).ToStdWstring(), L"uid");
        EXPECT_EQ(L"uid=" + m_list->GetItemText(row, CArbListView::kValueColumn).ToStdWstring(),
                  node->GetDisplayName());
    }
    uitest::Screenshot(*m_list, "views-list-details");
}

TEST_F(ViewsWindowTest, TheListShowsAFetchedNodesChildrenInTheTreesOrderAndDirection)
{
    const platform::TreeItem people = OpenPeople();
    ASSERT_TRUE(people);
    EXPECT_EQ(ChildTexts(people), kPeopleSorted) << "the tree sorts what the server sent";
    EXPECT_EQ(ListedEntries(), kPeopleSorted) << "the list as the tree";

    const std::vector<std::wstring> descending(kPeopleSorted.rbegin(), kPeopleSorted.rend());
    Command(cmd::kSortDescending);
    EXPECT_EQ(ChildTexts(people), descending);
    EXPECT_EQ(ListedEntries(), descending);
    uitest::Screenshot(*m_list, "views-sorted-descending");
    Command(cmd::kSortAscending);
    EXPECT_EQ(ChildTexts(people), kPeopleSorted);
    EXPECT_EQ(ListedEntries(), kPeopleSorted);

    // Sorted by a column, the list takes the direction the command gives.
    wxListEvent click(wxEVT_LIST_COL_CLICK, m_list->GetId());
    click.SetEventObject(m_list);
    click.m_col = CArbListView::kValueColumn;
    m_list->GetEventHandler()->ProcessEvent(click);  // descending
    EXPECT_EQ(ListedEntries(), descending);
    Command(cmd::kSortAscending);
    EXPECT_EQ(ListedEntries(), kPeopleSorted);
    EXPECT_TRUE(m_list->GetSortState().IsAscending());
    EXPECT_EQ(m_list->GetSortIndicator(), CArbListView::kValueColumn);
    EXPECT_TRUE(m_list->IsAscendingSortIndicator());
    Command(cmd::kSortDescending);
    EXPECT_EQ(ListedEntries(), descending);
    EXPECT_FALSE(m_list->IsAscendingSortIndicator());
}

TEST_F(ViewsWindowTest, ChildrenFetchedAgainWhileAnotherNodeIsSelectedAreSortedToo)
{
    const platform::TreeItem people = OpenPeople();
    ASSERT_TRUE(people);
    const platform::TreeItem server = Tree().GetParentItem(people);
    Open(server);
    // The people read again while their server is the one shown, as a
    // worker asks it.
    CDataObject* peopleNode = NodeOf(people);
    peopleNode->LoadChildren(0);
    EXPECT_TRUE(frametest::PumpUntil(
        [&] {
            return GetRunningThreadCount() == 0 && !peopleNode->IsBusy() &&
                   ChildTexts(people).size() == kPeopleSorted.size();
        },
        30s));
    EXPECT_EQ(ChildTexts(people), kPeopleSorted);
    Open(people);
    EXPECT_EQ(ListedEntries(), kPeopleSorted);
}

TEST_F(ViewsWindowTest, TheDefaultColumnsShowTheirTextsWholeInTheDesktopsFont)
{
    const platform::TreeItem people = OpenPeople();
    ASSERT_TRUE(people);
    wxImageList* images = m_list->GetImageList(wxIMAGE_LIST_SMALL);
    ASSERT_NE(images, nullptr);
    const int image = images->GetSize().x + kImageGap;
    struct Texts {
        int column;
        std::vector<std::wstring> texts;
    };
    const std::vector<Texts> table = {
        {CArbListView::kNameColumn, {L"Name", L"createTimestamp", L"creatorsName", L"modifyTimestamp", L"modifiersName", L"objectClass"}},
        {CArbListView::kTypeColumn, {L"Type", L"Entry", L"Text", L"Binary", L"Operational"}},
        {CArbListView::kSizeColumn, {L"Size", L"unknown"}},
    };
    for (const Texts& t : table) {
        for (const std::wstring& text : t.texts) {
            const int room = m_list->GetColumnWidth(t.column) - kCellMargin - (t.column == 0 ? image : 0);
            EXPECT_LE(TextWidth(*m_list, text), room) << WideToUtf8Text(text) << " in column " << t.column;
        }
    }
    EXPECT_GE(m_list->GetColumnWidth(CArbListView::kValueColumn), 310) << "no narrower than it was drawn";
    // A person's values, with the operational ones.
    const platform::TreeItem ada = Child(people, L"uid=ada");
    ASSERT_TRUE(ada);
    Open(ada);
    uitest::Screenshot(*m_list, "views-default-columns");
}

TEST_F(ViewsWindowTest, StoredColumnWidthsAreUsedAsStored)
{
    CListViewState::SaveColumnWidths({71, 300, 45, 52});
    m_session->CloseFrame();
    m_frame = m_session->OpenFrame();
    ASSERT_NE(m_frame, nullptr);
    m_list = CArbListView::Get();
    ASSERT_NE(m_list, nullptr);
    const int widths[] = {71, 300, 45, 52};
    for (int column = 0; column < 4; ++column) EXPECT_EQ(m_list->GetColumnWidth(column), widths[column]);
}

TEST_F(ViewsWindowTest, TheSchemaPaneShowsItsTextsWhole)
{
    CArbStatusBar* status = m_frame->GetArbStatusBar();
    ASSERT_NE(status, nullptr);
    for (unsigned id : {391u, 393u, 395u, 396u}) {
        const wxString text = ui::ResourceString(id);
        ASSERT_FALSE(text.empty()) << id;
        status->SetStatusText(text, CArbStatusBar::kSchema);
        status->Refresh();
        status->Update();
        frametest::Pump();
        EXPECT_FALSE(status->GetField(CArbStatusBar::kSchema).IsEllipsized()) << text.utf8_string();
        wxRect pane;
        ASSERT_TRUE(status->GetFieldRect(CArbStatusBar::kSchema, pane));
        EXPECT_LE(TextWidth(*status, text), pane.width - kCellMargin) << text.utf8_string();
    }
    status->SetStatusText(ui::ResourceString(396), CArbStatusBar::kSchema);
    uitest::Screenshot(*status, "views-schema-pane");
}

} // namespace
