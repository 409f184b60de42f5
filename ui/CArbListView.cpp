#include "ui/CArbListView.h"

#include <unordered_map>

#include <wx/clipbrd.h>
#include <wx/imaglist.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/splitter.h>

#include "base/NoCase.h"
#include "base/Utf8.h"
#include "model/profiles/CAppConfig.h"
#include "model/entries/BinaryValueLoad.h"
#include "model/entries/CAttrObject.h"
#include "model/entries/CEntryObject.h"
#include "model/entries/CRootObject.h"
#include "model/nodes/ListViewOperations.h"
#include "model/ports/NodeRegistry.h"
#include "model/nodes/TreeViewOperations.h"
#include "platform/Messages.h"
#include "ui/CArbMainFrame.h"
#include "ui/CArbTreeView.h"
#include "ui/NodeMenus.h"
#include "ui/WxListPort.h"
#include "ui/WxShellPorts.h"
#include "widgets/CInPlaceEdit.h"
#include "widgets/DialogFontScale.h"
#include "widgets/UiResources.h"
#include "widgets/WxCommandIds.h"

namespace {

constexpr unsigned kStrFirstColumn = 120;
// The type names and the unknown size the Type and Size columns show.
constexpr unsigned kStrEntryType = 361;
constexpr unsigned kStrTextType = 422;
constexpr unsigned kStrBinaryType = 344;
constexpr unsigned kStrOperationalType = 522;
constexpr unsigned kStrUnknownSize = 350;
// What the list control takes of a column's width besides a cell's text
// (with some air), and the gap after the first column's image.
constexpr int kCellMargin = 12;
constexpr int kImageGap = 5;
constexpr unsigned kSmallImages = 210;
constexpr unsigned kLargeImages = 212;
constexpr int kOverlay1Image = 26;
constexpr int kOverlay2Image = 29;
constexpr uint32_t kCmdEditClear = 57632;
// Where the menu opens when it cannot open at the pointer.
constexpr int kMenuOffset = 4;

CArbListView* g_listView = nullptr;

long StyleFlagOf(uint32_t style)
{
    switch (style & CListViewState::kStyleMask) {
    case CListViewState::kIcon:
        return wxLC_ICON;
    case CListViewState::kSmallIcon:
        return wxLC_SMALL_ICON;
    case CListViewState::kList:
        return wxLC_LIST;
    default:
        return wxLC_REPORT;
    }
}

CDataObject* SelectedTreeNode()
{
    return GetSelectedTreeObject();
}

} // namespace

// The list view as the model's list-view port: the animation of the port
// over the list, plus the view's own order of refilled rows.
class CArbListView::ViewPort : public ui::WxListViewPort {
public:
    explicit ViewPort(CArbListView& view) : ui::WxListViewPort(view), m_view(view) {}
    bool SortRefilledRows() override
    {
        m_view.SortByColumn(false);
        return true;
    }
    void TakeSortDirection(platform::SortDirection direction) override
    {
        m_view.TakeSortDirection(direction == platform::SortDirection::Ascending);
    }
    std::optional<platform::SortDirection> KeptSortDirection() const override
    {
        const CListViewState& state = m_view.GetSortState();
        if (state.GetSortColumn() < 0)
            return std::nullopt;
        return state.IsAscending() ? platform::SortDirection::Ascending : platform::SortDirection::Descending;
    }

private:
    CArbListView& m_view;
};

CArbListView::CArbListView() : m_editTimer(this)
{
    m_state.LoadSortState(GetAppConfig().m_bForgetSortColumn != 0);
    g_listView = this;
}

CArbListView* CArbListView::Get()
{
    return g_listView;
}

