// The connection-profile wizard driven through its pages: a profile made
// against the test server, the base DNs it reports, anonymous bind skipping
// the user page, ports, cancelling, the recent inputs, and the new profile
// becoming a server node.

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Utf8.h"
#include "dialogcore/ProfileWizardRules.h"
#include "dialogs/CCheckMessageBox.h"
#include "dialogs/CProfileEditorHostDlg.h"
#include "dialogs/CProfileEditorLDAPSettings.h"
#include "dialogs/CProfileEditorNameDlg.h"
#include "dialogs/CProfileEditorUserDlg.h"
#include "dialogs/CProfileEditorWizard.h"
#include "dialogs/WxProfileWizard.h"
#include "jobs/CLDAPThread.h"
#include "model/profiles/CAppConfig.h"
#include "model/entries/CRootObject.h"
#include "model/entries/CServerObject.h"
#include "model/ports/ResourceText.h"
#include "model/nodes/ListViewOperations.h"
#include "model/nodes/TreeViewOperations.h"
#include "platform/CStdRegistry.h"
#include "platform/ResourceLibrary.h"
#include "shellcore/AutoCompletion.h"
#include "shellcore/CRecentItemsList.h"
#include "shellcore/RememberedAnswers.h"
#include "tests/support/HeadlessControls.h"
#include "tests/support/HeadlessShell.h"
#include "tests/support/SilentServer.h"
#include "tests/support/SlapdServer.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/UiTestSupport.h"
#include "widgets/RecentItemsCompletion.h"

namespace {

using testsupport::SlapdServer;

// About hangs only: an unanswered connect ends after the session's network
// time-out, well inside this.
constexpr int kHangLimitMs = 60000;

class ProfileWizardTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        ASSERT_TRUE(platform::ResourceLibrary::Current().LoadDefault());
        m_previousCompletion = SetAutoCompletionFactory(ui::BindAutoCompletion);
        m_previousBox = platform::SetMessageBoxPort(m_box);
    }

    void TearDown() override
    {
        EXPECT_TRUE(Pump([] { return GetRunningThreadCount() == 0; }));
        platform::SetMessageBoxPort(m_previousBox);
        SetAutoCompletionFactory(m_previousCompletion);
        TempHomeTest::TearDown();
    }

    // Runs the toolkit's loop and the dispatcher until done() holds.
    bool Pump(const std::function<bool()>& done, int timeoutMs = kHangLimitMs)
    {
        return uitest::RunUntil(
            [&] {
                m_ui.Dispatcher().Pump();
                return done();
            },
            timeoutMs);
    }

    std::unique_ptr<CProfileEditorWizard> Open()
    {
        auto wizard = std::make_unique<CProfileEditorWizard>(LoadResourceText(119), nullptr);
        wizard->Show();
        uitest::RunFor(50);
        return wizard;
    }

    template <class T>
    static T* Find(wxWindow& page, int id)
    {
        T* control = dynamic_cast<T*>(page.FindWindow(id));
        EXPECT_NE(control, nullptr) << "control " << id;
        return control;
    }

    // What the user does: typing fires the change events, clicks are sent.
    static void Type(wxWindow& page, int id, const std::wstring& text)
    {
        if (auto* edit = dynamic_cast<wxTextCtrl*>(page.FindWindow(id)))
            edit->SetValue(wxString(text));
        else if (auto* combo = dynamic_cast<wxComboBox*>(page.FindWindow(id)))
            combo->SetValue(wxString(text));
        else
            ADD_FAILURE() << "no text field " << id;
    }
    static void Tick(wxWindow& page, int id, bool on)
    {
        auto* box = Find<wxCheckBox>(page, id);
        if (!box)
            return;
        box->SetValue(on);
        wxCommandEvent event(wxEVT_CHECKBOX, id);
        event.SetEventObject(box);
        event.SetInt(on ? 1 : 0);
        box->GetEventHandler()->ProcessEvent(event);
    }
    static void Click(wxWindow& window, int id)
    {
        auto* button = dynamic_cast<wxButton*>(window.FindWindow(id));
        ASSERT_NE(button, nullptr) << "button " << id;
        wxCommandEvent event(wxEVT_BUTTON, id);
        event.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(event);
    }
    static void Pick(wxComboBox& combo, const wxString& text)
    {
        int index = combo.FindString(text, true);
        ASSERT_NE(index, wxNOT_FOUND) << text;
        combo.SetSelection(index);
        wxCommandEvent event(wxEVT_COMBOBOX, combo.GetId());
        event.SetEventObject(&combo);
        event.SetInt(index);
        combo.GetEventHandler()->ProcessEvent(event);
    }
    static std::vector<std::wstring> Items(const wxComboBox& combo)
    {
        std::vector<std::wstring> items;
        for (unsigned i = 0; i < combo.GetCount(); ++i)
            items.push_back(combo.GetString(i).ToStdWstring());
        return items;
    }
    static std::vector<std::wstring> Recent(const CRecentItemsList& list)
    {
        std::vector<std::wstring> texts;
        list.GetRecentStrings(texts, -1);
        return texts;
    }
    static bool Contains(const std::vector<std::wstring>& texts, const std::wstring& text)
    {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }

    // Name and host filled in, standing on the host page.
    void ToHostPage(CProfileEditorWizard& wizard, const std::wstring& host, int port, const std::wstring& baseDN)
    {
        Type(*wizard.GetNamePage(), CProfileEditorNameDlg::kIdcName, L"Lab");
        Click(wizard, CProfileEditorWizard::kIdNext);
        ASSERT_EQ(wizard.GetActiveIndex(), CProfileEditorWizard::kHostPage);
        CProfileEditorHostDlg& page = *wizard.GetHostPage();
        Type(page, CProfileEditorHostDlg::kIdcHost, host);
        Type(page, CProfileEditorHostDlg::kIdcPort, std::to_wstring(port));
        Type(page, CProfileEditorHostDlg::kIdcBaseDN, baseDN);
    }

    platform::HeadlessUi m_ui;
    std::shared_ptr<platform::ScriptedMessageBox> m_box = std::make_shared<platform::ScriptedMessageBox>();
    std::shared_ptr<platform::MessageBoxPort> m_previousBox;
    AutoCompletionFactory m_previousCompletion;
};

