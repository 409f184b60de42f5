#include "ui/CArbDocument.h"

#include <wx/window.h>

#include "dialogs/CCheckForUpdatesDlg.h"
#include "dialogs/CCommonPropertySheet.h"
#include "dialogs/CFavoritesManagerDlg.h"
#include "dialogs/CSchemaViewerDlg.h"
#include "dialogs/OptionsSheet.h"
#include "model/entries/CRootObject.h"
#include "model/entries/CServerObject.h"
#include "model/nodes/ListViewOperations.h"
#include "model/nodes/TreeViewOperations.h"
#include "model/profiles/CAppConfig.h"
#include "platform/Dispatcher.h"
#include "schema/SchemaLoadThread.h"
#include "shellcore/CNavigationHistory.h"
#include "shellcore/FrameCommands.h"
#include "ui/CArbMainFrame.h"
#include "ui/CArbTreeView.h"
#include "ui/NodeMenus.h"
#include "widgets/DialogOwner.h"
#include "widgets/UiResources.h"
#include "widgets/WxCommandIds.h"

namespace {

constexpr unsigned kStrNodeMenu = 620;
constexpr unsigned kStrRefresh = 131;
constexpr unsigned kStrCut = 128;
constexpr unsigned kStrCopy = 130;
constexpr unsigned kStrPaste = 129;
constexpr unsigned kStrDeleteSelected = 132;
constexpr unsigned kStrProperties = 124;

CArbDocument* g_document = nullptr;

bool IsWithin(wxWindow* window, wxWindow* ancestor)
{
    for (; window && ancestor; window = window->GetParent())
        if (window == ancestor)
            return true;
    return false;
}

} // namespace

// The dialogs behind the document's commands. Each one is switched on here
// when it lands in the program; until then its command stays disabled.
DocumentDialogs CArbDocument::AvailableDialogs()
{
    DocumentDialogs dialogs;
    dialogs.goToDN = true;            // search dialog
    dialogs.favorites = true;         // favourites manager: OpenFavorites below
    dialogs.ldifExport = true;        // LDIF export dialog
    dialogs.options = true;           // options sheet: OpenOptions below
    dialogs.updateCheck = true;       // update check dialog: OpenUpdateCheck below
    dialogs.schemaViewer = true;      // schema viewer: OpenSchemaViewer below
    dialogs.serverProperties = true;  // server property pages: OpenServerProperties below
    return dialogs;
}

class CArbDocument::Context : public DocumentContext {
public:
    explicit Context(CArbDocument& document) : m_document(document) {}

    ViewFocus GetFocus() const override
    {
        wxWindow* focus = wxWindow::FindFocus();
        if (focus && IsWithin(focus, m_document.m_treeView))
            return ViewFocus::Tree;
        if (focus && m_document.m_listView && IsWithin(focus, m_document.m_listView->GetListWindow()))
            return ViewFocus::List;
        return ViewFocus::Neither;
    }
    bool IsTreeLastFocused() const override { return m_document.m_treeLastFocused; }
    CRootObject* GetRoot() const override { return m_document.m_root.get(); }
    int FindListRow(CDataObject& node) const override { return FindObjectRow(node); }
    bool CanEditListRow(int row) const override
    {
        return m_document.m_listView && m_document.m_listView->CanBeginValueEdit(row);
    }
    std::wstring GetFilterBoxText() const override
    {
        std::wstring text;
        if (m_document.m_frame)
            m_document.m_frame->LookupCommandText(cmd::kApplyFilter, text);
        return text;
    }

private:
    CArbDocument& m_document;
};