bool CArbListView::Create(wxWindow* parent, wxWindowID id)
{
    // Report view is virtual: the port keeps the rows and the control shows them.
    if (!CListViewBase::Create(parent, id, wxDefaultPosition, wxSize(100, 100), wxLC_REPORT | wxLC_VIRTUAL))
        return false;
    InstallPorts();

    Bind(wxEVT_LIST_COL_CLICK, &CArbListView::OnColumnClick, this);
    Bind(wxEVT_LIST_COL_BEGIN_DRAG, &CArbListView::OnColumnBeginDrag, this);
    Bind(wxEVT_LIST_COL_END_DRAG, &CArbListView::OnColumnEndDrag, this);
    Bind(wxEVT_LIST_ITEM_ACTIVATED, &CArbListView::OnItemActivated, this);
    Bind(wxEVT_LIST_ITEM_SELECTED, &CArbListView::OnSelectionChanged, this);
    Bind(wxEVT_LIST_ITEM_DESELECTED, &CArbListView::OnSelectionChanged, this);
    Bind(wxEVT_LIST_END_LABEL_EDIT, &CArbListView::OnEndValueEdit, this);
    Bind(wxEVT_LIST_DELETE_ALL_ITEMS, [this](wxListEvent& event) {
        EndValueEdit(true);
        event.Skip();
    });
    Bind(wxEVT_CONTEXT_MENU, &CArbListView::OnContextMenu, this);
    Bind(wxEVT_SIZE, &CArbListView::OnSize, this);
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { BeginValueEdit(m_editPoint); }, m_editTimer.GetId());
    // Commands reach the view through the window that has the focus.
    wxWindow* rows = GetListWindow();
    // Copy, cut and paste go on to the document, which acts on the selection.
    rows->Bind(wxEVT_MENU, &CArbListView::OnClearClipboard, this, ui::WxId(kCmdEditClear));

    rows->Bind(wxEVT_KEY_DOWN, &CArbListView::OnKeyDown, this);
    for (wxWindow* child : GetChildren())
        child->Bind(wxEVT_RIGHT_DOWN, [this](wxMouseEvent& event) {
            ++m_rightPresses;
            event.Skip();
        });
    rows->Bind(wxEVT_LEFT_DOWN, &CArbListView::OnLeftDown, this);
    rows->Bind(wxEVT_LEFT_DCLICK, &CArbListView::OnLeftDoubleClick, this);
    rows->Bind(wxEVT_SET_FOCUS, &CArbListView::OnSetFocus, this);

    if (CArbDocument* document = CArbDocument::Get())
        document->SetListView(this);
    return true;
}

CArbListView::~CArbListView()
{
    m_editTimer.Stop();
    CListViewState::SaveListStyle(GetViewStyle());
    if (CArbDocument* document = CArbDocument::Get(); document && document->GetListView() == this)
        document->SetListView(nullptr);
    RemovePorts();
    if (g_listView == this)
        g_listView = nullptr;
}

void CArbListView::InstallPorts()
{
    m_port = std::make_shared<ui::WxListPort>(*this);
    m_port->SetTextProvider(&ListColumnText);
    m_port->SetLabelProvider(&ListLabelText);
    m_viewPort = std::make_shared<ViewPort>(*this);
    platform::SetListControl(m_port);
    platform::SetListViewPort(m_viewPort);
    m_registration = platform::ReceiverRegistration(*this);
    platform::SetAppWindow(platform::AppWindow::ListView, m_registration.Id());
}

void CArbListView::RemovePorts()
{
    if (platform::GetAppWindow(platform::AppWindow::ListView) == m_registration.Id())
        platform::SetAppWindow(platform::AppWindow::ListView, platform::kNoReceiver);
    m_registration.Reset();
    platform::SetListViewPort(nullptr);
    platform::SetListControl(nullptr);
}

wxWindow* CArbListView::GetListWindow() const
{
    // The rows live in a window of the control's own; the header in another.
    for (wxWindow* child : GetChildren()) {
        if (static_cast<void*>(child) == static_cast<void*>(m_mainWin))
            return child;
    }
    return const_cast<CArbListView*>(this);
}

// --- start-up ---

void CArbListView::CreateImageLists()
{
    struct ImageList {
        unsigned bitmap;
        int size;
        int which;
    };
    for (const ImageList& l : {ImageList{kSmallImages, 16, wxIMAGE_LIST_SMALL},
                               ImageList{kLargeImages, 32, wxIMAGE_LIST_NORMAL}}) {
        wxBitmap strip = ui::LoadBitmapResource("bitmap", l.bitmap);
        if (!strip.IsOk())
            continue;
        auto* images = new wxImageList(l.size, l.size, true, 1);
        images->Add(strip, *wxWHITE);
        AssignImageList(images, l.which);
    }
    m_port->SetOverlayImage(1, kOverlay1Image);
    m_port->SetOverlayImage(2, kOverlay2Image);
}

