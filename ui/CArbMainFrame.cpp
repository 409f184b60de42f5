#include "ui/CArbMainFrame.h"

#include <memory>
#include <vector>

#include <wx/cshelp.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/xrc/xmlres.h>

#include "dialogcore/MainFrameLayout.h"
#include "jobs/CLDAPThread.h"
#include "shellcore/FrameCommands.h"
#include "shellcore/StatusProgress.h"
#include "shellcore/TextFormat.h"
#include "shellcore/DocumentMenuSource.h"
#include "ui/CArbDocument.h"
#include "ui/CArbListView.h"
#include "ui/CArbStatusBar.h"
#include "ui/CArbTreeView.h"
#include "ui/CCommandComboBox.h"
#include "ui/COutputBar.h"
#include "ui/COutputList.h"
#include "ui/CProgressBar.h"
#include "ui/CWaitOperationsDlg.h"
#include "shellcore/RecentTexts.h"
#include "widgets/CBCGPopupMenuEx.h"
#include "widgets/CMenuEditBoxButton.h"
#include "widgets/HelpFunctions.h"
#include "widgets/HtmlHelpProxy.h"
#include "widgets/UiResources.h"
#include "widgets/WhenMapped.h"
#include "widgets/WxCommandIds.h"

namespace {

constexpr uint32_t kMainFrameResource = 138;  // the main window's resource id, as help knows it
constexpr unsigned kMenuMain = 138;
constexpr unsigned kMenuToolbars = 150;
constexpr unsigned kToolbarMain = 138;
constexpr unsigned kToolbarSecond = 222;
constexpr unsigned kStrCaption = 138;
constexpr unsigned kStrMainToolbar = 101;
constexpr unsigned kStrAbout = 102;
constexpr unsigned kStrNoFavorites = 109;
constexpr unsigned kStrNoTemplates = 111;
constexpr unsigned kStrSecondToolbar = 152;
constexpr unsigned kStrProgressStart = 573;
constexpr unsigned kStrProgressStep = 574;
constexpr unsigned kStrOutput = 706;
constexpr unsigned kStrFilterItem = 688;
constexpr unsigned kIconServerPane = 384;
constexpr unsigned kIconSecure = 300;
constexpr unsigned kIconNotSecure = 302;
constexpr unsigned kIconProgram = 138;
constexpr int kFilterComboWidth = 180;
constexpr int kSplitterPosition = 220;

const char kPaneMainToolbar[] = "standard";
const char kPaneSecondToolbar[] = "filter";
const char kPaneViews[] = "views";
const char kPaneOutput[] = "output";

// The menu buttons of the toolbars and the menus they drop down.
struct MenuButton {
    uint32_t command;
    unsigned menu;
};
const MenuButton kMenuButtons[] = {{cmd::kFavorites, 304}, {cmd::kEntryTemplates, 340}, {cmd::kBack, 457},
                                   {cmd::kForward, 458}};

void RemoveCommandsFrom(wxMenu* menu, bool (*hidden)(uint32_t))
{
    for (size_t i = menu->GetMenuItemCount(); i-- > 0;) {
        wxMenuItem* item = menu->FindItemByPosition(i);
        if (item->GetSubMenu())
            RemoveCommandsFrom(item->GetSubMenu(), hidden);
        else if (!item->IsSeparator() && hidden(ui::CommandOf(item->GetId())))
            menu->Destroy(item);
    }
}

void ClearMenu(wxMenu* menu)
{
    while (menu->GetMenuItemCount() > 0)
        menu->Destroy(menu->FindItemByPosition(0));
}

// The items of a platform menu appended to a wx menu.
void AppendItems(wxMenu* menu, const platform::PopupMenu& items)
{
    for (const platform::MenuItem& item : items.Items()) {
        if (item.IsSeparator()) {
            menu->AppendSeparator();
            continue;
        }
        wxString text(item.text);
        text.Replace("&", "&&");
        menu->Append(ui::WxId(item.command), text)->Enable(item.IsEnabled());
    }
}

// The items of one menu copied into another.
void CopyItems(wxMenu* from, wxMenu* to)
{
    for (size_t i = 0; i < from->GetMenuItemCount(); ++i) {
        wxMenuItem* item = from->FindItemByPosition(i);
        if (item->IsSeparator())
            to->AppendSeparator();
        else
            to->Append(item->GetId(), item->GetItemLabel(), item->GetHelp(), item->GetKind());
    }
}

// Fills the toolbar-list placeholder's menu (anywhere in menu) from menu 150.
bool FillToolbarList(wxMenu* menu)
{
    wxMenu* owner = nullptr;
    if (!menu->FindItem(ui::WxId(cmd::kToolbarList), &owner) || !owner)
        return false;
    std::unique_ptr<wxMenu> list(ui::LoadPopupMenuResource(kMenuToolbars));
    ClearMenu(owner);
    if (list)
        CopyItems(list.get(), owner);
    return true;
}

struct SavedTool {
    int id;
    wxItemKind kind;
    wxBitmapBundle bitmap;
    wxString label;
    wxString shortHelp;
};

} // namespace

