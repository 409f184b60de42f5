// Every command of the main window, in every place it is offered (the menu
// bar with its node menu, both toolbars, the tree's and the list's context
// menus) and for each kind of selection: a command offered enabled must
// change something a person can tell (a dialog, the tree, the selection, the
// list, the window, a program the desktop opens, work sent to the server).
// The window is the real one against the demonstration directory; every
// modal dialog is recorded and answered with Cancel.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <iostream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <wx/aui/auibar.h>
#include <wx/dialog.h>
#include <wx/menu.h>
#include <wx/modalhook.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include "jobs/CLDAPThread.h"
#include "model/nodes/CDataObject.h"
#include "model/entries/CLDAPObject.h"
#include "model/entries/CServerObject.h"
#include "model/profiles/CServerProfile.h"
#include "model/ports/NodeRegistry.h"
#include "model/nodes/TreeViewOperations.h"
#include "shellcore/FrameCommands.h"
#include "tests/support/DemoServer.h"
#include "tests/support/RecordingDesktopLauncher.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/ProgramSession.h"
#include "tests/ui/FrameTestSupport.h"
#include "ui/CArbDocument.h"
#include "ui/CArbListView.h"
#include "ui/CArbMainFrame.h"
#include "ui/CArbTreeView.h"
#include "ui/NodeMenus.h"
#include "widgets/CBCGPopupMenuEx.h"
#include "widgets/WxCommandIds.h"

namespace {

using Clock = std::chrono::steady_clock;

const wchar_t* const kOpenProfile = L"Demo";
const wchar_t* const kClosedProfile = L"Demo, not opened";
const wchar_t* const kRefusedProfile = L"Nowhere";

// Every modal dialog: its title recorded, Cancel as its answer.
class DialogRecorder : public wxModalDialogHook {
public:
    DialogRecorder() { Register(); }
    ~DialogRecorder() override { Unregister(); }
    const std::vector<std::string>& Titles() const { return m_titles; }

protected:
    int Enter(wxDialog* dialog) override
    {
        m_titles.push_back((dialog->GetTitle() + " (" + dialog->GetClassInfo()->GetClassName() + ")").utf8_string());
        return wxID_CANCEL;
    }

private:
    std::vector<std::string> m_titles;
};

// Where a command is offered.
enum class Place { MenuBar, MainToolBar, SecondToolBar, ContextMenu };

const char* PlaceName(Place place)
{
    switch (place) {
    case Place::MenuBar: return "menu bar";
    case Place::MainToolBar: return "standard toolbar";
    case Place::SecondToolBar: return "filter toolbar";
    case Place::ContextMenu: return "context menu";
    }
    return "";
}

struct Offer {
    Place place;
    int id;
    std::string label;
    bool enabled;
    bool checkedRadio;
};

// What a person sees of the window.
struct Screen {
    std::vector<std::string> tree;
    std::vector<std::string> list;
    std::string title;
    std::string panes;
    long listStyle = 0;
    bool editing = false;

