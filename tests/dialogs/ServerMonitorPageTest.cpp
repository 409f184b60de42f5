// The server monitor page against the real test servers: it reads the
// monitor entry on activation while its wait popup runs the event loop,
// reports an unreachable server, reads with the DN as typed, and saves only
// a profile that is stored already.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <wx/listctrl.h>
#include <wx/panel.h>
#include <wx/textctrl.h>

#include "platform/RegistryKey.h"
#include "dialogs/CCommonPropertySheet.h"
#include "dialogs/CServerMonitorPropertiesPage.h"
#include "jobs/CLDAPThread.h"
#include "model/profiles/CServerProfile.h"
#include "platform/ResourceLibrary.h"
#include "shellcore/CRecentItemsList.h"
#include "tests/dialogs/PumpedDispatcher.h"
#include "tests/support/HeadlessShell.h"
#include "tests/support/LiveSupport.h"
#include "tests/support/SilentServer.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/UiTestSupport.h"

namespace {

using namespace std::chrono_literals;

CServerProfile MonitorProfile(int port)
{
    CServerProfile profile;
    profile.SetProfileName(L"monitor test");
    profile.SetHostName(L"127.0.0.1");
    profile.SetPort(port);
    return profile;
}

std::vector<std::pair<std::string, std::string>> Rows(wxListCtrl& list)
{
    std::vector<std::pair<std::string, std::string>> rows;
    for (long i = 0; i < list.GetItemCount(); ++i)
        rows.emplace_back(list.GetItemText(i, 0).utf8_string(), list.GetItemText(i, 1).utf8_string());
    return rows;
}

bool HasRow(wxListCtrl& list, const std::string& name, const std::string& value)
{
    for (const auto& row : Rows(list))
        if (row.first == name && row.second == value)
            return true;
    return false;
}

class ServerMonitorPageTest : public PumpedDialogTest {
protected:
    void CloseWindows() override { m_sheet.reset(); }

    // The page alone in a shown sheet.
    CServerMonitorPropertiesPage& Page(CServerProfile& profile)
    {
        m_sheet = std::make_unique<CCommonPropertySheet>(nullptr, "Server Properties");
        auto* page = new CServerMonitorPropertiesPage(m_sheet->GetBook(), &profile);
        m_sheet->AddPage(page);
        m_sheet->LayoutDialog();
        m_sheet->Show();
        uitest::RunFor(100);
        return *page;
    }

