// The main window's tree view and document against the real test server:
// opening, expanding, refreshing, removing a profile, a failed bind, and
// going back and forward.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/LogStream.h"
#include "jobs/CLDAPThread.h"
#include "model/profiles/CAppConfig.h"
#include "model/nodes/CErrorObject.h"
#include "model/entries/CRootObject.h"
#include "model/entries/CServerObject.h"
#include "model/nodes/ListViewOperations.h"
#include "model/ports/NodeRegistry.h"
#include "model/ports/RemovalTimerMap.h"
#include "model/nodes/TreeViewOperations.h"
#include "platform/Messages.h"
#include "platform/RegistryKey.h"
#include "schema/SchemaLoadThread.h"
#include "schema/SyntaxCatalogue.h"
#include "shellcore/CNavigationHistory.h"
#include "shellcore/DocumentMenuSource.h"
#include "shellcore/FrameCommands.h"
#include "shellcore/OutputSink.h"
#include "shellcore/RegistryPaths.h"
#include "tests/support/HeadlessShell.h"
#include "tests/support/LiveSupport.h"
#include "tests/support/ScriptedNodeDialogs.h"
#include "tests/support/TempHome.h"
#include "tests/ui/FrameTestSupport.h"
#include "ui/CArbDocument.h"
#include "ui/CArbMainFrame.h"
#include "ui/CArbTreeView.h"
#include <wx/dialog.h>
#include <wx/uiaction.h>
#include "ui/CCommandComboBox.h"
#include "ui/NodeMenus.h"
#include "ui/COutputList.h"
#include "ui/WxDispatcher.h"
#include "ui/WxPropertySheet.h"
#include "widgets/WxCommandIds.h"

namespace {

CServerProfile LabProfile(const std::wstring& name, bool anonymous)
{
    CServerProfile profile;
    profile.SetProfileName(name);
    profile.SetHostName(L"127.0.0.1");
    profile.SetPort(live::MainServer().Port());
    profile.SetBaseDN(arbldap::LDAPDN("o=lab"));
    profile.SetAnonymousBind(anonymous ? 1 : 0);
    if (!anonymous)
        profile.SetUserDN(arbldap::LDAPDN(testsupport::kAdminDN));
    return profile;
}

class TreeWindowTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        frametest::Prepare();
        GetAppConfig().SetDefaults();
        InitSchemaTables();
        InstallSchemaLoadJobStarter();
        CDataObject::InitCommandImages();
        ClearQueuedOutputLines();
        AddOutputSink();
        previousMessageBox = platform::SetMessageBoxPort(messageBox);
        // The program's sheet: properties are offered where it has pages.
        previousSheet = SetPropertySheetPort(std::make_shared<ui::WxPropertySheet>());
    }

    void TearDown() override
    {
        EXPECT_TRUE(WaitIdle()) << "workers still running";
        if (frame) {
            frame->Destroy();
            frametest::Pump();
        }
        EXPECT_TRUE(WaitForAllThreads(std::chrono::seconds(10)));
        platform::SetMessageBoxPort(previousMessageBox);
        SetPropertySheetPort(previousSheet);
        RemoveOutputSink();
        ClearQueuedOutputLines();
        TempHomeTest::TearDown();
    }

    // The window with the root and one server per profile (the list view
    // makes them at its start).
    void MakeWindow(const std::vector<CServerProfile>& profiles)
    {
        for (const CServerProfile& profile : profiles)
            profile.SaveProfile();
        frame = CreateMainFrame();
        ASSERT_NE(frame, nullptr);
        frame->Show();
        frametest::PumpUntil([this] { return frame->IsShownOnScreen(); });
        ASSERT_NE(Document().GetRootObject(), nullptr);
        frametest::Pump();
    }

    CArbDocument& Document() { return *frame->GetDocument(); }
    CArbTreeView& View() { return *frame->GetTreeView(); }
    platform::TreePort& Tree() { return View().GetPort(); }

    bool WaitIdle() { return frametest::PumpUntilNoJobs(); }

    std::vector<CDataObject*> Children(const CDataObject& node)
    {
        std::vector<CDataObject*> nodes;
        for (platform::TreeItem item = Tree().GetChildItem(node.GetTreeItem()); item; item = Tree().GetNextSiblingItem(item))
            nodes.push_back(GetTreeItemObject(item));
        return nodes;
    }

    CServerObject* Server(size_t index = 0)
    {
        std::vector<CDataObject*> servers = Children(*Document().GetRootObject());
        return index < servers.size() ? dynamic_cast<CServerObject*>(servers[index]) : nullptr;
    }

    CDataObject* ChildNamed(const CDataObject& node, const std::string& dn)
    {
        for (CDataObject* child : Children(node))
            if (auto* ldap = dynamic_cast<CLDAPObject*>(child); ldap && ldap->GetDN() == arbldap::LDAPDN(dn))
                return child;
        return nullptr;
    }

    // A click on the node's label, then the jobs it started.
    void Click(CDataObject& node)
    {
        View().ClickItem(node.GetTreeItem(), false);
        EXPECT_TRUE(WaitIdle());
    }

    void Command(uint32_t command)
    {
        wxCommandEvent event(wxEVT_MENU, ui::WxId(command));
        frame->GetEventHandler()->ProcessEvent(event);
    }

    // The state the command's items show, as the menus ask for it.
    bool Enabled(uint32_t command)
    {
        wxUpdateUIEvent event(ui::WxId(command));
        frame->GetEventHandler()->ProcessEvent(event);
        return event.GetSetEnabled() ? event.GetEnabled() : true;
    }

    std::shared_ptr<platform::ScriptedMessageBox> messageBox = std::make_shared<platform::ScriptedMessageBox>();
    std::shared_ptr<platform::MessageBoxPort> previousMessageBox;
    std::shared_ptr<PropertySheetPort> previousSheet;
    std::shared_ptr<ui::WxDispatcher> dispatcher = std::make_shared<ui::WxDispatcher>();
    platform::DispatcherScope scope{dispatcher};
    ScriptedNodeDialogsScope dialogs;
    CArbMainFrame* frame = nullptr;
};

