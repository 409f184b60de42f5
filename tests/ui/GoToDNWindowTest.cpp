// Go to DN in the whole main window against the demonstration directory:
// the command opens the search on the selected server, a row chosen there
// walks the tree to its entry; and a filter typed into the toolbar's box
// leaves the list with the filtered children, and so does one typed into
// the filter item of the views' context menus.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "base/Utf8.h"
#include "dialogs/CSearchDlg.h"
#include "dialogs/CSearchResultList.h"
#include "jobs/CLDAPThread.h"
#include "jobs/HelperThreads.h"
#include "model/entries/CLDAPObject.h"
#include "model/nodes/CDataObject.h"
#include "model/profiles/CServerProfile.h"
#include "shellcore/CRecentItemsList.h"
#include "shellcore/RecentTexts.h"
#include "shellcore/FrameCommands.h"
#include "tests/support/DemoServer.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/ProgramSession.h"
#include "tests/support/gui/UiTestSupport.h"
#include "tests/ui/FrameTestSupport.h"
#include "tests/ui/WindowTreeDriver.h"
#include "ui/CArbListView.h"
#include "ui/CArbMainFrame.h"
#include "ui/CArbTreeView.h"
#include "ui/CCommandComboBox.h"
#include "widgets/CBCGPopupMenuEx.h"
#include "widgets/CMenuEditBoxButton.h"
#include "widgets/WxCommandIds.h"

namespace {

using namespace std::chrono_literals;

class GoToDNWindowTest : public frametest::MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        frametest::Prepare();
        m_demo = std::make_unique<testsupport::DemoServer>();
        SaveBoundProfile(L"Demo", m_demo->Port(), testsupport::DemoServer::Suffix(),
                         testsupport::DemoServer::AdminDN(), testsupport::DemoServer::AdminPassword().c_str());
        ASSERT_NO_FATAL_FAILURE(OpenWindow());
    }

    void TearDown() override
    {
        CloseWindow();
        m_demo.reset();
        MainWindowTest::TearDown();
    }

    platform::TreePort& Tree() { return m_tree->GetPort(); }

    // The item clicked, until its children and values are in.
    void Open(platform::TreeItem item)
    {
        m_driver->Click(item);
        m_driver->Settle([&] { return m_driver->NodeOf(item)->IsChildrenLoaded() && m_list->GetItemCount() > 0; });
    }

    std::string SelectedDN()
    {
        auto* node = dynamic_cast<CLDAPObject*>(m_driver->NodeOf(Tree().GetSelectedItem()));
        return node ? node->GetDN().GetText() : std::string();
    }

    std::set<std::wstring> ListedEntries()
    {
        std::set<std::wstring> listed;
        for (long row = 0; row < m_list->GetItemCount(); ++row)
            if (CDataObject* node = m_list->GetRowObject(row))
                if (node->GetType() == kNodeEntry) listed.insert(node->GetDisplayName());
        return listed;
    }

    // Once the context menu that show() opens has the keyboard, script runs
    // with it; a menu the script left open is cancelled.
    void WithContextMenu(const std::function<void()>& show, const std::function<void(CBCGPopupMenuEx&)>& script)
    {
        bool seen = false;
        m_frame->CallAfter([&] {
            CBCGPopupMenuEx* popup = nullptr;
            seen = uitest::RunUntil(
                [&] {
                    popup = CBCGPopupMenuEx::GetActiveMenu();
                    wxWindow* focus = wxWindow::FindFocus();
                    return popup && popup->IsShownOnScreen() && focus && wxGetTopLevelParent(focus) == popup;
                },
                10000);
            if (!seen) {
                wxWindow* focus = wxWindow::FindFocus();
                ADD_FAILURE() << "popup " << (popup != nullptr) << " shown " << (popup && popup->IsShownOnScreen())
                              << " focus " << (focus ? focus->GetClassInfo()->GetClassName() : L"none") << " top "
                              << (focus ? wxGetTopLevelParent(focus)->GetClassInfo()->GetClassName() : L"none");
                if (popup) popup->Cancel();
                return;
            }
            uitest::SyncWithDisplay();
            script(*popup);
            if (!popup->IsClosed()) popup->Cancel();
        });
        show();
        EXPECT_TRUE(seen) << "the context menu never had the keyboard";
    }

    static int EditBoxIndex(const CBCGPopupMenuEx& popup)
    {
        const auto& entries = popup.GetModel().Entries();
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].IsEditBox()) return static_cast<int>(i);
        return -1;
    }

    static std::vector<std::wstring> RecentFilters()
    {
        CRecentItemsList list(platform::RegRoot::CurrentUser, kRecentFiltersKey);
        std::vector<std::wstring> texts;
        list.GetRecentStrings(texts, -1);
        return texts;
    }

    std::unique_ptr<testsupport::DemoServer> m_demo;
};

