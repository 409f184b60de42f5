#include <gtest/gtest.h>

#include <wx/frame.h>
#include <wx/uiaction.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <wx/display.h>
#include <wx/menu.h>

#include "base/LogStream.h"
#include "dialogcore/MainFrameLayout.h"
#include "dialogcore/WindowPlacementText.h"
#include "model/nodes/TreeViewOperations.h"
#include "platform/Dispatcher.h"
#include "platform/ResourceLibrary.h"
#include "schema/SchemaLoadThread.h"
#include "shellcore/FrameCommands.h"
#include "shellcore/OutputSink.h"
#include "shellcore/RecentTexts.h"
#include "tests/support/ManualDispatcher.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/UiTestSupport.h"
#include "tests/ui/FrameTestSupport.h"
#include "ui/CArbDocument.h"
#include "ui/CArbMainFrame.h"
#include "ui/CArbStatusBar.h"
#include "ui/CCommandComboBox.h"
#include "ui/COutputList.h"
#include "ui/CProgressBar.h"
#include "widgets/UiResources.h"
#include "widgets/WxCommandIds.h"

namespace {

std::wstring Resource(unsigned id)
{
    return ui::ResourceString(id).ToStdWstring();
}

// Recent filters kept in memory, for the filter box.
class MemoryRecentTexts : public CRecentTexts {
public:
    explicit MemoryRecentTexts(std::vector<std::wstring>* texts) : m_texts(texts) {}
    void AddString(const std::wstring& text) override
    {
        if (!text.empty())
            m_texts->insert(m_texts->begin(), text);
    }
    std::vector<std::wstring> GetRecentStrings(int count) override
    {
        size_t n = count < 0 ? m_texts->size() : std::min<size_t>(count, m_texts->size());
        return std::vector<std::wstring>(m_texts->begin(), m_texts->begin() + n);
    }

private:
    std::vector<std::wstring>* m_texts;
};

class MainFrameTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        frametest::Prepare();
        m_previousFactory = SetRecentTextsFactory(
            [this](const std::wstring&) { return std::make_unique<MemoryRecentTexts>(&m_recent); });
        ClearQueuedOutputLines();
        AddOutputSink();
    }
    void TearDown() override
    {
        if (m_frame) {
            m_frame->Destroy();
            frametest::Pump();
        }
        RemoveOutputSink();
        ClearQueuedOutputLines();
        SetRecentTextsFactory(m_previousFactory);
        TempHomeTest::TearDown();
    }

    CArbMainFrame* MakeFrame() { return m_frame = frametest::ShowNewMainFrame(); }

    std::vector<std::wstring> m_recent{L"(cn=older)"};
    RecentTextsFactory m_previousFactory;
    std::shared_ptr<platform::ManualDispatcher> m_dispatcher = std::make_shared<platform::ManualDispatcher>();
    platform::DispatcherScope m_scope{m_dispatcher};
    CArbMainFrame* m_frame = nullptr;
};

