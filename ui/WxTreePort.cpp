#include "ui/WxTreePort.h"

#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>
#include <vector>

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

namespace {

// A handle is the number of its port's slot in the top bits and a serial
// number of all ports in the rest, so that a record finds its port's
// handles without a pointer of its own (a record per item of a long list),
// and a record whose port went first (the control outlives it) finds none.
constexpr int kSlotShift = 48;
constexpr size_t kMaxPorts = 0xFFFE;
uint64_t g_serial = 0;

std::vector<void*>& PortSlots()
{
    static std::vector<void*> slots;
    return slots;
}

// Image numbers and child indicators are small; a bigger one is kept as the nearest that fits.
template <class T>
T Narrow(int value)
{
    return static_cast<T>(std::clamp<int>(value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

size_t SlotOf(uint64_t handle)
{
    return static_cast<size_t>(handle >> kSlotShift) - 1;
}

} // namespace

// The items of the live handles. Records remove themselves when the
// control deletes their items, whoever deletes them. Handles are numbered
// in order, so the items lie in blocks by number, each block made with its
// first item and freed with its last: a long list costs a pointer per item,
// and no table is made again at once as it grows.
class WxTreePort::Handles {
public:
    wxTreeItemId Find(uint64_t handle) const
    {
        const uint64_t number = NumberOf(handle);
        const size_t block = static_cast<size_t>(number / kBlock);
        if (handle == 0 || block >= m_blocks.size() || !m_blocks[block]) return wxTreeItemId();
        return wxTreeItemId(m_blocks[block]->items[number % kBlock]);
    }
    void Add(uint64_t handle, const wxTreeItemId& id)
    {
        const uint64_t number = NumberOf(handle);
        const size_t block = static_cast<size_t>(number / kBlock);
        if (block >= m_blocks.size()) m_blocks.resize(block + 1);
        if (!m_blocks[block]) m_blocks[block] = std::make_unique<Block>();
        void*& item = m_blocks[block]->items[number % kBlock];
        if (!item) ++m_blocks[block]->live;
        item = id.GetID();
    }
    void Remove(uint64_t handle)
    {
        const uint64_t number = NumberOf(handle);
        const size_t block = static_cast<size_t>(number / kBlock);
        if (block >= m_blocks.size() || !m_blocks[block]) return;
        void*& item = m_blocks[block]->items[number % kBlock];
        if (!item) return;
        item = nullptr;
        if (--m_blocks[block]->live == 0) {
            m_blocks[block].reset();
            while (!m_blocks.empty() && !m_blocks.back()) m_blocks.pop_back();
        }
    }

private:
    static constexpr uint64_t kBlock = 4096;
    struct Block {
        std::array<void*, kBlock> items{};
        size_t live = 0;
    };
    static uint64_t NumberOf(uint64_t handle) { return handle & ((uint64_t(1) << kSlotShift) - 1); }
    std::vector<std::unique_ptr<Block>> m_blocks;  // by number / kBlock
};

// What the port keeps of an item, in 48 bytes with the allocator's header:
// one per child of a long list.
class WxTreePort::Record : public wxTreeItemData {
public:
    explicit Record(uint64_t handle) : handle(handle)
    {
        static_assert(sizeof(Record) <= 40, "a record per child of a long list");
    }
    ~Record() override
    {
        const size_t slot = SlotOf(handle);
        std::vector<void*>& slots = PortSlots();
        if (slot < slots.size() && slots[slot]) static_cast<Handles*>(slots[slot])->Remove(handle);
    }

    uint64_t handle;
    void* data = nullptr;
    int16_t image = 0;
    int16_t selectedImage = 0;
    int8_t overlay = 0;
    int8_t childIndicator = 0;
};

WxTreePort::WxTreePort(PortTreeCtrl& tree) : m_tree(tree), m_handles(std::make_unique<Handles>())
{
    std::vector<void*>& slots = PortSlots();
    m_slot = std::find(slots.begin(), slots.end(), nullptr) - slots.begin();
    if (m_slot == slots.size()) {
        if (m_slot >= kMaxPorts) throw std::runtime_error("too many tree ports");
        slots.push_back(nullptr);
    }
    slots[m_slot] = m_handles.get();
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
    // The control outlives the port: its records find no handles from now on.
    PortSlots()[m_slot] = nullptr;
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
    const wxTreeItemId id = IdOf(item);
    return id.IsOk() ? static_cast<Record*>(m_tree.GetItemData(id)) : nullptr;
}

wxTreeItemId WxTreePort::IdOf(TreeItem item) const
{
    // Another port's handle names none of this control's items.
    if (item == platform::kTreeRoot || (item.handle >> kSlotShift) != m_slot + 1) return wxTreeItemId();
    return m_handles->Find(item.handle);
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
    const uint64_t handle = (static_cast<uint64_t>(m_slot + 1) << kSlotShift) | ++g_serial;
    auto* record = new Record(handle);
    record->data = insert.data;
    record->image = Narrow<int16_t>(insert.image);
    record->selectedImage = Narrow<int16_t>(insert.selectedImage);
    record->childIndicator = Narrow<int8_t>(insert.children);
    // A callback text is asked when the item is first shown or read.
    const wxString text = insert.textCallback ? wxString() : wxString(insert.text);
    // With its images at once: setting them afterwards measures the item again.
    // (A new item has no overlay.)
    wxTreeItemId id = insert.at == TreeInsertAt::First
                          ? m_tree.PrependItem(parent, text, insert.image, insert.selectedImage, record)
                          : m_tree.AppendItem(parent, text, insert.image, insert.selectedImage, record);
    if (!id.IsOk()) return TreeItem();
    m_handles->Add(handle, id);
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
    return IdOf(item).IsOk();
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
    // Every item under the root is the port's, with its record.
    m_tree.VisitChildrenData(id, [&data](wxTreeItemData* r) {
        if (r) data.push_back(static_cast<Record*>(r)->data);
    });
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
    r->image = Narrow<int16_t>(image);
    r->selectedImage = Narrow<int16_t>(selectedImage);
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
    r->overlay = static_cast<int8_t>(overlay);
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
    r->childIndicator = Narrow<int8_t>(children);
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