TEST_F(GoToDNWindowTest, AChosenRowWalksTheTreeToItsEntry)
{
    const platform::TreeItem server = m_driver->ServerItem(L"Demo");
    ASSERT_TRUE(server);
    Open(server);
    const std::string suffix = testsupport::DemoServer::Suffix();
    const std::string grace = "uid=grace,ou=people," + suffix;

    std::string base, title;
    size_t rows = 0;
    m_frame->CallAfter([&] {
        wxDialog* found = nullptr;
        ASSERT_TRUE(uitest::RunUntil([&] { return (found = uitest::FindDialog("dialog242")) != nullptr; }, 10000));
        auto* dialog = dynamic_cast<CSearchDlg*>(found);
        ASSERT_NE(dialog, nullptr);
        uitest::RunUntil([&] { return dialog->IsShownOnScreen(); }, 5000);
        base = dialog->GetBaseCombo()->GetValue().utf8_string();
        title = dialog->GetTitle().utf8_string();
        dialog->GetFilterCombo()->SetValue("(uid=grace)");
        dialog->GetAttributesCombo()->SetValue("cn,mail");
        dialog->StartSearch();
        uitest::RunUntil([&] { return !dialog->IsSearching(); }, 30000);
        rows = dialog->GetResultList()->GetRowCount();
        uitest::Screenshot(*dialog, "go-to-dn-search");
        dialog->ChooseRow(0);
    });
    wxCommandEvent goTo(wxEVT_MENU, ui::WxId(cmd::kGoToDN));
    goTo.SetEventObject(m_frame);
    m_frame->ProcessWindowEvent(goTo);
    EXPECT_EQ(base, suffix);
    EXPECT_EQ(title, "Search on 127.0.0.1:" + std::to_string(m_demo->Port()));
    EXPECT_EQ(rows, 1u);
    EXPECT_TRUE(frametest::PumpUntil(
        [&] { return SelectedDN() == grace && GetRunningThreadCount() == 0 && GetRunningHelperThreadCount() == 0; },
        30s))
        << "selected: " << SelectedDN();
    frametest::ScreenCapture(m_frame, "go-to-dn-walked");
}

TEST_F(GoToDNWindowTest, TheFilterBoxLeavesTheFilteredChildrenInTheList)
{
    const platform::TreeItem server = m_driver->ServerItem(L"Demo");
    ASSERT_TRUE(server);
    Open(server);
    const platform::TreeItem people = m_driver->Child(server, L"ou=people");
    ASSERT_TRUE(people);
    Open(people);
    CCommandComboBox* combo = m_frame->GetFilterCombo();
    ASSERT_NE(combo, nullptr);
    m_tree->SetFocus();
    combo->ChangeValue("(uid=a*)");
    wxCommandEvent enter(wxEVT_TEXT_ENTER, combo->GetId());
    enter.SetEventObject(combo);
    combo->GetEventHandler()->ProcessEvent(enter);
    std::set<std::wstring> listed;
    frametest::PumpUntil(
        [&] {
            listed.clear();
            for (long row = 0; row < m_list->GetItemCount(); ++row)
                if (CDataObject* node = m_list->GetRowObject(row))
                    if (node->GetType() == kNodeEntry) listed.insert(node->GetDisplayName());
            // The children's inserter is done too.
            return GetRunningThreadCount() == 0 && GetRunningHelperThreadCount() == 0 &&
                   listed == std::set<std::wstring>{L"uid=ada", L"uid=alan"};
        },
        30s);
    EXPECT_EQ(listed, (std::set<std::wstring>{L"uid=ada", L"uid=alan"}));
}