CArbMainFrame::CArbMainFrame() = default;

CArbMainFrame::~CArbMainFrame()
{
    if (m_created)
        SaveLayout();
    m_progress.reset();
    // The views go first: the tree's nodes before the document's root.
    if (m_splitter) {
        m_aui.DetachPane(m_splitter);
        delete m_splitter;
        m_splitter = nullptr;
    }
    m_tree = nullptr;
    m_treeView = nullptr;
    m_list = nullptr;
    m_menuSource.reset();
    if (m_document) {
        platform::SetDocumentPort(std::move(m_previousDocumentPort));
        m_document.reset();
    }
    if (platform::GetAppWindow(platform::AppWindow::MainFrame) == m_registration.Id())
        platform::SetAppWindow(platform::AppWindow::MainFrame, platform::kNoReceiver);
    m_registration.Reset();
    m_aui.UnInit();
}

wxMenuBar* CArbMainFrame::LoadMainMenu()
{
    wxMenuBar* bar = ui::LoadMenuBarResource(kMenuMain);
    if (!bar)
        return nullptr;
    for (size_t i = 0; i < bar->GetMenuCount(); ++i) {
        wxMenu* menu = bar->GetMenu(i);
        RemoveCommandsFrom(menu, IsHiddenMenuCommand);
        FillToolbarList(menu);
    }
    if (wxMenuItem* about = bar->FindItem(ui::WxId(cmd::kAppAbout))) {
        wxString text = ui::ResourceString(kStrAbout);
        if (!text.empty())
            about->SetItemLabel(text);
    }
    return bar;
}

int CArbMainFrame::FindTopMenuItem(wxMenuBar* menu, const wxString& text)
{
    if (!menu)
        return -1;
    for (size_t i = 0; i < menu->GetMenuCount(); ++i) {
        if (menu->GetMenuLabel(i) == text)
            return static_cast<int>(i);
    }
    return -1;
}

wxAuiToolBar* CArbMainFrame::LoadToolBar(unsigned id)
{
    if (!ui::LoadXrc("toolbar", id))
        return nullptr;
    wxObject* object = wxXmlResource::Get()->LoadObject(this, wxString::Format("toolbar%u", id), "wxAuiToolBar");
    auto* bar = dynamic_cast<wxAuiToolBar*>(object);
    if (!bar)
        delete object;
    return bar;
}

bool CArbMainFrame::CreateToolBars()
{
    m_mainToolBar = LoadToolBar(kToolbarMain);
    if (!m_mainToolBar)
        return false;
    m_mainToolBar->SetName(ui::ResourceString(kStrMainToolbar));
    // A missing second toolbar is a failed window too: a frame without it
    // would have no status bar or output window either.
    m_secondToolBar = LoadToolBar(kToolbarSecond);
    if (!m_secondToolBar)
        return false;
    m_secondToolBar->SetId(ui::WxId(cmd::kSecondToolbar));
    m_secondToolBar->SetName(ui::ResourceString(kStrSecondToolbar));

    // The filter box takes the place of its command's button.
    std::vector<SavedTool> tools;
    for (size_t i = 0; i < m_secondToolBar->GetToolCount(); ++i) {
        wxAuiToolBarItem* item = m_secondToolBar->FindToolByIndex(static_cast<int>(i));
        tools.push_back({item->GetId(), static_cast<wxItemKind>(item->GetKind()), item->GetBitmapBundle(), item->GetLabel(), item->GetShortHelp()});
    }
    m_secondToolBar->ClearTools();
    for (const SavedTool& t : tools) {
        if (t.kind == wxITEM_SEPARATOR) {
            m_secondToolBar->AddSeparator();
        } else if (t.id == ui::WxId(cmd::kApplyFilter)) {
            m_filterCombo = new CCommandComboBox(m_secondToolBar, this, cmd::kApplyFilter, kFilterComboWidth);
            m_filterCombo->SetToolTip(t.shortHelp);
            m_secondToolBar->AddControl(m_filterCombo);
        } else {
            m_secondToolBar->AddTool(t.id, t.label, t.bitmap, t.shortHelp, t.kind);
        }
    }
    AttachMenuButtons();
    RemoveHiddenButtons();
    m_mainToolBar->Realize();
    m_secondToolBar->Realize();
    for (wxAuiToolBar* bar : {m_mainToolBar, m_secondToolBar}) {
        bar->Bind(wxEVT_AUITOOLBAR_TOOL_DROPDOWN, &CArbMainFrame::OnToolDropDown, this);
        bar->Bind(wxEVT_AUITOOLBAR_RIGHT_CLICK, &CArbMainFrame::OnToolBarRightClick, this);
    }
    return true;
}