TEST_F(MainFrameTest, ShowsItsMenusToolbarsPanesAndOutputWindow)
{
    ASSERT_NE(MakeFrame(), nullptr);
    LogLine(std::wstring(L"Arbolite started"));
    LogLine(std::wstring(L"[ERROR 49] Invalid credentials"));
    m_dispatcher->Pump();
    m_frame->ShowOutputBar();
    m_frame->SetPaneText1(L"cn=admin,dc=example,dc=com");
    m_frame->SetPaneText2(L"Schema loaded");
    m_frame->SetPaneValue(1);
    frametest::Pump();

    // Menus: the five of the bar and the node menu of the root node the
    // list view made at the start, About named by its string, the toolbar
    // list filled in.
    wxMenuBar* bar = m_frame->GetMenuBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetMenuCount(), 6u);
    EXPECT_GE(CArbMainFrame::FindTopMenuItem(bar, ui::ResourceString(620)), 0);
    wxMenuItem* about = bar->FindItem(ui::WxId(cmd::kAppAbout));
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->GetItemLabel().ToStdWstring(), Resource(102));
    EXPECT_EQ(bar->FindItem(ui::WxId(cmd::kToolbarList)), nullptr);
    EXPECT_NE(bar->FindItem(ui::WxId(cmd::kViewToolbar)), nullptr);
    EXPECT_NE(bar->FindItem(ui::WxId(cmd::kSecondToolbarToggle)), nullptr);
    for (uint32_t hidden : HiddenMenuCommands())
        EXPECT_EQ(bar->FindItem(ui::WxId(hidden)), nullptr) << hidden;

    // Toolbars: the menu buttons, the filter box in place of its button, no hidden buttons.
    wxAuiToolBar* main = m_frame->GetMainToolBar();
    wxAuiToolBar* second = m_frame->GetSecondToolBar();
    ASSERT_TRUE(main && second);
    for (uint32_t id : {cmd::kFavorites, cmd::kBack, cmd::kForward}) {
        ASSERT_NE(main->FindTool(ui::WxId(id)), nullptr) << id;
        EXPECT_TRUE(main->GetToolDropDown(ui::WxId(id))) << id;
    }
    for (uint32_t hidden : HiddenToolbarCommands())
        EXPECT_EQ(second->FindTool(ui::WxId(hidden)), nullptr) << hidden;
    wxAuiToolBarItem* filter = second->FindTool(ui::WxId(cmd::kApplyFilter));
    ASSERT_NE(filter, nullptr);
    EXPECT_EQ(filter->GetWindow(), static_cast<wxWindow*>(m_frame->GetFilterCombo()));
    ASSERT_NE(m_frame->GetFilterCombo(), nullptr);
    EXPECT_EQ(m_frame->GetFilterCombo()->GetCount(), 2u) << "the selected root's filter, then the recent filter";
    EXPECT_EQ(second->GetId(), ui::WxId(cmd::kSecondToolbar));

    // Status panes and the output window.
    CArbStatusBar* status = m_frame->GetArbStatusBar();
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->GetFieldsCount(), 4);
    EXPECT_NE(status->GetStatusText(CArbStatusBar::kServer).Find("cn=admin"), wxNOT_FOUND);
    EXPECT_EQ(status->GetStatusText(CArbStatusBar::kSchema), "Schema loaded");
    EXPECT_TRUE(m_frame->IsPaneShown("output"));
    ASSERT_NE(m_frame->GetOutputList(), nullptr);
    EXPECT_EQ(m_frame->GetOutputList()->GetLineCount(), 2u);

    std::string shot = frametest::ScreenCapture(m_frame, "main-frame");
    ASSERT_FALSE(shot.empty());
    EXPECT_GT(frametest::DistinctColours(shot), 20u) << shot << " looks blank";
}