void CArbListView::OnInitialUpdate()
{
    CreateImageLists();
    const CListViewState::Widths widths = CListViewState::LoadColumnWidths(DefaultColumnWidths());
    for (int column = 0; column < CListViewState::kColumnCount; ++column)
        InsertColumn(column, ui::ResourceString(kStrFirstColumn + column), wxLIST_FORMAT_LEFT, widths[column]);
    SetViewStyle(CListViewState::LoadListStyle());

    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    auto root = std::make_unique<CRootObject>();
    CRootObject* node = root.get();
    if (CArbDocument* document = CArbDocument::Get())
        document->SetRootObject(std::move(root));
    node->InsertIntoViews(platform::kTreeRoot, kInsertTreeItem);
    if (root) {
        // Without a document the tree owns it, once it has an item.
        if (!node->GetTreeItem())
            return;
        root.release();
    }
    node->LoadServers(kInsertTreeItem);
    if (tree)
        tree->SelectItem(node->GetTreeItem());
    node->ShowContents(0);
    node->Expand(0);
    node->UpdateChildIndicator();
}

CListViewState::Widths CArbListView::DefaultColumnWidths()
{
    // Every entry shows these operational names; they must be told apart.
    const std::vector<wxString> typical[CListViewState::kColumnCount] = {
        {"createTimestamp", "creatorsName", "modifyTimestamp", "modifiersName"},
        {},
        {ui::ResourceString(kStrEntryType), ui::ResourceString(kStrTextType), ui::ResourceString(kStrBinaryType),
         ui::ResourceString(kStrOperationalType)},
        {ui::ResourceString(kStrUnknownSize)},
    };
    wxImageList* images = GetImageList(wxIMAGE_LIST_SMALL);
    const int image = images ? images->GetSize().x + kImageGap : 0;
    CListViewState::Widths widths;
    for (int column = 0; column < CListViewState::kColumnCount; ++column) {
        std::vector<wxString> texts = typical[column];
        texts.push_back(ui::ResourceString(kStrFirstColumn + column));
        const int room = WidestText(*this, texts) + kCellMargin + (column == kNameColumn ? image : 0);
        widths[column] = std::max(ScaleFromDialogFont(CListViewState::kDefaultWidths[column]), room);
    }
    return widths;
}

// --- rows ---

int CArbListView::InsertObjectRow(CDataObject& node, int index)
{
    return UpdateRowText(node, index);
}

void CArbListView::RemoveAllRows()
{
    ::RemoveAllRows();
}

CDataObject* CArbListView::GetRowObject(long row) const
{
    return static_cast<CDataObject*>(m_port->GetItemData(static_cast<int>(row)));
}

int CArbListView::FindItemByData(const void* data) const
{
    return m_port->FindItemByData(data);
}

int CArbListView::FindObjectRow(CDataObject& node)
{
    std::lock_guard<std::recursive_mutex> lock(m_rowLock);
    return ::FindObjectRow(node);
}

void CArbListView::SelectSingleItem(int index, bool clearOthers)
{
    const uint32_t mask = platform::kListSelected | platform::kListFocused;
    if (clearOthers) {
        for (int row : m_port->GetSelectedRows())
            m_port->SetItemState(row, 0, mask);
    }
    m_port->SetItemState(index, mask, mask);
}

std::vector<CDataObject*> CArbListView::GetSelectedObjects() const
{
    std::vector<CDataObject*> nodes;
    for (int row : m_port->GetSelectedRows())
        nodes.push_back(GetRowObject(row));
    return nodes;
}

uint32_t CArbListView::GetViewStyle() const
{
    switch (GetWindowStyleFlag() & wxLC_MASK_TYPE) {
    case wxLC_ICON:
        return CListViewState::kIcon;
    case wxLC_SMALL_ICON:
        return CListViewState::kSmallIcon;
    case wxLC_LIST:
        return CListViewState::kList;
    default:
        return CListViewState::kReport;
    }
}