TEST_F(ProfileWizardTest, MakesAProfileThroughEveryPageWithABaseDNTheServerReports)
{
    std::unique_ptr<CProfileEditorWizard> wizard = Open();
    CServerProfile& profile = wizard->GetProfile();

    // Name page: blanks offer nothing; the team directory only Finish.
    CProfileEditorNameDlg& name = *wizard->GetNamePage();
    EXPECT_EQ(Find<wxTextCtrl>(name, CProfileEditorNameDlg::kIdcName)->GetValue(), profile.GetProfileName());
    Type(name, CProfileEditorNameDlg::kIdcName, L"   ");
    EXPECT_EQ(wizard->GetWizardButtons(), kWizDisabledFinish);
    Type(name, CProfileEditorNameDlg::kIdcName, L" Tessaline Team ");
    EXPECT_EQ(wizard->GetWizardButtons(), kWizFinish);
    EXPECT_EQ(name.GetShownBitmap(), CProfileEditorNameDlg::kBitmapTeam);
    Type(name, CProfileEditorNameDlg::kIdcName, L"  Lab server ");
    EXPECT_EQ(wizard->GetWizardButtons(), kWizNext | kWizDisabledFinish);
    EXPECT_EQ(name.GetShownBitmap(), CProfileEditorNameDlg::kBitmapProfile);
    EXPECT_EQ(profile.GetProfileName(), L"Lab server");
    uitest::Screenshot(*wizard, "profile-wizard-name");
    Click(*wizard, CProfileEditorWizard::kIdBack);  // nothing before the first page
    EXPECT_EQ(wizard->GetActiveIndex(), CProfileEditorWizard::kNamePage);
    Click(*wizard, CProfileEditorWizard::kIdNext);

    // Host page: the base DNs come from the server's naming contexts.
    ASSERT_EQ(wizard->GetActiveIndex(), CProfileEditorWizard::kHostPage);
    CProfileEditorHostDlg& host = *wizard->GetHostPage();
    EXPECT_EQ(Find<wxTextCtrl>(host, CProfileEditorHostDlg::kIdcHost)->GetValue(), "localhost");
    EXPECT_EQ(Find<wxTextCtrl>(host, CProfileEditorHostDlg::kIdcPort)->GetValue(), "389");
    Type(host, CProfileEditorHostDlg::kIdcHost, L"");
    EXPECT_EQ(wizard->GetWizardButtons(), kWizBack | kWizDisabledFinish);
    EXPECT_FALSE(Find<wxButton>(host, CProfileEditorHostDlg::kIdcFetch)->IsEnabled());
    Type(host, CProfileEditorHostDlg::kIdcHost, L"127.0.0.1");
    Type(host, CProfileEditorHostDlg::kIdcPort, std::to_wstring(SlapdServer::Main().Port()));
    EXPECT_EQ(wizard->GetWizardButtons(), kWizBack | kWizNext | kWizFinish);
    Click(host, CProfileEditorHostDlg::kIdcFetch);
    EXPECT_TRUE(host.IsFetching());
    EXPECT_FALSE(Find<wxButton>(host, CProfileEditorHostDlg::kIdcFetch)->IsEnabled());
    ASSERT_TRUE(Pump([&] { return !host.IsFetching(); }));
    wxComboBox& baseDN = *Find<wxComboBox>(host, CProfileEditorHostDlg::kIdcBaseDN);
    EXPECT_EQ(Items(baseDN), (std::vector<std::wstring>{L"o=lab", L"o=other"}));
    EXPECT_TRUE(m_box->asked.empty());
    EXPECT_TRUE(Find<wxButton>(host, CProfileEditorHostDlg::kIdcFetch)->IsEnabled());
    // The server's controls came along, all off.
    ASSERT_NE(profile.GetOptions().GetServerControls(), nullptr);
    EXPECT_FALSE(profile.GetOptions().GetServerControls()->IsEmpty());
    for (const arbldap::LDAPControl& control : *profile.GetOptions().GetServerControls())
        EXPECT_FALSE(control.IsEnabled());
    uitest::RunFor(100);  // the list drops down
    baseDN.Dismiss();
    Pick(baseDN, "o=lab");
    EXPECT_EQ(profile.GetBaseDN().GetText(), "o=lab");
    EXPECT_EQ(profile.GetHostName(), L"127.0.0.1");
    EXPECT_EQ(profile.GetPort(), SlapdServer::Main().Port());
    uitest::Screenshot(*wizard, "profile-wizard-host");
    Click(*wizard, CProfileEditorWizard::kIdNext);

    // User page.
    ASSERT_EQ(wizard->GetActiveIndex(), CProfileEditorWizard::kUserPage);
    CProfileEditorUserDlg& user = *wizard->GetUserPage();
    EXPECT_EQ(wizard->GetWizardButtons(), kWizBack | kWizNext | kWizFinish);
    Type(user, CProfileEditorUserDlg::kIdcUserDN, Utf8ToWideString(testsupport::kAdminDN));
    Type(user, CProfileEditorUserDlg::kIdcPassword, L"s\u00e9cret");
    Tick(user, CProfileEditorUserDlg::kIdcSavePassword, true);
    uitest::Screenshot(*wizard, "profile-wizard-user");
    Click(*wizard, CProfileEditorWizard::kIdNext);
    EXPECT_EQ(profile.GetUserDN().GetText(), testsupport::kAdminDN);
    EXPECT_EQ(profile.GetPassword(), "s\xc3\xa9" "cret");
    EXPECT_EQ(profile.GetSavePassword(), 1);

    // LDAP settings page.
    ASSERT_EQ(wizard->GetActiveIndex(), CProfileEditorWizard::kSettingsPage);
    CProfileEditorLDAPSettings& settings = *wizard->GetSettingsPage();
    EXPECT_EQ(wizard->GetWizardButtons(), kWizBack | kWizFinish);
    EXPECT_EQ(Find<wxTextCtrl>(settings, CProfileEditorLDAPSettings::kIdcFilter)->GetValue(), "(objectClass=*)");
    EXPECT_EQ(Find<wxTextCtrl>(settings, CProfileEditorLDAPSettings::kIdcSizeLimit)->GetValue(), "1000");
    EXPECT_EQ(Find<wxTextCtrl>(settings, CProfileEditorLDAPSettings::kIdcTimeLimit)->GetValue(), "30");
    EXPECT_TRUE(Find<wxCheckBox>(settings, CProfileEditorLDAPSettings::kIdcChaseReferrals)->GetValue());
    EXPECT_TRUE(settings.GetConnectNow());
    EXPECT_TRUE(Find<wxCheckBox>(settings, CProfileEditorLDAPSettings::kIdcUseSSL)->IsEnabled());
    EXPECT_TRUE(Find<wxButton>(settings, CProfileEditorLDAPSettings::kIdcAdvanced)->IsEnabled());
    Type(settings, CProfileEditorLDAPSettings::kIdcFilter, L"(objectClass=person)");
    Type(settings, CProfileEditorLDAPSettings::kIdcSizeLimit, L"250");
    Type(settings, CProfileEditorLDAPSettings::kIdcTimeLimit, L"15");
    Find<wxRadioButton>(settings, CProfileEditorLDAPSettings::kIdcDerefNever + 2)->SetValue(true);
    Tick(settings, CProfileEditorLDAPSettings::kIdcPasswordHistory, true);
    Tick(settings, CProfileEditorLDAPSettings::kIdcConnectNow, false);
    uitest::Screenshot(*wizard, "profile-wizard-settings");
    Click(*wizard, CProfileEditorWizard::kIdFinish);

    EXPECT_FALSE(wizard->IsShown());
    EXPECT_EQ(wizard->GetReturnCode(), wxID_OK);
    EXPECT_FALSE(wizard->GetConnectNow());
    EXPECT_EQ(profile.GetFilter(), "(objectClass=person)");
    EXPECT_EQ(profile.GetOptions().GetSizeLimit(), 250);
    EXPECT_EQ(profile.GetOptions().GetTimeLimit(), 15);
    EXPECT_EQ(profile.GetOptions().GetDeref(), 2);
    EXPECT_TRUE(profile.GetOptions().GetChaseReferrals());
    EXPECT_FALSE(profile.GetOptions().GetUseSSL());
    EXPECT_EQ(profile.IsPasswordHistoryEnabled(), 1);
    EXPECT_EQ(profile.GetVersion(), 3);
    EXPECT_EQ(profile.GetAnonymousBind(), 0);
    EXPECT_TRUE(m_box->asked.empty());
}

