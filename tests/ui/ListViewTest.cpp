// The attribute list against the real test server: what it shows of an
// entry, sorting by each column, what it keeps across a restart, editing a
// value in place, deleting a value, and the workers' node messages.

#include <gtest/gtest.h>

#include <wx/radiobut.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>


#include "base/Utf8.h"
#include "ldap/LDAPEntry.h"
#include "ldap/LDAPAttributeList.h"
#include "dialogcore/CertificateRows.h"
#include "dialogcore/CX509Certificate.h"
#include "dialogs/CPasswordManagerDlg.h"
#include "dialogs/WxNodeDialogs.h"
#include "dialogs/CX509InfoProppage.h"
#include "dialogs/CX509CertSheet.h"
#include "jobs/CLDAPThread.h"
#include "model/profiles/CAppConfig.h"
#include "model/entries/CAttrObject.h"
#include "model/entries/CEntryObject.h"
#include "model/entries/CRootObject.h"
#include "model/entries/CServerObject.h"
#include "model/profiles/CServerProfile.h"
#include "model/nodes/ListViewOperations.h"
#include "model/ports/NodeRegistry.h"
#include "model/nodes/TreeViewOperations.h"
#include "platform/Messages.h"
#include "platform/RegistryKey.h"
#include "schema/SchemaLoadThread.h"
#include "schema/SyntaxCatalogue.h"
#include "shellcore/ListViewState.h"
#include "tests/support/HeadlessShell.h"
#include "tests/support/LiveSupport.h"
#include "tests/support/RecordingDesktopLauncher.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestCertificates.h"
#include "tests/support/gui/ModalDialogs.h"
#include "tests/support/gui/UiTestSupport.h"
#include "tests/ui/FrameTestSupport.h"
#include "ui/CArbDocument.h"
#include "ui/CArbListView.h"
#include "ui/CArbMainFrame.h"
#include "shellcore/FrameCommands.h"
#include "ui/CArbTreeView.h"
#include "ui/NodeMenus.h"
#include "ui/WxDispatcher.h"
#include "ui/WxListPort.h"
#include "ui/WxShellPorts.h"
#include "ui/WxTreePort.h"
#include "widgets/CInPlaceEdit.h"
#include "widgets/DialogFontScale.h"
#include "widgets/WxCommandIds.h"

