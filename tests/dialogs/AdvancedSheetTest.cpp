#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include "dialogs/CAdvancedPropertySheet.h"
#include "dialogs/CControlEditorDlg.h"
#include "dialogs/CControlsPropertyPage.h"
#include "dialogs/CDisplayedAttributesPage.h"
#include "dialogs/CSchemaPropDlg.h"
#include "dialogs/CServerMonitorPropertiesPage.h"
#include "ldap/LDAPException.h"
#include "ldap/LDAPSyncConnection.h"
#include "model/entries/CServerObject.h"
#include "model/profiles/CServerProfile.h"
#include "model/ports/ResourceText.h"
#include "platform/RegistryKey.h"
#include "platform/ResourceLibrary.h"
#include "tests/support/HeadlessShell.h"
#include "tests/support/LiveSupport.h"
#include "tests/support/ManualDispatcher.h"
#include "tests/support/SlapdServer.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/UiTestSupport.h"
#include "widgets/CHexEdit.h"
#include "widgets/UiResources.h"

using arbldap::LDAPControl;
using arbldap::LDAPControlList;

namespace {

// What the sheet's modal run does first: lay out and bring up the first page.
void OpenSheet(CAdvancedPropertySheet& sheet)
{
    sheet.LayoutDialog();
    sheet.GetServerControlsPage()->OnSetActive();
}

const char* const kWhoAmI = "1.3.6.1.4.1.4203.1.11.3";
const char* const kProxiedAuthorization = "2.16.840.1.113730.3.4.18";

class AdvancedSheetTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        ASSERT_TRUE(platform::ResourceLibrary::Current().LoadDefault());
        profile.SetHostName(L"127.0.0.1");
        profile.SetPort(testsupport::SlapdServer::Main().Port());
    }

    // Keys as the toolkit sends them to the hex editor.
    static void Key(CHexEdit* edit, int code, bool ctrl = false)
    {
        wxKeyEvent down(wxEVT_KEY_DOWN);
        down.m_keyCode = code;
        down.m_controlDown = ctrl;
        edit->GetEventHandler()->ProcessEvent(down);
    }
    static void Type(CHexEdit* edit, const std::string& text)
    {
        for (char c : text) {
            wxKeyEvent ch(wxEVT_CHAR);
            ch.m_keyCode = ch.m_uniChar = static_cast<unsigned char>(c);
            edit->GetEventHandler()->ProcessEvent(ch);
        }
    }

    // While the next control editor runs: fill it in as a user would (the
    // OID typed over, the value typed as text in place of the old one, the
    // criticality box) and press OK.
    static void FillNextEditor(const std::string& oid, const std::string& value, bool critical,
                               const char* screenshot = nullptr)
    {
        wxTheApp->CallAfter([=] {
            auto* oidEdit = dynamic_cast<wxTextCtrl*>(wxWindow::FindWindowById(CControlEditorDlg::kIdcOid));
            ASSERT_NE(oidEdit, nullptr);
            auto* editor = dynamic_cast<CControlEditorDlg*>(wxGetTopLevelParent(oidEdit));
            ASSERT_NE(editor, nullptr);
            oidEdit->SetValue(wxString::FromUTF8(oid));
            CHexEdit* hex = editor->GetHexEdit();
            Key(hex, WXK_HOME, true);
            while (!hex->GetData().empty()) Key(hex, WXK_DELETE);
            Key(hex, WXK_TAB);
            Type(hex, value);
            dynamic_cast<wxCheckBox*>(editor->FindWindow(CControlEditorDlg::kIdcCritical))->SetValue(critical);
            if (screenshot) uitest::Screenshot(*editor, screenshot);
            wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
            ok.SetEventObject(editor->FindWindow(wxID_OK));
            editor->GetEventHandler()->ProcessEvent(ok);
        });
    }

    static long RowOf(wxListCtrl* list, const std::string& oid)
    {
        for (long i = 0; i < list->GetItemCount(); ++i)
            if (list->GetItemText(i, 0) == wxString::FromUTF8(oid)) return i;
        return -1;
    }
    static void SelectOnly(wxListCtrl* list, long row)
    {
        for (long i = 0; i < list->GetItemCount(); ++i)
            list->SetItemState(i, i == row ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED);
    }

    // "Who am I?" as the administrator, sent with the profile's options.
    std::string WhoAmI(int* failure = nullptr)
    {
        auto connection = arbldap::LDAPSyncConnection::Create("127.0.0.1", profile.GetPort());
        connection->SetProtocolVersion(3);
        try {
            // Bound first: a proxied authorization has no place on a bind.
            connection->Bind(testsupport::kAdminDN, testsupport::kAdminPassword);
            connection->ApplyOptions(&profile.GetOptions());
            return connection->Extended(kWhoAmI, "");
        } catch (const arbldap::LDAPException& e) {
            if (failure) *failure = e.GetResultCode();
            return "<failed>";
        }
    }

    // A bind as the administrator with the profile's options, as a server
    // node binds: 0 or the failure's code.
    int BindWithProfile()
    {
        auto connection = arbldap::LDAPSyncConnection::Create("127.0.0.1", profile.GetPort());
        connection->SetProtocolVersion(3);
        connection->ApplyOptions(&profile.GetOptions());
        try {
            connection->Bind(testsupport::kAdminDN, testsupport::kAdminPassword, &profile.GetOptions());
            return 0;
        } catch (const arbldap::LDAPException& e) {
            return e.GetResultCode();
        }
    }

    CServerProfile profile;
    std::shared_ptr<platform::ManualDispatcher> dispatcher = std::make_shared<platform::ManualDispatcher>();
    platform::DispatcherScope scope{dispatcher};
    platform::HeadlessShell shell;
};

} // namespace