TEST_F(ProfileWizardTest, AnUnreachableServerIsReportedWithoutFreezingThePage)
{
    struct Case {
        const char* name;
        testsupport::SilentServer::Mode mode;
        bool refused;  // nobody listens: refused at once
    };
    const Case cases[] = {
        {"unanswered connect", testsupport::SilentServer::Mode::NeverConnect, false},
        {"refused connect", testsupport::SilentServer::Mode::Hang, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_box->asked.clear();
        testsupport::SilentServer silent(c.mode);
        int port = c.refused ? testsupport::FreePort() : silent.Port();
        std::unique_ptr<CProfileEditorWizard> wizard = Open();
        ToHostPage(*wizard, L"127.0.0.1", port, L"");
        CProfileEditorHostDlg& host = *wizard->GetHostPage();
        Click(host, CProfileEditorHostDlg::kIdcFetch);
        EXPECT_TRUE(host.IsFetching());
        if (!c.refused) {
            // The worker waits on its connect; the page goes on working.
            bool ran = false;
            wxTheApp->CallAfter([&] { ran = true; });
            EXPECT_TRUE(uitest::RunUntil([&] { return ran; }, 5000));
            EXPECT_TRUE(host.IsFetching());
            Type(host, CProfileEditorHostDlg::kIdcBaseDN, L"o=typed meanwhile");
            EXPECT_EQ(wizard->GetProfile().GetBaseDN().GetText(), "o=typed meanwhile");
            uitest::Screenshot(*wizard, "profile-wizard-host-fetching");
        }
        ASSERT_TRUE(Pump([&] { return !host.IsFetching(); }));
        ASSERT_EQ(m_box->asked.size(), 1u);
        const std::wstring& text = m_box->asked[0].text;
        EXPECT_NE(text.find(L"[ERROR "), std::wstring::npos) << WideToUtf8Text(text);
        EXPECT_EQ(text.find(L"%"), std::wstring::npos) << WideToUtf8Text(text);
        EXPECT_TRUE(Find<wxComboBox>(host, CProfileEditorHostDlg::kIdcBaseDN)->IsListEmpty());
        EXPECT_TRUE(Find<wxButton>(host, CProfileEditorHostDlg::kIdcFetch)->IsEnabled());
    }
}

TEST_F(ProfileWizardTest, AnonymousBindSkipsTheUserPageBothWays)
{
    std::unique_ptr<CProfileEditorWizard> wizard = Open();
    ToHostPage(*wizard, L"ldap.example.org", 389, L"o=lab");
    CProfileEditorHostDlg& host = *wizard->GetHostPage();

    Tick(host, CProfileEditorHostDlg::kIdcAnonymous, true);
    EXPECT_EQ(wizard->GetProfile().GetAnonymousBind(), 1);
    Click(*wizard, CProfileEditorWizard::kIdNext);
    EXPECT_EQ(wizard->GetActiveIndex(), CProfileEditorWizard::kSettingsPage);
    Click(*wizard, CProfileEditorWizard::kIdBack);
    EXPECT_EQ(wizard->GetActiveIndex(), CProfileEditorWizard::kHostPage);

    Tick(host, CProfileEditorHostDlg::kIdcAnonymous, false);
    Click(*wizard, CProfileEditorWizard::kIdNext);
    EXPECT_EQ(wizard->GetActiveIndex(), CProfileEditorWizard::kUserPage);
    Click(*wizard, CProfileEditorWizard::kIdNext);
    EXPECT_EQ(wizard->GetActiveIndex(), CProfileEditorWizard::kSettingsPage);
    Click(*wizard, CProfileEditorWizard::kIdBack);
    EXPECT_EQ(wizard->GetActiveIndex(), CProfileEditorWizard::kUserPage);
    Click(*wizard, CProfileEditorWizard::kIdBack);
    EXPECT_EQ(wizard->GetActiveIndex(), CProfileEditorWizard::kHostPage);
}

TEST_F(ProfileWizardTest, ReturnInACompletedFieldStaysWithTheField)
{
    std::unique_ptr<CProfileEditorWizard> wizard = Open();
    ToHostPage(*wizard, L"ldap.example.org", 389, L"o=lab");
    CProfileEditorHostDlg& host = *wizard->GetHostPage();
    struct Case {
        int field;
        int page;  // after Return
    };
    const Case cases[] = {
        {CProfileEditorHostDlg::kIdcHost, CProfileEditorWizard::kHostPage},
        {CProfileEditorHostDlg::kIdcBaseDN, CProfileEditorWizard::kHostPage},
        // Elsewhere Return is the wizard's default button.
        {CProfileEditorHostDlg::kIdcPort, CProfileEditorWizard::kUserPage},
    };
    wizard->Raise();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        host.FindWindow(c.field)->SetFocus();
        uitest::RunFor(100);
        wxUIActionSimulator().Char(WXK_RETURN);
        uitest::RunUntil([&] { return wizard->GetActiveIndex() == c.page; }, 1000);
        EXPECT_EQ(wizard->GetActiveIndex(), c.page);
    }
}