namespace {

using namespace std::chrono_literals;

const char* const kErin = "cn=Erin Values,ou=values,o=lab";

// The main window with its document, tree view and list view.
struct Window {
    CArbMainFrame* frame = nullptr;
    CArbDocument* document = nullptr;
    CArbListView* list = nullptr;
    ui::WxTreePort* treePort = nullptr;
};

class ListViewTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        frametest::Prepare();
        InitSchemaTables();
        InstallSchemaLoadJobStarter();
        GetAppConfig().SetDefaults();
        CDataObject::InitCommandImages();
        m_previousBox = platform::SetMessageBoxPort(m_box);
    }

    void TearDown() override
    {
        CloseWindow();
        EXPECT_TRUE(frametest::PumpUntil([] { return GetRunningThreadCount() == 0; }));
        EXPECT_TRUE(WaitForAllThreads(5s));
        platform::SetMessageBoxPort(m_previousBox);
        GetAppConfig().SetDefaults();
        TempHomeTest::TearDown();
    }

    static CServerProfile Profile(const std::string& baseDN, bool admin)
    {
        CServerProfile profile;
        profile.SetProfileName(L"lab");
        profile.SetHostName(L"127.0.0.1");
        profile.SetPort(live::MainServer().Port());
        profile.SetBaseDN(arbldap::LDAPDN(baseDN));
        profile.SetAnonymousBind(admin ? 0 : 1);
        if (admin) {
            profile.SetUserDN(arbldap::LDAPDN(testsupport::kAdminDN));
            profile.SetSavePassword(1);
            profile.SetPassword(testsupport::kAdminPassword);
        }
        return profile;
    }

    void OpenWindow()
    {
        m_window = std::make_unique<Window>();
        Window& w = *m_window;
        w.frame = CreateMainFrame();
        ASSERT_NE(w.frame, nullptr);
        w.frame->Show();
        w.document = w.frame->GetDocument();
        w.list = w.frame->GetListView();
        ASSERT_NE(w.list, nullptr);
        ASSERT_NE(w.frame->GetTreeView(), nullptr);
        w.treePort = &w.frame->GetTreeView()->GetPort();
        frametest::Pump();
    }

    void CloseWindow()
    {
        if (!m_window)
            return;
        frametest::PumpUntil([] { return GetRunningThreadCount() == 0; });
        if (m_window->frame)
            m_window->frame->Destroy();
        frametest::Pump();
        m_window.reset();
    }

    CArbListView& List() { return *m_window->list; }

    CRootObject* Root()
    {
        platform::TreeItem item = m_window->treePort->GetChildItem(platform::kTreeRoot);
        return dynamic_cast<CRootObject*>(GetTreeItemObject(item));
    }

    bool WaitIdle(CDataObject* node = nullptr)
    {
        bool idle = frametest::PumpUntil([node] {
            return GetRunningThreadCount() == 0 && (!node || !node->IsBusy());
        });
        frametest::Pump();
        return idle;
    }

    // Selects the node in the tree and shows it, as a click in the tree does.
    void Open(CDataObject& node)
    {
        m_window->treePort->SelectItem(node.GetTreeItem());
        node.ShowContents(0);
        EXPECT_TRUE(WaitIdle(&node));
    }

    // The server of the one stored profile, opened, and the entry below it.
    CEntryObject* OpenEntry(const std::string& dn)
    {
        CRootObject* root = Root();
        EXPECT_NE(root, nullptr);
        if (!root)
            return nullptr;
        platform::TreeItem serverItem = m_window->treePort->GetChildItem(root->GetTreeItem());
        auto* server = dynamic_cast<CServerObject*>(GetTreeItemObject(serverItem));
        EXPECT_NE(server, nullptr);
        if (!server)
            return nullptr;
        Open(*server);
        CEntryObject* entry = nullptr;
        // The fetch of the children follows the bind by a posted message.
        frametest::PumpUntil([&] {
            for (platform::TreeItem child = m_window->treePort->GetChildItem(serverItem); child;
                 child = m_window->treePort->GetNextSiblingItem(child)) {
                auto* node = dynamic_cast<CEntryObject*>(GetTreeItemObject(child));
                if (node && node->GetDN() == arbldap::LDAPDN(dn))
                    entry = node;
            }
            return entry != nullptr && !server->IsBusy();
        });
        if (entry) {
            Open(*entry);
            EXPECT_TRUE(frametest::PumpUntil([&] { return RowNamed(L"objectClass") >= 0 && !entry->IsBusy(); }))
                << "the entry's values are listed";
            return entry;
        }
        ADD_FAILURE() << "no entry " << dn;
        return nullptr;
    }

    std::wstring Cell(int row, int column) { return List().GetItemText(row, column).ToStdWstring(); }

    // The first row whose name is name (ignoring case), or -1.
    int RowNamed(const std::wstring& name)
    {
        for (int row = 0; row < List().GetItemCount(); ++row)
            if (FoldListText(Cell(row, 0)) == FoldListText(name))
                return row;
        return -1;
    }

    void ClickColumn(int column)
    {
        wxListEvent click(wxEVT_LIST_COL_CLICK, List().GetId());
        click.SetEventObject(&List());
        click.m_col = column;
        List().GetEventHandler()->ProcessEvent(click);
    }

    void PressKey(wxWindow* window, int code)
    {
        wxKeyEvent key(wxEVT_KEY_DOWN);
        key.m_keyCode = code;
        key.SetEventObject(window);
        window->ProcessWindowEvent(key);
    }

    std::unique_ptr<Window> m_window;
    std::shared_ptr<platform::ScriptedMessageBox> m_box = std::make_shared<platform::ScriptedMessageBox>();
    std::shared_ptr<platform::MessageBoxPort> m_previousBox;
    platform::DispatcherScope m_dispatcher{std::make_shared<ui::WxDispatcher>()};
};

TEST_F(ListViewTest, AFreshStartHasTheDefaultColumnsAndTheServersUnsorted)
{
    ASSERT_TRUE(Profile("ou=values,o=lab", false).SaveProfile());
    OpenWindow();
    ASSERT_EQ(List().GetColumnCount(), 4);
    const wchar_t* titles[] = {L"Name", L"Value", L"Type", L"Size"};
    const int widths[] = {75, 310, 50, 60};
    for (int column = 0; column < 4; ++column) {
        wxListItem item;
        item.SetMask(wxLIST_MASK_TEXT);
        ASSERT_TRUE(List().GetColumn(column, item));
        EXPECT_EQ(item.GetText().ToStdWstring(), titles[column]);
        // As wide in the desktop's font as in the dialog font they were
        // drawn for; wider where the column's usual texts need it.
        EXPECT_GE(List().GetColumnWidth(column), ScaleFromDialogFont(widths[column]));
    }
    EXPECT_EQ(List().GetColumnWidth(1), ScaleFromDialogFont(310));
    EXPECT_TRUE(List().IsReportStyle());
    EXPECT_EQ(List().GetSortIndicator(), -1);
    // The root made at the start shows its one server.
    CRootObject* root = Root();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(m_window->document->GetRootObject(), root);
    EXPECT_EQ(m_window->treePort->GetSelectedItem(), root->GetTreeItem());
    ASSERT_EQ(List().GetItemCount(), 1);
    EXPECT_EQ(List().GetRowObject(0)->GetType(), kNodeServer);
}