void CArbListView::SetViewStyle(uint32_t style)
{
    EndValueEdit(false);
    const long flag = StyleFlagOf(style);
    if ((GetWindowStyleFlag() & wxLC_MASK_TYPE) == flag)
        return;
    const int arrow = GetSortIndicator();
    const bool ascending = IsAscendingSortIndicator();
    // Only report view is virtual; the control cannot change that with rows
    // in it, so the port empties it and fills it again.
    long flags = GetWindowStyleFlag() & ~(wxLC_MASK_TYPE | wxLC_VIRTUAL);
    flags |= flag == wxLC_REPORT ? wxLC_REPORT | wxLC_VIRTUAL : flag;
    m_port->BeginStyleChange();
    SetWindowStyleFlag(flags);
    m_port->EndStyleChange();
    if (arrow >= 0 && InReportView())
        ShowSortIndicator(arrow, ascending);
}

bool CArbListView::IsReportStyle() const
{
    return GetViewStyle() == CListViewState::kReport;
}

bool CArbListView::IsIconStyle() const
{
    return GetViewStyle() == CListViewState::kIcon;
}

// --- sorting and columns ---

void CArbListView::SortByColumn(bool force)
{
    const int column = m_state.GetSortColumn();
    if (GetItemCount() == 0 || column < 0 || !(force || GetAppConfig().m_bAutoSortList)) {
        RemoveSortIndicator();
        return;
    }
    // Each row's key once; the sort compares keys.
    std::unordered_map<const void*, ListRowKey> keys;
    for (int row = 0; row < GetItemCount(); ++row) {
        CDataObject* node = GetRowObject(row);
        if (!node)
            continue;
        std::wstring text;
        switch (column) {
        case kNameColumn:
            text = node->GetCaption();
            break;
        case kValueColumn:
            text = node->GetValueText();
            break;
        case kTypeColumn:
            text = node->GetTypeName();
            break;
        default:
            break;
        }
        keys[node] = ListRowKey(node->GetType(), text, static_cast<int32_t>(node->GetSize()));
    }
    const bool ascending = m_state.IsAscending();
    const ListRowKey none;
    m_port->SortItems([&](void* a, void* b) {
        auto ka = keys.find(a);
        auto kb = keys.find(b);
        return CompareListRows(ka == keys.end() ? none : ka->second, kb == keys.end() ? none : kb->second, column,
                               ascending);
    });
    ShowSortArrow();
}

void CArbListView::ShowSortArrow()
{
    const int column = m_state.GetSortColumn();
    if (column >= 0 && column < GetColumnCount())
        ShowSortIndicator(column, m_state.IsAscending());
    else
        RemoveSortIndicator();
}

void CArbListView::ColumnClick(int column)
{
    m_state.ClickColumn(column);
    m_state.SaveSortState(GetAppConfig().m_bForgetSortColumn != 0);
    SortByColumn(true);
}

void CArbListView::TakeSortDirection(bool ascending)
{
    m_state.SetSort(m_state.GetSortColumn(), ascending);
    m_state.SaveSortState(GetAppConfig().m_bForgetSortColumn != 0);
}

void CArbListView::SaveColumnWidths()
{
    CListViewState::Widths widths = CListViewState::kDefaultWidths;
    for (int column = 0; column < CListViewState::kColumnCount && column < GetColumnCount(); ++column)
        widths[column] = GetColumnWidth(column);
    CListViewState::SaveColumnWidths(widths);
}

void CArbListView::OnColumnClick(wxListEvent& event)
{
    EndValueEdit(false);
    ColumnClick(event.GetColumn());
}

void CArbListView::OnColumnBeginDrag(wxListEvent& event)
{
    EndValueEdit(true);
    event.Skip();
}

void CArbListView::OnColumnEndDrag(wxListEvent& event)
{
    event.Skip();
    // The control takes the new width once the event is handled.
    CallAfter([this] {
        SaveColumnWidths();
        PositionEditor();
    });
}

// --- opening and keys ---

