// The connection, credentials and LDAP settings pages of a server node's
// properties: they show the profile, store and save what is applied, refuse
// what they must, and a cancelled sheet stores nothing.

#include <gtest/gtest.h>

#include <memory>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/textctrl.h>

#include "base/Utf8.h"
#include "dialogs/CCommonPropertySheet.h"
#include "dialogs/CLDAPSettingsPropertiesDlg.h"
#include "dialogs/CServerPropertiesDlg.h"
#include "dialogs/ServerCredentailsPropertiesDlg.h"
#include "dialogs/ServerPropertyPages.h"
#include "model/entries/CServerObject.h"
#include "model/ports/NodePropertyPages.h"
#include "model/ports/ResourceText.h"
#include "model/nodes/TreeViewOperations.h"
#include "platform/ResourceLibrary.h"
#include "tests/dialogs/PumpedDispatcher.h"
#include "tests/support/HeadlessControls.h"
#include "tests/support/HeadlessShell.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/UiTestSupport.h"

namespace {

enum PageIndex { kServerPage, kCredentialsPage, kSettingsPage };

CServerProfile StoredProfile()
{
    CServerProfile profile;
    profile.SetProfileName(L"Lab");
    profile.SetHostName(L"ldap.example");
    profile.SetPort(389);
    profile.SetBaseDN(arbldap::LDAPDN("o=lab"));
    profile.SetUserDN(arbldap::LDAPDN("cn=admin,o=lab"));
    profile.SetPassword("secret");
    profile.SetSavePassword(1);
    profile.GetOptions().SetTimeLimit(30);
    profile.GetOptions().SetSizeLimit(1000);
    profile.GetOptions().SetChaseReferrals(true);
    profile.GetOptions().SetDeref(2);
    return profile;
}

class ServerPropertyPagesTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        ASSERT_TRUE(platform::ResourceLibrary::Current().LoadDefault());
        m_pump = std::make_unique<PumpedDispatcher>();
        CServerProfile profile = StoredProfile();
        ASSERT_TRUE(profile.SaveProfile());
        m_server = std::make_unique<CServerObject>(profile);
        MakeSheet();
    }

    // The sheet as the server node's properties command builds it.
    void MakeSheet()
    {
        m_sheet = std::make_unique<CCommonPropertySheet>(nullptr, "Server Properties");
        for (auto kind : {NodeDetailsPage::Server, NodeDetailsPage::ServerCredentials, NodeDetailsPage::LDAPSettings}) {
            wxString title;
            wxWindow* page = MakeNodeDetailsPage(m_sheet->GetBook(), NodeDetailsPage(kind, m_server.get()), title);
            ASSERT_TRUE(page);
            m_sheet->AddPage(page, title);
        }
        m_sheet->LayoutDialog();
    }

    void TearDown() override
    {
        m_sheet.reset();
        m_server.reset();
        m_pump.reset();
        TempHomeTest::TearDown();
    }

    template <class T>
    T& Field(int id)
    {
        auto* control = dynamic_cast<T*>(m_sheet->FindWindow(id));
        EXPECT_TRUE(control) << id;
        return *control;
    }

    // Shows every page once, as a user visiting each tab.
    void VisitAll()
    {
        m_sheet->Show();
        for (int i = m_sheet->GetPageCount() - 1; i >= 0; --i)
            ASSERT_TRUE(m_sheet->SelectPage(i));
    }

    CServerProfile Stored() const
    {
        CServerProfile stored;
        stored.SetIdFromString(m_server->GetKeyPath(false));
        EXPECT_TRUE(stored.LoadProfile());
        return stored;
    }

    void Click(int id)
    {
        wxWindow* button = m_sheet->FindWindow(id);
        ASSERT_TRUE(button);
        wxCommandEvent click(wxEVT_BUTTON, id);
        click.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(click);
    }

    std::unique_ptr<PumpedDispatcher> m_pump;
    platform::HeadlessShell m_shell;
    std::unique_ptr<CServerObject> m_server;
    std::unique_ptr<CCommonPropertySheet> m_sheet;
};