TEST_F(TreeWindowTest, OpensAServerAndExpandsLevelByLevelDownToALeaf)
{
    MakeWindow({LabProfile(L"Laboratory", true)});
    CServerObject* server = Server();
    ASSERT_NE(server, nullptr);
    // No schema viewer for a server that is not connected.
    Tree().SelectItem(server->GetTreeItem());
    View().SetFocus();
    Document().SetLastFocusedView(true);
    EXPECT_FALSE(Enabled(cmd::kSchemaViewer));
    Click(*server);
    ASSERT_TRUE(server->IsChildrenLoaded());
    EXPECT_EQ(frame->GetTitle(), wxString(server->GetFullName()));
    EXPECT_TRUE(frametest::PumpUntil([&] { return Enabled(cmd::kSchemaViewer); })) << "the server's schema is loaded";
    EXPECT_TRUE(Enabled(cmd::kProperties));
    // The viewer opens modally on the server's schema.
    wxString shown;
    wxTheApp->CallAfter([&] {
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* dialog = dynamic_cast<wxDialog*>(window); dialog && dialog->IsModal()) {
                shown = dialog->GetTitle();
                dialog->EndModal(wxID_CANCEL);
            }
    });
    Command(cmd::kSchemaViewer);
    EXPECT_FALSE(shown.empty()) << "the schema viewer was shown";
    EXPECT_TRUE(View().IsExpanded(View().GetPort().IdOf(server->GetTreeItem())));

    CDataObject* people = ChildNamed(*server, "ou=people,o=lab");
    ASSERT_NE(people, nullptr);
    Click(*people);
    ASSERT_TRUE(people->IsChildrenLoaded());
    EXPECT_EQ(frame->GetTitle(), wxString(people->GetFullName()));
    CDataObject* alice = ChildNamed(*people, "cn=Alice Example,ou=people,o=lab");
    ASSERT_NE(alice, nullptr);
    Click(*alice);
    EXPECT_TRUE(alice->IsChildrenLoaded());
    EXPECT_EQ(alice->CountChildItems(nullptr), 0) << "a leaf";
    EXPECT_GT(frame->GetListCtrl()->GetItemCount(), 0) << "the leaf's values in the list";

    // The node menu in the menu bar follows the selected node's kind.
    frametest::Pump();
    EXPECT_EQ(Document().GetNodeMenuClass(), alice->GetRuntimeClassName());
    EXPECT_GE(CArbMainFrame::FindTopMenuItem(frame->GetMenuBar(), ui::ResourceString(620)), 0);

    // Left on the leaf goes up to its parent.
    EXPECT_FALSE(View().KeyDown(WXK_LEFT));
    EXPECT_EQ(GetSelectedTreeObject(), people);

    // Up one level through the command route.
    View().SetFocus();
    Document().SetLastFocusedView(true);
    Command(cmd::kUpOneLevel);
    EXPECT_EQ(GetSelectedTreeObject(), server);

    View().ClickItem(people->GetTreeItem(), false);
    EXPECT_TRUE(WaitIdle());
    frame->SetSize(900, 600);
    std::string shot = frametest::ScreenCapture(frame, "tree_server_expanded");
    ASSERT_FALSE(shot.empty());
    EXPECT_GT(frametest::DistinctColours(shot), 20u);
}