    platform::HeadlessShell m_shell;
    std::unique_ptr<CCommonPropertySheet> m_sheet;
};

TEST_F(ServerMonitorPageTest, TheFirstActivationListsTheMonitorEntry)
{
    CServerProfile profile = MonitorProfile(live::MainServer().Port());
    CServerMonitorPropertiesPage& page = Page(profile);
    page.OnSetActive();
    EXPECT_EQ(page.GetMonitorDNEdit()->GetValue(), "cn=monitor");

    EXPECT_FALSE(page.GetWaitPopup());
    EXPECT_TRUE(m_shell.MessageBox().asked.empty());
    EXPECT_TRUE(HasRow(*page.GetList(), "cn", "Monitor"));
    EXPECT_TRUE(HasRow(*page.GetList(), "objectClass", "monitorServer"));
    auto rows = Rows(*page.GetList());
    for (size_t i = 1; i < rows.size(); ++i)
        EXPECT_LE(rows[i - 1].first, rows[i].first);
    EXPECT_EQ(page.GetList()->GetColumnCount(), 2);
    EXPECT_FALSE(page.IsModified());
    uitest::Screenshot(*m_sheet, "server-monitor-page");

    // The DN read is remembered for the DN fields.
    CRecentItemsList recent(platform::RegRoot::CurrentUser, g_strRecentDNsKey);
    std::vector<std::wstring> texts;
    recent.GetRecentStrings(texts, -1);
    EXPECT_EQ(texts, std::vector<std::wstring>{L"cn=monitor"});
}

TEST_F(ServerMonitorPageTest, ChoosingItsTabInARunningSheetReadsTheEntry)
{
    CServerProfile profile = MonitorProfile(live::MainServer().Port());
    CCommonPropertySheet sheet(nullptr, "Server Properties");
    auto* first = new wxPanel(sheet.GetBook());
    sheet.AddPage(first, "First");
    auto* page = new CServerMonitorPropertiesPage(sheet.GetBook(), &profile);
    sheet.AddPage(page);
    long rows = -1;
    sheet.CallAfter([&] {
        // As a click on the tab.
        sheet.GetBookCtrl()->SetSelection(1);
        EXPECT_TRUE(uitest::RunUntil([&] { return page->WasShown() && !page->GetWaitPopup(); }));
        rows = page->GetList()->GetItemCount();
        wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
        ok.SetEventObject(sheet.FindWindow(wxID_OK));
        sheet.GetEventHandler()->ProcessEvent(ok);
    });
    EXPECT_EQ(sheet.ShowModal(), wxID_OK);
    EXPECT_GT(rows, 0);
    EXPECT_TRUE(m_shell.MessageBox().asked.empty());
}

TEST_F(ServerMonitorPageTest, AnUnreachableServerIsReportedWhileTheLoopRuns)
{
    // Connects are never answered: the read waits out the connect time-out.
    testsupport::SilentServer blackHole(testsupport::SilentServer::Mode::NeverConnect);
    CServerProfile profile = MonitorProfile(blackHole.Port());
    CServerMonitorPropertiesPage& page = Page(profile);
    int ticksWhileWaiting = 0;
    bool pictured = false;
    m_pump->onTick = [&] {
        wxDialog* popup = page.GetWaitPopup();
        if (!popup || !popup->IsShown())
            return;
        ++ticksWhileWaiting;
        if (!pictured && ticksWhileWaiting == 20) {
            pictured = true;
            uitest::Screenshot(*popup, "server-monitor-wait");
        }
    };
    page.OnSetActive();
    m_pump->onTick = nullptr;

    EXPECT_GT(ticksWhileWaiting, 50) << "the event loop stood still while the page waited";
    EXPECT_EQ(page.GetList()->GetItemCount(), 0);
    ASSERT_EQ(m_shell.MessageBox().asked.size(), 1u);
    EXPECT_EQ(m_shell.MessageBox().asked[0].text.rfind(L"[ERROR ", 0), 0u) << m_shell.MessageBox().asked[0].text;
}

TEST_F(ServerMonitorPageTest, AFailedReadShowsTheServersAnswer)
{
    CServerProfile profile = MonitorProfile(live::MainServer().Port());
    CServerMonitorPropertiesPage& page = Page(profile);
    page.OnSetActive();
    ASSERT_TRUE(HasRow(*page.GetList(), "cn", "Monitor"));
    struct Case {
        const char* dn;
        const wchar_t* text;  // the box's text starts so
    };
    const Case cases[] = {
        {"cn=Mistyped,cn=monitor", L"[ERROR 32] "},
        {"cn=Listeners,cn=monitor", L"[ERROR 50] "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dn);
        m_shell.MessageBox().asked.clear();
        page.GetMonitorDNEdit()->SetValue(c.dn);
        page.Refresh();
        EXPECT_FALSE(page.GetWaitPopup());
        EXPECT_EQ(page.GetList()->GetItemCount(), 0);
        ASSERT_EQ(m_shell.MessageBox().asked.size(), 1u);
        EXPECT_EQ(m_shell.MessageBox().asked[0].text.rfind(c.text, 0), 0u) << m_shell.MessageBox().asked[0].text;
    }
}

TEST_F(ServerMonitorPageTest, AServerThatNeverAnswersIsGivenUp)
{
    // The connection is taken, the bind never answered: the popup, which
    // nobody can close, must not stay for ever.
    testsupport::SilentServer hanging(testsupport::SilentServer::Mode::Hang);
    auto previous = CServerMonitorPropertiesPage::SetReadLimit(std::chrono::milliseconds(1500));
    CServerProfile profile = MonitorProfile(hanging.Port());
    CServerMonitorPropertiesPage& page = Page(profile);
    page.OnSetActive();
    CServerMonitorPropertiesPage::SetReadLimit(previous);

    EXPECT_FALSE(page.GetWaitPopup());
    EXPECT_EQ(page.GetList()->GetItemCount(), 0);
    ASSERT_EQ(m_shell.MessageBox().asked.size(), 1u);
    EXPECT_EQ(m_shell.MessageBox().asked[0].text.rfind(L"[ERROR 85]", 0), 0u) << m_shell.MessageBox().asked[0].text;
    EXPECT_EQ(hanging.AcceptPending(), 1);
}

TEST_F(ServerMonitorPageTest, TheSecureSettingOfTheProfileIsUsed)
{
    ASSERT_TRUE(arbldap::InitSSLCertDB(live::MainServer().CertFolder(), false));
    CServerProfile profile = MonitorProfile(live::MainServer().SslPort());
    profile.GetOptions().SetUseSSL(true);
    CServerMonitorPropertiesPage& page = Page(profile);
    page.OnSetActive();
    EXPECT_TRUE(m_shell.MessageBox().asked.empty());
    EXPECT_TRUE(HasRow(*page.GetList(), "cn", "Monitor"));
}

TEST_F(ServerMonitorPageTest, ATypedDNIsReadAtOnceAndStoredOnlyWhenApplied)
{
    CServerProfile profile = MonitorProfile(live::MainServer().Port());
    ASSERT_TRUE(profile.SaveProfile());
    CServerMonitorPropertiesPage& page = Page(profile);
    page.OnSetActive();
    ASSERT_TRUE(HasRow(*page.GetList(), "cn", "Monitor"));

    page.GetMonitorDNEdit()->SetValue("cn=Connections,cn=monitor");
    EXPECT_TRUE(page.IsModified());
    // Return stays in the edit (it takes a suggestion), not OK for the sheet.
    wxCommandEvent enter(wxEVT_TEXT_ENTER, kIdcMonitorDN);
    enter.SetEventObject(page.GetMonitorDNEdit());
    EXPECT_TRUE(page.GetMonitorDNEdit()->GetEventHandler()->ProcessEvent(enter));
    page.Refresh();
    EXPECT_TRUE(HasRow(*page.GetList(), "cn", "Connections"));
    EXPECT_FALSE(HasRow(*page.GetList(), "cn", "Monitor"));
    CServerProfile stored;
    stored.SetIdFromString(profile.GetKeyPath(false));
    ASSERT_TRUE(stored.LoadProfile());
    EXPECT_EQ(stored.GetMonitorDN().GetText(), "cn=monitor");

    ASSERT_TRUE(m_sheet->ApplyPages());
    ASSERT_TRUE(stored.LoadProfile());
    EXPECT_EQ(stored.GetMonitorDN().GetText(), "cn=Connections,cn=monitor");
    EXPECT_FALSE(page.IsModified());

    // The activation after an Apply keeps the rows; the next one reads again.
    page.GetList()->DeleteAllItems();
    page.OnSetActive();
    EXPECT_EQ(page.GetList()->GetItemCount(), 0);
    page.OnSetActive();
    EXPECT_TRUE(HasRow(*page.GetList(), "cn", "Connections"));
}

TEST_F(ServerMonitorPageTest, AProfileHeldFromStorageIsNotStoredByThePage)
{
    // As in the connection wizard's advanced sheet: the page is applied, the
    // wizard is then cancelled; the profile must not have been stored.
    CServerProfile profile = MonitorProfile(testsupport::FreePort());
    profile.SetStorageHeld(true);
    CServerMonitorPropertiesPage& page = Page(profile);
    page.OnSetActive();
    m_shell.MessageBox().asked.clear();
    page.GetMonitorDNEdit()->SetValue("cn=Threads,cn=monitor");
    ASSERT_TRUE(m_sheet->ApplyPages());
    EXPECT_EQ(profile.GetMonitorDN().GetText(), "cn=Threads,cn=monitor");
    platform::RegistryKey key(platform::RegRoot::CurrentUser, true);
    EXPECT_FALSE(key.KeyExists(profile.GetKeyPath(true))) << "the held profile was stored";
}

} // namespace