TEST_F(MainFrameTest, TheOutputWindowShowsLogLinesAndTheirBookmarks)
{
    LogLine(std::wstring(L"before the window"));
    ASSERT_NE(MakeFrame(), nullptr);
    COutputList* list = m_frame->GetOutputList();
    ASSERT_NE(list, nullptr);
    std::thread worker([] { LogLine(std::wstring(L"from a worker")); });
    worker.join();
    LogLine(std::string("UTF-8 line: \xc3\xa9t\xc3\xa9"));
    m_dispatcher->Pump();
    ASSERT_EQ(list->GetLineCount(), 3u);
    EXPECT_EQ(list->GetLine(0), "before the window");
    EXPECT_EQ(list->GetLine(1), "from a worker");
    EXPECT_EQ(list->GetLine(2), wxString::FromUTF8("UTF-8 line: \xc3\xa9t\xc3\xa9"));
    EXPECT_EQ(list->GetSelection(), 2) << "the last line is shown";

    list->SetSelection(1);
    std::unique_ptr<wxMenu> menu(list->BuildContextMenu());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->FindItem(ui::WxId(cmd::kToggleBookmark))->GetItemLabel().ToStdWstring(), Resource(215));
    list->ToggleBookmark();
    EXPECT_TRUE(list->IsBookmarked(1));
    menu.reset(list->BuildContextMenu());
    EXPECT_EQ(menu->FindItem(ui::WxId(cmd::kToggleBookmark))->GetItemLabel().ToStdWstring(), Resource(217));

    // Clear lines clears the bookmarks; the window's commands go through its menu ids.
    wxCommandEvent clear(wxEVT_MENU, ui::WxId(cmd::kEditClear));
    list->GetEventHandler()->ProcessEvent(clear);
    EXPECT_EQ(list->GetLineCount(), 0u);
    EXPECT_TRUE(list->Bookmarks().IsEmpty());

    // Hiding from its menu hides the pane.
    m_frame->ShowOutputBar();
    wxCommandEvent hide(wxEVT_MENU, ui::WxId(cmd::kHideOutput));
    list->GetEventHandler()->ProcessEvent(hide);
    EXPECT_FALSE(m_frame->IsPaneShown("output"));

    // When the window goes, the sink goes first: later lines are neither posted nor kept.
    m_frame->Destroy();
    m_frame = nullptr;
    frametest::Pump();
    LogLine(std::wstring(L"after the window"));
    EXPECT_TRUE(GetQueuedOutputLines().empty());
    EXPECT_EQ(platform::GetAppWindow(platform::AppWindow::OutputList), platform::kNoReceiver);
}

// A new message shows in its pane; the panes around it stay as drawn.
TEST_F(MainFrameTest, ANewMessageRedrawsItsPaneAndLeavesTheOthers)
{
    ASSERT_NE(MakeFrame(), nullptr);
    CArbStatusBar* status = m_frame->GetArbStatusBar();
    ASSERT_NE(status, nullptr);
    status->SetStatusText("Schema loaded", CArbStatusBar::kSchema);
    auto grab = [&](int pane) {
        status->Update();
        uitest::RunFor(50);
        wxRect r;
        EXPECT_TRUE(status->GetFieldRect(pane, r));
        return uitest::Pixels(*status, r);
    };
    auto same = [](const wxImage& a, const wxImage& b) {
        return a.GetSize() == b.GetSize() &&
               std::equal(a.GetData(), a.GetData() + a.GetWidth() * a.GetHeight() * 3, b.GetData());
    };
    status->SetStatusText("", CArbStatusBar::kMessage);
    const wxImage emptyMessage = grab(CArbStatusBar::kMessage);
    const wxImage schema = grab(CArbStatusBar::kSchema);
    EXPECT_GT(uitest::DarkPixels(schema), 0);

    status->SetStatusText("Searching the children...", CArbStatusBar::kMessage);
    const wxImage message = grab(CArbStatusBar::kMessage);
    EXPECT_FALSE(same(message, emptyMessage)) << "the new message is drawn";
    EXPECT_GT(uitest::DarkPixels(message), uitest::DarkPixels(emptyMessage));
    EXPECT_TRUE(same(grab(CArbStatusBar::kSchema), schema)) << "the schema pane keeps its text";

    status->SetStatusText("", CArbStatusBar::kMessage);
    EXPECT_TRUE(same(grab(CArbStatusBar::kMessage), emptyMessage)) << "an emptied pane is cleared";
}

// A schema read ends on a worker and asks for the selected server's texts:
// the document redraws them on the user-interface thread.
TEST_F(MainFrameTest, AnEndedSchemaReadRedrawsTheSelectedNodesPanes)
{
    ASSERT_NE(MakeFrame(), nullptr);
    CArbDocument* document = m_frame->GetDocument();
    ASSERT_NE(document, nullptr);
    m_dispatcher->Pump();
    ASSERT_NE(GetSelectedTreeObject(), nullptr) << "the root is selected";
    document->SetPaneText2(L"stale");
    std::thread worker([] { RefreshSelectedServerInfo(); });
    EXPECT_TRUE(m_dispatcher->PumpUntil([&] { return document->GetPaneText2().empty(); }, 10000));
    worker.join();
}