TEST_F(TreeWindowTest, ARefreshWhileTheFetchRunsWaitsForIt)
{
    MakeWindow({LabProfile(L"Laboratory", true)});
    CServerObject* server = Server();
    ASSERT_NE(server, nullptr);
    Click(*server);
    CDataObject* people = ChildNamed(*server, "ou=people,o=lab");
    ASSERT_NE(people, nullptr);
    View().SetFocus();
    Document().SetLastFocusedView(true);

    // The fetch starts with the click; the refresh is refused while it runs.
    View().ClickItem(people->GetTreeItem(), false);
    if (people->IsBusy()) {
        EXPECT_FALSE(Enabled(cmd::kRefresh));
        Command(cmd::kRefresh);
    }
    ASSERT_TRUE(WaitIdle());
    ASSERT_TRUE(people->IsChildrenLoaded());
    const size_t count = Children(*people).size();
    EXPECT_EQ(count, 3u);

    // Idle again: the refresh reloads the same children.
    EXPECT_TRUE(Enabled(cmd::kRefresh));
    Command(cmd::kRefresh);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Children(*people).size(), count);
    EXPECT_FALSE(people->IsBusy());
}

TEST_F(TreeWindowTest, RemovesAServerProfileOnlyAfterConfirmation)
{
    CServerProfile profile = LabProfile(L"Doomed", true);
    MakeWindow({LabProfile(L"Kept", true), profile});
    ASSERT_EQ(Children(*Document().GetRootObject()).size(), 2u);
    CServerObject* doomed = nullptr;
    for (CDataObject* node : Children(*Document().GetRootObject()))
        if (auto* server = dynamic_cast<CServerObject*>(node); server && server->GetProfileName() == L"Doomed")
            doomed = server;
    ASSERT_NE(doomed, nullptr);
    Tree().SelectItem(doomed->GetTreeItem());

    messageBox->Answer(platform::kIdNo);
    View().KeyUp(WXK_DELETE);
    frametest::Pump();
    EXPECT_EQ(messageBox->asked.size(), 1u);
    EXPECT_EQ(Children(*Document().GetRootObject()).size(), 2u);

    messageBox->Answer(platform::kIdYes);
    View().KeyUp(WXK_DELETE);
    ASSERT_TRUE(WaitIdle());
    frametest::PumpUntil([this] { return Children(*Document().GetRootObject()).size() == 1; });
    ASSERT_EQ(Children(*Document().GetRootObject()).size(), 1u);
    EXPECT_EQ(static_cast<CServerObject*>(Children(*Document().GetRootObject())[0])->GetProfileName(), L"Kept");
    platform::RegistryKey key(platform::RegRoot::CurrentUser, true);
    EXPECT_FALSE(key.KeyExists(profile.GetKeyPath(true)));
}