CArbDocument::CArbDocument(CArbMainFrame* frame)
    : m_frame(frame), m_history(std::make_unique<CNavigationHistory>()),
      m_context(std::make_unique<Context>(*this)),
      m_commands(std::make_unique<CDocumentCommands>(*m_context, *m_history))
{
    m_commands->SetDialogs(AvailableDialogs());
    g_document = this;
    // A navigation's arrival is the program's move, not the user's choice.
    SetNavigationObserver([this](bool arriving) {
        if (arriving)
            m_history->BeginQuietSelection();
        else
            m_history->EndQuietSelection();
    });
    Bind(wxEVT_MENU, &CArbDocument::OnCommand, this);
    Bind(wxEVT_UPDATE_UI, &CArbDocument::OnUpdateCommand, this);
    // A schema read ends on its worker: the panes are redrawn on the
    // user-interface thread by whichever document is there then.
    SetRefreshSelectedServerInfo([] {
        try {
            platform::Send([] {
                if (CArbDocument* document = CArbDocument::Get())
                    document->RefreshSelectedServerInfo();
            });
        } catch (const platform::DispatcherClosed&) {
        }
    });
}

CArbDocument::~CArbDocument()
{
    SetNavigationObserver(nullptr);
    m_root.reset();
    if (g_document == this) {
        g_document = nullptr;
        SetRefreshSelectedServerInfo(nullptr);
    }
}

CArbDocument* CArbDocument::Get()
{
    return g_document;
}

void CArbDocument::SetRootObject(std::unique_ptr<CRootObject> root)
{
    m_root = std::move(root);
}

CRootObject* CArbDocument::GetRootObject() const
{
    return m_root.get();
}

void CArbDocument::SetTreeView(CArbTreeView* view)
{
    m_treeView = view;
}

CArbTreeView* CArbDocument::GetTreeView() const
{
    return m_treeView;
}

void CArbDocument::SetListView(IDocumentListView* view)
{
    m_listView = view;
}

IDocumentListView* CArbDocument::GetListView() const
{
    return m_listView;
}

CArbMainFrame* CArbDocument::GetFrame() const
{
    return m_frame;
}

void CArbDocument::SetLastFocusedView(bool tree)
{
    m_treeLastFocused = tree;
}

bool CArbDocument::IsTreeLastFocused() const
{
    return m_treeLastFocused;
}

const std::string& CArbDocument::GetNodeMenuClass() const
{
    return m_nodeMenuClass;
}

void CArbDocument::SetNodeMenuClass(const std::string& className)
{
    m_nodeMenuClass = className;
}

void CArbDocument::UpdateNodeMenu(CDataObject* node)
{
    if (!node || m_nodeMenuClass == node->GetRuntimeClassName())
        return;
    m_nodeMenuClass = node->GetRuntimeClassName();
    // Not while a command from the menu bar may still be running.
    if (m_menuRebuildPending)
        return;
    m_menuRebuildPending = true;
    CallAfter([this] {
        m_menuRebuildPending = false;
        RebuildMainMenu();
    });
}

CDataObject* CArbDocument::GetTreeItemObject(platform::TreeItem item) const
{
    return ::GetTreeItemObject(item);
}

CDataObject* CArbDocument::GetSelectedTreeObject() const
{
    return ::GetSelectedTreeObject();
}

int CArbDocument::GetFirstSelectedListIndex() const
{
    return m_commands->GetFirstSelectedListIndex();
}

CDataObject* CArbDocument::GetSelectedListObject() const
{
    return m_commands->GetFirstSelectedListObject();
}

bool CArbDocument::IsListFocused() const
{
    return m_context->GetFocus() == ViewFocus::List;
}

bool CArbDocument::IsTreeFocused() const
{
    return m_context->GetFocus() == ViewFocus::Tree;
}

CDataObject* CArbDocument::GetCurrentObject() const
{
    return m_commands->GetCurrentObject();
}

void CArbDocument::RefreshSelectedServerInfo()
{
    if (CDataObject* node = GetSelectedTreeObject())
        node->UpdateDocumentInfoIfCurrent();
}

CLDAPSchema* CArbDocument::GetCurrentSchema() const
{
    return m_commands->GetCurrentSchema();
}

void CArbDocument::SetPaneText1(const std::wstring& text)
{
    m_paneText1 = text;
    if (m_frame)
        m_frame->SetPaneText1(wxString(text));
}