void CArbListView::OpenObject(CDataObject& node)
{
    if (platform::TreeItem item = node.GetTreeItem()) {
        if (std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl())
            tree->SelectItem(item);
        node.ShowContents(0);
        return;
    }
    if (node.GetType() == kNodeAttribute) {
        auto* attribute = dynamic_cast<CAttrObject*>(&node);
        if (attribute && EqualNoCase(attribute->GetName(), "userpassword"))
            return;
        if (attribute)
            attribute->OpenValue();
    }
    node.ShowContents(0);
}

void CArbListView::OnItemActivated(wxListEvent& event)
{
    m_editTimer.Stop();
    if (CDataObject* node = GetRowObject(event.GetIndex()))
        OpenObject(*node);
}

bool CArbListView::HandleKeyDown(int keyCode)
{
    // Key-downs reach the view only through the rows' window, which has the
    // focus then.
    std::vector<int> selected = m_port->GetSelectedRows();
    if (selected.empty())
        return false;
    CDataObject* node = GetRowObject(selected.front());
    if (!node)
        return false;
    switch (keyCode) {
    case WXK_TAB:
        if (auto* splitter = dynamic_cast<wxSplitterWindow*>(GetParent()); splitter && splitter->GetWindow1())
            splitter->GetWindow1()->SetFocus();
        return true;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        OpenObject(*node);
        return true;
    case WXK_DELETE:
    case WXK_NUMPAD_DELETE: {
        const int kind = node->GetType();
        if (kind == kNodeInformation || kind == kNodeError || kind == kNodeServer)
            node->Delete(1);
        // Other kinds are the document's delete command.
        return false;
    }
    default:
        return false;
    }
}

void CArbListView::OnKeyDown(wxKeyEvent& event)
{
    if (!HandleKeyDown(event.GetKeyCode()))
        event.Skip();
}

void CArbListView::OnLeftDown(wxMouseEvent& event)
{
    int flags = 0;
    long row = HitTest(event.GetPosition(), flags);
    const bool wasSelected = row >= 0 && GetItemState(row, wxLIST_STATE_SELECTED) != 0;
    event.Skip();
    m_editTimer.Stop();
    if (wasSelected) {
        // A double click opens the row instead.
        m_editPoint = event.GetPosition();
        m_editTimer.StartOnce(wxSystemSettings::GetMetric(wxSYS_DCLICK_MSEC) > 0
                                  ? wxSystemSettings::GetMetric(wxSYS_DCLICK_MSEC)
                                  : 500);
    }
}

void CArbListView::OnLeftDoubleClick(wxMouseEvent& event)
{
    m_editTimer.Stop();
    event.Skip();
}

void CArbListView::OnSetFocus(wxFocusEvent& event)
{
    event.Skip();
    if (CArbDocument* document = CArbDocument::Get())
        document->SetLastFocusedView(false);
    UpdateNodeMenu();
}

void CArbListView::OnSelectionChanged(wxListEvent& event)
{
    event.Skip();
    if (m_editor)
        EndValueEdit(false);
    if (m_viewPort && m_viewPort->IsSelectionHandlingSuspended())
        return;
    UpdateNodeMenu();
}

void CArbListView::UpdateNodeMenu()
{
    std::vector<int> selected = m_port->GetSelectedRows();
    if (selected.empty())
        return;
    CDataObject* node = GetRowObject(selected.front());
    CArbDocument* document = CArbDocument::Get();
    if (!node || !document)
        return;
    if (document->GetNodeMenuClass() != node->GetRuntimeClassName())
        document->UpdateNodeMenu(node);
}

// --- context menu ---

std::unique_ptr<wxMenu> CArbListView::BuildContextMenu()
{
    std::vector<CDataObject*> selected = GetSelectedObjects();
    std::unique_ptr<wxMenu> menu;
    CDataObject* node = nullptr;
    if (selected.size() > 1) {
        if (CArbDocument* document = CArbDocument::Get())
            menu = document->BuildListContextMenu();
    } else {
        node = selected.empty() ? SelectedTreeNode() : selected.front();
        std::unique_ptr<platform::PopupMenu> items = node ? node->BuildContextMenu() : nullptr;
        if (items)
            menu = ui::MakeWxMenu(*items);
    }
    if (!menu)
        return nullptr;
    // The commands act on the rows from here on.
    if (CArbDocument* document = CArbDocument::Get(); document && !selected.empty())
        document->SetLastFocusedView(false);
    ui::NodeMenuScope scope(*GetListWindow(), node);
    ui::UpdateMenuItems(*menu, *GetListWindow());
    return menu;
}