TEST_F(ServerPropertyPagesTest, ThePagesShowTheProfile)
{
    EXPECT_EQ(m_sheet->GetPageCount(), 3);
    VisitAll();
    EXPECT_EQ(Field<wxTextCtrl>(kIdcServerKind).GetValue(), "N/A");
    EXPECT_EQ(Field<wxTextCtrl>(kIdcProfileName).GetValue(), "Lab");
    EXPECT_EQ(Field<wxTextCtrl>(kIdcHost).GetValue(), "ldap.example");
    EXPECT_EQ(Field<wxTextCtrl>(kIdcPort).GetValue(), "389");
    EXPECT_EQ(Field<wxTextCtrl>(kIdcBaseDN).GetValue(), "o=lab");
    EXPECT_EQ(Field<wxChoice>(kIdcVersion).GetSelection(), 1);
    EXPECT_EQ(Field<wxTextCtrl>(kIdcServerURL).GetValue(), wxString(m_server->GetURL()));
    EXPECT_EQ(Field<wxTextCtrl>(kIdcUserDN).GetValue(), "cn=admin,o=lab");
    EXPECT_EQ(Field<wxTextCtrl>(kIdcPassword).GetValue(), "");
    EXPECT_TRUE(Field<wxCheckBox>(kIdcSavePassword).GetValue());
    EXPECT_FALSE(Field<wxCheckBox>(kIdcAnonymousBind).GetValue());
    EXPECT_EQ(Field<wxChoice>(kIdcReferrals).GetSelection(), 0);
    EXPECT_EQ(Field<wxChoice>(kIdcDeref).GetSelection(), 2);
    EXPECT_EQ(Field<wxTextCtrl>(kIdcTimeLimit).GetValue(), "30");
    EXPECT_EQ(Field<wxTextCtrl>(kIdcSizeLimit).GetValue(), "1000");
    EXPECT_EQ(Field<wxTextCtrl>(kIdcFilter).GetValue(), "(objectClass=*)");
    EXPECT_FALSE(Field<wxCheckBox>(kIdcUseSSL).GetValue());
    // No schema of the Netscape kind: no password history.
    EXPECT_FALSE(Field<wxCheckBox>(kIdcPasswordHistory).IsShown());
    EXPECT_TRUE(Field<wxButton>(kIdcAdvanced).IsEnabled());

    ASSERT_TRUE(m_sheet->SelectPage(kServerPage));
    uitest::RunFor(100);
    uitest::Screenshot(*m_sheet, "server-properties-page");
    ASSERT_TRUE(m_sheet->SelectPage(kSettingsPage));
    uitest::RunFor(100);
    uitest::Screenshot(*m_sheet, "server-ldap-settings-page");
}

TEST_F(ServerPropertyPagesTest, OkStoresEveryPageCancelStoresNothing)
{
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        m_sheet->CallAfter([this, ok] {
            for (int page : {kSettingsPage, kCredentialsPage, kServerPage})
                ASSERT_TRUE(m_sheet->SelectPage(page));
            Field<wxTextCtrl>(kIdcProfileName).SetValue("Renamed");
            Field<wxTextCtrl>(kIdcHost).SetValue("other.example");
            Field<wxTextCtrl>(kIdcPort).SetValue("10389");
            Field<wxTextCtrl>(kIdcBaseDN).SetValue("ou=people,o=lab");
            Field<wxChoice>(kIdcVersion).SetSelection(0);
            Field<wxTextCtrl>(kIdcUserDN).SetValue("cn=reader,o=lab");
            Field<wxTextCtrl>(kIdcPassword).SetValue("new");
            Field<wxTextCtrl>(kIdcPasswordAgain).SetValue("new");
            Field<wxChoice>(kIdcReferrals).SetSelection(1);
            Field<wxChoice>(kIdcDeref).SetSelection(3);
            Field<wxTextCtrl>(kIdcTimeLimit).SetValue("seven");
            Field<wxTextCtrl>(kIdcSizeLimit).SetValue("50");
            Field<wxTextCtrl>(kIdcFilter).SetValue("(cn=*)");
            Click(ok ? wxID_OK : wxID_CANCEL);
        });
        EXPECT_EQ(m_sheet->ShowModal(), ok ? wxID_OK : wxID_CANCEL);
        CServerProfile stored = Stored();
        if (!ok) {
            EXPECT_EQ(stored.GetProfileName(), L"Lab");
            EXPECT_EQ(stored.GetHostName(), L"ldap.example");
            EXPECT_EQ(stored.GetUserDN().GetText(), "cn=admin,o=lab");
            EXPECT_EQ(stored.GetOptions().GetTimeLimit(), 30);
            EXPECT_EQ(stored.GetFilter(), "(objectClass=*)");
            continue;
        }
        EXPECT_EQ(stored.GetProfileName(), L"Renamed");
        EXPECT_EQ(stored.GetHostName(), L"other.example");
        EXPECT_EQ(stored.GetPort(), 10389);
        EXPECT_EQ(stored.GetBaseDN().GetText(), "ou=people,o=lab");
        EXPECT_EQ(stored.GetVersion(), 2);
        EXPECT_EQ(stored.GetUserDN().GetText(), "cn=reader,o=lab");
        EXPECT_EQ(stored.GetPassword(), "new");
        EXPECT_FALSE(stored.GetOptions().GetChaseReferrals());
        EXPECT_EQ(stored.GetOptions().GetDeref(), 3);
        EXPECT_EQ(stored.GetOptions().GetTimeLimit(), 0);  // not a number
        EXPECT_EQ(stored.GetOptions().GetSizeLimit(), 50);
        EXPECT_EQ(stored.GetFilter(), "(cn=*)");
        EXPECT_EQ(m_server->GetValueText(), L"other.example:10389");
    }
}