    bool operator==(const Screen& o) const
    {
        return tree == o.tree && list == o.list && title == o.title && panes == o.panes &&
               listStyle == o.listStyle && editing == o.editing;
    }
    std::string Describe() const
    {
        std::ostringstream out;
        out << "title " << title << "; panes " << panes << "; style " << listStyle << "; editing " << editing
            << "\ntree:\n";
        for (const std::string& line : tree) out << "  " << line << "\n";
        out << "list:\n";
        for (const std::string& line : list) out << "  " << line << "\n";
        return out.str();
    }
};

// What happened beyond the screen.
struct Counters {
    size_t dialogs = 0;
    size_t launches = 0;
    uint64_t jobs = 0;
    int closes = 0;
    bool operator==(const Counters& o) const
    {
        return dialogs == o.dialogs && launches == o.launches && jobs == o.jobs && closes == o.closes;
    }
};

// A selection the table is run in.
struct State {
    const char* name;
    // The tree path from the top (profile name, then RDN labels; "!error"
    // for the error node), and the list rows selected by their Name text
    // (the list has the focus then).
    std::vector<std::wstring> path;
    std::vector<std::wstring> rows;
    // Opened (clicked) along the path; false leaves the last node as it is.
    bool openLast = true;
    // Entered in a new window (nothing opened before).
    bool fresh = false;
    // What one command must do here beyond changing something: empty when
    // it did, else what went wrong.
    std::function<std::string(uint32_t command)> outcome;
};

// The commands that the table does not ask for a change, and why.
bool IsExempt(const Offer& offer)
{
    // A radio item that is already chosen: choosing it again keeps it.
    if (offer.checkedRadio)
        return true;
    // Copy, cut and paste are checked against the system clipboard by the
    // clipboard's own tests; the help commands by the help window's tests
    // (What's This? waits for the click that names what to explain).
    const uint32_t command = ui::CommandOf(offer.id);
    // The context menu's filter item is an edit box: what is typed into it is
    // its own window test's (GoToDNWindowTest).
    if (offer.place == Place::ContextMenu && command == cmd::kApplyFilter)
        return true;
    return command == cmd::kEditCopy || command == cmd::kEditCut || command == cmd::kEditPaste ||
           command == cmd::kHelpFinder || command == cmd::kContextHelp || command == cmd::kHelpIndex;
}

class CommandTableWindowTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        frametest::Prepare();
        m_demo = std::make_unique<testsupport::DemoServer>();
        SaveProfile(kOpenProfile, m_demo->Port());
        SaveProfile(kClosedProfile, m_demo->Port());
        // A port nobody listens on: opening it gives an error node.
        SaveProfile(kRefusedProfile, 1);
        m_session = std::make_unique<uitest::ProgramSession>();
        OpenFrame();
    }

    void TearDown() override
    {
        EXPECT_TRUE(frametest::PumpUntil([] { return GetRunningThreadCount() == 0; }, std::chrono::seconds(30)));
        m_session.reset();
        m_demo.reset();
        TempHomeTest::TearDown();
    }

    void SaveProfile(const wchar_t* name, int port)
    {
        CServerProfile profile;
        profile.SetProfileName(name);
        profile.SetHostName(L"127.0.0.1");
        profile.SetPort(port);
        profile.SetVersion(3);
        profile.SetBaseDN(arbldap::LDAPDN(testsupport::DemoServer::Suffix()));
        profile.SetAnonymousBind(1);
        ASSERT_TRUE(profile.SaveProfile());
    }

    void OpenFrame()
    {
        m_frame = m_session->OpenFrame();
        ASSERT_NE(m_frame, nullptr);
        // Exit asks the window to close: recorded, and the window stays.
        m_frame->Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
            ++m_closes;
            if (!event.CanVeto())
                event.Skip();
            else
                event.Veto();
        });
        frametest::Pump();
    }

    void RebuildFrame()
    {
        ++m_rebuilds;
        Settle();
        m_session->CloseFrame();
        OpenFrame();
    }

    CArbTreeView& Tree() { return *m_frame->GetTreeView(); }
    platform::TreePort& Port() { return Tree().GetPort(); }
    CArbListView& List() { return *m_frame->GetListView(); }
    CArbDocument& Document() { return *m_frame->GetDocument(); }

    void Settle()
    {
        EXPECT_TRUE(frametest::PumpUntil([] { return GetRunningThreadCount() == 0; }, std::chrono::seconds(30)))
            << "work still running";
        frametest::Pump();
    }

    // A bind hands over to the fetch through the event loop: until the
    // node's children are there and no work is left.
    void SettleOpened(platform::TreeItem item)
    {
        EXPECT_TRUE(frametest::PumpUntil(
            [&] {
                CDataObject* node = GetTreeItemObject(item);
                return (!node || node->IsChildrenLoaded()) && GetRunningThreadCount() == 0;
            },
            std::chrono::seconds(30)));
        frametest::Pump();
    }

    platform::TreeItem Child(platform::TreeItem parent, const std::wstring& text)
    {
        for (platform::TreeItem item = Port().GetChildItem(parent); item; item = Port().GetNextSiblingItem(item)) {
            CDataObject* node = GetTreeItemObject(item);
            if (text == L"!error" ? node && node->GetType() == kNodeError : Port().GetItemText(item) == text)
                return item;
        }
        return platform::TreeItem();
    }

    platform::TreeItem Root() { return Port().GetChildItem(platform::kTreeRoot); }

    // Drives the window to the state: the tree opened as far as the path
    // needs, its last node selected and shown, the rows selected. False when
    // it cannot be reached.
    bool Enter(const State& state)
    {
        EndEdits();
        m_frame->ShowPane("output", false);
        m_frame->ShowPane("standard", true);
        m_frame->ShowPane("filter", true);
        if (!m_frame->GetStatusBar()->IsShown()) {
            m_frame->GetStatusBar()->Show();
            m_frame->SendSizeEvent();
        }
        List().SetViewStyle(1);
        platform::TreeItem item = Root();
        for (const std::wstring& name : state.path) {
            platform::TreeItem next = Child(item, name);
            if (!next) {
                // Its parent is opened (again) by a click, as a person would.
                Port().SelectItem(Root());
                Settle();
                Tree().ClickItem(item, false);
                SettleOpened(item);
                next = Child(item, name);
            }
            if (!next)
                return false;
            item = next;
        }
        Port().SelectItem(item);
        if (CDataObject* node = GetTreeItemObject(item); node && (state.openLast || item == Root())) {
            if (!node->IsChildrenLoaded()) {
                Tree().ClickItem(item, false);
                SettleOpened(item);
            }
            // Shown again once loaded: the list as it shows a node it has.
            if (CDataObject* shown = GetTreeItemObject(item))
                shown->ShowContents(0);
        }
        Settle();
        if (state.rows.empty()) {
            Tree().SetFocus();
            Document().SetLastFocusedView(true);
        } else {
            for (long row = 0; row < List().GetItemCount(); ++row)
                List().SetItemState(row, 0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
            for (const std::wstring& name : state.rows) {
                long row = -1;
                for (long r = 0; r < List().GetItemCount() && row < 0; ++r) {
                    const std::wstring text = List().GetItemText(r, 0).ToStdWstring();
                    if (text == name ||
                        (List().InReportView() && text + L"=" + List().GetItemText(r, 1).ToStdWstring() == name))
                        row = r;
                }
                if (row < 0)
                    return false;
                List().SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
            }
            List().GetListWindow()->SetFocus();
            Document().SetLastFocusedView(false);
        }
        Settle();
        return true;
    }

    void EndEdits()
    {
        if (Tree().GetEditControl())
            Tree().EndEditLabel(wxTreeItemId(), true);
        List().EndValueEdit(true);
        frametest::Pump();
    }

    Screen Look()
    {
        Screen screen;
        std::function<void(platform::TreeItem, int)> walk = [&](platform::TreeItem parent, int depth) {
            for (platform::TreeItem item = Port().GetChildItem(parent); item; item = Port().GetNextSiblingItem(item)) {
                std::string line = std::string(depth * 2, ' ') + wxString(Port().GetItemText(item)).utf8_string();
                if (Port().GetSelectedItem() == item) line += " [selected]";
                if (Tree().IsExpanded(Tree().GetPort().IdOf(item))) line += " [expanded]";
                screen.tree.push_back(line);
                walk(item, depth + 1);
            }
        };
        walk(platform::kTreeRoot, 0);
        const bool report = List().InReportView();
        for (long row = 0; row < List().GetItemCount(); ++row) {
            std::string line = List().GetItemText(row, 0).utf8_string();
            if (report)
                line += " | " + List().GetItemText(row, 1).utf8_string();
            if (List().GetItemState(row, wxLIST_STATE_SELECTED)) line += " [selected]";
            screen.list.push_back(line);
        }
        screen.title = m_frame->GetTitle().utf8_string();
        for (const char* pane : {"output", "standard", "filter"})
            screen.panes += std::string(pane) + (m_frame->IsPaneShown(pane) ? "+ " : "- ");
        screen.panes += m_frame->GetStatusBar()->IsShown() ? "status+" : "status-";
        screen.listStyle = List().GetWindowStyleFlag() & wxLC_MASK_TYPE;
        screen.editing = Tree().GetEditControl() != nullptr || List().GetValueEditor() != nullptr;
        return screen;
    }

    Counters Count()
    {
        return Counters{m_dialogs.Titles().size(), m_launcher.Launcher().Get().size(), GetStartedThreadCount(),
                        m_closes};
    }

    // The menu bar's items (the node menu among them) as the frame updates
    // them when a menu opens.
    void CollectMenu(wxMenu* menu, Place place, std::vector<Offer>& offers)
    {
        menu->UpdateUI(m_frame->GetEventHandler());
        for (wxMenuItem* item : menu->GetMenuItems()) {
            if (item->IsSeparator())
                continue;
            if (item->IsSubMenu()) {
                CollectMenu(item->GetSubMenu(), place, offers);
                continue;
            }
            offers.push_back(Offer{place, item->GetId(), item->GetItemLabelText().utf8_string(), item->IsEnabled(),
                                   item->IsRadio() && item->IsChecked()});
        }
    }

    void CollectToolBar(wxAuiToolBar* bar, Place place, std::vector<Offer>& offers)
    {
        for (size_t i = 0; i < bar->GetToolCount(); ++i) {
            wxAuiToolBarItem* tool = bar->FindToolByIndex(static_cast<int>(i));
            if (!tool || tool->GetKind() == wxITEM_SEPARATOR || tool->GetWindow() || tool->GetId() < 0)
                continue;
            offers.push_back(Offer{place, tool->GetId(), tool->GetShortHelp().utf8_string(),
                                   bar->GetToolEnabled(tool->GetId()), false});
        }
    }

    // The context menu the view shows now, read while it is up.
    void CollectContextMenu(const State& state, std::vector<Offer>& offers)
    {
        std::vector<Offer> seen;
        bool read = false;
        wxTimer timer;
        timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            CBCGPopupMenuEx* popup = CBCGPopupMenuEx::GetActiveMenu();
            wxWindow* focus = wxWindow::FindFocus();
            // Closed with the keyboard once it has it.
            if (!popup || !popup->IsShownOnScreen() || !focus || wxGetTopLevelParent(focus) != popup)
                return;
            if (!read) {
                for (const PopupMenuEntry& item : popup->GetModel().Entries())
                    if (!item.IsSeparator())
                        seen.push_back(Offer{Place::ContextMenu, item.id,
                                             wxStripMenuCodes(wxString(item.text)).utf8_string(), item.enabled,
                                             false});
                read = true;
                // What a person sees of the menu (written once per run).
                if (std::string(state.name) == "entry with children") {
                    const std::string folder = std::string(ARB_TEST_OUTPUT_DIR) + "/ui";
                    std::filesystem::create_directories(folder);
                    wxSize size = wxGetDisplaySize();
                    wxBitmap bitmap(size.x, size.y, 24);
                    {
                        wxScreenDC screen;
                        wxMemoryDC memory(bitmap);
                        memory.Blit(0, 0, size.x, size.y, &screen, 0, 0);
                    }
                    bitmap.SaveFile(wxString::FromUTF8(folder + "/entry-context-menu.png"), wxBITMAP_TYPE_PNG);
                }
            }
            wxUIActionSimulator keys;
            keys.Char(WXK_ESCAPE);
        });
        timer.Start(150);
        if (state.rows.empty())
            Tree().ShowItemContextMenu(Port().GetSelectedItem(), false);
        else
            List().ShowContextMenu(wxDefaultPosition);
        timer.Stop();
        frametest::Pump();
        EXPECT_TRUE(read) << state.name << ": the context menu was not seen";
        offers.insert(offers.end(), seen.begin(), seen.end());
    }

    std::vector<Offer> Offers(const State& state)
    {
        std::vector<Offer> offers;
        wxMenuBar* bar = m_frame->GetMenuBar();
        for (size_t i = 0; i < bar->GetMenuCount(); ++i)
            CollectMenu(bar->GetMenu(i), Place::MenuBar, offers);
        frametest::Pump();
        CollectToolBar(m_frame->GetMainToolBar(), Place::MainToolBar, offers);
        CollectToolBar(m_frame->GetSecondToolBar(), Place::SecondToolBar, offers);
        CollectContextMenu(state, offers);
        return offers;
    }

    // The command as its place sends it.
    void Invoke(const State& state, const Offer& offer)
    {
        switch (offer.place) {
        case Place::MenuBar: {
            wxCommandEvent event(wxEVT_MENU, offer.id);
            event.SetEventObject(m_frame->GetMenuBar());
            m_frame->ProcessWindowEvent(event);
            break;
        }
        case Place::MainToolBar:
        case Place::SecondToolBar: {
            wxAuiToolBar* bar = offer.place == Place::MainToolBar ? m_frame->GetMainToolBar() : m_frame->GetSecondToolBar();
            wxCommandEvent event(wxEVT_TOOL, offer.id);
            event.SetEventObject(bar);
            bar->ProcessWindowEvent(event);
            break;
        }
        case Place::ContextMenu: {
            // What the views do with the item chosen in their popup.
            if (state.rows.empty()) {
                if (CDataObject* node = GetTreeItemObject(Port().GetSelectedItem()))
                    ui::RunNodeMenuCommand(Tree(), *node, ui::CommandOf(offer.id));
            } else if (state.rows.size() == 1) {
                if (CDataObject* node = List().GetRowObject(List().GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)))
                    ui::RunNodeMenuCommand(List(), *node, ui::CommandOf(offer.id));
            } else {
                wxCommandEvent event(wxEVT_MENU, offer.id);
                event.SetEventObject(&List());
                List().ProcessWindowEvent(event);
            }
            break;
        }
        }
        Settle();
    }

    // Runs the table in one state; the failures name the state, the place
    // and the item.
    void RunState(const State& state, std::vector<std::string>& failures)
    {
        if (state.fresh)
            RebuildFrame();
        if (!Enter(state)) {
            failures.push_back(std::string(state.name) + ": state not reached\n" + Look().Describe());
            return;
        }
        std::vector<Offer> offers = Offers(state);
        for (size_t i = 0; i < offers.size(); ++i) {
            const Offer& offer = offers[i];
            if (!offer.enabled || IsExempt(offer))
                continue;
            const Screen before = Look();
            const Counters counted = Count();
            Invoke(state, offer);
            const std::string where = std::string(state.name) + " / " + PlaceName(offer.place) + " / " +
                                      offer.label + " (" + std::to_string(ui::CommandOf(offer.id)) + ")";
            if (Look() == before && Count() == counted)
                failures.push_back(where + ": enabled, nothing changed");
            else if (state.outcome)
                if (std::string wrong = state.outcome(ui::CommandOf(offer.id)); !wrong.empty())
                    failures.push_back(where + ": " + wrong);
            // Back to the state; a window that cannot be brought back is
            // made anew, and its offers are asked again.
            if (Enter(state) && Look() == before)
                continue;
            RebuildFrame();
            if (!Enter(state)) {
                failures.push_back(std::string(state.name) + ": not reached again after " + offer.label + "\n" +
                                   Look().Describe());
                return;
            }
            std::vector<Offer> again = Offers(state);
            if (again.size() != offers.size()) {
                failures.push_back(std::string(state.name) + ": other offers after " + offer.label);
                return;
            }
            offers = std::move(again);
        }
    }

    std::unique_ptr<testsupport::DemoServer> m_demo;
    std::unique_ptr<uitest::ProgramSession> m_session;
    testsupport::RecordingDesktopLauncherScope m_launcher;
    DialogRecorder m_dialogs;
    CArbMainFrame* m_frame = nullptr;
    int m_closes = 0;
    int m_rebuilds = 0;
};