TEST_F(ListViewTest, AnEntrysValuesAreListedWithBinaryValuesInHexAndPasswordsMasked)
{
    ASSERT_TRUE(Profile("ou=values,o=lab", false).SaveProfile());
    OpenWindow();
    ASSERT_NE(OpenEntry(kErin), nullptr);

    int mail = RowNamed(L"mail");
    ASSERT_GE(mail, 0);
    EXPECT_EQ(Cell(mail, 1), L"erin@example.org");
    EXPECT_EQ(Cell(mail, 3), L"16");

    int photo = RowNamed(L"jpegPhoto");
    ASSERT_GE(photo, 0);
    EXPECT_EQ(Cell(photo, 1).rfind(L"FF  D8  FF  E0", 0), 0u) << WideToUtf8Text(Cell(photo, 1));
    EXPECT_EQ(Cell(photo, 3), L"17");

    int password = RowNamed(L"userPassword");
    ASSERT_GE(password, 0);
    EXPECT_EQ(Cell(password, 1).find(L"ItvNMFPtjBMaa6UFiWT3tF4qy1Y"), std::wstring::npos) << "masked";
    EXPECT_FALSE(Cell(password, 1).empty());

    // Neither a binary value nor a password is edited as text in place; the
    // photo is still one that may be replaced from a file.
    auto* photoNode = dynamic_cast<CAttrObject*>(List().GetRowObject(photo));
    ASSERT_NE(photoNode, nullptr);
    EXPECT_TRUE(photoNode->CanRenameInList());
    EXPECT_FALSE(List().CanBeginValueEdit(photo));
    EXPECT_FALSE(List().CanBeginValueEdit(password));
    EXPECT_TRUE(List().CanBeginValueEdit(mail));

    std::string shot = frametest::ScreenCapture(m_window->frame, "list-view-entry");
    EXPECT_FALSE(shot.empty());
}

TEST_F(ListViewTest, EachColumnSortsBothWaysWithItsArrow)
{
    ASSERT_TRUE(Profile("ou=values,o=lab", false).SaveProfile());
    OpenWindow();
    ASSERT_NE(OpenEntry(kErin), nullptr);
    ASSERT_GT(List().GetItemCount(), 5);

    for (int column = 0; column < 4; ++column) {
        for (bool ascending : {false, true}) {
            SCOPED_TRACE(testing::Message() << "column " << column << (ascending ? " ascending" : " descending"));
            ClickColumn(column);  // the first click sorts descending, the next ascending
            EXPECT_EQ(List().GetSortIndicator(), column);
            EXPECT_EQ(List().IsAscendingSortIndicator(), ascending);
            for (int row = 0; row + 1 < List().GetItemCount(); ++row) {
                int order;
                if (column == 3)
                    order = std::stoi(Cell(row, 3)) - std::stoi(Cell(row + 1, 3));
                else
                    order = FoldListText(Cell(row, column)).compare(FoldListText(Cell(row + 1, column)));
                EXPECT_TRUE(ascending ? order <= 0 : order >= 0)
                    << WideToUtf8Text(Cell(row, column)) << " / " << WideToUtf8Text(Cell(row + 1, column));
            }
        }
    }
    EXPECT_FALSE(frametest::ScreenCapture(m_window->frame, "list-view-sorted").empty());
}

TEST_F(ListViewTest, WithoutAutomaticSortingARefilledListKeepsItsOrderUntilAColumnIsClicked)
{
    ASSERT_TRUE(Profile("ou=values,o=lab", false).SaveProfile());
    GetAppConfig().m_bAutoSortList = 0;
    OpenWindow();
    CEntryObject* entry = OpenEntry(kErin);
    ASSERT_NE(entry, nullptr);
    ClickColumn(0);
    EXPECT_EQ(List().GetSortIndicator(), 0);
    EXPECT_NE(Cell(0, 0), L"objectClass") << "sorted by name, descending";

    Open(*entry);
    EXPECT_TRUE(frametest::PumpUntil([&] { return RowNamed(L"objectClass") >= 0; }));
    EXPECT_EQ(List().GetSortIndicator(), -1);
    EXPECT_EQ(Cell(0, 0), L"objectClass") << "the entry's own order";
    GetAppConfig().m_bAutoSortList = 1;
    Open(*entry);
    EXPECT_TRUE(frametest::PumpUntil([&] { return RowNamed(L"objectClass") >= 0; }));
    EXPECT_EQ(List().GetSortIndicator(), 0) << "kept sorted by the column clicked last";
    EXPECT_NE(Cell(0, 0), L"objectClass");
}

