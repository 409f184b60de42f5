#include "ui/CArbTreeView.h"

#include <wx/clipbrd.h>
#include <wx/imaglist.h>

#include "model/profiles/CAppConfig.h"
#include "model/entries/CLDAPObject.h"
#include "model/entries/CServerObject.h"
#include "model/nodes/ListViewOperations.h"
#include "model/ports/NodeRegistry.h"
#include "model/nodes/TreeViewOperations.h"
#include "platform/Messages.h"
#include "shellcore/CNavigationHistory.h"
#include "shellcore/DocumentCommands.h"
#include "shellcore/FrameCommands.h"
#include "ui/CArbDocument.h"
#include "ui/CArbMainFrame.h"
#include "ui/NodeMenus.h"
#include "widgets/UiResources.h"
#include "widgets/WxCommandIds.h"

namespace {

constexpr unsigned kNodeImages = 210;
constexpr int kImageSize = 16;
constexpr int kBusyOverlayImage = 26;
constexpr int kFilterOverlayImage = 28;
constexpr int kMenuOffset = 4;

CArbTreeView* g_treeView = nullptr;

bool IsNavigationKey(int key)
{
    switch (key) {
    case WXK_PAGEUP:
    case WXK_PAGEDOWN:
    case WXK_END:
    case WXK_HOME:
    case WXK_LEFT:
    case WXK_UP:
    case WXK_RIGHT:
    case WXK_DOWN:
    case WXK_NUMPAD_PAGEUP:
    case WXK_NUMPAD_PAGEDOWN:
    case WXK_NUMPAD_END:
    case WXK_NUMPAD_HOME:
    case WXK_NUMPAD_LEFT:
    case WXK_NUMPAD_UP:
    case WXK_NUMPAD_RIGHT:
    case WXK_NUMPAD_DOWN:
        return true;
    default:
        return false;
    }
}

} // namespace

// The splitter gives the tree its width: a size given here would also be the
// least width the splitter lets the user drag it to.
CArbTreeView::CArbTreeView(wxWindow* parent, CArbDocument* document)
    : ui::PortTreeCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                       wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_HIDE_ROOT | wxTR_SINGLE | wxTR_EDIT_LABELS),
      m_document(document)
{
    g_treeView = this;
    auto* images = new wxImageList(kImageSize, kImageSize, true);
    wxBitmap strip = ui::LoadBitmapResource("bitmap", kNodeImages);
    if (strip.IsOk())
        images->Add(strip, *wxWHITE);
    AssignImageList(images);

    m_port = std::make_shared<ui::WxTreePort>(*this);
    // Items show their node's display name.
    m_port->SetTextProvider([](void* data) {
        return data ? static_cast<CDataObject*>(data)->GetDisplayName() : std::wstring();
    });
    m_port->SetOverlayImage(1, kBusyOverlayImage);
    m_port->SetOverlayImage(2, kFilterOverlayImage);
    m_previousPort = platform::SetTreeControl(m_port);
    m_registration = platform::ReceiverRegistration(*this);
    platform::SetAppWindow(platform::AppWindow::TreeView, m_registration.Id());
    if (m_document)
        m_document->SetTreeView(this);

    Bind(wxEVT_TREE_SEL_CHANGED, &CArbTreeView::OnSelChanged, this);
    Bind(wxEVT_LEFT_DOWN, &CArbTreeView::OnLeftDown, this);
    Bind(wxEVT_LEFT_DCLICK, &CArbTreeView::OnLeftDClick, this);
    Bind(wxEVT_KEY_DOWN, &CArbTreeView::OnKeyDown, this);
    Bind(wxEVT_KEY_UP, &CArbTreeView::OnKeyUp, this);
    Bind(wxEVT_CHAR, &CArbTreeView::OnChar, this);
    Bind(wxEVT_TREE_BEGIN_LABEL_EDIT, &CArbTreeView::OnBeginLabelEdit, this);
    Bind(wxEVT_TREE_END_LABEL_EDIT, &CArbTreeView::OnEndLabelEdit, this);
    Bind(wxEVT_TREE_ITEM_MENU, &CArbTreeView::OnItemMenu, this);
    Bind(wxEVT_SET_FOCUS, &CArbTreeView::OnSetFocus, this);
    Bind(wxEVT_DESTROY, &CArbTreeView::OnDestroy, this);
    // Copy, cut and paste go on to the document, which acts on the selection.
    Bind(wxEVT_MENU, &CArbTreeView::OnClipboardCommand, this, ui::WxId(cmd::kEditClear));
    Bind(wxEVT_UPDATE_UI, &CArbTreeView::OnUpdateClipboardCommand, this, ui::WxId(cmd::kEditClear));
}

CArbTreeView::~CArbTreeView()
{
    Teardown();
}