void CArbMainFrame::AttachMenuButtons()
{
    for (const MenuButton& b : kMenuButtons) {
        for (wxAuiToolBar* bar : {m_mainToolBar, m_secondToolBar}) {
            if (bar->FindTool(ui::WxId(b.command)))
                bar->SetToolDropDown(ui::WxId(b.command), true);
        }
    }
}

void CArbMainFrame::RemoveHiddenButtons()
{
    for (uint32_t command : HiddenToolbarCommands()) {
        while (m_secondToolBar->FindTool(ui::WxId(command)))
            m_secondToolBar->DeleteTool(ui::WxId(command));
    }
}

wxVisualAttributes CArbMainFrame::GetDefaultAttributes() const
{
    return m_theme.Get([this] { return wxFrame::GetDefaultAttributes(); });
}

bool CArbMainFrame::Create()
{
    if (!wxFrame::Create(nullptr, wxID_ANY, ui::ResourceString(kStrCaption), wxDefaultPosition, wxSize(980, 700)))
        return false;
    m_registration = platform::ReceiverRegistration(*this);
    platform::SetAppWindow(platform::AppWindow::MainFrame, m_registration.Id());
    m_aui.SetManagedWindow(this);
    wxBitmap icon = ui::LoadBitmapResource("icon", kIconProgram);
    if (icon.IsOk()) {
        wxIcon frameIcon;
        frameIcon.CopyFromBitmap(icon);
        SetIcon(frameIcon);
    }

    wxMenuBar* menu = LoadMainMenu();
    if (!menu)
        return false;
    SetMenuBar(menu);
    if (!CreateToolBars())
        return false;

    m_statusBar = new CArbStatusBar(this);
    SetStatusBar(m_statusBar);
    SetStatusBarPane(CArbStatusBar::kMessage);
    m_statusBar->SetStatusText(ui::ResourceString(57345), CArbStatusBar::kMessage);
    m_statusBar->SetPaneIcon(CArbStatusBar::kServer, ui::LoadBitmapResource("icon", kIconServerPane));
    m_statusBar->Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
        if (m_progress)
            m_progress->Layout();
        e.Skip();
    });

    m_document = std::make_shared<CArbDocument>(this);
    m_previousDocumentPort = platform::SetDocumentPort(m_document);
    m_menuSource = std::make_shared<CDocumentMenuSource>(m_document->GetCommands(), m_document->GetHistory());
    m_splitter = new wxSplitterWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxSP_LIVE_UPDATE | wxSP_3D);
    m_treeView = new CArbTreeView(m_splitter, m_document.get());
    m_tree = m_treeView;
    auto list = std::make_unique<CArbListView>();
    if (!list->Create(m_splitter))
        return false;
    m_list = list.release();  // the splitter's child now
    const MainFrameLayout layout = LoadMainFrameLayout();
    m_splitter->SetMinimumPaneSize(20);
    if (!m_splitter->SplitVertically(m_tree, m_list, layout.splitterPosition.value_or(kSplitterPosition)))
        return false;

    m_outputBar = new COutputBar();
    if (!m_outputBar->Create(this, ui::WxId(cmd::kOutputBar)))
        return false;

    m_aui.AddPane(m_mainToolBar, wxAuiPaneInfo()
                                     .Name(kPaneMainToolbar)
                                     .Caption(ui::ResourceString(kStrMainToolbar))
                                     .ToolbarPane()
                                     .Top()
                                     .Row(0)
                                     .Position(0));
    m_aui.AddPane(m_secondToolBar, wxAuiPaneInfo()
                                       .Name(kPaneSecondToolbar)
                                       .Caption(ui::ResourceString(kStrSecondToolbar))
                                       .ToolbarPane()
                                       .Top()
                                       .Row(0)
                                       .Position(1));
    m_aui.AddPane(m_splitter, wxAuiPaneInfo().Name(kPaneViews).CenterPane());
    m_aui.AddPane(m_outputBar, wxAuiPaneInfo()
                                   .Name(kPaneOutput)
                                   .Caption(ui::ResourceString(kStrOutput))
                                   .Bottom()
                                   .BestSize(150, 150)
                                   .MinSize(-1, 60)
                                   .CloseButton(true)
                                   .Gripper(true)
                                   .Show(layout.outputBarShown.value_or(false)));
    m_aui.Update();
    LoadWindowState(kMainFrameSection, false);
    if (layout.splitterPosition)
        KeepSashWhenSized(*layout.splitterPosition);
    Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
        NoteNormalRect();
        e.Skip();
    });
    Bind(wxEVT_MOVE, [this](wxMoveEvent& e) {
        NoteNormalRect();
        e.Skip();
    });

    Bind(wxEVT_CLOSE_WINDOW, &CArbMainFrame::OnClose, this);
    m_theme.ForgetOnColourChange(*this);
    Bind(wxEVT_MENU_OPEN, &CArbMainFrame::OnMenuOpen, this);
    Bind(wxEVT_IDLE, &CArbMainFrame::OnIdleStatus, this);
    for (uint32_t id : {cmd::kOutputBar, cmd::kSecondToolbarToggle, cmd::kViewToolbar, cmd::kViewStatusBar}) {
        Bind(wxEVT_MENU, &CArbMainFrame::OnToggleBar, this, ui::WxId(id));
        Bind(wxEVT_UPDATE_UI, &CArbMainFrame::OnUpdateToggleBar, this, ui::WxId(id));
    }
    Bind(wxEVT_MENU, &CArbMainFrame::OnHideOutput, this, ui::WxId(cmd::kHideOutput));
    Bind(wxEVT_MENU, &CArbMainFrame::OnViewStyle, this, ui::WxId(cmd::kViewSmallIcon), ui::WxId(cmd::kViewByName));
    Bind(wxEVT_UPDATE_UI, &CArbMainFrame::OnUpdateViewStyle, this, ui::WxId(cmd::kViewSmallIcon),
         ui::WxId(cmd::kViewByName));
    for (uint32_t id : {cmd::kEditCopy, cmd::kEditCut, cmd::kEditPaste})
        Bind(wxEVT_MENU, &CArbMainFrame::OnClipboardCommand, this, ui::WxId(id));
    Bind(wxEVT_MENU, &CArbMainFrame::OnRangeCommand, this, static_cast<int>(kFavoriteCommands.first),
         static_cast<int>(kHistoryForwardCommands.last));
    for (uint32_t id : {cmd::kNothing, 32908u, 32909u})
        Bind(wxEVT_MENU, &CArbMainFrame::OnNothing, this, ui::WxId(id));
    Bind(wxEVT_MENU, &CArbMainFrame::OnExit, this, ui::WxId(cmd::kAppExit));
    Bind(wxEVT_MENU, &CArbMainFrame::OnHelpCommand, this, ui::WxId(cmd::kHelpFinder));
    Bind(wxEVT_MENU, &CArbMainFrame::OnHelpCommand, this, ui::WxId(cmd::kHelpIndex));
    Bind(wxEVT_MENU, &CArbMainFrame::OnHelpCommand, this, ui::WxId(cmd::kHelp));
    Bind(wxEVT_MENU, &CArbMainFrame::OnHelpCommand, this, ui::WxId(cmd::kDefaultHelp));
    Bind(wxEVT_MENU, &CArbMainFrame::OnContextHelp, this, ui::WxId(cmd::kContextHelp));
    Bind(wxEVT_HELP, &CArbMainFrame::OnHelp, this);
    UpdateStatusPanes();
    m_list->OnInitialUpdate();
    m_created = true;
    return true;
}