TEST_F(MainFrameTest, ProgressMessagesShowTheInsertionInTheStatusBar)
{
    ASSERT_NE(MakeFrame(), nullptr);
    platform::ReceiverId frame = platform::GetAppWindow(platform::AppWindow::MainFrame);
    ASSERT_NE(frame, platform::kNoReceiver);
    CArbStatusBar* status = m_frame->GetArbStatusBar();

    // Steps and ends without a bar change nothing.
    platform::Post(frame, platform::WM_PROGRESS_STEP, 1, 10);
    platform::Post(frame, platform::WM_PROGRESS_END, 0, 0);
    m_dispatcher->Pump();
    EXPECT_EQ(m_frame->GetProgressBar(), nullptr);

    platform::Post(frame, platform::WM_PROGRESS_START, 40, 10);
    m_dispatcher->Pump();
    CProgressBar* bar = m_frame->GetProgressBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(status->GetStatusText(0).ToStdWstring(), Resource(573));
    EXPECT_EQ(bar->GetGauge()->GetRange(), 10);

    platform::Post(frame, platform::WM_PROGRESS_START, 40, 99);
    m_dispatcher->Pump();
    EXPECT_EQ(m_frame->GetProgressBar(), bar) << "a second start is ignored";
    EXPECT_EQ(bar->GetGauge()->GetRange(), 10);

    platform::Post(frame, platform::WM_PROGRESS_STEP, 5, 10);
    m_dispatcher->Pump();
    EXPECT_EQ(status->GetStatusText(0), "Inserting items: 50%");
    EXPECT_EQ(bar->GetGauge()->GetValue(), 1);
    // The bar sits right of the text and takes 40% of what is left of the pane.
    wxRect pane;
    ASSERT_TRUE(status->GetFieldRect(0, pane));
    wxRect gauge = bar->GetGauge()->GetRect();
    EXPECT_GT(gauge.x, pane.x);
    EXPECT_LT(gauge.GetRight(), pane.GetRight());

    platform::Post(frame, platform::WM_PROGRESS_STEP, 3, 0);  // a total of 0
    m_dispatcher->Pump();
    EXPECT_EQ(status->GetStatusText(0), "Inserting items: 0%");

    platform::Post(frame, platform::WM_PROGRESS_END, 0, 0);
    m_dispatcher->Pump();
    EXPECT_EQ(m_frame->GetProgressBar(), nullptr);
    EXPECT_EQ(status->GetStatusText(0).ToStdWstring(), Resource(57345));

    // A start with a total of 0 still makes a usable bar.
    platform::Post(frame, platform::WM_PROGRESS_START, 40, 0);
    platform::Post(frame, platform::WM_PROGRESS_STEP, 1, 0);
    m_dispatcher->Pump();
    ASSERT_NE(m_frame->GetProgressBar(), nullptr);
    EXPECT_EQ(m_frame->GetProgressBar()->GetGauge()->GetRange(), 1);
}

// Counts the filter commands on their way to the document.
struct FilterCommandCounter : wxEventFilter {
    int FilterEvent(wxEvent& event) override
    {
        if (event.GetEventType() == wxEVT_MENU && event.GetId() == ui::WxId(cmd::kApplyFilter))
            ++sent;
        return Event_Skip;
    }
    int sent = 0;
};