TEST_F(ProfileWizardTest, AnEmptyBaseDNIsQuestionedOncePerWizard)
{
    // Answers the box with the remembered-answer check box when one comes up.
    auto answer = [](int button, bool& shown) {
        shown = false;
        wxTheApp->CallAfter([button, &shown] {
            for (wxWindow* window : wxTopLevelWindows) {
                auto* box = dynamic_cast<CCheckMessageBox*>(window);
                if (!box || !box->IsModal())
                    continue;
                shown = true;
                EXPECT_EQ(dynamic_cast<wxStaticText*>(box->FindWindow(kIdcMessage))->GetLabel(),
                          wxString(LoadResourceText(288)));
                Click(*box, button);
            }
        });
    };
    std::unique_ptr<CProfileEditorWizard> wizard = Open();
    ToHostPage(*wizard, L"ldap.example.org", 389, L"");
    // The page says what happens: an empty base DN is asked about.
    auto* hint = Find<wxStaticText>(*wizard->GetHostPage(), CProfileEditorHostDlg::kIdcHint);
    ASSERT_NE(hint, nullptr);
    EXPECT_NE(hint->GetLabel().Find("asks you first"), wxNOT_FOUND) << hint->GetLabel();
    EXPECT_EQ(hint->GetLabel().Find("Leave the base DN empty"), wxNOT_FOUND) << hint->GetLabel();
    uitest::Screenshot(*wizard, "profile-wizard-host-empty-base-dn");
    bool shown = false;
    answer(kIdcSecond, shown);  // No
    Click(*wizard, CProfileEditorWizard::kIdNext);
    EXPECT_TRUE(shown);
    EXPECT_EQ(wizard->GetActiveIndex(), CProfileEditorWizard::kHostPage);
    answer(kIdcFirst, shown);  // Yes
    Click(*wizard, CProfileEditorWizard::kIdNext);
    EXPECT_TRUE(shown);
    EXPECT_EQ(wizard->GetActiveIndex(), CProfileEditorWizard::kUserPage);
    EXPECT_EQ(wizard->GetProfile().GetBaseDN().GetText(), "");

    Click(*wizard, CProfileEditorWizard::kIdBack);
    answer(kIdcSecond, shown);
    Click(*wizard, CProfileEditorWizard::kIdNext);
    uitest::RunFor(50);
    EXPECT_FALSE(shown);
    EXPECT_EQ(wizard->GetActiveIndex(), CProfileEditorWizard::kUserPage);
    Click(*wizard, CProfileEditorWizard::kIdBack);
    Click(*wizard, CProfileEditorWizard::kIdFinish);
    uitest::RunFor(50);
    EXPECT_FALSE(shown);
    EXPECT_EQ(wizard->GetReturnCode(), wxID_OK);
    EXPECT_EQ(ReadRememberedAnswer(5), -1);
}