// The splitter takes its size in steps as the frame is laid out, and under a
// window manager again as the frame is mapped, narrower for a moment; the
// toolkit clamps the sash then and keeps it there. The kept position is asked
// again once the frame is mapped and the splitter is wide enough for it,
// unless the person has dragged the sash by then (the toolkit reports its own
// clamps as changes too, but only a drag as changing).
void CArbMainFrame::KeepSashWhenSized(int position)
{
    enum class Sash { WaitingForMap, WaitingForWidth, Done };
    auto state = std::make_shared<Sash>(Sash::WaitingForMap);
    auto applyIfWide = [this, state, position](int width) {
        if (width < position + m_splitter->GetSashSize() + m_splitter->GetMinimumPaneSize())
            return;
        *state = Sash::Done;
        CallAfter([this, position] {
            if (m_splitter && m_splitter->IsSplit())
                m_splitter->SetSashPosition(position);
        });
    };
    m_splitter->Bind(wxEVT_SPLITTER_SASH_POS_CHANGING, [state](wxSplitterEvent& event) {
        *state = Sash::Done;
        event.Skip();
    });
    m_splitter->Bind(wxEVT_SIZE, [state, applyIfWide](wxSizeEvent& event) {
        event.Skip();
        if (*state == Sash::WaitingForWidth)
            applyIfWide(event.GetSize().x);
    });
    CallWhenMapped(this, [this, state, applyIfWide] {
        if (*state != Sash::WaitingForMap)
            return;
        *state = Sash::WaitingForWidth;
        applyIfWide(m_splitter->GetSize().x);
    });
}