TEST_F(ListViewTest, ColumnsSortAndStyleSurviveARestart)
{
    ASSERT_TRUE(Profile("ou=values,o=lab", false).SaveProfile());
    OpenWindow();
    ASSERT_NE(OpenEntry(kErin), nullptr);
    List().SetColumnWidth(0, 140);
    List().SetColumnWidth(2, 90);
    wxListEvent dragged(wxEVT_LIST_COL_END_DRAG, List().GetId());
    dragged.SetEventObject(&List());
    dragged.m_col = 2;
    List().GetEventHandler()->ProcessEvent(dragged);
    frametest::Pump();
    ClickColumn(1);
    ClickColumn(1);  // Value, ascending
    CloseWindow();

    OpenWindow();
    EXPECT_EQ(List().GetColumnWidth(0), 140);
    EXPECT_EQ(List().GetColumnWidth(1), ScaleFromDialogFont(310)) << "stored as it was shown";
    EXPECT_EQ(List().GetColumnWidth(2), 90);
    EXPECT_EQ(List().GetSortState().GetSortColumn(), 1);
    EXPECT_TRUE(List().GetSortState().IsAscending());
    ASSERT_NE(OpenEntry(kErin), nullptr);
    EXPECT_EQ(List().GetSortIndicator(), 1) << "the refilled list is sorted as it was left";
    EXPECT_TRUE(List().IsAscendingSortIndicator());
    for (int row = 0; row + 1 < List().GetItemCount(); ++row)
        EXPECT_LE(FoldListText(Cell(row, 1)).compare(FoldListText(Cell(row + 1, 1))), 0);

    // The view style is written when the view goes.
    List().SetViewStyle(CListViewState::kSmallIcon);
    CloseWindow();
    OpenWindow();
    EXPECT_EQ(List().GetViewStyle(), static_cast<uint32_t>(CListViewState::kSmallIcon));
}

TEST_F(ListViewTest, TheValueColumnsComeBackAfterAnotherViewStyle)
{
    ASSERT_TRUE(Profile("ou=values,o=lab", false).SaveProfile());
    OpenWindow();
    ASSERT_NE(OpenEntry(kErin), nullptr);
    const int mail = RowNamed(L"mail");
    ASSERT_GE(mail, 0);
    for (uint32_t style : {CListViewState::kIcon, CListViewState::kSmallIcon, CListViewState::kList}) {
        List().SetViewStyle(style);
        EXPECT_FALSE(List().IsReportStyle());
        // A node writing its row meanwhile is kept too.
        List().GetListPort().SetItemText(mail, 3, L"99");
        List().SetViewStyle(CListViewState::kReport);
        EXPECT_EQ(Cell(mail, 1), L"erin@example.org") << style;
        EXPECT_EQ(Cell(mail, 3), L"99") << style;
    }
    // Rows filled while another style is shown keep their value columns too.
    List().SetViewStyle(CListViewState::kList);
    ASSERT_NE(OpenEntry(kErin), nullptr);
    const int refilled = RowNamed(L"mail");
    ASSERT_GE(refilled, 0);
    List().SelectSingleItem(refilled, true);
    List().SetViewStyle(CListViewState::kReport);
    EXPECT_EQ(Cell(refilled, 1), L"erin@example.org");
    EXPECT_EQ(List().GetListPort().GetSelectedRows(), std::vector<int>{refilled}) << "the selection stays";
}

TEST_F(ListViewTest, WithTheSortColumnForgottenARestartStartsUnsortedButTheDirectionIsStillStored)
{
    ASSERT_TRUE(Profile("ou=values,o=lab", false).SaveProfile());
    GetAppConfig().m_bForgetSortColumn = 1;
    OpenWindow();
    ClickColumn(0);
    platform::RegistryKey key(platform::RegRoot::CurrentUser, true);
    int32_t column = 0, order = 9;
    ASSERT_TRUE(key.Open(kListStateKey) && key.Read(L"SortCol", column) && key.Read(L"SortOrder", order));
    EXPECT_EQ(column, -1);
    EXPECT_EQ(order, 0);
    ClickColumn(0);
    ASSERT_TRUE(key.Read(L"SortOrder", order));
    EXPECT_EQ(order, 1);
    CloseWindow();
    OpenWindow();
    EXPECT_EQ(List().GetSortState().GetSortColumn(), -1);
}