TEST_F(ProfileWizardTest, OnlyPortsFrom1To65535AreTakenAndNextStoresOnlyAValidOne)
{
    const std::wstring badPort = LoadResourceText(489);
    ASSERT_FALSE(badPort.empty());
    std::unique_ptr<CProfileEditorWizard> wizard = Open();
    ToHostPage(*wizard, L"ldap.example.org", 1389, L"o=lab");
    CProfileEditorHostDlg& host = *wizard->GetHostPage();
    CServerProfile& profile = wizard->GetProfile();
    ASSERT_EQ(profile.GetPort(), 1389);

    struct Case {
        const wchar_t* text;
        bool reported;
        int stored;
    };
    const Case cases[] = {
        {L"65536", true, 1389},  {L"0", true, 1389},     {L"70000", true, 1389}, {L"x1", true, 1389},
        {L"", false, 1389},      {L"65535", false, 65535}, {L"1", false, 1},     {L"636", false, 636},
    };
    wxWindow* portField = host.FindWindow(CProfileEditorHostDlg::kIdcPort);
    wxWindow* hostField = host.FindWindow(CProfileEditorHostDlg::kIdcHost);
    wizard->Raise();
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8Text(c.text));
        m_box->asked.clear();
        Type(host, CProfileEditorHostDlg::kIdcPort, L"1389");
        portField->SetFocus();
        uitest::RunUntil([&] { return wxWindow::FindFocus() == portField; }, 2000);
        Type(host, CProfileEditorHostDlg::kIdcPort, c.text);
        // Nothing is said while the field is being typed in.
        EXPECT_TRUE(m_box->asked.empty());
        EXPECT_EQ(profile.GetPort(), c.stored);
        // Leaving the field says it, and puts the focus back.
        hostField->SetFocus();
        uitest::RunUntil([&] { return !m_box->asked.empty(); }, c.reported ? 2000 : 200);
        ASSERT_EQ(m_box->asked.size(), c.reported ? 1u : 0u);
        if (c.reported) {
            EXPECT_EQ(m_box->asked[0].text, badPort);
            EXPECT_EQ(wxWindow::FindFocus(), portField);
        }
        EXPECT_EQ(profile.GetPort(), c.stored);

        // Next takes the user on only with a valid port, and stores only that.
        m_box->asked.clear();
        Click(*wizard, CProfileEditorWizard::kIdNext);
        bool valid = c.stored != 1389;
        EXPECT_EQ(wizard->GetActiveIndex(), valid ? CProfileEditorWizard::kUserPage : CProfileEditorWizard::kHostPage);
        EXPECT_EQ(profile.GetPort(), c.stored);
        uitest::RunFor(50);
        EXPECT_EQ(m_box->asked.size(), valid ? 0u : 1u);
        if (valid)
            Click(*wizard, CProfileEditorWizard::kIdBack);
        // Coming back shows the stored port.
        EXPECT_EQ(Find<wxTextCtrl>(host, CProfileEditorHostDlg::kIdcPort)->GetValue(),
                  valid ? wxString::Format("%d", c.stored) : wxString(c.text));
    }

    // Switching SSL trades only the standard ports.
    Type(host, CProfileEditorHostDlg::kIdcPort, L"389");
    Click(*wizard, CProfileEditorWizard::kIdNext);
    Click(*wizard, CProfileEditorWizard::kIdNext);
    ASSERT_EQ(wizard->GetActiveIndex(), CProfileEditorWizard::kSettingsPage);
    CProfileEditorLDAPSettings& settings = *wizard->GetSettingsPage();
    Tick(settings, CProfileEditorLDAPSettings::kIdcUseSSL, true);
    EXPECT_EQ(profile.GetPort(), 636);
    EXPECT_TRUE(profile.GetOptions().GetUseSSL());
    Tick(settings, CProfileEditorLDAPSettings::kIdcUseSSL, false);
    EXPECT_EQ(profile.GetPort(), 389);
    profile.SetPort(10389);
    Tick(settings, CProfileEditorLDAPSettings::kIdcUseSSL, true);
    EXPECT_EQ(profile.GetPort(), 10389);

    // Version 2: no fetch, no SSL.
    Click(*wizard, CProfileEditorWizard::kIdBack);
    Click(*wizard, CProfileEditorWizard::kIdBack);
    auto* version = Find<wxChoice>(host, CProfileEditorHostDlg::kIdcVersion);
    version->SetSelection(0);
    wxCommandEvent choose(wxEVT_CHOICE, version->GetId());
    choose.SetEventObject(version);
    version->GetEventHandler()->ProcessEvent(choose);
    EXPECT_EQ(profile.GetVersion(), 2);
    EXPECT_FALSE(Find<wxButton>(host, CProfileEditorHostDlg::kIdcFetch)->IsEnabled());
    Click(*wizard, CProfileEditorWizard::kIdNext);
    Click(*wizard, CProfileEditorWizard::kIdNext);
    EXPECT_FALSE(Find<wxCheckBox>(settings, CProfileEditorLDAPSettings::kIdcUseSSL)->IsEnabled());
}