void CArbMainFrame::SaveLayout()
{
    SaveWindowState(kMainFrameSection, false);
    MainFrameLayout layout;
    if (m_splitter && m_splitter->IsSplit())
        layout.splitterPosition = m_splitter->GetSashPosition();
    layout.outputBarShown = IsPaneShown(kPaneOutput);
    SaveMainFrameLayout(layout);
}

void CArbMainFrame::OnHelpCommand(wxCommandEvent& event)
{
    switch (ui::CommandOf(event.GetId())) {
    case cmd::kHelpFinder:
        ShowHelpContext(this, help::kContextTopics);
        break;
    case cmd::kHelpIndex:
        ShowHelpContext(this, help::kContextIndex);
        break;
    default:  // the framework's help: the main window's page
        ShowHelpForId(this, kMainFrameResource, help::kWindowContexts, help::kWindowContextsSize);
        break;
    }
}

void CArbMainFrame::OnContextHelp(wxCommandEvent&)
{
    m_helpMode = true;
    wxContextHelp whatsThis(this, true);
    // Ended without a click (Escape): the next help request is not one.
    m_helpMode = false;
}

void CArbMainFrame::OnHelp(wxHelpEvent& event)
{
    if (!m_helpMode) {
        ShowHelpForId(this, kMainFrameResource, help::kWindowContexts, help::kWindowContextsSize);
        return;
    }
    m_helpMode = false;
    const wxPoint point = event.GetPosition();
    auto within = [&point](const wxWindow* w) {
        return w && w->IsShownOnScreen() && w->GetScreenRect().Contains(point);
    };
    help::ClickedPart part = help::ClickedPart::Other;
    if (within(m_tree))
        part = help::ClickedPart::Tree;
    else if (within(GetListCtrl()))
        part = help::ClickedPart::List;
    else if (within(m_outputBar))
        part = help::ClickedPart::OutputBar;
    else if (within(m_statusBar))
        part = help::ClickedPart::StatusBar;
    // A toolbar's button answers for its command, the rest for the window.
    uint32_t id = kMainFrameResource;
    for (wxAuiToolBar* bar : {m_mainToolBar, m_secondToolBar})
        if (within(bar))
            if (wxAuiToolBarItem* tool = bar->FindToolByPosition(bar->ScreenToClient(point).x,
                                                                 bar->ScreenToClient(point).y))
                if (tool->GetId() > 0)
                    id = ui::CommandOf(tool->GetId());
    HelpRequest request;
    request.controlId = static_cast<int>(id);
    request.window = this;
    request.point = point;
    const help::PopupChoice popup = help::ChooseMainWindowPopup(id, part);
    ShowPopupHelp(request, popup.file, help::kCommandPopupTopics, help::kCommandPopupTopicsSize, popup.topic,
                  help::kDisplayTextPopup);
}

wxListCtrl* CArbMainFrame::GetListCtrl() const
{
    return m_list;
}

wxWindow* CArbMainFrame::GetActiveView() const
{
    if (!m_document)
        return nullptr;
    if (m_document->IsTreeLastFocused())
        return m_treeView;
    IDocumentListView* list = m_document->GetListView();
    return list ? list->GetListWindow() : nullptr;
}

bool CArbMainFrame::TryBefore(wxEvent& event)
{
    const wxEventType type = event.GetEventType();
    if (type != wxEVT_MENU && type != wxEVT_UPDATE_UI)
        return wxFrame::TryBefore(event);
    // The filter box takes the clipboard accelerators while it has the focus.
    const uint32_t command = ui::CommandOf(event.GetId());
    if (command == cmd::kEditCopy || command == cmd::kEditCut || command == cmd::kEditPaste) {
        wxWindow* focus = wxWindow::FindFocus();
        if (m_filterCombo && focus && (focus == m_filterCombo || focus->GetParent() == m_filterCombo))
            return wxFrame::TryBefore(event);
        // The output window copies its own lines while it has the focus.
        COutputList* output = GetOutputList();
        if (output && focus == output && output->GetEventHandler()->ProcessEventLocally(event))
            return true;
    }
    // The menu bar's filter item is where the filter is typed: the box.
    if (type == wxEVT_MENU && command == cmd::kApplyFilter && m_filterCombo) {
        auto* menu = dynamic_cast<wxMenu*>(event.GetEventObject());
        if (menu && menu->GetMenuBar()) {
            m_filterCombo->SetFocus();
            m_filterCombo->SelectAll();
            return true;
        }
    }
    if (wxWindow* view = GetActiveView())
        if (view->GetEventHandler()->ProcessEventLocally(event))
            return true;
    if (m_document && m_document->ProcessEventLocally(event))
        return true;
    return wxFrame::TryBefore(event);
}

