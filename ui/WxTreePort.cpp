#include "ui/WxTreePort.h"

#include <wx/imaglist.h>

namespace ui {

using platform::TreeExpand;
using platform::TreeInsert;
using platform::TreeInsertAt;
using platform::TreeItem;

wxIMPLEMENT_DYNAMIC_CLASS(PortTreeCtrl, LazyTreeCtrl);

PortTreeCtrl::PortTreeCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style)
    : LazyTreeCtrl(parent, id, pos, size, style)
{
}

void PortTreeCtrl::SetComparison(std::function<int(const wxTreeItemId&, const wxTreeItemId&)> compare)
{
    m_compare = std::move(compare);
}

void PortTreeCtrl::SetTextSource(std::function<wxString(const wxTreeItemId&)> source)
{
    m_textSource = std::move(source);
}

wxString PortTreeCtrl::OnGetItemText(const wxTreeItemId& item) const
{
    return m_textSource ? m_textSource(item) : LazyTreeCtrl::OnGetItemText(item);
}

int PortTreeCtrl::OnCompareItems(const wxTreeItemId& a, const wxTreeItemId& b)
{
    if (m_compare) return m_compare(a, b);
    return GetItemText(a).CmpNoCase(GetItemText(b));
}

// The handles of the live items. Records remove themselves when the
// control deletes their items, whoever deletes them.
struct WxTreePort::Handles {
    std::unordered_map<uint64_t, wxTreeItemId> ids;
    uint64_t next = 1;
};

class WxTreePort::Record : public wxTreeItemData {
public:
    Record(std::shared_ptr<Handles> handles, uint64_t handle) : handles(std::move(handles)), handle(handle) {}
    ~Record() override { handles->ids.erase(handle); }

    std::shared_ptr<Handles> handles;
    uint64_t handle;
    void* data = nullptr;
    int image = 0;
    int selectedImage = 0;
    int overlay = 0;
    int childIndicator = 0;
};

WxTreePort::WxTreePort(PortTreeCtrl& tree) : m_tree(tree), m_handles(std::make_shared<Handles>())
{
    if (!m_tree.GetRootItem().IsOk()) m_tree.AddRoot(wxString());
    m_tree.SetTextSource([this](const wxTreeItemId& id) {
        auto* r = dynamic_cast<Record*>(m_tree.GetItemData(id));
        return r && m_textProvider ? wxString(m_textProvider(r->data)) : wxString();
    });
}

WxTreePort::~WxTreePort()
{
    m_tree.SetTextSource(nullptr);
    while (m_lockDepth > 0) UnlockUpdates();
}

void WxTreePort::SetTextProvider(TextProvider provider)
{
    m_textProvider = std::move(provider);
}

void WxTreePort::SetOverlayImage(int overlay, int imageIndex)
{
    m_overlays.SetOverlayImage(overlay, imageIndex);
}

WxTreePort::Record* WxTreePort::RecordOf(TreeItem item) const
{
    auto it = m_handles->ids.find(item.handle);
    if (it == m_handles->ids.end()) return nullptr;
    return static_cast<Record*>(m_tree.GetItemData(it->second));
}

wxTreeItemId WxTreePort::IdOf(TreeItem item) const
{
    auto it = m_handles->ids.find(item.handle);
    return it == m_handles->ids.end() ? wxTreeItemId() : it->second;
}

TreeItem WxTreePort::HandleOf(const wxTreeItemId& id) const
{
    if (!id.IsOk() || id == m_tree.GetRootItem()) return TreeItem();
    auto* r = dynamic_cast<Record*>(m_tree.GetItemData(id));
    return r ? TreeItem{r->handle} : TreeItem();
}

wxTreeItemId WxTreePort::ParentId(TreeItem parent) const
{
    return parent == platform::kTreeRoot ? m_tree.GetRootItem() : IdOf(parent);
}

void WxTreePort::ShowImages(const wxTreeItemId& id, const Record& r)
{
    wxImageList* list = m_tree.GetImageList();
    m_tree.SetItemImage(id, m_overlays.Compose(list, r.image, r.overlay), wxTreeItemIcon_Normal);
    m_tree.SetItemImage(id, m_overlays.Compose(list, r.selectedImage, r.overlay), wxTreeItemIcon_Selected);
}

void WxTreePort::RefreshCallbackTexts()
{
    m_tree.Refresh();
}

void WxTreePort::LockUpdates()
{
    ++m_lockDepth;
    m_tree.BeginBatch();
}

void WxTreePort::UnlockUpdates()
{
    if (m_lockDepth == 0) return;
    --m_lockDepth;
    m_tree.EndBatch();
    if (m_lockDepth == 0 && m_pendingVisible) {
        // Once, now that the positions are laid out again.
        wxTreeItemId id = IdOf(m_pendingVisible);
        m_pendingVisible = TreeItem();
        if (id.IsOk()) m_tree.EnsureVisible(id);
    }
}