void CArbDocument::SetPaneText2(const std::wstring& text)
{
    m_paneText2 = text;
    if (m_frame)
        m_frame->SetPaneText2(wxString(text));
}

void CArbDocument::SetPaneValue(int value)
{
    m_paneValue = value;
    if (m_frame)
        m_frame->SetPaneValue(value);
}

void CArbDocument::SetMessageText(const std::wstring& text)
{
    if (m_frame)
        m_frame->SetMessageText(wxString(text));
}

const std::wstring& CArbDocument::GetPaneText1() const
{
    return m_paneText1;
}

const std::wstring& CArbDocument::GetPaneText2() const
{
    return m_paneText2;
}

int CArbDocument::GetPaneValue() const
{
    return m_paneValue;
}

void CArbDocument::RebuildMainMenu()
{
    wxMenuBar* bar = m_frame ? m_frame->GetMenuBar() : nullptr;
    if (!bar)
        return;
    CDataObject* node = GetCurrentObject();
    if (!node)
        node = m_root.get();
    std::unique_ptr<platform::PopupMenu> items = node ? node->CreateCommandMenu(false) : nullptr;
    std::unique_ptr<wxMenu> menu = items ? ui::MakeWxMenu(*items) : std::make_unique<wxMenu>();
    const wxString title = ui::ResourceString(kStrNodeMenu);
    int position = CArbMainFrame::FindTopMenuItem(bar, title);
    if (position >= 0) {
        delete bar->Replace(static_cast<size_t>(position), menu.release(), title);
    } else {
        bar->Insert(1, menu.release(), title);
    }
}

std::unique_ptr<wxMenu> CArbDocument::BuildListContextMenu() const
{
    auto menu = std::make_unique<wxMenu>();
    menu->Append(ui::WxId(cmd::kRefresh), ui::ResourceString(kStrRefresh));
    menu->Append(ui::WxId(cmd::kEditCut), ui::ResourceString(kStrCut));
    menu->Append(ui::WxId(cmd::kEditCopy), ui::ResourceString(kStrCopy));
    menu->Append(ui::WxId(cmd::kEditPaste), ui::ResourceString(kStrPaste));
    menu->AppendSeparator();
    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    if (tree) {
        platform::TreeItem caret = tree->GetSelectedItem();
        if (caret && caret == tree->GetRootItem())
            menu->Append(ui::WxId(cmd::kDeleteSelected), ui::ResourceString(kStrDeleteSelected));
    }
    menu->AppendSeparator();
    menu->Append(ui::WxId(cmd::kProperties), ui::ResourceString(kStrProperties));
    return menu;
}

CNavigationHistory& CArbDocument::GetHistory()
{
    return *m_history;
}

CDocumentCommands& CArbDocument::GetCommands()
{
    return *m_commands;
}

bool CArbDocument::UpdateCommand(uint32_t command, bool& enabled)
{
    if (!CDocumentCommands::Handles(command))
        return false;
    enabled = m_commands->IsEnabled(command);
    return true;
}

bool CArbDocument::ExecuteCommand(uint32_t command)
{
    if (!CDocumentCommands::Handles(command))
        return false;
    // An accelerator reaches a command whose item is disabled too.
    if (!m_commands->IsEnabled(command))
        return true;
    switch (command) {
    case cmd::kRename:
        Rename();
        break;
    case cmd::kDeleteSelected:
        DeleteSelected();
        break;
    case cmd::kApplyFilter:
        ApplyFilter();
        break;
    case cmd::kRemoveFilter:
        RemoveFilter();
        break;
    case cmd::kProperties:
        ShowProperties();
        break;
    case cmd::kSchemaViewer:
        OpenSchemaViewer();
        break;
    case cmd::kOptions:
        OpenOptions();
        break;
    case cmd::kCheckForUpdates:
        OpenUpdateCheck();
        break;
    case cmd::kFavorites:
        OpenFavorites();
        break;
    default:
        m_commands->Execute(command);
        break;
    }
    return true;
}