// Keys typed into the port field stay there: its rules are told when the
// field is left (not towards Cancel) and at Next, Finish and Fetch.
TEST_F(ProfileWizardTest, ThePortIsCheckedWhenTheFieldIsLeftNotWhileTyping)
{
    const std::wstring badPort = LoadResourceText(489);
    std::unique_ptr<CProfileEditorWizard> wizard = Open();
    ToHostPage(*wizard, L"ldap.example.org", 1389, L"o=lab");
    CProfileEditorHostDlg& host = *wizard->GetHostPage();
    auto* port = Find<wxTextCtrl>(host, CProfileEditorHostDlg::kIdcPort);
    wizard->Raise();
    port->SetFocus();
    port->SelectAll();
    ASSERT_TRUE(uitest::RunUntil([&] { return wxWindow::FindFocus() == port; }, 2000));

    wxUIActionSimulator keys;
    keys.Text("12a4");
    uitest::RunUntil([&] { return port->GetValue() == "12a4"; }, 3000);
    EXPECT_EQ(port->GetValue(), "12a4") << "the keys went elsewhere";
    EXPECT_TRUE(m_box->asked.empty());
    // Meanwhile the last valid port typed is the profile's.
    EXPECT_EQ(wizard->GetProfile().GetPort(), 12);
    uitest::Screenshot(*wizard, "profile-wizard-port-typed");

    // Tab leaves the field: told once, the field keeps the focus, all selected.
    keys.Char(WXK_TAB);
    ASSERT_TRUE(uitest::RunUntil([&] { return !m_box->asked.empty(); }, 3000));
    uitest::RunFor(100);
    ASSERT_EQ(m_box->asked.size(), 1u);
    EXPECT_EQ(m_box->asked[0].text, badPort);
    EXPECT_EQ(wxWindow::FindFocus(), port);
    long from = 0, to = 0;
    port->GetSelection(&from, &to);
    EXPECT_EQ(to - from, 4);

    // Typed again over the selection: a good port, left without a word.
    m_box->asked.clear();
    keys.Text("636");
    uitest::RunUntil([&] { return port->GetValue() == "636"; }, 3000);
    EXPECT_EQ(port->GetValue(), "636");
    keys.Char(WXK_TAB);
    uitest::RunFor(200);
    EXPECT_TRUE(m_box->asked.empty());
    EXPECT_EQ(wizard->GetProfile().GetPort(), 636);

    // Towards Cancel nothing is said.
    port->SetFocus();
    uitest::RunUntil([&] { return wxWindow::FindFocus() == port; }, 2000);
    port->SelectAll();
    keys.Text("0");
    uitest::RunUntil([&] { return port->GetValue() == "0"; }, 3000);
    wizard->FindWindow(wxID_CANCEL)->SetFocus();
    uitest::RunFor(200);
    EXPECT_TRUE(m_box->asked.empty());

    // Fetch with a bad port: told, and no fetch starts.
    Click(host, CProfileEditorHostDlg::kIdcFetch);
    uitest::RunFor(50);
    EXPECT_FALSE(host.IsFetching());
    ASSERT_EQ(m_box->asked.size(), 1u);
    EXPECT_EQ(m_box->asked[0].text, badPort);
    // Finish too.
    Click(*wizard, CProfileEditorWizard::kIdFinish);
    uitest::RunFor(50);
    EXPECT_EQ(m_box->asked.size(), 2u);
    EXPECT_TRUE(wizard->IsShown());
    EXPECT_EQ(wizard->GetProfile().GetPort(), 636);
}

