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
#include "jobs/HelperThreads.h"
#include "model/entries/CLDAPObject.h"
#include "model/nodes/CDataObject.h"
#include "model/profiles/CServerProfile.h"
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

} // namespace