TEST_F(ListViewTest, TheLoadingAnimationRunsUntilTheFirstRowArrives)
{
    OpenWindow();
    CRootObject* root = Root();
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(m_window->treePort->GetSelectedItem(), root->GetTreeItem());
    // A node that starts loading sets the view's timer; it fires the
    // selected node's animation.
    const platform::ReceiverId view = platform::GetAppWindow(platform::AppWindow::ListView);
    ASSERT_TRUE(platform::SetTimer(view, platform::kListProgressTimer, 30));
    EXPECT_TRUE(frametest::PumpUntil([&] { return List().GetListViewPort().IsAnimationShown(); }));
    // The first row that arrives ends it, and the timer with it.
    List().InsertObjectRow(*root, -1);
    EXPECT_FALSE(List().GetListViewPort().IsAnimationShown());
    EXPECT_FALSE(platform::KillTimer(view, platform::kListProgressTimer)) << "the timer was stopped";
}

TEST_F(ListViewTest, EnterOpensAValueButNotAPasswordAndTabGoesToTheTree)
{
    ASSERT_TRUE(Profile("ou=values,o=lab", false).SaveProfile());
    testsupport::RecordingDesktopLauncherScope launcher;
    OpenWindow();
    ASSERT_NE(OpenEntry(kErin), nullptr);
    List().SelectSingleItem(RowNamed(L"userPassword"), true);
    EXPECT_TRUE(List().HandleKeyDown(WXK_RETURN));
    frametest::Pump();
    EXPECT_TRUE(launcher.Launcher().Get().empty());

    List().SelectSingleItem(RowNamed(L"mail"), true);
    EXPECT_TRUE(List().HandleKeyDown(WXK_RETURN));
    frametest::Pump();
    std::vector<testsupport::RecordingDesktopLauncher::Opened> opened = launcher.Launcher().Get();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].target, "mailto:erin@example.org");

    // Delete on a value is the document's command, not the view's.
    EXPECT_FALSE(List().HandleKeyDown(WXK_DELETE));
    EXPECT_TRUE(m_box->asked.empty());

    // Tab hands the focus to the tree (where the display gives windows a
    // keyboard focus at all).
    EXPECT_TRUE(List().HandleKeyDown(WXK_TAB));
    List().GetListWindow()->SetFocus();
    if (frametest::PumpUntil([&] { return wxWindow::FindFocus() == List().GetListWindow(); }, 1s)) {
        EXPECT_TRUE(List().HandleKeyDown(WXK_TAB));
        EXPECT_TRUE(frametest::PumpUntil([&] { return wxWindow::FindFocus() == m_window->frame->GetTreeView(); }));
    }
}