TEST_F(ProfileWizardTest, ACancelledWizardStoresNothing)
{
    CStdRegistry registry(platform::RegRoot::CurrentUser, true);
    std::unique_ptr<CProfileEditorWizard> wizard = Open();
    ToHostPage(*wizard, L"cancelled.example.org", 389, L"o=cancelled");
    Click(*wizard, CProfileEditorWizard::kIdNext);
    Click(*wizard, CProfileEditorWizard::kIdNext);
    ASSERT_EQ(wizard->GetActiveIndex(), CProfileEditorWizard::kSettingsPage);
    const std::wstring key = wizard->GetProfile().GetKeyPath(true);

    // The advanced sheet, confirmed: its pages apply, nothing is stored.
    bool confirmed = false;
    wxTheApp->CallAfter([&] {
        wxDialog* sheet = nullptr;
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* dialog = dynamic_cast<wxDialog*>(window); dialog && dialog != wizard.get() && dialog->IsModal())
                sheet = dialog;
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->GetTitle(), wxString(LoadResourceText(490)));
        Click(*sheet, wxID_OK);
        confirmed = true;
    });
    Click(*wizard->GetSettingsPage(), CProfileEditorLDAPSettings::kIdcAdvanced);
    EXPECT_TRUE(confirmed);
    EXPECT_FALSE(registry.KeyExists(key));
    // As the server monitor page saves when applied.
    EXPECT_TRUE(wizard->GetProfile().SaveProfile());
    EXPECT_FALSE(registry.KeyExists(key));

    Click(*wizard, wxID_CANCEL);
    EXPECT_EQ(wizard->GetReturnCode(), wxID_CANCEL);
    EXPECT_FALSE(wizard->IsShown());
    EXPECT_FALSE(registry.KeyExists(key));
    wizard.reset();

    // Closed while the server has not answered yet: the fetch's messages
    // find nobody and are freed; the worker ends on its own.
    testsupport::SilentServer silent(testsupport::SilentServer::Mode::NeverConnect);
    wizard = Open();
    ToHostPage(*wizard, L"127.0.0.1", silent.Port(), L"o=lab");
    Click(*wizard->GetHostPage(), CProfileEditorHostDlg::kIdcFetch);
    EXPECT_TRUE(wizard->GetHostPage()->IsFetching());
    Click(*wizard, wxID_CANCEL);
    wizard.reset();
    EXPECT_TRUE(Pump([] { return GetRunningThreadCount() == 0; }));
    EXPECT_TRUE(m_box->asked.empty());

    CRecentItemsList hosts(platform::RegRoot::CurrentUser, g_strRecentHostsKey);
    CRecentItemsList dns(platform::RegRoot::CurrentUser, g_strRecentDNsKey);
    EXPECT_EQ(hosts.GetCount(), 0u);
    EXPECT_EQ(dns.GetCount(), 0u);
}