void CArbDocument::OnIdle()
{
    m_commands->ResumeAfterReconnect();
}

void CArbDocument::OnCommand(wxCommandEvent& event)
{
    if (!ExecuteCommand(ui::CommandOf(event.GetId())))
        event.Skip();
}

void CArbDocument::OnUpdateCommand(wxUpdateUIEvent& event)
{
    bool enabled = false;
    if (UpdateCommand(ui::CommandOf(event.GetId()), enabled))
        event.Enable(enabled);
    else
        event.Skip();
}

void CArbDocument::Rename()
{
    RenameTarget target = m_commands->GetRenameTarget();
    if (target.kind == RenameTarget::ListRow && m_listView)
        m_listView->BeginValueEdit(target.row);
    else if (target.kind == RenameTarget::TreeItem && m_treeView && target.node)
        m_treeView->BeginRename(target.node->GetTreeItem());
}

void CArbDocument::DeleteSelected()
{
    std::vector<CDataObject*> nodes =
        m_listView ? m_listView->GetSelectedObjects() : m_commands->GetSelectedListObjects();
    m_commands->DeleteSelected(nodes);
}

void CArbDocument::ApplyFilter()
{
    std::wstring text = m_context->GetFilterBoxText();
    if (m_frame && m_commands->ApplyFilter(text)) {
        m_frame->LookupCommandText(cmd::kApplyFilter, text);
        m_frame->SetFilterText(wxString(text).Trim(true).Trim(false));
    }
}

void CArbDocument::RemoveFilter()
{
    std::wstring filter;
    if (m_commands->RemoveFilter(filter) && m_frame)
        m_frame->SetFilterText(wxString(filter));
}

void CArbDocument::ShowProperties()
{
    CDataObject* node = GetCurrentObject();
    if (!node)
        return;
    if (node->GetType() == kNodeServer) {
        OpenServerProperties();
        return;
    }
    std::vector<CDataObject*> selection = m_commands->PropertiesSelection();
    node->ShowProperties(selection.empty() ? nullptr : &selection);
}

void CArbDocument::OpenServerProperties()
{
    // Switched on in AvailableDialogs once the server pages are there.
    if (!m_commands->GetDialogs().serverProperties)
        return;
    CDataObject* node = GetCurrentObject();
    std::vector<CDataObject*> selection = m_commands->PropertiesSelection();
    if (node)
        node->ShowProperties(selection.empty() ? nullptr : &selection);
}

void CArbDocument::OpenSchemaViewer()
{
    CLDAPSchema* schema = GetCurrentSchema();
    if (!m_commands->GetDialogs().schemaViewer || !schema)
        return;
    // The node keeps the schema; a reload meanwhile must not free it.
    RefPtr<CLDAPSchema> keep(schema);
    CSchemaViewerDlg viewer(schema, m_frame);
    viewer.DoModal();
}

void CArbDocument::OpenOptions()
{
    if (!m_commands->GetDialogs().options)
        return;
    // Its result does not matter: the pages saved what they applied.
    std::unique_ptr<CCommonPropertySheet> sheet = CreateOptionsSheet(ui::DialogOwner(), GetAppConfig(), GetHistory());
    sheet->ShowModal();
}

void CArbDocument::OpenUpdateCheck()
{
    if (!m_commands->GetDialogs().updateCheck)
        return;
    CCheckForUpdatesDlg dialog(ui::DialogOwner());
    dialog.DoModal();
}

void CArbDocument::OpenFavorites()
{
    // Only where the command is enabled: an accelerator comes without the
    // menu's check.
    CDataObject* node = GetCurrentObject();
    CServerObject* server = node ? node->GetServerObject() : nullptr;
    if (!server || !m_commands->IsEnabled(cmd::kFavorites))
        return;
    CFavoritesManagerDlg dialog(*server, ui::DialogOwner());
    dialog.DoModal();
}