TEST_F(AdvancedSheetTest, ServerControlsAreFetchedAddedChangedAndRemovedAndSentAsTheyStand)
{
    CAdvancedPropertySheet sheet(ui::ResourceString(490), nullptr, &profile);
    OpenSheet(sheet);
    sheet.Show();
    CControlsPropertyPage* page = sheet.GetServerControlsPage();
    wxListCtrl* list = page->GetList();

    // No server controls yet: the page lists those the server supports, none checked.
    EXPECT_TRUE(page->IsFetching());
    EXPECT_FALSE(list->IsEnabled());
    ASSERT_TRUE(dispatcher->PumpUntil([&] { return !page->IsFetching(); }, 60000));
    EXPECT_TRUE(list->IsEnabled());
    ASSERT_GT(list->GetItemCount(), 3);
    EXPECT_GE(RowOf(list, kProxiedAuthorization), 0);
    for (long i = 0; i < list->GetItemCount(); ++i) EXPECT_FALSE(list->IsItemChecked(i)) << i;
    EXPECT_TRUE(page->IsModified());

    // Add a control the server knows: it replaces the listed one and is sent.
    FillNextEditor(kProxiedAuthorization, "dn:cn=proxied,o=lab", true, "control-editor");
    page->OnAdd();
    const long row = RowOf(list, kProxiedAuthorization);
    ASSERT_GE(row, 0);
    EXPECT_EQ(list->GetItemText(row, 1), "64 6E 3A 63 6E 3D 70 72 ");
    EXPECT_EQ(list->GetItemText(row, 2), wxStripMenuCodes(ui::ResourceString(148)));
    EXPECT_TRUE(list->IsItemChecked(row));
    SelectOnly(list, row);
    uitest::RunFor(100);
    uitest::Screenshot(sheet, "controls-page");
    EXPECT_TRUE(profile.GetOptions().GetServerControls() == nullptr);  // nothing before Apply
    ASSERT_TRUE(sheet.ApplyPages());
    ASSERT_NE(profile.GetOptions().GetServerControls(), nullptr);
    EXPECT_EQ(WhoAmI(), "dn:cn=proxied,o=lab");

    // Change it through the editor.
    FillNextEditor(kProxiedAuthorization, "dn:cn=changed,o=lab", true);
    page->OnEdit();
    ASSERT_TRUE(sheet.ApplyPages());
    EXPECT_EQ(WhoAmI(), "dn:cn=changed,o=lab");

    // Unchecked: kept, not sent.
    list->CheckItem(row, false);
    ASSERT_TRUE(sheet.ApplyPages());
    EXPECT_EQ(WhoAmI(), "dn:cn=admin,o=lab");
    list->CheckItem(row, true);
    ASSERT_TRUE(sheet.ApplyPages());
    EXPECT_EQ(WhoAmI(), "dn:cn=changed,o=lab");

    // Removed: "No" keeps it, "Yes" takes it away.
    const long count = list->GetItemCount();
    SelectOnly(list, row);
    shell.MessageBox().Answer(platform::kIdNo);
    page->OnRemove();
    EXPECT_EQ(list->GetItemCount(), count);
    shell.MessageBox().Answer(platform::kIdYes);
    page->OnRemove();
    EXPECT_EQ(list->GetItemCount(), count - 1);
    EXPECT_EQ(RowOf(list, kProxiedAuthorization), -1);
    ASSERT_EQ(shell.MessageBox().asked.size(), 2u);
    EXPECT_NE(shell.MessageBox().asked[0].text.find(L"1"), std::wstring::npos);
    ASSERT_TRUE(sheet.ApplyPages());
    EXPECT_EQ(WhoAmI(), "dn:cn=admin,o=lab");
    sheet.Hide();
}