TEST_F(ProfileWizardTest, TypedHostsAndDNsAreOfferedInTheNextWizard)
{
    {
        std::unique_ptr<CProfileEditorWizard> wizard = Open();
        ToHostPage(*wizard, L"  ldap.example.org ", 389, L"o=lab");
        Click(*wizard, CProfileEditorWizard::kIdNext);
        Type(*wizard->GetUserPage(), CProfileEditorUserDlg::kIdcUserDN, L"cn=admin,o=lab");
        Click(*wizard, CProfileEditorWizard::kIdNext);
        Type(*wizard->GetSettingsPage(), CProfileEditorLDAPSettings::kIdcFilter, L"(cn=*)");
        // Finished on the last page: the earlier pages' inputs are kept too.
        Click(*wizard, CProfileEditorWizard::kIdFinish);
        ASSERT_EQ(wizard->GetReturnCode(), wxID_OK);
    }
    std::unique_ptr<CProfileEditorWizard> wizard = Open();
    const CProfileEditorHostDlg& host = *wizard->GetHostPage();
    EXPECT_TRUE(host.GetRecentHosts().IsBound());
    EXPECT_TRUE(host.GetRecentDNs().IsBound());
    EXPECT_EQ(Recent(host.GetRecentHosts()), std::vector<std::wstring>{L"ldap.example.org"});
    std::vector<std::wstring> dns = Recent(host.GetRecentDNs());
    EXPECT_TRUE(Contains(dns, L"o=lab"));
    EXPECT_TRUE(Contains(dns, L"cn=admin,o=lab"));
    CRecentItemsList filters(platform::RegRoot::CurrentUser, g_strRecentFiltersKey);
    EXPECT_EQ(Recent(filters), std::vector<std::wstring>{L"(cn=*)"});
}

TEST_F(ProfileWizardTest, TheNewProfileIsStoredAndBecomesAServerNode)
{
    GetAppConfig().SetDefaults();
    CDataObject::InitCommandImages();
    m_ui.Tree().SetTextProvider(&GetTreeItemText);
    m_ui.List().SetTextProvider(&ListColumnText);
    auto previousWizard = SetProfileWizardPort(std::make_shared<WxProfileWizard>());
    auto* root = new CRootObject;
    root->LoadChildren(0);
    ASSERT_TRUE(root->GetTreeItem());

    // The program runs the wizard modally; the user answers it.
    bool answered = false;
    wxTheApp->CallAfter([&] {
        auto* wizard = dynamic_cast<CProfileEditorWizard*>(wxTheApp->GetTopWindow());
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* w = dynamic_cast<CProfileEditorWizard*>(window))
                wizard = w;
        ASSERT_NE(wizard, nullptr);
        ASSERT_TRUE(wizard->IsModal());
        EXPECT_EQ(wizard->GetTitle(), wxString(LoadResourceText(119)));
        ToHostPage(*wizard, L"ldap.example.org", 1389, L"o=lab");
        Tick(*wizard->GetHostPage(), CProfileEditorHostDlg::kIdcAnonymous, true);
        Click(*wizard, CProfileEditorWizard::kIdNext);
        Tick(*wizard->GetSettingsPage(), CProfileEditorLDAPSettings::kIdcConnectNow, false);
        Click(*wizard, CProfileEditorWizard::kIdFinish);
        answered = true;
    });
    EXPECT_TRUE(root->RouteCommandNew());
    EXPECT_TRUE(answered);

    std::vector<platform::TreeItem> servers = m_ui.Tree().GetChildren(root->GetTreeItem());
    ASSERT_EQ(servers.size(), 1u);
    auto* server = dynamic_cast<CServerObject*>(GetTreeItemObject(servers[0]));
    ASSERT_NE(server, nullptr);
    EXPECT_EQ(server->GetProfileName(), L"Lab");
    EXPECT_EQ(server->GetHostName(), L"ldap.example.org");
    EXPECT_EQ(server->GetPort(), 1389);
    EXPECT_FALSE(server->IsBound());

    // Stored: a profile read back from the settings has what was typed.
    CServerProfile stored;
    ASSERT_TRUE(stored.SetIdFromString(server->GetKeyPath(false)));
    ASSERT_TRUE(stored.LoadProfile());
    EXPECT_EQ(stored.GetProfileName(), L"Lab");
    EXPECT_EQ(stored.GetHostName(), L"ldap.example.org");
    EXPECT_EQ(stored.GetPort(), 1389);
    EXPECT_EQ(stored.GetBaseDN().GetText(), "o=lab");
    EXPECT_EQ(stored.GetAnonymousBind(), 1);

    DeleteChildItems(platform::kTreeRoot);
    SetProfileWizardPort(previousWizard);
}

} // namespace