void CArbMainFrame::StoreCommandText(uint32_t command, const wxString& text)
{
    m_commandTexts.Store(command, text.ToStdWstring());
}

bool CArbMainFrame::LookupCommandText(uint32_t command, std::wstring& text) const
{
    return m_commandTexts.Lookup(command, text);
}

void CArbMainFrame::SetFilterText(const wxString& text)
{
    if (m_secondToolBar && m_filterCombo)
        m_filterCombo->SetFilterText(text);
}

void CArbMainFrame::ShowPane(const char* name, bool show)
{
    wxAuiPaneInfo& pane = m_aui.GetPane(name);
    if (!pane.IsOk())
        return;
    pane.Show(show);
    m_aui.Update();
}

bool CArbMainFrame::IsPaneShown(const char* name) const
{
    const wxAuiPaneInfo& pane = const_cast<wxAuiManager&>(m_aui).GetPane(name);
    return pane.IsOk() && pane.IsShown();
}

void CArbMainFrame::ShowOutputBar()
{
    ShowPane(kPaneOutput, true);
}

COutputList* CArbMainFrame::GetOutputList() const
{
    return m_outputBar ? m_outputBar->GetList() : nullptr;
}

void CArbMainFrame::SetPaneText1(const wxString& text)
{
    m_paneText1 = text;
}

void CArbMainFrame::SetPaneText2(const wxString& text)
{
    m_paneText2 = text;
}

void CArbMainFrame::SetPaneValue(int value)
{
    m_paneValue = value;
}

void CArbMainFrame::SetMessageText(const wxString& text)
{
    if (m_statusBar && !m_progress)
        m_statusBar->SetStatusText(text, CArbStatusBar::kMessage);
}

void CArbMainFrame::UpdateStatusPanes()
{
    if (!m_statusBar)
        return;
    if (m_shownText1 != m_paneText1 || m_shownText1.empty()) {
        m_statusBar->SetPaneTextWithIcon(CArbStatusBar::kServer, m_paneText1);
        m_shownText1 = m_paneText1;
    }
    if (m_shownText2 != m_paneText2) {
        m_statusBar->SetStatusText(m_paneText2, CArbStatusBar::kSchema);
        m_shownText2 = m_paneText2;
    }
    int value = m_paneValue != 0 ? 1 : 0;
    if (value != m_shownValue) {
        m_statusBar->SetPaneIcon(CArbStatusBar::kSecure, ui::LoadBitmapResource("icon", value ? kIconSecure : kIconNotSecure));
        m_shownValue = value;
    }
}

void CArbMainFrame::OnIdleStatus(wxIdleEvent& event)
{
    UpdateStatusPanes();
    if (m_document)
        m_document->OnIdle();
    event.Skip();
}

bool CArbMainFrame::PreparePopupMenu(wxMenu* menu)
{
    if (!menu)
        return false;
    if (FillToolbarList(menu))
        return true;
    if (menu->GetMenuItemCount() == 0)
        return true;
    bool result = true;
    uint32_t first = ui::CommandOf(menu->FindItemByPosition(0)->GetId());
    platform::PopupMenu items;
    if (first == cmd::kFavoritesPlaceholder) {
        ClearMenu(menu);
        std::vector<std::wstring> texts;
        CFrameMenuSource::Availability a =
            m_menuSource ? m_menuSource->GetFavorites(texts) : CFrameMenuSource::Availability::NoNode;
        if (a == CFrameMenuSource::Availability::NoList) {
            result = false;
        } else if (a == CFrameMenuSource::Availability::List) {
            if (texts.empty())
                menu->Append(kStrNoFavorites, ui::ResourceString(kStrNoFavorites))->Enable(false);
            FillRangeMenu(items, kFavoriteCommands, texts);
            AppendItems(menu, items);
        }
    } else if (first == cmd::kTemplatesPlaceholder) {
        ClearMenu(menu);
        std::vector<std::wstring> server, global;
        if (m_menuSource)
            m_menuSource->GetTemplates(server, global);
        server.insert(server.end(), global.begin(), global.end());
        if (server.empty())
            menu->Append(kStrNoTemplates, ui::ResourceString(kStrNoTemplates))->Enable(false);
        FillRangeMenu(items, kTemplateCommands, server);
        AppendItems(menu, items);
    } else if (first == cmd::kBackPlaceholder || first == cmd::kForwardPlaceholder) {
        bool back = first == cmd::kBackPlaceholder;
        ClearMenu(menu);
        std::vector<std::wstring> texts = m_menuSource ? m_menuSource->GetHistoryTexts(back) : std::vector<std::wstring>();
        if (texts.empty())
            return false;
        FillRangeMenu(items, back ? kHistoryBackCommands : kHistoryForwardCommands, texts);
        AppendItems(menu, items);
    }
    return result;
}