// The tree's context menu: the filter item is an edit box holding the
// node's filter; a click edits it with the text selected, what is typed
// through the real keyboard replaces it, Enter applies and records it.
TEST_F(GoToDNWindowTest, TheContextMenusFilterItemLeavesTheFilteredChildrenInTheList)
{
    const platform::TreeItem server = m_driver->ServerItem(L"Demo");
    ASSERT_TRUE(server);
    Open(server);
    const platform::TreeItem people = m_driver->Child(server, L"ou=people");
    ASSERT_TRUE(people);
    Open(people);
    auto* node = dynamic_cast<CLDAPObject*>(m_driver->NodeOf(people));
    ASSERT_NE(node, nullptr);
    const std::wstring filterBefore = node->GetFilterText();

    std::wstring contents, selected;
    bool enabled = false, editing = false;
    WithContextMenu([&] { m_tree->ShowItemContextMenu(people, false); },
                    [&](CBCGPopupMenuEx& popup) {
                        const int index = EditBoxIndex(popup);
                        if (index < 0 || !popup.GetEditBox()) return;
                        contents = popup.GetEditBox()->GetContents();
                        enabled = !popup.GetEditBox()->IsEditDisabled();
                        wxTextCtrl* edit = popup.GetEditBox()->GetEditWnd();
                        const wxRect item = popup.GetItemScreenRect(index);
                        wxUIActionSimulator input;
                        input.MouseMove(item.GetRight() - 20, item.y + item.height / 2);
                        uitest::RunFor(100);
                        input.MouseClick();
                        uitest::RunUntil([&] { return edit->IsShownOnScreen(); }, 3000);
                        uitest::RunFor(100);
                        selected = edit->GetStringSelection().ToStdWstring();
                        input.Text("(uid=a*)");
                        uitest::RunUntil([&] { return edit->GetValue() == "(uid=a*)"; }, 3000);
                        editing = popup.GetModel().IsEditing();
                        // What a person sees: the whole screen, the menu over the window.
                        const std::string folder = std::string(ARB_TEST_OUTPUT_DIR) + "/ui";
                        std::filesystem::create_directories(folder);
                        const wxSize size = wxGetDisplaySize();
                        wxBitmap bitmap(size.x, size.y, 24);
                        {
                            wxScreenDC screen;
                            wxMemoryDC memory(bitmap);
                            memory.Blit(0, 0, size.x, size.y, &screen, 0, 0);
                        }
                        bitmap.SaveFile(wxString::FromUTF8(folder + "/context-menu-filter.png"), wxBITMAP_TYPE_PNG);
                        input.Char(WXK_RETURN);
                        uitest::RunUntil([&] { return popup.IsClosed(); }, 3000);
                    });
    EXPECT_EQ(contents, filterBefore);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(selected, filterBefore) << "editing starts with the whole text selected";
    EXPECT_TRUE(editing);
    std::set<std::wstring> listed;
    frametest::PumpUntil(
        [&] {
            listed = ListedEntries();
            return GetRunningThreadCount() == 0 && GetRunningHelperThreadCount() == 0 &&
                   listed == std::set<std::wstring>{L"uid=ada", L"uid=alan"};
        },
        30s);
    EXPECT_EQ(listed, (std::set<std::wstring>{L"uid=ada", L"uid=alan"}));
    EXPECT_EQ(node->GetFilterText(), L"(uid=a*)");
    const std::vector<std::wstring> recent = RecentFilters();
    EXPECT_NE(std::find(recent.begin(), recent.end(), L"(uid=a*)"), recent.end()) << "recorded";
    EXPECT_EQ(m_frame->GetFilterCombo()->GetValue(), "(uid=a*)");
}