TEST_F(MainFrameTest, TheFilterBoxLeavesItsTextAndSendsItsCommand)
{
    ASSERT_NE(MakeFrame(), nullptr);
    CCommandComboBox* combo = m_frame->GetFilterCombo();
    ASSERT_NE(combo, nullptr);
    // The command takes the route to the document: count it on its way.
    FilterCommandCounter counter;
    wxEvtHandler::AddFilter(&counter);
    int& sent = counter.sent;
    combo->SetValue("  (objectClass=person)  ");
    wxCommandEvent enter(wxEVT_TEXT_ENTER, combo->GetId());
    enter.SetEventObject(combo);
    combo->GetEventHandler()->ProcessEvent(enter);
    frametest::Pump();
    wxEvtHandler::RemoveFilter(&counter);
    EXPECT_EQ(sent, 1);
    std::wstring text;
    ASSERT_TRUE(m_frame->LookupCommandText(cmd::kApplyFilter, text));
    EXPECT_EQ(text, L"(objectClass=person)");
    ASSERT_FALSE(m_recent.empty());
    EXPECT_EQ(m_recent.front(), L"(objectClass=person)") << "stored trimmed";

    m_frame->SetFilterText("(cn=new)");
    EXPECT_EQ(combo->GetString(0), "(cn=new)");
    EXPECT_EQ(combo->GetCount(), 1u + m_recent.size());
    EXPECT_EQ(combo->GetSelection(), 0);

    // The same items again: what the user typed meanwhile goes all the same.
    combo->SetValue("typed");
    m_frame->SetFilterText("(cn=new)");
    EXPECT_EQ(combo->GetValue(), "(cn=new)");
    EXPECT_EQ(combo->GetSelection(), 0);
    EXPECT_EQ(combo->GetCount(), 1u + m_recent.size());
    m_frame->SetFilterText("(cn=other)");
    EXPECT_EQ(combo->GetValue(), "(cn=other)");
    EXPECT_EQ(combo->GetString(1), wxString(m_recent.front()));
}