// The password manager and the certificate viewer from the window, on a
// scratch entry: the new password is the one the server binds with.
TEST_F(ListViewTest, APasswordChangedInTheManagerIsTheOneTheServerBindsWithAndTheCertificateShows)
{
    RefPtr<arbldap::LDAPSyncConnection> admin = live::OpenAdmin();
    const std::string cn = "keys" + std::to_string(getpid());
    const std::string dn = "cn=" + cn + "," + live::kScratch;
    testsupport::TempFolder folder;
    const std::string certificate =
        testsupport::PemFileToDer(live::MainServer().CertFolder() + "cacerts.pem", folder.Path());
    ASSERT_FALSE(certificate.empty());
    auto* attributes = new arbldap::LDAPAttributeList;
    attributes->AddValue("objectClass", "inetOrgPerson");
    attributes->AddValue("cn", cn);
    attributes->AddValue("sn", "keys");
    attributes->AddValue("userPassword", "{SHA}W6ph5Mm5Pz8GgiULbPgzG37mj9g=");
    attributes->AddValue("userCertificate;binary", certificate);
    admin->Add(arbldap::LDAPEntry(dn, attributes));
    auto bindCode = [&dn](const std::string& password) { return live::BindResultCode(dn, password); };
    ASSERT_EQ(bindCode("password"), 0);

    // The program's own dialogs.
    struct DialogsScope {
        std::shared_ptr<NodeDialogPort> previous = SetNodeDialogPort(std::make_shared<WxNodeDialogs>());
        ~DialogsScope() { SetNodeDialogPort(previous); }
    } dialogs;
    ASSERT_TRUE(Profile(live::kScratch, true).SaveProfile());
    OpenWindow();
    CEntryObject* entry = OpenEntry(dn);
    ASSERT_NE(entry, nullptr);

    // Each value's open command, as its row's context menu gives it.
    auto openValue = [&](const std::string& name) {
        for (CAttrObject* node : entry->GetAttributeNodes(false))
            if (node->GetName() == name) {
                List().SelectSingleItem(RowNamed(Utf8ToWideString(name)), true);
                ASSERT_NE(node->BuildContextMenu()->FindCommand(cmd::kOpenValue), nullptr) << name;
                ui::RunNodeMenuCommand(List(), *node, cmd::kOpenValue);
                return;
            }
        ADD_FAILURE() << "no value " << name;
    };

    // The certificate value opens in the viewer.
    std::wstring serialRow;
    uitest::WhenShown<CX509CertSheet>([&](CX509CertSheet& sheet) {
        auto* page = dynamic_cast<CX509InfoProppage*>(sheet.GetPageWindow(0));
        if (page) {
            serialRow = page->GetList()->GetItemText(1, 1).ToStdWstring();
            uitest::Screenshot(sheet, "window-certificate-viewer");
        }
        sheet.EndModal(wxID_CANCEL);
    });
    openValue("userCertificate;binary");
    frametest::Pump();
    CX509Certificate reference;
    ASSERT_EQ(reference.Load(certificate), 0);
    reference.SetUpperCase(true);
    reference.SetSeparator(L' ');
    EXPECT_EQ(serialRow, MakeCertificateRows(reference)[1].text);

    // A new password typed twice, {SSHA}, OK.
    uitest::WhenShown<CPasswordManagerDlg>([](CPasswordManagerDlg& dialog) {
        EXPECT_EQ(dialog.GetHashedValue(), L"{SHA}W6ph5Mm5Pz8GgiULbPgzG37mj9g=");
        wxUIActionSimulator keys;
        for (wxTextCtrl* field : {dialog.GetPasswordControl(), dialog.GetConfirmControl()}) {
            field->SetFocus();
            uitest::RunFor(100);
            keys.Text("n3w secret");
            uitest::RunUntil([&] { return field->GetValue() == "n3w secret"; }, 3000);
            if (field->GetValue() != "n3w secret") field->SetValue("n3w secret");  // a display without a keyboard focus
        }
        wxRadioButton* ssha = dialog.GetSchemeControl(1);
        ssha->SetValue(true);
        wxCommandEvent choose(wxEVT_RADIOBUTTON, ssha->GetId());
        choose.SetEventObject(ssha);
        ssha->GetEventHandler()->ProcessEvent(choose);
        EXPECT_EQ(dialog.GetHashedValue().rfind(L"{SSHA}", 0), 0u);
        uitest::Screenshot(dialog, "window-password-manager");
        wxWindow* ok = dialog.FindWindow(wxID_OK);
        wxCommandEvent click(wxEVT_BUTTON, wxID_OK);
        click.SetEventObject(ok);
        ok->GetEventHandler()->ProcessEvent(click);
    });
    openValue("userPassword");
    EXPECT_TRUE(WaitIdle(entry));
    StringList stored;
    EXPECT_TRUE(frametest::PumpUntil([&] {
        stored = live::ReadValues(*admin, dn, "(objectClass=*)", "userPassword");
        return stored.GetCount() == 1 && stored.begin()->rfind("{SSHA}", 0) == 0;
    }));
    EXPECT_EQ(bindCode("n3w secret"), 0);
    EXPECT_EQ(bindCode("password"), 49);
    CloseWindow();
    admin->Delete(dn);
}