TEST_F(TreeWindowTest, AWrongPasswordLeavesAnErrorNodeAndItsLogLine)
{
    MakeWindow({LabProfile(L"Guarded", false)});
    CServerObject* server = Server();
    ASSERT_NE(server, nullptr);
    frame->ShowOutputBar();
    dialogs.Dialogs().passwords.push_back({true, L"not the password", false});
    Click(*server);
    frametest::PumpUntil([&] { return !Children(*server).empty(); });
    std::vector<CDataObject*> children = Children(*server);
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(children[0]->GetType(), kNodeError);
    EXPECT_NE(children[0]->GetCaption().find(L"49"), std::wstring::npos) << std::string(wxString(children[0]->GetCaption()).utf8_str());
    EXPECT_FALSE(server->IsBound());
    // A click on the unbound server tries again.
    EXPECT_TRUE(View().IsOpenOnClick());

    COutputList* output = frame->GetOutputList();
    ASSERT_NE(output, nullptr);
    bool found = frametest::PumpUntil([&] {
        for (size_t i = 0; i < output->GetLineCount(); ++i)
            if (output->GetLine(i).StartsWith("[ERROR 49]"))
                return true;
        return false;
    });
    EXPECT_TRUE(found) << "the bind's error line in the output window";

    // The error node is selectable but not recorded, and it can be removed.
    Tree().SelectItem(children[0]->GetTreeItem());
    View().SetFocus();
    Document().SetLastFocusedView(true);
    EXPECT_TRUE(Enabled(cmd::kRemoveMessage));
    Command(cmd::kRemoveMessage);
    frametest::Pump();
    EXPECT_TRUE(Children(*server).empty());
}

TEST_F(TreeWindowTest, BackAndForwardReturnToThePlacesSelectedBefore)
{
    MakeWindow({LabProfile(L"Laboratory", true)});
    CServerObject* server = Server();
    ASSERT_NE(server, nullptr);
    Click(*server);
    CDataObject* people = ChildNamed(*server, "ou=people,o=lab");
    CDataObject* devices = ChildNamed(*server, "ou=devices,o=lab");
    ASSERT_TRUE(people && devices);
    Click(*people);
    Click(*devices);
    CNavigationHistory& history = Document().GetHistory();
    const size_t recorded = history.GetEntries().size();
    ASSERT_GE(recorded, 4u);  // root, server, people, devices
    View().SetFocus();
    Document().SetLastFocusedView(true);

    EXPECT_TRUE(Enabled(cmd::kBack));
    EXPECT_FALSE(Enabled(cmd::kForward));
    std::vector<std::wstring> backTexts = CDocumentMenuSource(Document().GetCommands(), history).GetHistoryTexts(true);
    ASSERT_GE(backTexts.size(), 3u);
    EXPECT_EQ(backTexts[0], L"ou=people");
    EXPECT_EQ(backTexts[1], L"o=lab (Laboratory)");

    Command(cmd::kBack);
    ASSERT_TRUE(WaitIdle());
    frametest::PumpUntil([&] { return GetSelectedTreeObject() == people; });
    EXPECT_EQ(GetSelectedTreeObject(), people);
    EXPECT_EQ(history.GetEntries().size(), recorded) << "the move is not recorded";
    EXPECT_TRUE(Enabled(cmd::kForward));

    Command(cmd::kForward);
    ASSERT_TRUE(WaitIdle());
    frametest::PumpUntil([&] { return GetSelectedTreeObject() == devices; });
    EXPECT_EQ(GetSelectedTreeObject(), devices);
    EXPECT_EQ(history.GetEntries().size(), recorded);

    // Two steps back at once through the drop-down list's range.
    wxCommandEvent twoBack(wxEVT_MENU, static_cast<int>(kHistoryBackCommands.first + 1));
    frame->GetEventHandler()->ProcessEvent(twoBack);
    ASSERT_TRUE(WaitIdle());
    frametest::PumpUntil([&] { return GetSelectedTreeObject() == server; });
    EXPECT_EQ(GetSelectedTreeObject(), server);
    EXPECT_EQ(history.GetEntries().size(), recorded);
    EXPECT_EQ(history.GetForwardEntries().size(), 2u);

    // The user's own selection afterwards is recorded and ends the forward places.
    Click(*people);
    EXPECT_EQ(history.GetForwardEntries().size(), 0u);
    EXPECT_EQ(history.GetEntries().back().dn, "ou=people,o=lab");
}