TEST_F(AdvancedSheetTest, ClientControlsReachTheLibrary)
{
    // A critical client control is one the library must act on; it knows
    // none, so a bind carrying it fails before it is sent.
    CAdvancedPropertySheet sheet(ui::ResourceString(490), nullptr, &profile);
    LDAPControlList serverControls;
    serverControls.Add(LDAPControl("1.2.840.113556.1.4.805", false, std::string(), false));
    profile.GetOptions().SetServerControls(&serverControls);  // no fetch for this test
    OpenSheet(sheet);
    ASSERT_TRUE(sheet.SelectPage(1));
    CControlsPropertyPage* page = sheet.GetClientControlsPage();
    wxListCtrl* list = page->GetList();
    EXPECT_EQ(list->GetItemCount(), 0);

    FillNextEditor("1.3.6.1.4.1.99999.1", "", true);
    page->OnAdd();
    ASSERT_EQ(list->GetItemCount(), 1);
    ASSERT_TRUE(sheet.ApplyPages());
    EXPECT_EQ(BindWithProfile(), 92);  // "not supported", as the program numbers the library's own codes

    // Changed to not critical: the library may ignore it.
    SelectOnly(list, 0);
    FillNextEditor("1.3.6.1.4.1.99999.1", "", false);
    page->OnEdit();
    EXPECT_EQ(list->GetItemText(0, 2), wxStripMenuCodes(ui::ResourceString(151)));
    ASSERT_TRUE(sheet.ApplyPages());
    EXPECT_EQ(BindWithProfile(), 0);

    // Critical again, then unchecked, then removed.
    FillNextEditor("1.3.6.1.4.1.99999.1", "", true);
    page->OnEdit();
    ASSERT_TRUE(sheet.ApplyPages());
    EXPECT_EQ(BindWithProfile(), 92);
    list->CheckItem(0, false);
    ASSERT_TRUE(sheet.ApplyPages());
    EXPECT_EQ(BindWithProfile(), 0);
    list->CheckItem(0, true);
    ASSERT_TRUE(sheet.ApplyPages());
    EXPECT_EQ(BindWithProfile(), 92);
    SelectOnly(list, 0);
    shell.MessageBox().Answer(platform::kIdYes);
    page->OnRemove();
    ASSERT_TRUE(sheet.ApplyPages());
    ASSERT_NE(profile.GetOptions().GetClientControls(), nullptr);
    EXPECT_TRUE(profile.GetOptions().GetClientControls()->IsEmpty());
    EXPECT_EQ(BindWithProfile(), 0);
}