void WxTreePort::UpdateWindow()
{
    // GTK 3 draws all the windows of a frame in one pass, at the display's
    // next frame: the tree cannot be brought up to date alone. Forcing that
    // pass here (wxWindow::Update) would draw the whole frame and wait for
    // the X server, on the way of the job being started (several ms when
    // a large node opens). What is invalid is drawn at that next frame, a
    // few ms later, while the loop turns.
}

TreeItem WxTreePort::InsertItem(const TreeInsert& insert)
{
    wxTreeItemId parent = ParentId(insert.parent);
    if (!parent.IsOk()) return TreeItem();
    const uint64_t handle = m_handles->next++;
    auto* record = new Record(m_handles, handle);
    record->data = insert.data;
    record->image = insert.image;
    record->selectedImage = insert.selectedImage;
    record->childIndicator = insert.children;
    // A callback text is asked when the item is first shown or read.
    const wxString text = insert.textCallback ? wxString() : wxString(insert.text);
    // With its images at once: setting them afterwards measures the item again.
    // (A new item has no overlay.)
    wxTreeItemId id = insert.at == TreeInsertAt::First
                          ? m_tree.PrependItem(parent, text, insert.image, insert.selectedImage, record)
                          : m_tree.AppendItem(parent, text, insert.image, insert.selectedImage, record);
    if (!id.IsOk()) return TreeItem();
    m_handles->ids[handle] = id;
    if (insert.textCallback) m_tree.SetItemTextCallback(id);
    if (insert.children) m_tree.SetItemHasChildren(id, true);
    return TreeItem{handle};
}

bool WxTreePort::IsWithin(const wxTreeItemId& item, const wxTreeItemId& ancestor) const
{
    for (wxTreeItemId p = item; p.IsOk(); p = m_tree.GetItemParent(p))
        if (p == ancestor) return true;
    return false;
}

bool WxTreePort::DeleteItem(TreeItem item)
{
    wxTreeItemId id = IdOf(item);
    if (!id.IsOk()) return false;
    // The control would move the selection elsewhere; the port leaves none.
    wxTreeItemId selected = m_tree.GetSelection();
    if (selected.IsOk() && IsWithin(selected, id)) m_tree.Unselect();
    m_tree.Delete(id);
    return true;
}

void WxTreePort::DeleteAllItems()
{
    m_tree.Unselect();
    m_tree.DeleteChildren(m_tree.GetRootItem());
}

bool WxTreePort::ItemExists(TreeItem item) const
{
    return m_handles->ids.count(item.handle) != 0;
}

TreeItem WxTreePort::GetRootItem() const
{
    return GetChildItem(platform::kTreeRoot);
}

TreeItem WxTreePort::GetParentItem(TreeItem item) const
{
    wxTreeItemId id = IdOf(item);
    return id.IsOk() ? HandleOf(m_tree.GetItemParent(id)) : TreeItem();
}

TreeItem WxTreePort::GetChildItem(TreeItem item) const
{
    wxTreeItemId id = ParentId(item);
    if (!id.IsOk()) return TreeItem();
    wxTreeItemIdValue cookie;
    return HandleOf(m_tree.GetFirstChild(id, cookie));
}

TreeItem WxTreePort::GetNextSiblingItem(TreeItem item) const
{
    wxTreeItemId id = IdOf(item);
    return id.IsOk() ? HandleOf(m_tree.GetNextSibling(id)) : TreeItem();
}

std::vector<void*> WxTreePort::GetChildrenData(TreeItem item) const
{
    std::vector<void*> data;
    wxTreeItemId id = ParentId(item);
    if (!id.IsOk()) return data;
    data.reserve(m_tree.GetChildrenCount(id, false));
    wxTreeItemIdValue cookie;
    for (wxTreeItemId child = m_tree.GetFirstChild(id, cookie); child.IsOk(); child = m_tree.GetNextChild(id, cookie)) {
        auto* r = dynamic_cast<Record*>(m_tree.GetItemData(child));
        if (r) data.push_back(r->data);
    }
    return data;
}

size_t WxTreePort::GetChildCount(TreeItem item) const
{
    wxTreeItemId id = ParentId(item);
    return id.IsOk() ? m_tree.GetChildrenCount(id, false) : 0;
}

bool WxTreePort::ItemHasChildren(TreeItem item) const
{
    wxTreeItemId id = ParentId(item);
    return id.IsOk() && m_tree.GetChildrenCount(id, false) > 0;
}

std::wstring WxTreePort::GetItemText(TreeItem item) const
{
    Record* r = RecordOf(item);
    if (!r) return std::wstring();
    // A callback item's text comes from the provider through the control.
    return m_tree.GetItemText(IdOf(item)).ToStdWstring();
}