void CArbListView::ShowContextMenu(const wxPoint& screenPoint)
{
    EndValueEdit(false);
    std::vector<int> selected = m_port->GetSelectedRows();
    if (selected.empty()) {
        // The tree's menu for its selected item stands in.
        CArbTreeView* tree = CArbTreeView::Get();
        std::shared_ptr<platform::TreePort> port = platform::GetTreeControl();
        if (tree && port && port->GetSelectedItem())
            tree->ShowItemContextMenu(port->GetSelectedItem(), true);
        return;
    }
    std::unique_ptr<wxMenu> menu = BuildContextMenu();
    if (!menu)
        return;
    wxWindow* rows = GetListWindow();
    wxPoint at;
    bool inSelection = false;
    if (screenPoint != wxDefaultPosition) {
        int flags = 0;
        long row = HitTest(rows->ScreenToClient(screenPoint), flags);
        inSelection = row >= 0 && GetItemState(row, wxLIST_STATE_SELECTED) != 0;
        at = ScreenToClient(screenPoint);
    }
    if (!inSelection) {
        wxRect label;
        if (GetItemRect(selected.front(), label, wxLIST_RECT_LABEL))
            at = label.GetTopLeft() + wxPoint(kMenuOffset, kMenuOffset);
        if (!wxRect(GetClientSize()).Contains(at))
            at = wxPoint(kMenuOffset, kMenuOffset);
    }
    // A single row's menu is its node's; the node is looked up again after
    // the menu's own loop, as it may have gone meanwhile.
    const NodeId single = selected.size() == 1 && GetRowObject(selected.front())
                              ? GetRowObject(selected.front())->GetNodeId()
                              : kNoNode;
    int chosen = wxID_NONE;
    {
        ui::NodeMenuScope scope(*GetListWindow(), single != kNoNode ? NodeRegistry::Find(single) : nullptr);
        CArbDocument* document = CArbDocument::Get();
        CArbMainFrame* frame = document ? document->GetFrame() : nullptr;
        chosen = ui::TrackContextMenu(*this, *menu, at, [frame](CBCGPopupMenuEx& popup) {
            if (frame)
                frame->PrepareContextMenu(popup);
        });
    }
    if (chosen == wxID_NONE)
        return;
    if (CDataObject* node = single != kNoNode ? NodeRegistry::Find(single) : nullptr) {
        ui::RunNodeMenuCommand(*this, *node, ui::CommandOf(chosen));
        return;
    }
    if (single != kNoNode)
        return;
    wxCommandEvent command(wxEVT_MENU, chosen);
    command.SetEventObject(this);
    ProcessWindowEvent(command);
}

void CArbListView::OnContextMenu(wxContextMenuEvent& event)
{
    // A menu asked for by the mouse: once for each right press.
    if (event.GetPosition() != wxDefaultPosition) {
        if (m_menuPress == m_rightPresses)
            return;
        m_menuPress = m_rightPresses;
    }
    ShowContextMenu(event.GetPosition());
}

void CArbListView::OnClearClipboard(wxCommandEvent&)
{
    if (wxTheClipboard->Open()) {
        wxTheClipboard->Clear();
        wxTheClipboard->Close();
    }
}

// --- in-place edit ---

bool CArbListView::CanEditValue(CDataObject* node, std::wstring& text) const
{
    auto* attribute = dynamic_cast<CAttrObject*>(node);
    if (!attribute || attribute->IsBinary() || attribute->IsOperational() || attribute->IsPasswordValue() ||
        attribute->IsReadOnly())
        return false;
    CEntryObject* owner = attribute->GetOwner();
    if (!owner || owner->IsBusy())
        return false;
    // Only a value shown as it is stored: what is typed replaces it whole.
    text = attribute->GetValueText();
    return Utf8ToWideString(attribute->GetValue()) == text;
}