TEST_F(CommandTableWindowTest, EveryEnabledCommandChangesSomethingInEverySelection)
{
    const std::wstring people = L"ou=people";
    const std::wstring groups = L"ou=groups";
    const std::vector<State> states = {
        {"root", {}, {}},
        {"root, a server row", {}, {kOpenProfile}},
        {"server not opened", {kClosedProfile}, {}, false},
        {"server opened", {kOpenProfile}, {}},
        {"entry with children", {kOpenProfile, people}, {}},
        {"entry row", {kOpenProfile, people}, {L"uid=ada"}},
        {"leaf entry", {kOpenProfile, people, L"uid=ada"}, {}},
        {"value row", {kOpenProfile, people, L"uid=ada"}, {L"cn"}},
        {"mail value row", {kOpenProfile, people, L"uid=ada"}, {L"mail"}},
        {"member value row", {kOpenProfile, groups, L"cn=admins"}, {L"member"}, true, true,
         [this](uint32_t command) -> std::string {
             // Opening a DN value walks the tree to its entry.
             auto* node = dynamic_cast<CLDAPObject*>(GetTreeItemObject(Port().GetSelectedItem()));
             const std::string grace = "uid=grace,ou=people," + testsupport::DemoServer::Suffix();
             if (command == cmd::kOpenValue && !(node && node->GetDN() == arbldap::LDAPDN(grace)))
                 return "the selection is " + (node ? node->GetDN().GetText() : std::string("none")) + ", not " + grace;
             return std::string();
         }},
        {"several value rows", {kOpenProfile, people, L"uid=ada"}, {L"cn", L"sn"}},
        {"binary value row", {kOpenProfile, people, L"uid=donald"}, {L"jpegPhoto"}},
        {"error node", {kRefusedProfile, L"!error"}, {}},
    };
    std::vector<std::string> failures;
    for (const State& state : states) {
        auto start = Clock::now();
        int rebuilds = m_rebuilds;
        RunState(state, failures);
        std::cout << state.name << ": " << std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count()
                  << " ms, " << (m_rebuilds - rebuilds) << " new windows" << std::endl;
    }
    std::string all;
    for (const std::string& failure : failures)
        all += failure + "\n";
    EXPECT_TRUE(failures.empty()) << failures.size() << " rows failed:\n" << all;
}

} // namespace