void CArbTreeView::Teardown()
{
    if (m_tornDown)
        return;
    m_tornDown = true;
    // The nodes below the top items go with their items (the root node is
    // the document's); timers still running are not served.
    for (platform::TreeItem item = m_port->GetChildItem(platform::kTreeRoot); item; item = m_port->GetNextSiblingItem(item))
        DeleteChildItems(item);
    if (platform::GetAppWindow(platform::AppWindow::TreeView) == m_registration.Id())
        platform::SetAppWindow(platform::AppWindow::TreeView, platform::kNoReceiver);
    m_registration.Reset();
    platform::SetTreeControl(std::move(m_previousPort));
    if (m_document && m_document->GetTreeView() == this)
        m_document->SetTreeView(nullptr);
    if (g_treeView == this)
        g_treeView = nullptr;
}

void CArbTreeView::OnDestroy(wxWindowDestroyEvent& event)
{
    if (event.GetEventObject() == this)
        Teardown();
    event.Skip();
}

CArbTreeView* CArbTreeView::Get()
{
    return g_treeView;
}

CDataObject* CArbTreeView::SelectedNode() const
{
    return GetTreeItemObject(m_port->GetSelectedItem());
}

void CArbTreeView::OnSelChanged(wxTreeEvent& event)
{
    // Items deleted while the window goes select nothing the user chose.
    if (m_tornDown)
        return;
    platform::TreeItem item = m_port->HandleOf(event.GetItem());
    if (GetTreeItemObject(item)) {
        RemoveAllRows();
        m_openOnClick = true;
        if (m_document)
            m_document->GetHistory().AddEntry(item);
    }
    UpdateFrameTexts();
}

void CArbTreeView::UpdateFrameTexts()
{
    CDataObject* node = SelectedNode();
    if (!node)
        return;
    CArbMainFrame* frame = m_document ? m_document->GetFrame() : nullptr;
    if (frame) {
        frame->SetTitle(wxString(node->GetFullName()));
        frame->SetMessageText(wxString(node->GetStatusText()));
    }
    node->UpdateDocumentInfoIfCurrent();
    if (frame)
        frame->SetFilterText(wxString(node->GetFilterText()));
    if (m_document)
        m_document->UpdateNodeMenu(node);
}

void CArbTreeView::ClickItem(platform::TreeItem item, bool onButton)
{
    if (!item || !m_port->ItemExists(item))
        return;
    if (m_port->GetSelectedItem() != item)
        m_port->SelectItem(item);
    CDataObject* node = SelectedNode();
    if (!node || !m_openOnClick)
        return;
    const bool open = GetAppConfig().m_bExpandOnClick.load() != 0 && !onButton;
    node->ShowContents(open ? 1 : 0);
    // The node may have gone while it was shown.
    node = SelectedNode();
    m_openOnClick = open;
    // A server that did not open is tried again on the next click.
    if (auto* server = dynamic_cast<CServerObject*>(node); server && server->GetType() == kNodeServer && !server->IsBound())
        m_openOnClick = true;
}

void CArbTreeView::OnLeftDown(wxMouseEvent& event)
{
    int flags = 0;
    wxTreeItemId hit = HitTest(event.GetPosition(), flags);
    event.Skip();
    if (!hit.IsOk() || !(flags & (wxTREE_HITTEST_ONITEM | wxTREE_HITTEST_ONITEMBUTTON)))
        return;
    platform::TreeItem item = m_port->HandleOf(hit);
    const bool onButton = (flags & wxTREE_HITTEST_ONITEMBUTTON) != 0;
    // After the control's own handling of the press.
    CallAfter([this, item, onButton] { ClickItem(item, onButton); });
}

void CArbTreeView::OnLeftDClick(wxMouseEvent& event)
{
    OnLeftDown(event);
}

bool CArbTreeView::KeyDown(int keyCode)
{
    switch (keyCode) {
    case WXK_TAB: {
        std::shared_ptr<platform::ListPort> list = platform::GetListControl();
        if (list && list->GetSelectedRows().empty() && list->GetItemCount() > 0)
            SelectSingleItem(0, true);
        IDocumentListView* view = m_document ? m_document->GetListView() : nullptr;
        if (view && view->GetListWindow())
            view->GetListWindow()->SetFocus();
        return false;
    }
    case WXK_LEFT:
    case WXK_NUMPAD_LEFT:
        if (CDataObject* node = SelectedNode(); node && node->CountChildItems(nullptr) == 0) {
            platform::TreeItem parent = m_port->GetParentItem(node->GetTreeItem());
            if (parent)
                m_port->SelectItem(parent);
            return false;
        }
        return true;
    case WXK_INSERT:
    case WXK_NUMPAD_INSERT:
        if (CDataObject* node = SelectedNode())
            node->RouteCommandNew();
        return true;
    default:
        return true;
    }
}

void CArbTreeView::KeyUp(int keyCode)
{
    CDataObject* node = SelectedNode();
    if (!node)
        return;
    if (IsNavigationKey(keyCode)) {
        node->ShowContents(GetAppConfig().m_bExpandOnClick.load() != 0 ? 1 : 0);
    } else if (keyCode == WXK_DELETE || keyCode == WXK_NUMPAD_DELETE) {
        node->Delete(1);
    } else if (keyCode == WXK_NUMPAD_ADD) {
        if (!node->IsChildrenLoaded())
            node->ShowContents(0);
    } else if (keyCode == WXK_F2) {
        BeginRename(node->GetTreeItem());
    }
}