bool CArbListView::CanBeginValueEdit(int row) const
{
    std::wstring text;
    return IsReportStyle() && row >= 0 && row < GetItemCount() && CanEditValue(GetRowObject(row), text);
}

void CArbListView::BeginValueEdit(const wxPoint& point)
{
    if (!IsReportStyle())
        return;
    int flags = 0;
    long row = HitTest(point, flags);
    if (row < 0 || !(flags & wxLIST_HITTEST_ONITEM))
        return;
    if (!(GetItemState(row, wxLIST_STATE_FOCUSED) & wxLIST_STATE_FOCUSED))
        return;
    BeginValueEdit(static_cast<int>(row));
}

void CArbListView::BeginValueEdit(int row)
{
    EndValueEdit(false);
    if (!IsReportStyle() || row < 0 || row >= GetItemCount())
        return;
    CDataObject* node = GetRowObject(row);
    std::wstring text;
    if (!CanEditValue(node, text))
        return;
    SelectSingleItem(row, true);
    EnsureVisible(row);
    wxRect cell;
    if (!GetSubItemRect(row, kValueColumn, cell))
        return;
    // Scrolled horizontally so that the cell begins inside the view.
    if (cell.x < 0 || cell.x > GetClientSize().x - 10) {
        ScrollList(cell.x, 0);
        GetSubItemRect(row, kValueColumn, cell);
    }
    m_editText = GetItemText(row, kValueColumn).ToStdWstring();
    m_editNode = node->GetNodeId();
    wxWindow* rows = GetListWindow();
    cell.SetPosition(cell.GetPosition() - rows->GetPosition());
    auto* editor = new CInPlaceEdit(row, kValueColumn, wxString(text));
    if (!editor->Create(this, rows, wxID_ANY, cell)) {
        delete editor;
        return;
    }
    m_editor = editor;
}

void CArbListView::EndValueEdit(bool cancel)
{
    if (m_editor && !m_editor->IsEnding())
        m_editor->Finish(cancel);
    m_editor = nullptr;
}

void CArbListView::PositionEditor()
{
    if (!m_editor || m_editor->IsEnding())
        return;
    wxRect cell;
    if (!GetSubItemRect(m_editor->GetItem(), kValueColumn, cell))
        return;
    cell.SetPosition(cell.GetPosition() - GetListWindow()->GetPosition());
    m_editor->SetSize(cell.x, cell.y, std::max(cell.width, m_editor->GetSize().x), cell.height);
}

void CArbListView::OnEndValueEdit(wxListEvent& event)
{
    m_editor = nullptr;
    if (event.IsEditCancelled())
        return;
    const std::wstring text = event.GetLabel().ToStdWstring();
    if (text.empty() || text == m_editText)
        return;
    // The row may have been refilled meanwhile: the node is looked up again,
    // and its value must still be the one that was edited.
    auto* attribute = dynamic_cast<CAttrObject*>(NodeRegistry::Find(m_editNode));
    std::wstring shown;
    if (!attribute || FindItemByData(attribute) < 0 || !CanEditValue(attribute, shown) || shown != m_editText)
        return;
    attribute->ReplaceValue(WideToUtf8Text(text));
}

void CArbListView::OnSize(wxSizeEvent& event)
{
    event.Skip();
    CallAfter([this] { PositionEditor(); });
}

// --- messages ---

void CArbListView::OnMessage(platform::MessageId id, uintptr_t wParam, intptr_t lParam,
                             std::unique_ptr<platform::MessagePayload> payload)
{
    if (id == platform::WM_TIMER) {
        if (wParam == platform::kListProgressTimer) {
            if (CDataObject* node = SelectedTreeNode())
                node->ShowProgress();
            return;
        }
    }
    if (id == platform::WM_LOAD_BINARY_VALUE) {
        const long row = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
        if (row >= 0)
            LoadBinaryValueFromFile(GetRowObject(row));
        return;
    }
    HandleListViewMessage(id, wParam, lParam, payload);
}