TEST_F(TreeWindowTest, AServerTakesANewNameInTheTreeAndAnEntryDoesNot)
{
    MakeWindow({LabProfile(L"Laboratory", true)});
    CServerObject* server = Server();
    ASSERT_NE(server, nullptr);
    wxTreeItemId id = View().GetPort().IdOf(server->GetTreeItem());
    auto rename = [&](const wxString& text) {
        View().BeginRename(server->GetTreeItem());
        wxTextCtrl* editor = View().GetEditControl();
        if (!editor)
            return false;
        editor->SetValue(text);
        View().EndEditLabel(id, false);
        frametest::Pump();
        return true;
    };
    for (const wxString& unchanged : {wxString(), wxString("Laboratory")}) {
        ASSERT_TRUE(rename(unchanged));
        EXPECT_EQ(server->GetProfileName(), L"Laboratory");
        EXPECT_EQ(View().GetItemText(id), "Laboratory");
    }
    ASSERT_TRUE(rename("Lab two"));
    EXPECT_EQ(server->GetProfileName(), L"Lab two");
    EXPECT_EQ(View().GetItemText(id), "Lab two");
    CServerProfile stored;
    stored.SetIdFromString(server->GetKeyPath(false));
    ASSERT_TRUE(stored.LoadProfile());
    EXPECT_EQ(stored.GetProfileName(), L"Lab two");

    Click(*server);
    CDataObject* people = ChildNamed(*server, "ou=people,o=lab");
    ASSERT_NE(people, nullptr);
    View().BeginRename(people->GetTreeItem());
    EXPECT_EQ(View().GetEditControl(), nullptr) << "an entry's label is not edited";
}

TEST_F(TreeWindowTest, InformationNodesGoWhenTheirTimerEndsAndAGoneOneIsSkipped)
{
    MakeWindow({LabProfile(L"Laboratory", true)});
    CServerObject* server = Server();
    ASSERT_NE(server, nullptr);
    Click(*server);
    ASSERT_TRUE(server->IsChildrenLoaded());
    GetAppConfig().m_nInfoTimeoutSec = 1;
    const size_t before = Children(*server).size();
    server->ReportInformation(L"stays until its timer", L"");
    server->ReportInformation(L"removed by hand", L"");
    std::vector<CDataObject*> children = Children(*server);
    ASSERT_EQ(children.size(), before + 2);
    CDataObject* byHand = children.back();
    ASSERT_EQ(byHand->GetType(), kNodeInformation);
    const NodeId gone = byHand->GetNodeId();
    EXPECT_EQ(CRemovalTimerMap::Instance().GetRunningCount(), 2u);
    Tree().SelectItem(byHand->GetTreeItem());
    Document().SetLastFocusedView(true);
    View().SetFocus();
    Command(cmd::kRemoveMessage);
    frametest::Pump();
    EXPECT_EQ(NodeRegistry::Find(gone), nullptr);
    EXPECT_TRUE(frametest::PumpUntil([&] { return Children(*server).size() == before; }));
    EXPECT_TRUE(frametest::PumpUntil([] { return CRemovalTimerMap::Instance().GetRunningCount() == 0; }));
}