void CArbTreeView::OnKeyDown(wxKeyEvent& event)
{
    if (KeyDown(event.GetKeyCode()))
        event.Skip();
}

void CArbTreeView::OnKeyUp(wxKeyEvent& event)
{
    KeyUp(event.GetKeyCode());
    event.Skip();
}

void CArbTreeView::OnChar(wxKeyEvent& event)
{
    // Tab and Enter do nothing here (and make no beep).
    if (event.GetKeyCode() == WXK_TAB || event.GetKeyCode() == WXK_RETURN || event.GetKeyCode() == WXK_NUMPAD_ENTER)
        return;
    event.Skip();
}

void CArbTreeView::BeginRename(platform::TreeItem item)
{
    wxTreeItemId id = m_port->IdOf(item);
    if (id.IsOk())
        EditLabel(id);
}

void CArbTreeView::OnBeginLabelEdit(wxTreeEvent& event)
{
    // Only an idle server takes a new name here.
    CDataObject* node = GetTreeItemObject(m_port->HandleOf(event.GetItem()));
    if (!node || !node->CanRenameInTree() || node->IsBusy() || node->GetType() != kNodeServer)
        event.Veto();
}

void CArbTreeView::OnEndLabelEdit(wxTreeEvent& event)
{
    // The control never takes the text itself: the item shows the node's caption.
    event.Veto();
    if (event.IsEditCancelled())
        return;
    auto* server = dynamic_cast<CServerObject*>(GetTreeItemObject(m_port->HandleOf(event.GetItem())));
    if (!server || server->GetType() != kNodeServer)
        return;
    const std::wstring text = event.GetLabel().ToStdWstring();
    if (text.empty() || text == server->GetProfileName())
        return;
    server->Rename(text);
    // After the control has put the old text back.
    NodeId id = server->GetNodeId();
    CallAfter([this, id] {
        if (NodeRegistry::Find(id))
            m_port->RefreshCallbackTexts();
    });
}

std::unique_ptr<wxMenu> CArbTreeView::MakeItemContextMenu(platform::TreeItem item)
{
    CDataObject* node = GetTreeItemObject(item);
    std::unique_ptr<platform::PopupMenu> items = node ? node->BuildContextMenu() : nullptr;
    if (!items)
        return nullptr;
    std::unique_ptr<wxMenu> menu = ui::MakeWxMenu(*items);
    // The commands act on the tree's node from here on, not on a list row.
    if (m_document)
        m_document->SetLastFocusedView(true);
    ui::NodeMenuScope scope(*this, node);
    ui::UpdateMenuItems(*menu, *this);
    return menu;
}

void CArbTreeView::ShowItemContextMenu(platform::TreeItem item, bool adjust)
{
    wxTreeItemId id = m_port->IdOf(item);
    if (!id.IsOk())
        return;
    wxPoint point = ScreenToClient(wxGetMousePosition());
    if (adjust) {
        wxRect label;
        if (GetBoundingRect(id, label, true) && !label.Contains(point))
            point = label.GetTopLeft() + wxPoint(kMenuOffset, kMenuOffset);
    }
    m_port->SelectItem(item);
    SetFocus();
    CDataObject* node = GetTreeItemObject(item);
    std::unique_ptr<wxMenu> menu = MakeItemContextMenu(item);
    if (!node || !menu)
        return;
    const NodeId nodeId = node->GetNodeId();
    int chosen = wxID_NONE;
    {
        ui::NodeMenuScope scope(*this, node);
        CArbMainFrame* frame = m_document ? m_document->GetFrame() : nullptr;
        chosen = ui::TrackContextMenu(*this, *menu, point, [frame](CBCGPopupMenuEx& popup) {
            if (frame)
                frame->PrepareContextMenu(popup);
        });
    }
    if (chosen == wxID_NONE)
        return;
    // The menu ran a loop of its own: the node may have gone meanwhile.
    if (CDataObject* still = NodeRegistry::Find(nodeId))
        ui::RunNodeMenuCommand(*this, *still, ui::CommandOf(chosen));
}

void CArbTreeView::OnItemMenu(wxTreeEvent& event)
{
    ShowItemContextMenu(m_port->HandleOf(event.GetItem()), true);
}

void CArbTreeView::OnSetFocus(wxFocusEvent& event)
{
    event.Skip();
    if (m_document)
        m_document->SetLastFocusedView(true);
    UpdateFrameTexts();
}

void CArbTreeView::OnClipboardCommand(wxCommandEvent&)
{
    if (wxTheClipboard->Open()) {
        wxTheClipboard->Clear();
        wxTheClipboard->Close();
    }
}

void CArbTreeView::OnUpdateClipboardCommand(wxUpdateUIEvent&)
{
    // The commands end here; their items keep the state their menu gave them.
}

void CArbTreeView::OnMessage(platform::MessageId id, uintptr_t wParam, intptr_t,
                             std::unique_ptr<platform::MessagePayload>)
{
    if (id == platform::WM_TIMER)
        HandleTreeViewTimer(static_cast<uint32_t>(wParam));
}