TEST_F(MainFrameTest, TheFilterBoxsKeys)
{
    ASSERT_NE(MakeFrame(), nullptr);
    CCommandComboBox* combo = m_frame->GetFilterCombo();
    ASSERT_NE(combo, nullptr);
    m_frame->SetFilterText("(cn=a)");
    FilterCommandCounter counter;
    wxEvtHandler::AddFilter(&counter);
    struct Case {
        const char* what;
        int key;
        int modifiers;
        int sent;        // commands sent
        bool recorded;   // the text went to the recent filters
    };
    // The list is closed in all of these (Xvfb's keyboard cannot reach an open
    // GTK list; the open list's keys are the rules' table in shellcore).
    const Case cases[] = {
        {"Enter applies", WXK_RETURN, wxMOD_NONE, 1, true},
        {"Down on a closed list does nothing", WXK_DOWN, wxMOD_NONE, 0, false},
        {"Up on a closed list does nothing", WXK_UP, wxMOD_NONE, 0, false},
        {"Page Down on a closed list does nothing", WXK_PAGEDOWN, wxMOD_NONE, 0, false},
        {"Home moves the caret only", WXK_HOME, wxMOD_NONE, 0, false},
        {"Alt+Enter does not apply", WXK_RETURN, wxMOD_ALT, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_recent.clear();
        counter.sent = 0;
        combo->ChangeValue("  (cn=typed)  ");
        wxKeyEvent key(wxEVT_KEY_DOWN);
        key.m_keyCode = c.key;
        key.m_altDown = (c.modifiers & wxMOD_ALT) != 0;
        key.SetEventObject(combo);
        combo->GetEventHandler()->ProcessEvent(key);
        if (c.key == WXK_RETURN && c.modifiers == wxMOD_NONE) {
            // What GTK's field makes of an Enter the handlers let through.
            wxCommandEvent enter(wxEVT_TEXT_ENTER, combo->GetId());
            enter.SetEventObject(combo);
            combo->GetEventHandler()->ProcessEvent(enter);
        }
        frametest::Pump();
        EXPECT_EQ(counter.sent, c.sent);
        EXPECT_EQ(!m_recent.empty(), c.recorded);
        if (c.recorded) {
            EXPECT_EQ(m_recent.front(), L"(cn=typed)");
        }
        EXPECT_EQ(combo->GetValue(), "  (cn=typed)  ");
    }

    // A choice from the list is applied and recorded as well.
    m_recent.clear();
    counter.sent = 0;
    combo->SetSelection(0);
    wxCommandEvent chosen(wxEVT_COMBOBOX, combo->GetId());
    chosen.SetEventObject(combo);
    chosen.SetInt(0);
    combo->GetEventHandler()->ProcessEvent(chosen);
    frametest::Pump();
    EXPECT_EQ(counter.sent, 1);
    ASSERT_FALSE(m_recent.empty());
    EXPECT_EQ(m_recent.front(), L"(cn=a)");

    // Escape gives the main window the focus.
    m_frame->Show();
    frametest::Pump();
    combo->SetFocus();
    frametest::Pump();
    wxKeyEvent escape(wxEVT_KEY_DOWN);
    escape.m_keyCode = WXK_ESCAPE;
    escape.SetEventObject(combo);
    combo->GetEventHandler()->ProcessEvent(escape);
    frametest::Pump();
    wxWindow* focus = wxWindow::FindFocus();
    EXPECT_TRUE(focus && focus != combo && focus->GetParent() != combo) << "the box kept the focus";

    // The menu bar's filter item moves the focus into the box, its text selected.
    m_recent.clear();
    wxMenu* nodeMenu = nullptr;
    ASSERT_NE(m_frame->GetMenuBar()->FindItem(ui::WxId(cmd::kApplyFilter), &nodeMenu), nullptr);
    ASSERT_NE(nodeMenu, nullptr);
    m_frame->SetFocus();
    frametest::Pump();
    combo->ChangeValue("(cn=boxed)");
    wxCommandEvent fromBar(wxEVT_MENU, ui::WxId(cmd::kApplyFilter));
    fromBar.SetEventObject(nodeMenu);
    m_frame->ProcessWindowEvent(fromBar);
    frametest::Pump();
    focus = wxWindow::FindFocus();
    EXPECT_TRUE(focus == combo || (focus && focus->GetParent() == combo));
    long from = -1, to = -1;
    combo->GetSelection(&from, &to);
    EXPECT_EQ(from, 0);
    EXPECT_EQ(to, 10);
    EXPECT_TRUE(m_recent.empty()) << "the item applied the filter instead of moving to the box";

    // Once through the real keyboard: typed text and Enter, into a box in a
    // window of its own that the display gives the keyboard to when it maps.
    m_recent.clear();
    counter.sent = 0;
    auto* window = new wxFrame(nullptr, wxID_ANY, "filter keys");
    auto* typed = new CCommandComboBox(window, m_frame, cmd::kApplyFilter, 250);
    window->Show();
    uitest::RunFor(200);
    typed->SetFocus();
    uitest::RunFor(100);
    wxUIActionSimulator keys;
    keys.Text("(sn=x)");
    uitest::RunUntil([&] { return typed->GetValue() == "(sn=x)"; }, 3000);
    EXPECT_EQ(typed->GetValue(), "(sn=x)");
    keys.Char(WXK_RETURN);
    uitest::RunUntil([&] { return counter.sent > 0; }, 3000);
    frametest::Pump();
    window->Destroy();
    wxEvtHandler::RemoveFilter(&counter);
    EXPECT_EQ(counter.sent, 1);
    std::wstring text;
    ASSERT_TRUE(m_frame->LookupCommandText(cmd::kApplyFilter, text));
    EXPECT_EQ(text, L"(sn=x)");
    ASSERT_FALSE(m_recent.empty());
    EXPECT_EQ(m_recent.front(), L"(sn=x)");
}

// The drop-down lists' contents, from a source with known entries.
class ListSource : public CFrameMenuSource {
public:
    Availability GetFavorites(std::vector<std::wstring>& texts) override
    {
        texts = favorites;
        return availability;
    }
    void OpenFavorite(size_t index) override { opened.push_back(index); }
    void GetTemplates(std::vector<std::wstring>& server, std::vector<std::wstring>& global) override
    {
        server = {L"person"};
        global = {L"group", L"unit"};
    }
    void CreateFromTemplate(bool global, size_t index) override { templates.push_back({global, index}); }
    std::vector<std::wstring> GetHistoryTexts(bool back) override
    {
        return back ? std::vector<std::wstring>{L"ou=People", L"RootDSE"} : std::vector<std::wstring>{};
    }
    void MoveInHistory(bool back, size_t steps) override { moves.push_back({back, steps}); }

    Availability availability = Availability::List;
    std::vector<std::wstring> favorites;
    std::vector<size_t> opened;
    std::vector<std::pair<bool, size_t>> templates, moves;
};

TEST_F(MainFrameTest, DropDownListsAreFilledWhenTheyOpenAndNameTheirItemsByRange)
{
    ASSERT_NE(MakeFrame(), nullptr);
    auto source = std::make_shared<ListSource>();
    m_frame->SetMenuSource(source);

    std::unique_ptr<wxMenu> favorites(ui::LoadPopupMenuResource(304));
    ASSERT_TRUE(m_frame->PreparePopupMenu(favorites.get()));
    ASSERT_EQ(favorites->GetMenuItemCount(), 1u);
    EXPECT_EQ(favorites->FindItemByPosition(0)->GetId(), 109);
    EXPECT_EQ(favorites->FindItemByPosition(0)->GetItemLabel().ToStdWstring(), Resource(109));

    for (int i = 0; i < 600; ++i)
        source->favorites.push_back(L"fav " + std::to_wstring(i));
    favorites.reset(ui::LoadPopupMenuResource(304));
    ASSERT_TRUE(m_frame->PreparePopupMenu(favorites.get()));
    EXPECT_EQ(favorites->GetMenuItemCount(), kFavoriteCommands.Capacity());
    EXPECT_EQ(favorites->FindItemByPosition(favorites->GetMenuItemCount() - 1)->GetId(),
              static_cast<int>(kFavoriteCommands.last));

    source->availability = CFrameMenuSource::Availability::NoList;
    favorites.reset(ui::LoadPopupMenuResource(304));
    EXPECT_FALSE(m_frame->PreparePopupMenu(favorites.get()));

    std::unique_ptr<wxMenu> templates(ui::LoadPopupMenuResource(340));
    ASSERT_TRUE(m_frame->PreparePopupMenu(templates.get()));
    ASSERT_EQ(templates->GetMenuItemCount(), 3u);
    EXPECT_EQ(templates->FindItemByPosition(2)->GetItemLabel(), "unit");

    std::unique_ptr<wxMenu> back(ui::LoadPopupMenuResource(457));
    ASSERT_TRUE(m_frame->PreparePopupMenu(back.get()));
    EXPECT_EQ(back->GetMenuItemCount(), 2u);
    std::unique_ptr<wxMenu> forward(ui::LoadPopupMenuResource(458));
    EXPECT_FALSE(m_frame->PreparePopupMenu(forward.get())) << "an empty history list is not shown";

    for (int id : {3585, 4097, 4609}) {
        wxCommandEvent e(wxEVT_MENU, id);
        m_frame->GetEventHandler()->ProcessEvent(e);
    }
    EXPECT_EQ(source->opened, std::vector<size_t>{1});
    ASSERT_EQ(source->templates.size(), 1u);
    EXPECT_TRUE(source->templates[0].first);
    EXPECT_EQ(source->templates[0].second, 0u);
    ASSERT_EQ(source->moves.size(), 1u);
    EXPECT_EQ(source->moves[0], std::make_pair(true, size_t(1)));
}

TEST_F(MainFrameTest, ViewCommandsShowAndHideTheBars)
{
    ASSERT_NE(MakeFrame(), nullptr);
    EXPECT_FALSE(m_frame->IsPaneShown("output"));
    for (uint32_t id : {cmd::kOutputBar, cmd::kSecondToolbarToggle}) {
        wxCommandEvent e(wxEVT_MENU, ui::WxId(id));
        m_frame->GetEventHandler()->ProcessEvent(e);
    }
    EXPECT_TRUE(m_frame->IsPaneShown("output"));
    EXPECT_FALSE(m_frame->IsPaneShown("filter"));
    wxCommandEvent details(wxEVT_MENU, ui::WxId(cmd::kViewList));
    m_frame->GetEventHandler()->ProcessEvent(details);
    EXPECT_TRUE(m_frame->GetListCtrl()->HasFlag(wxLC_LIST));
}

TEST_F(MainFrameTest, ItsPlaceSplitterAndOutputBarComeBackInTheNextWindow)
{
    struct Layout {
        wxRect place;
        int splitter;
        bool outputBar;
    };
    const Layout layouts[] = {{wxRect(60, 50, 900, 640), 333, true}, {wxRect(200, 120, 760, 560), 180, false}};
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.splitter);
        ASSERT_NE(MakeFrame(), nullptr);
        m_frame->SetSize(layout.place);
        m_frame->GetSplitter()->SetSashPosition(layout.splitter);
        m_frame->ShowPane("output", layout.outputBar);
        EXPECT_TRUE(frametest::PumpUntil([&] { return m_frame->GetRect() == layout.place; }, std::chrono::seconds(5)));
        m_frame->Destroy();
        m_frame = nullptr;
        frametest::Pump();

        ASSERT_NE(MakeFrame(), nullptr);
        frametest::Pump();
        EXPECT_EQ(m_frame->GetRect(), layout.place);
        EXPECT_EQ(m_frame->GetSplitter()->GetSashPosition(), layout.splitter);
        EXPECT_EQ(m_frame->IsPaneShown("output"), layout.outputBar);
        m_frame->Destroy();
        m_frame = nullptr;
        frametest::Pump();
    }
}