bool WxTreePort::SetItemText(TreeItem item, const std::wstring& text)
{
    if (!RecordOf(item)) return false;
    // Fixes the text: the control stops asking the provider.
    m_tree.SetItemText(IdOf(item), wxString(text));
    return true;
}

void* WxTreePort::GetItemData(TreeItem item) const
{
    Record* r = RecordOf(item);
    return r ? r->data : nullptr;
}

bool WxTreePort::SetItemData(TreeItem item, void* data)
{
    Record* r = RecordOf(item);
    if (!r) return false;
    r->data = data;
    return true;
}

bool WxTreePort::GetItemImage(TreeItem item, int& image, int& selectedImage) const
{
    Record* r = RecordOf(item);
    if (!r) return false;
    image = r->image;
    selectedImage = r->selectedImage;
    return true;
}

bool WxTreePort::SetItemImage(TreeItem item, int image, int selectedImage)
{
    Record* r = RecordOf(item);
    if (!r) return false;
    r->image = image;
    r->selectedImage = selectedImage;
    ShowImages(IdOf(item), *r);
    return true;
}

int WxTreePort::GetItemOverlay(TreeItem item) const
{
    Record* r = RecordOf(item);
    return r ? r->overlay : 0;
}

bool WxTreePort::SetItemOverlay(TreeItem item, int overlay)
{
    Record* r = RecordOf(item);
    if (!r || overlay < 0 || overlay > 15) return false;
    r->overlay = overlay;
    ShowImages(IdOf(item), *r);
    return true;
}

int WxTreePort::GetChildIndicator(TreeItem item) const
{
    Record* r = RecordOf(item);
    return r ? r->childIndicator : 0;
}

bool WxTreePort::SetChildIndicator(TreeItem item, int children)
{
    Record* r = RecordOf(item);
    if (!r) return false;
    r->childIndicator = children;
    m_tree.SetItemHasChildren(IdOf(item), children != 0);
    return true;
}

bool WxTreePort::Expand(TreeItem item, TreeExpand how)
{
    wxTreeItemId id = IdOf(item);
    if (!id.IsOk()) return false;
    const bool expand = how == TreeExpand::Expand || (how == TreeExpand::Toggle && !m_tree.IsExpanded(id));
    if (expand) {
        m_tree.Expand(id);
    } else {
        wxTreeItemId selected = m_tree.GetSelection();
        if (selected.IsOk() && selected != id && IsWithin(selected, id)) m_tree.SelectItem(id);
        m_tree.Collapse(id);
    }
    return true;
}

bool WxTreePort::IsExpanded(TreeItem item) const
{
    wxTreeItemId id = IdOf(item);
    return id.IsOk() && m_tree.IsExpanded(id);
}

TreeItem WxTreePort::GetSelectedItem() const
{
    return HandleOf(m_tree.GetSelection());
}

bool WxTreePort::SelectItem(TreeItem item)
{
    if (!item) {
        m_tree.Unselect();
        return true;
    }
    wxTreeItemId id = IdOf(item);
    if (!id.IsOk()) return false;
    // Selecting reveals the item, as the control does on other systems.
    for (wxTreeItemId p = m_tree.GetItemParent(id); p.IsOk() && p != m_tree.GetRootItem(); p = m_tree.GetItemParent(p))
        if (!m_tree.IsExpanded(p)) m_tree.Expand(p);
    m_tree.SelectItem(id);
    return true;
}

bool WxTreePort::EnsureVisible(TreeItem item)
{
    wxTreeItemId id = IdOf(item);
    if (!id.IsOk()) return false;
    // Each call lays out the whole tree again: while updates are locked only
    // the last item asked for is shown, at the unlock.
    if (m_lockDepth > 0) {
        m_pendingVisible = item;
        return true;
    }
    m_tree.EnsureVisible(id);
    return true;
}

bool WxTreePort::SortChildren(TreeItem parent, const platform::ItemCompare& compare)
{
    wxTreeItemId id = ParentId(parent);
    if (!id.IsOk()) return false;
    if (compare) {
        m_tree.SetComparison([&](const wxTreeItemId& a, const wxTreeItemId& b) {
            auto* ra = static_cast<Record*>(m_tree.GetItemData(a));
            auto* rb = static_cast<Record*>(m_tree.GetItemData(b));
            return compare(ra ? ra->data : nullptr, rb ? rb->data : nullptr);
        });
    } else {
        m_tree.SetComparison([&](const wxTreeItemId& a, const wxTreeItemId& b) {
            return m_tree.GetItemText(a).CmpNoCase(m_tree.GetItemText(b));
        });
    }
    m_tree.SortChildren(id);
    m_tree.SetComparison(nullptr);
    return true;
}

} // namespace ui