TEST_F(ListViewTest, OneRowShowsItsNodesMenuSeveralTheDocumentsAndTheNodeMenuFollowsTheSelection)
{
    ASSERT_TRUE(Profile("ou=values,o=lab", false).SaveProfile());
    OpenWindow();
    ASSERT_NE(OpenEntry(kErin), nullptr);
    const int mail = RowNamed(L"mail");
    ASSERT_GE(mail, 0);
    List().SelectSingleItem(mail, true);
    frametest::Pump();
    EXPECT_EQ(m_window->document->GetNodeMenuClass(), List().GetRowObject(mail)->GetRuntimeClassName());

    std::unique_ptr<wxMenu> menu = List().BuildContextMenu();
    ASSERT_NE(menu, nullptr);
    std::unique_ptr<platform::PopupMenu> expected = List().GetRowObject(mail)->BuildContextMenu();
    ASSERT_NE(expected, nullptr);
    EXPECT_EQ(menu->GetMenuItemCount(), expected->Items().size());

    List().SetItemState(RowNamed(L"sn"), wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    ASSERT_EQ(List().GetSelectedObjects().size(), 2u);
    menu = List().BuildContextMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_NE(menu->FindItem(ui::WxId(32842)), nullptr) << "properties";
    EXPECT_NE(menu->FindItem(ui::WxId(32832)), nullptr) << "refresh";
    EXPECT_EQ(menu->FindItem(ui::WxId(32883)), nullptr) << "delete selected only with the root selected";
}

TEST_F(ListViewTest, ASecondClickOnASelectedValueStartsItsEditOnceNoDoubleClickFollows)
{
    ASSERT_TRUE(Profile("ou=values,o=lab", false).SaveProfile());
    OpenWindow();
    ASSERT_NE(OpenEntry(kErin), nullptr);
    const int sn = RowNamed(L"sn");
    ASSERT_GE(sn, 0);
    List().SelectSingleItem(sn, true);
    wxRect cell;
    ASSERT_TRUE(List().GetSubItemRect(sn, CArbListView::kValueColumn, cell));
    wxWindow* rows = List().GetListWindow();
    wxMouseEvent click(wxEVT_LEFT_DOWN);
    click.SetPosition(cell.GetPosition() - rows->GetPosition() + wxPoint(5, cell.height / 2));
    click.SetEventObject(rows);
    click.m_leftDown = true;
    rows->ProcessWindowEvent(click);
    EXPECT_EQ(List().GetValueEditor(), nullptr) << "not before a double click could have come";
    EXPECT_TRUE(frametest::PumpUntil([&] { return List().GetValueEditor() != nullptr; }, 3s));
    ASSERT_NE(List().GetValueEditor(), nullptr);
    EXPECT_EQ(List().GetValueEditor()->GetValue(), "Values");
    List().EndValueEdit(true);
    frametest::Pump();
    EXPECT_EQ(List().GetValueEditor(), nullptr);
}

// A scratch entry with two descriptions, written through an administrator's
// profile.
class ListViewWriteTest : public ListViewTest {
protected:
    void SetUp() override
    {
        ListViewTest::SetUp();
        m_admin = live::OpenAdmin();
        m_dn = "cn=listview" + std::to_string(getpid()) + "," + live::kScratch;
        auto* attributes = new arbldap::LDAPAttributeList;
        attributes->AddValue("objectClass", "device");
        attributes->AddValue("cn", "listview" + std::to_string(getpid()));
        attributes->AddValue("description", "first");
        attributes->AddValue("description", "second");
        m_admin->Add(arbldap::LDAPEntry(m_dn, attributes));
        ASSERT_TRUE(Profile(live::kScratch, true).SaveProfile());
        OpenWindow();
    }
    void TearDown() override
    {
        ListViewTest::TearDown();
        m_admin->Delete(m_dn);
    }

    std::vector<std::string> Descriptions()
    {
        std::vector<std::string> values;
        for (const std::string& value : live::ReadValues(*m_admin, m_dn, "(objectClass=*)", "description"))
            values.push_back(value);
        std::sort(values.begin(), values.end());
        return values;
    }

    int RowOfValue(const std::wstring& name, const std::wstring& value)
    {
        for (int row = 0; row < List().GetItemCount(); ++row)
            if (FoldListText(Cell(row, 0)) == FoldListText(name) && Cell(row, 1) == value)
                return row;
        return -1;
    }

    std::string m_dn;
    RefPtr<arbldap::LDAPSyncConnection> m_admin;
};

TEST_F(ListViewWriteTest, AValueEditedInPlaceIsChangedOnTheServer)
{
    CEntryObject* entry = OpenEntry(m_dn);
    ASSERT_NE(entry, nullptr);
    int row = RowOfValue(L"description", L"first");
    ASSERT_GE(row, 0);
    List().SelectSingleItem(row, true);
    List().BeginValueEdit(row);
    CInPlaceEdit* editor = List().GetValueEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->GetValue(), "first");
    EXPECT_EQ(List().GetEditedValueText(), L"first");
    uitest::Screenshot(*m_window->frame, "list-view-edit");
    editor = List().GetValueEditor();
    ASSERT_NE(editor, nullptr) << "the edit is still open";
    editor->SetValue("edited in place");
    PressKey(editor, WXK_RETURN);
    EXPECT_TRUE(WaitIdle(entry));

    EXPECT_EQ(Descriptions(), (std::vector<std::string>{"edited in place", "second"}));
    EXPECT_TRUE(frametest::PumpUntil([&] { return RowOfValue(L"description", L"edited in place") >= 0; }))
        << "the entry read its values again";
    EXPECT_LT(RowOfValue(L"description", L"first"), 0);
}