// The list's context menu of one row: its filter item holds that row's
// filter; Escape in the edit box gives it back and keeps the menu, and the
// second Escape closes it with nothing applied.
TEST_F(GoToDNWindowTest, TheListsFilterItemGivesItsTextBackOnEscape)
{
    const platform::TreeItem server = m_driver->ServerItem(L"Demo");
    ASSERT_TRUE(server);
    Open(server);
    // The row's entry opened once: its item edits where a filter may be applied.
    const platform::TreeItem people = m_driver->Child(server, L"ou=people");
    ASSERT_TRUE(people);
    Open(people);
    Open(server);
    long row = -1;
    for (long i = 0; i < m_list->GetItemCount(); ++i)
        if (CDataObject* child = m_list->GetRowObject(i); child && child->GetDisplayName() == L"ou=people") row = i;
    ASSERT_GE(row, 0);
    auto* node = dynamic_cast<CLDAPObject*>(m_list->GetRowObject(row));
    ASSERT_NE(node, nullptr);
    const std::wstring filterBefore = node->GetFilterText();
    m_list->SetFocus();
    m_list->SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    frametest::Pump();

    std::wstring contents, afterEscape;
    bool openAfterEscape = false, disabled = false;
    WithContextMenu([&] { m_list->ShowContextMenu(wxDefaultPosition); },
                    [&](CBCGPopupMenuEx& popup) {
                        const int index = EditBoxIndex(popup);
                        if (index < 0 || !popup.GetEditBox()) return;
                        contents = popup.GetEditBox()->GetContents();
                        wxTextCtrl* edit = popup.GetEditBox()->GetEditWnd();
                        disabled = popup.GetEditBox()->IsEditDisabled();
                        if (disabled) return;
                        wxUIActionSimulator keys;
                        while (popup.GetModel().GetHighlighted() != index && !popup.IsClosed()) {
                            keys.Char(WXK_DOWN);
                            uitest::RunFor(50);
                        }
                        keys.Char(WXK_RETURN);
                        uitest::RunUntil([&] { return edit->IsShownOnScreen(); }, 3000);
                        keys.Text("(cn=x");
                        uitest::RunFor(200);
                        keys.Char(WXK_ESCAPE);
                        uitest::RunUntil([&] { return !popup.GetModel().IsEditing(); }, 3000);
                        uitest::RunFor(100);
                        afterEscape = edit->GetValue().ToStdWstring();
                        openAfterEscape = !popup.IsClosed() && popup.IsShown();
                        keys.Char(WXK_ESCAPE);
                        uitest::RunUntil([&] { return popup.IsClosed(); }, 3000);
                    });
    EXPECT_EQ(contents, filterBefore);
    EXPECT_FALSE(disabled);
    EXPECT_EQ(afterEscape, filterBefore);
    EXPECT_TRUE(openAfterEscape);
    frametest::Pump();
    EXPECT_EQ(node->GetFilterText(), filterBefore);
    EXPECT_FALSE(node->HasCustomFilter());
}

// A right click on a row of a list just filled, before any row is current,
// opens one menu, not the tree's and then the row's.
TEST_F(GoToDNWindowTest, ARightClickOnAFreshListOpensOneMenu)
{
    const platform::TreeItem server = m_driver->ServerItem(L"Demo");
    ASSERT_TRUE(server);
    Open(server);
    ASSERT_EQ(m_list->GetSelectedItemCount(), 0);
    wxRect row;
    ASSERT_TRUE(m_list->GetItemRect(0, row, wxLIST_RECT_LABEL));
    const wxPoint at = m_list->GetListWindow()->ClientToScreen(row.GetLeftTop() + wxPoint(5, row.height / 2));

    int menusShown = 0;
    wxTimer watch;
    watch.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        CBCGPopupMenuEx* popup = CBCGPopupMenuEx::GetActiveMenu();
        if (popup && popup->IsShownOnScreen() && !popup->IsClosed()) {
            ++menusShown;
            popup->Cancel();
        }
    });
    watch.Start(50);
    wxUIActionSimulator mouse;
    mouse.MouseMove(at);
    uitest::RunFor(150);
    mouse.MouseClick(wxMOUSE_BTN_RIGHT);
    uitest::RunUntil([&] { return menusShown > 0; }, 5000);
    uitest::RunFor(1500);
    watch.Stop();
    EXPECT_EQ(menusShown, 1);
}

} // namespace