TEST_F(TreeWindowTest, CommandsGoToTheActiveViewThenTheDocumentThenTheFrameThenTheApplication)
{
    MakeWindow({LabProfile(L"Laboratory", true)});
    View().SetFocus();
    Document().SetLastFocusedView(true);
    frametest::Pump();

    // The tree view takes clear before the document, which would disable
    // it; copy goes on to the document (the root, the caret, is nothing to
    // copy).
    EXPECT_TRUE(Enabled(cmd::kEditClear));
    EXPECT_FALSE(Document().GetCommands().IsEnabled(cmd::kEditClear));
    EXPECT_FALSE(Enabled(cmd::kEditCopy));
    // The document answers for its commands: the options always, refresh
    // for the caret.
    EXPECT_TRUE(Enabled(cmd::kOptions));
    EXPECT_TRUE(Enabled(cmd::kRefresh));
    // The frame's own commands stay the frame's.
    EXPECT_FALSE(frame->IsPaneShown("output"));
    Command(cmd::kOutputBar);
    EXPECT_TRUE(frame->IsPaneShown("output"));
    // What nobody before takes reaches the application.
    int reached = 0;
    auto atApplication = [&](wxCommandEvent&) { ++reached; };
    wxTheApp->Bind(wxEVT_MENU, atApplication, ui::WxId(cmd::kWebSite));
    Command(cmd::kWebSite);
    wxTheApp->Unbind(wxEVT_MENU, atApplication, ui::WxId(cmd::kWebSite));
    EXPECT_EQ(reached, 1);

    // Tab moves to the list, selecting its first row when none is.
    ASSERT_GT(frame->GetListCtrl()->GetItemCount(), 0);
    EXPECT_FALSE(View().KeyDown(WXK_TAB));
    frametest::Pump();
    EXPECT_EQ(frame->GetListCtrl()->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED), 0);
}

TEST_F(TreeWindowTest, TheFilterBoxsTextSelectsAnEntrysChildrenUntilTheFilterIsRemoved)
{
    MakeWindow({LabProfile(L"Laboratory", true)});
    CServerObject* server = Server();
    ASSERT_NE(server, nullptr);
    Click(*server);
    CDataObject* people = ChildNamed(*server, "ou=people,o=lab");
    ASSERT_NE(people, nullptr);
    Click(*people);
    ASSERT_EQ(Children(*people).size(), 3u);
    View().SetFocus();
    Document().SetLastFocusedView(true);
    auto* ldap = static_cast<CLDAPObject*>(people);

    // Blanks change nothing.
    frame->StoreCommandText(cmd::kApplyFilter, "   ");
    Command(cmd::kApplyFilter);
    EXPECT_FALSE(ldap->HasCustomFilter());
    EXPECT_FALSE(Enabled(cmd::kRemoveFilter));

    frame->StoreCommandText(cmd::kApplyFilter, "  (cn=Alice*)  ");
    Command(cmd::kApplyFilter);
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(ldap->HasCustomFilter());
    EXPECT_EQ(ldap->GetCustomFilter(), "(cn=Alice*)");
    frametest::PumpUntil([&] { return Children(*people).size() == 1; });
    ASSERT_EQ(Children(*people).size(), 1u);
    EXPECT_EQ(frame->GetFilterCombo()->GetString(0), "(cn=Alice*)");

    Tree().SelectItem(people->GetTreeItem());
    EXPECT_TRUE(Enabled(cmd::kRemoveFilter));
    Command(cmd::kRemoveFilter);
    ASSERT_TRUE(WaitIdle());
    EXPECT_FALSE(ldap->HasCustomFilter());
    frametest::PumpUntil([&] { return Children(*people).size() == 3; });
    EXPECT_EQ(Children(*people).size(), 3u);
    EXPECT_EQ(frame->GetFilterCombo()->GetString(0), wxString(server->GetFilter()));
}