void CArbMainFrame::PrepareContextMenu(CBCGPopupMenuEx& menu)
{
    const PopupMenuEntry* filter = menu.FindCommand(ui::WxId(cmd::kApplyFilter));
    if (!filter)
        return;
    auto box = std::make_unique<CMenuEditBoxButton>(
        cmd::kApplyFilter, ui::ResourceString(kStrFilterItem).ToStdWstring(), filter->text,
        [this](uint32_t command, const std::wstring& text) { StoreCommandText(command, wxString(text)); }, 0);
    box->SetRecentItemsKey(kRecentFiltersKey);
    menu.ReplaceWithEditBox(std::move(box));
}

void CArbMainFrame::OnToolDropDown(wxAuiToolBarEvent& event)
{
    auto* bar = dynamic_cast<wxAuiToolBar*>(event.GetEventObject());
    if (!bar || !event.IsDropDownClicked()) {
        event.Skip();
        return;
    }
    unsigned menuId = 0;
    for (const MenuButton& b : kMenuButtons)
        if (ui::WxId(b.command) == event.GetToolId())
            menuId = b.menu;
    std::unique_ptr<wxMenu> menu(menuId ? ui::LoadPopupMenuResource(menuId) : nullptr);
    if (!menu || !PreparePopupMenu(menu.get()) || menu->GetMenuItemCount() == 0)
        return;
    bar->SetToolSticky(event.GetToolId(), true);
    wxRect r = bar->GetToolRect(event.GetToolId());
    bar->PopupMenu(menu.get(), r.GetBottomLeft());
    bar->SetToolSticky(event.GetToolId(), false);
}

void CArbMainFrame::OnToolBarRightClick(wxAuiToolBarEvent& event)
{
    std::unique_ptr<wxMenu> menu(ui::LoadPopupMenuResource(kMenuToolbars));
    if (!menu)
        return;
    PopupMenu(menu.get(), ScreenToClient(wxGetMousePosition()));
}

void CArbMainFrame::OnMenuOpen(wxMenuEvent& event)
{
    if (wxMenu* menu = event.GetMenu())
        FillToolbarList(menu);
    event.Skip();
}

void CArbMainFrame::OnToggleBar(wxCommandEvent& event)
{
    switch (ui::CommandOf(event.GetId())) {
    case cmd::kOutputBar:
        ShowPane(kPaneOutput, !IsPaneShown(kPaneOutput));
        break;
    case cmd::kSecondToolbarToggle:
        ShowPane(kPaneSecondToolbar, !IsPaneShown(kPaneSecondToolbar));
        break;
    case cmd::kViewToolbar:
        ShowPane(kPaneMainToolbar, !IsPaneShown(kPaneMainToolbar));
        break;
    case cmd::kViewStatusBar:
        if (m_statusBar) {
            m_statusBar->Show(!m_statusBar->IsShown());
            SendSizeEvent();
        }
        break;
    }
}

void CArbMainFrame::OnUpdateToggleBar(wxUpdateUIEvent& event)
{
    switch (ui::CommandOf(event.GetId())) {
    case cmd::kOutputBar:
        event.Check(IsPaneShown(kPaneOutput));
        break;
    case cmd::kSecondToolbarToggle:
        event.Check(IsPaneShown(kPaneSecondToolbar));
        break;
    case cmd::kViewToolbar:
        event.Check(IsPaneShown(kPaneMainToolbar));
        break;
    case cmd::kViewStatusBar:
        event.Check(m_statusBar && m_statusBar->IsShown());
        break;
    }
}

void CArbMainFrame::OnHideOutput(wxCommandEvent&)
{
    ShowPane(kPaneOutput, false);
    SetFocus();
}

namespace {
long StyleOfCommand(uint32_t id)
{
    switch (id) {
    case cmd::kViewSmallIcon:
        return wxLC_SMALL_ICON;
    case cmd::kViewLargeIcon:
        return wxLC_ICON;
    case cmd::kViewList:
        return wxLC_LIST;
    case cmd::kViewDetails:
        return wxLC_REPORT;
    default:
        return 0;
    }
}
// The list view's style bits (0 icons, 1 report, 2 small icons, 3 list).
uint32_t StyleBitsOfCommand(uint32_t id)
{
    switch (id) {
    case cmd::kViewSmallIcon:
        return 2;
    case cmd::kViewLargeIcon:
        return 0;
    case cmd::kViewList:
        return 3;
    default:
        return 1;
    }
}
} // namespace