TEST_F(ServerPropertyPagesTest, CancelAfterARefusedApplyLeavesTheProfileAsItWas)
{
    // The node in a tree, as in the program: the server page renames its item.
    auto tree = std::make_shared<platform::HeadlessTree>();
    tree->SetTextProvider(&GetTreeItemText);
    auto previousTree = platform::SetTreeControl(tree);
    m_server->InsertIntoViews(platform::kTreeRoot, kInsertTreeItem);
    ASSERT_TRUE(m_server->GetTreeItem());
    const std::wstring itemText = tree->GetItemText(m_server->GetTreeItem());

    struct Case {
        const char* what;
        const char* host;
        const char* password;
        const char* passwordAgain;
        std::wstring message;
    };
    const Case cases[] = {
        {"empty host", "", "", "", L"Please specify a host!"},
        {"different passwords", "other.example", "one", "two", LoadResourceText(kStrPasswordsDiffer)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_shell.MessageBox().asked.clear();
        MakeSheet();
        bool refused = false;
        m_sheet->CallAfter([&] {
            for (int page : {kSettingsPage, kCredentialsPage, kServerPage})
                ASSERT_TRUE(m_sheet->SelectPage(page));
            Field<wxTextCtrl>(kIdcProfileName).SetValue("Renamed");
            Field<wxTextCtrl>(kIdcHost).SetValue(c.host);
            Field<wxTextCtrl>(kIdcUserDN).SetValue("cn=reader,o=lab");
            Field<wxTextCtrl>(kIdcPassword).SetValue(c.password);
            Field<wxTextCtrl>(kIdcPasswordAgain).SetValue(c.passwordAgain);
            Field<wxTextCtrl>(kIdcFilter).SetValue("(cn=*)");
            Click(wxID_APPLY);
            refused = m_sheet->IsModal();
            Click(wxID_CANCEL);
        });
        EXPECT_EQ(m_sheet->ShowModal(), wxID_CANCEL);
        EXPECT_TRUE(refused);
        ASSERT_EQ(m_shell.MessageBox().asked.size(), 1u);
        EXPECT_EQ(m_shell.MessageBox().asked[0].text, c.message);

        EXPECT_EQ(m_server->GetProfileName(), L"Lab");
        EXPECT_EQ(tree->GetItemText(m_server->GetTreeItem()), itemText);
        EXPECT_EQ(m_server->GetHostName(), L"ldap.example");
        EXPECT_EQ(m_server->GetUserDN().GetText(), "cn=admin,o=lab");
        EXPECT_EQ(m_server->GetPassword(), "secret");
        EXPECT_EQ(m_server->GetFilter(), "(objectClass=*)");
        CServerProfile stored = Stored();
        EXPECT_EQ(stored.GetProfileName(), L"Lab");
        EXPECT_EQ(stored.GetUserDN().GetText(), "cn=admin,o=lab");
        EXPECT_EQ(stored.GetFilter(), "(objectClass=*)");
    }
    m_sheet.reset();
    // The node is the fixture's.
    tree->DeleteItem(m_server->GetTreeItem());
    m_server->SetTreeItem(platform::TreeItem());
    platform::SetTreeControl(previousTree);
}

TEST_F(ServerPropertyPagesTest, TheSecureBoxMovesThePortAndNeedsVersion3)
{
    VisitAll();
    ASSERT_TRUE(m_sheet->SelectPage(kSettingsPage));
    auto& ssl = Field<wxCheckBox>(kIdcUseSSL);
    EXPECT_TRUE(ssl.IsEnabled());
    ssl.SetValue(true);
    ASSERT_TRUE(m_sheet->ApplyPages());
    EXPECT_EQ(m_server->GetPort(), 636);
    EXPECT_TRUE(Stored().GetOptions().GetUseSSL());
    EXPECT_EQ(Stored().GetPort(), 636);
    ASSERT_TRUE(m_sheet->SelectPage(kServerPage));
    EXPECT_EQ(Field<wxTextCtrl>(kIdcPort).GetValue(), "636");

    // Back to plain: back to 389.
    ASSERT_TRUE(m_sheet->SelectPage(kSettingsPage));
    ssl.SetValue(false);
    ASSERT_TRUE(m_sheet->ApplyPages());
    EXPECT_EQ(Stored().GetPort(), 389);

    // Version 2 knows no secure connection.
    m_server->GetOptions().SetUseSSL(true);
    ASSERT_TRUE(m_sheet->SelectPage(kServerPage));
    Field<wxChoice>(kIdcVersion).SetSelection(0);
    ASSERT_TRUE(m_sheet->ApplyPages());
    ASSERT_TRUE(m_sheet->SelectPage(kSettingsPage));
    EXPECT_FALSE(ssl.IsEnabled());
    EXPECT_FALSE(ssl.GetValue());
}

TEST_F(ServerPropertyPagesTest, CredentialsKeepTypedTextsAndRefuseDifferentPasswords)
{
    VisitAll();
    ASSERT_TRUE(m_sheet->SelectPage(kCredentialsPage));
    auto& user = Field<wxTextCtrl>(kIdcUserDN);
    auto& password = Field<wxTextCtrl>(kIdcPassword);
    auto& again = Field<wxTextCtrl>(kIdcPasswordAgain);
    auto& save = Field<wxCheckBox>(kIdcSavePassword);
    auto& anonymous = Field<wxCheckBox>(kIdcAnonymousBind);
    auto* page = dynamic_cast<ServerCredentailsPropertiesDlg*>(m_sheet->GetPageWindow(kCredentialsPage));
    ASSERT_TRUE(page);

    user.SetValue("cn=typed,o=lab");
    password.SetValue("pw1");
    again.SetValue("pw1");
    anonymous.SetValue(true);
    page->OnAnonymousSwitched();
    EXPECT_EQ(user.GetValue(), "");
    EXPECT_FALSE(user.IsEnabled());
    EXPECT_FALSE(save.GetValue());
    anonymous.SetValue(false);
    page->OnAnonymousSwitched();
    EXPECT_EQ(user.GetValue(), "cn=typed,o=lab");
    EXPECT_EQ(password.GetValue(), "pw1");
    EXPECT_EQ(again.GetValue(), "pw1");
    EXPECT_TRUE(save.GetValue());
    EXPECT_TRUE(user.IsEnabled());

    // Different passwords: refused with the message, the password kept.
    again.SetValue("pw2");
    EXPECT_FALSE(m_sheet->ApplyPages());
    ASSERT_EQ(m_shell.MessageBox().asked.size(), 1u);
    EXPECT_EQ(m_shell.MessageBox().asked[0].text, LoadResourceText(kStrPasswordsDiffer));
    EXPECT_EQ(m_server->GetPassword(), "secret");
    EXPECT_EQ(Stored().GetPassword(), "secret");

    // An empty password keeps the stored one.
    password.SetValue("");
    again.SetValue("");
    ASSERT_TRUE(m_sheet->ApplyPages());
    EXPECT_EQ(Stored().GetPassword(), "secret");
    EXPECT_EQ(Stored().GetUserDN().GetText(), "cn=typed,o=lab");
}

TEST_F(ServerPropertyPagesTest, AnEmptyHostOrABadPortKeepsTheSheetOpen)
{
    VisitAll();
    ASSERT_TRUE(m_sheet->SelectPage(kServerPage));
    Field<wxTextCtrl>(kIdcHost).SetValue("");
    EXPECT_FALSE(m_sheet->ApplyPages());
    ASSERT_EQ(m_shell.MessageBox().asked.size(), 1u);
    EXPECT_EQ(m_shell.MessageBox().asked[0].text, L"Please specify a host!");
    EXPECT_EQ(Stored().GetHostName(), L"ldap.example");

    Field<wxTextCtrl>(kIdcHost).SetValue("ldap.example");
    Field<wxTextCtrl>(kIdcPort).SetValue("70000");
    // Leaving the page is refused (what the sheet asks before a tab change).
    auto* page = dynamic_cast<CServerPropertiesDlg*>(m_sheet->GetPageWindow(kServerPage));
    ASSERT_TRUE(page);
    EXPECT_FALSE(page->OnKillActive());
    EXPECT_FALSE(m_sheet->ApplyPages());
    EXPECT_EQ(m_shell.MessageBox().asked.size(), 3u);
    EXPECT_EQ(Stored().GetPort(), 389);
}

} // namespace

namespace {

TEST_F(ServerPropertyPagesTest, TheAdvancedButtonOpensTheAdvancedSheetOnTheServer)
{
    VisitAll();
    ASSERT_TRUE(m_sheet->SelectPage(kSettingsPage));
    wxString caption;
    m_sheet->CallAfter([&] {
        for (wxWindow* window : wxTopLevelWindows) {
            auto* dialog = dynamic_cast<wxDialog*>(window);
            if (!dialog || !dialog->IsModal() || dialog == m_sheet.get())
                continue;
            caption = dialog->GetTitle();
            wxCommandEvent click(wxEVT_BUTTON, wxID_CANCEL);
            click.SetEventObject(dialog->FindWindow(wxID_CANCEL));
            dialog->GetEventHandler()->ProcessEvent(click);
        }
    });
    Click(kIdcAdvanced);
    EXPECT_EQ(caption, wxString(LoadResourceText(kStrAdvancedCaption)));
}

} // namespace
