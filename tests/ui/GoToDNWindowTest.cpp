// Go to DN in the whole main window against the demonstration directory:
// the command opens the search on the selected server, a row chosen there
// walks the tree to its entry; and a filter typed into the toolbar's box
// leaves the list with the filtered children.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <set>
#include <string>

#include "base/Utf8.h"
#include "dialogs/CSearchDlg.h"
#include "dialogs/CSearchResultList.h"
#include "jobs/CLDAPThread.h"
#include "model/entries/CLDAPObject.h"
#include "model/nodes/CDataObject.h"
#include "model/profiles/CServerProfile.h"
#include "shellcore/FrameCommands.h"
#include "tests/support/DemoServer.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/ProgramSession.h"
#include "tests/support/gui/UiTestSupport.h"
#include "tests/ui/FrameTestSupport.h"
#include "ui/CArbListView.h"
#include "ui/CArbMainFrame.h"
#include "ui/CArbTreeView.h"
#include "ui/CCommandComboBox.h"
#include "widgets/WxCommandIds.h"

namespace {

using namespace std::chrono_literals;

class GoToDNWindowTest : public testsupport::TempHomeTest {
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

    platform::TreeItem Child(platform::TreeItem parent, const std::wstring& text)
    {
        for (platform::TreeItem item = Tree().GetChildItem(parent); item; item = Tree().GetNextSiblingItem(item))
            if (Tree().GetItemText(item) == text) return item;
        return platform::TreeItem();
    }

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

    platform::TreeItem OpenServer()
    {
        const platform::TreeItem root = Tree().GetChildItem(platform::kTreeRoot);
        const platform::TreeItem server = Tree().GetChildItem(root);
        EXPECT_TRUE(server);
        if (server) Open(server);
        return server;
    }

    std::string SelectedDN()
    {
        auto* node = dynamic_cast<CLDAPObject*>(NodeOf(Tree().GetSelectedItem()));
        return node ? node->GetDN().GetText() : std::string();
    }

    void Command(uint32_t command)
    {
        wxCommandEvent event(wxEVT_MENU, ui::WxId(command));
        event.SetEventObject(m_frame);
        m_frame->ProcessWindowEvent(event);
        frametest::Pump();
    }

    std::unique_ptr<testsupport::DemoServer> m_demo;
    std::unique_ptr<uitest::ProgramSession> m_session;
    CArbMainFrame* m_frame = nullptr;
    CArbTreeView* m_tree = nullptr;
    CArbListView* m_list = nullptr;
};

TEST_F(GoToDNWindowTest, AChosenRowWalksTheTreeToItsEntry)
{
    const platform::TreeItem server = OpenServer();
    ASSERT_TRUE(server);
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
    Command(cmd::kGoToDN);
    EXPECT_EQ(base, suffix);
    EXPECT_EQ(title, "Search on 127.0.0.1:" + std::to_string(m_demo->Port()));
    EXPECT_EQ(rows, 1u);
    EXPECT_TRUE(frametest::PumpUntil([&] { return SelectedDN() == grace && GetRunningThreadCount() == 0; }, 30s))
        << "selected: " << SelectedDN();
    frametest::ScreenCapture(m_frame, "go-to-dn-walked");
}

TEST_F(GoToDNWindowTest, TheFilterBoxLeavesTheFilteredChildrenInTheList)
{
    const platform::TreeItem server = OpenServer();
    ASSERT_TRUE(server);
    ASSERT_TRUE(frametest::PumpUntil([&] { return bool(Child(server, L"ou=people")); }, 30s));
    const platform::TreeItem people = Child(server, L"ou=people");
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
            return GetRunningThreadCount() == 0 && listed == std::set<std::wstring>{L"uid=ada", L"uid=alan"};
        },
        30s);
    EXPECT_EQ(listed, (std::set<std::wstring>{L"uid=ada", L"uid=alan"}));
}

} // namespace