TEST_F(AdvancedSheetTest, ControlEditorRefusesMalformedOidsAndKeepsValueBytes)
{
    const struct {
        const char* oid;
        unsigned message;  // 0: taken
    } cases[] = {
        {"1.2.840.113556.1.4.319", 0}, {"", 709}, {".", 709}, {"..", 709}, {"1..2", 709},
        {".1.2", 709}, {"1.2.", 709}, {"1.2a", 702}, {"1 2", 702}, {"-1", 702},
    };
    for (const auto& c : cases) {
        shell.MessageBox().asked.clear();
        std::unique_ptr<LDAPControl> slot;
        CControlEditorDlg editor(slot, nullptr);
        dynamic_cast<wxTextCtrl*>(editor.FindWindow(CControlEditorDlg::kIdcOid))->SetValue(c.oid);
        EXPECT_EQ(editor.OnOK(), c.message == 0) << c.oid;
        EXPECT_EQ(slot != nullptr, c.message == 0) << c.oid;
        if (c.message == 0) {
            EXPECT_TRUE(shell.MessageBox().asked.empty());
            continue;
        }
        ASSERT_EQ(shell.MessageBox().asked.size(), 1u) << c.oid;
        EXPECT_EQ(shell.MessageBox().asked[0].text.rfind(LoadResourceText(c.message), 0), 0u) << c.oid;
        EXPECT_EQ(shell.MessageBox().asked[0].style & 0xF0, 0x30u);
    }

    // An existing control: zero bytes and bytes that are not text come back
    // exactly, its enabled flag stays.
    const std::string bytes("\x00\xFF\x30\x00", 4);
    auto slot = std::make_unique<LDAPControl>("1.2.3", true, bytes, false);
    CControlEditorDlg editor(slot, nullptr);
    EXPECT_EQ(editor.GetHexEdit()->GetData(), bytes);
    EXPECT_TRUE(dynamic_cast<wxCheckBox*>(editor.FindWindow(CControlEditorDlg::kIdcCritical))->GetValue());
    ASSERT_TRUE(editor.OnOK());
    EXPECT_EQ(*slot, LDAPControl("1.2.3", true, bytes, false));
}

TEST_F(AdvancedSheetTest, ProfileBeingMadeIsNotStoredByThePagesOfItsSheet)
{
    platform::RegistryKey key(platform::RegRoot::CurrentUser, true);
    {
        CAdvancedPropertySheet sheet(ui::ResourceString(490), nullptr, &profile);
        LDAPControlList serverControls;
        serverControls.Add(LDAPControl("1.2.3", false, std::string(), true));
        profile.GetOptions().SetServerControls(&serverControls);
        OpenSheet(sheet);
        sheet.GetServerControlsPage()->SetModified();
        ASSERT_TRUE(sheet.ApplyPages());
        // The monitor page saves its profile on Apply; a page that saves on
        // its own does no more.
        EXPECT_TRUE(sheet.GetMonitorPage()->OnApply());
        EXPECT_TRUE(profile.SaveProfile());
        EXPECT_FALSE(key.KeyExists(profile.GetKeyPath(true)));
    }
    // The sheet is gone; the wizard was cancelled: nothing is stored. Whoever
    // stores the finished profile can.
    EXPECT_FALSE(profile.IsStorageHeld());
    EXPECT_FALSE(key.KeyExists(profile.GetKeyPath(true)));
    ASSERT_TRUE(profile.SaveProfile());
    EXPECT_TRUE(key.KeyExists(profile.GetKeyPath(true)));
}

TEST_F(AdvancedSheetTest, OnAServerNodeThePagesStoreAsTheyDo)
{
    // A host of its own: the schema page enters it in the process's schema
    // cache, where other tests look for the main server's loaded schema.
    profile.SetPort(testsupport::FreePort());
    ASSERT_TRUE(profile.SaveProfile());
    CServerObject node(profile);
    CAdvancedPropertySheet sheet(ui::ResourceString(493), nullptr, &node);
    EXPECT_FALSE(node.IsStorageHeld());
    ASSERT_EQ(sheet.GetPageCount(), 5);
    EXPECT_EQ(sheet.GetBookCtrl()->GetPageText(4), CSchemaPropDlg::GetPageTitle());
    sheet.GetMonitorPage()->GetMonitorDNEdit()->ChangeValue("cn=elsewhere");
    EXPECT_TRUE(sheet.GetMonitorPage()->OnApply());
    std::wstring stored;
    platform::RegistryKey key(platform::RegRoot::CurrentUser, true);
    ASSERT_TRUE(key.Open(node.GetKeyPath(true)));
    ASSERT_TRUE(key.Read(L"Monitor DN", stored));
    EXPECT_EQ(stored, L"cn=elsewhere");
    dispatcher->PumpUntil([&] { return !sheet.GetServerControlsPage()->IsFetching(); }, 60000);
}