TEST_F(ListViewWriteTest, EscapeAndUneditableValuesChangeNothing)
{
    CEntryObject* entry = OpenEntry(m_dn);
    ASSERT_NE(entry, nullptr);
    int row = RowOfValue(L"description", L"second");
    ASSERT_GE(row, 0);
    List().SelectSingleItem(row, true);
    List().BeginValueEdit(row);
    ASSERT_NE(List().GetValueEditor(), nullptr);
    List().GetValueEditor()->SetValue("never written");
    PressKey(List().GetValueEditor(), WXK_ESCAPE);
    EXPECT_TRUE(WaitIdle(entry));
    EXPECT_EQ(Descriptions(), (std::vector<std::string>{"first", "second"}));

    // What the document's edit command is offered for.
    EXPECT_TRUE(List().CanBeginValueEdit(RowNamed(L"objectClass")));
    EXPECT_FALSE(List().CanBeginValueEdit(RowNamed(L"entryDN")));
    EXPECT_FALSE(List().CanBeginValueEdit(-1));

    // Operational values are not edited in place.
    for (int r = 0; r < List().GetItemCount(); ++r) {
        auto* attribute = dynamic_cast<CAttrObject*>(List().GetRowObject(r));
        if (!attribute || !attribute->IsOperational())
            continue;
        List().BeginValueEdit(r);
        EXPECT_EQ(List().GetValueEditor(), nullptr) << attribute->GetName();
    }
}

TEST_F(ListViewWriteTest, AValueDeletedAfterConfirmationIsGoneFromTheServer)
{
    CEntryObject* entry = OpenEntry(m_dn);
    ASSERT_NE(entry, nullptr);
    int row = RowOfValue(L"description", L"second");
    ASSERT_GE(row, 0);
    List().SelectSingleItem(row, true);
    List().SetFocus();
    m_window->document->SetLastFocusedView(false);

    // No: nothing goes.
    m_box->Answer(platform::kIdNo);
    EXPECT_TRUE(m_window->document->ExecuteCommand(32883));
    EXPECT_TRUE(WaitIdle(entry));
    EXPECT_EQ(Descriptions(), (std::vector<std::string>{"first", "second"}));

    m_box->Answer(platform::kIdYes);
    EXPECT_TRUE(m_window->document->ExecuteCommand(32883));
    EXPECT_TRUE(WaitIdle(entry));
    EXPECT_EQ(Descriptions(), (std::vector<std::string>{"first"}));
    EXPECT_TRUE(frametest::PumpUntil([&] { return RowOfValue(L"description", L"second") < 0; }));
    EXPECT_EQ(m_box->asked.size(), 2u);
}

TEST_F(ListViewTest, NodeMessagesReachTheirNodeAndSkipOneThatIsGone)
{
    ASSERT_TRUE(Profile("ou=values,o=lab", false).SaveProfile());
    OpenWindow();
    CRootObject* root = Root();
    ASSERT_NE(root, nullptr);
    platform::TreeItem serverItem = m_window->treePort->GetChildItem(root->GetTreeItem());
    auto* server = dynamic_cast<CServerObject*>(GetTreeItemObject(serverItem));
    ASSERT_NE(server, nullptr);
    const NodeId id = server->GetNodeId();
    const platform::ReceiverId view = platform::GetAppWindow(platform::AppWindow::ListView);
    ASSERT_NE(view, platform::kNoReceiver);

    // Expand, as a worker asks it, reaches its node.
    m_window->treePort->Expand(root->GetTreeItem(), platform::TreeExpand::Collapse);
    ASSERT_FALSE(m_window->treePort->IsExpanded(root->GetTreeItem()));
    ASSERT_TRUE(platform::Post(view, platform::WM_WORKER_CALL1, root->GetNodeId(), 0));
    frametest::Pump();
    EXPECT_TRUE(m_window->treePort->IsExpanded(root->GetTreeItem()));

    // The server goes (a refresh of the root reloads them); a message still
    // naming it finds nothing and does nothing.
    DeleteChildItems(root->GetTreeItem());
    ASSERT_EQ(NodeRegistry::Find(id), nullptr);
    for (platform::MessageId message : {platform::WM_WORKER_CALL1, platform::WM_WORKER_CALL2, platform::WM_WORKER_CALL3})
        EXPECT_TRUE(platform::Post(view, message, id, 0));
    frametest::Pump();
    EXPECT_EQ(m_window->treePort->GetChildItem(root->GetTreeItem()), platform::TreeItem());
    EXPECT_EQ(GetRunningThreadCount(), 0);
}

} // namespace