TEST_F(TreeWindowTest, AMouseClickOnALabelOpensItsNodeOnce)
{
    MakeWindow({LabProfile(L"Laboratory", true)});
    CServerObject* server = Server();
    ASSERT_NE(server, nullptr);
    frame->Raise();
    frametest::Pump();
    wxUIActionSimulator mouse;
    auto click = [&](CDataObject& node) {
        wxRect label;
        if (!View().GetBoundingRect(View().GetPort().IdOf(node.GetTreeItem()), label, true))
            return false;
        mouse.MouseMove(View().ClientToScreen(label.GetPosition() + wxPoint(label.width / 2, label.height / 2)));
        frametest::Pump();
        mouse.MouseClick();
        return true;
    };
    ASSERT_TRUE(click(*server));
    if (!frametest::PumpUntil([&] { return server->IsChildrenLoaded(); }, std::chrono::seconds(10)))
        GTEST_SKIP() << "the display took no simulated click";
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(GetSelectedTreeObject(), server);
    // A server that was not yet open when clicked is tried again on the next click.
    EXPECT_TRUE(View().IsOpenOnClick());

    CDataObject* people = ChildNamed(*server, "ou=people,o=lab");
    ASSERT_NE(people, nullptr);
    ASSERT_TRUE(click(*people));
    ASSERT_TRUE(frametest::PumpUntil([&] { return people->IsChildrenLoaded(); }));
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(GetSelectedTreeObject(), people);
    // An entry is shown once; selecting another item re-arms the click.
    EXPECT_FALSE(View().IsOpenOnClick());
    Tree().SelectItem(server->GetTreeItem());
    EXPECT_TRUE(View().IsOpenOnClick());
}

TEST_F(TreeWindowTest, ANodesMenuCommandKeepsItsMenusMeaning)
{
    MakeWindow({LabProfile(L"Laboratory", true)});
    CServerObject* server = Server();
    ASSERT_NE(server, nullptr);
    Click(*server);
    CDataObject* people = ChildNamed(*server, "ou=people,o=lab");
    ASSERT_NE(people, nullptr);
    Click(*people);
    View().SetFocus();
    Document().SetLastFocusedView(true);

    // In an entry's menu 32875 adds the entry to its server's favourites
    // (in the main menu the same id reconnects).
    dialogs.Dialogs().favoriteAnswers.push_back(true);
    ui::RunNodeMenuCommand(View(), *people, kCmdAddToFavorites);
    ASSERT_EQ(dialogs.Dialogs().favoriteRequests.size(), 1u);
    EXPECT_EQ(dialogs.Dialogs().favoriteRequests[0].value, "ou=people,o=lab");
    EXPECT_EQ(server->GetFavorites().GetCount(), 1u);
    EXPECT_TRUE(server->IsBound()) << "not reconnected";

    // Other commands take the route: refresh reaches the document.
    ui::RunNodeMenuCommand(View(), *people, cmd::kRefresh);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Children(*people).size(), 3u);
}

TEST_F(TreeWindowTest, ReconnectingFromAnEntryOpensTheServerAgainAndReturnsToIt)
{
    MakeWindow({LabProfile(L"Laboratory", true)});
    CServerObject* server = Server();
    ASSERT_NE(server, nullptr);
    View().SetFocus();
    Document().SetLastFocusedView(true);
    Click(*server);
    // Not offered on the server itself.
    EXPECT_FALSE(Enabled(cmd::kReconnect));
    CDataObject* people = ChildNamed(*server, "ou=people,o=lab");
    ASSERT_NE(people, nullptr);
    Click(*people);
    EXPECT_TRUE(Enabled(cmd::kReconnect));

    Command(cmd::kReconnect);
    ASSERT_TRUE(WaitIdle());
    bool back = frametest::PumpUntil([&] {
        auto* node = dynamic_cast<CLDAPObject*>(GetSelectedTreeObject());
        return node && node->GetDN() == arbldap::LDAPDN("ou=people,o=lab") && GetRunningThreadCount() == 0;
    });
    EXPECT_TRUE(back) << "the tree walked back to the entry";
    EXPECT_TRUE(server->IsBound());
    EXPECT_FALSE(Document().GetCommands().IsReturnPending());
}

} // namespace