TEST_F(MainFrameTest, AKeptPlaceOnNoScreenIsIgnored)
{
    // Kept on a second screen that is gone now.
    const wxRect screen = wxDisplay(0u).GetGeometry();
    ASSERT_TRUE(WriteWindowPlacementText(kMainFrameSection, L"5000,5000,5900,5640,1,0"));
    ASSERT_EQ(wxDisplay::GetFromPoint(wxPoint(5000, 5000)), wxNOT_FOUND);
    ASSERT_NE(MakeFrame(), nullptr);
    frametest::Pump();
    const wxRect place = m_frame->GetRect();
    EXPECT_TRUE(screen.Contains(place.GetTopLeft())) << place.x << "," << place.y;
    EXPECT_TRUE(screen.Contains(place.GetTopRight())) << place.GetRight();
}

TEST_F(MainFrameTest, AMissingToolbarFailsTheWindowsCreation)
{
    // A resource library like the real one but without the second toolbar.
    std::string folder = m_home + "/arbresource";
    std::filesystem::copy(platform::ResourceLibrary::Current().GetFolder(), folder,
                          std::filesystem::copy_options::recursive);
    std::filesystem::remove(folder + "/toolbar/222.xrc");
    std::string previous = platform::ResourceLibrary::Current().GetFolder();
    ASSERT_TRUE(platform::ResourceLibrary::Current().Load(folder));
    CArbMainFrame* frame = CreateMainFrame();
    EXPECT_EQ(frame, nullptr);
    if (frame)
        frame->Destroy();
    frametest::Pump();
    ASSERT_TRUE(platform::ResourceLibrary::Current().Load(previous));
    EXPECT_EQ(platform::GetAppWindow(platform::AppWindow::MainFrame), platform::kNoReceiver);
}

} // namespace