void CArbMainFrame::OnViewStyle(wxCommandEvent& event)
{
    if (!m_list)
        return;
    uint32_t id = ui::CommandOf(event.GetId());
    if (id == cmd::kViewByName)
        return;
    m_list->EndValueEdit(false);
    if (id == cmd::kViewLineUp) {
        m_list->Arrange(wxLIST_ALIGN_SNAP_TO_GRID);
        return;
    }
    m_list->SetViewStyle(StyleBitsOfCommand(id));
}

void CArbMainFrame::OnUpdateViewStyle(wxUpdateUIEvent& event)
{
    if (!m_list) {
        event.Enable(false);
        return;
    }
    uint32_t id = ui::CommandOf(event.GetId());
    long style = m_list->GetWindowStyleFlag() & wxLC_MASK_TYPE;
    if (id == cmd::kViewLineUp) {
        event.Enable(style == wxLC_ICON || style == wxLC_SMALL_ICON);
        return;
    }
    event.Enable(true);
    if (id != cmd::kViewByName)
        event.Check(style == StyleOfCommand(id));
}

void CArbMainFrame::OnClipboardCommand(wxCommandEvent& event)
{
    // While the filter box has the focus the accelerators act on its text.
    wxWindow* focus = wxWindow::FindFocus();
    if (m_filterCombo && focus && (focus == m_filterCombo || focus->GetParent() == m_filterCombo)) {
        switch (ui::CommandOf(event.GetId())) {
        case cmd::kEditCopy:
            m_filterCombo->Copy();
            break;
        case cmd::kEditCut:
            m_filterCombo->Cut();
            break;
        case cmd::kEditPaste:
            m_filterCombo->Paste();
            break;
        }
        return;
    }
    event.Skip();
}

void CArbMainFrame::OnRangeCommand(wxCommandEvent& event)
{
    uint32_t id = ui::CommandOf(event.GetId());
    if (!m_menuSource)
        return;
    if (kFavoriteCommands.Contains(id)) {
        m_menuSource->OpenFavorite(kFavoriteCommands.IndexOf(id));
    } else if (kTemplateCommands.Contains(id)) {
        std::vector<std::wstring> server, global;
        m_menuSource->GetTemplates(server, global);
        TemplateChoice choice = ChooseTemplate(id, server.size(), global.size());
        if (choice.found)
            m_menuSource->CreateFromTemplate(choice.global, choice.index);
    } else if (kHistoryBackCommands.Contains(id)) {
        m_menuSource->MoveInHistory(true, kHistoryBackCommands.IndexOf(id));
    } else if (kHistoryForwardCommands.Contains(id)) {
        m_menuSource->MoveInHistory(false, kHistoryForwardCommands.IndexOf(id));
    }
}

void CArbMainFrame::OnNothing(wxCommandEvent&) {}

void CArbMainFrame::OnExit(wxCommandEvent&)
{
    Close();
}

void CArbMainFrame::OnMessage(platform::MessageId id, uintptr_t wParam, intptr_t lParam,
                              std::unique_ptr<platform::MessagePayload>)
{
    switch (id) {
    case platform::WM_PROGRESS_START:
        // A start while a bar is shown is ignored.
        if (!m_progress && m_statusBar) {
            auto bar = std::make_unique<CProgressBar>();
            if (bar->Create(ui::ResourceString(kStrProgressStart), static_cast<int>(wParam), ProgressRange(lParam),
                            false, CArbStatusBar::kMessage, m_statusBar))
                m_progress = std::move(bar);
        }
        break;
    case platform::WM_PROGRESS_STEP:
        if (m_progress) {
            m_progress->SetText(FormatText(ui::ResourceString(kStrProgressStep).ToStdWstring(),
                                           {ProgressPercent(static_cast<int64_t>(wParam), lParam)}));
            m_progress->StepIt();
        }
        break;
    case platform::WM_PROGRESS_END:
        m_progress.reset();
        break;
    default:
        break;
    }
}

void CArbMainFrame::OnClose(wxCloseEvent& event)
{
    if (GetRunningThreadCount() > 0) {
        CWaitOperationsDlg wait(this);
        if (wait.ShowModal() == wxID_CANCEL && event.CanVeto()) {
            event.Veto();
            return;
        }
    }
    m_progress.reset();
    Destroy();
}

CArbMainFrame* CreateMainFrame()
{
    ui::InitUiResources();
    auto* frame = new CArbMainFrame();
    if (!frame->Create()) {
        frame->Destroy();
        return nullptr;
    }
    return frame;
}
