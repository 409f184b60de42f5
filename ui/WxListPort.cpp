#include "ui/WxListPort.h"

#include <wx/imaglist.h>

namespace ui {

using platform::ListItem;

namespace {

// The state bits the control keeps itself.
constexpr uint32_t kControlBits = platform::kListFocused | platform::kListSelected;

long ControlMask(uint32_t bits)
{
    long mask = 0;
    if (bits & platform::kListFocused) mask |= wxLIST_STATE_FOCUSED;
    if (bits & platform::kListSelected) mask |= wxLIST_STATE_SELECTED;
    return mask;
}

int OverlayOf(uint32_t state)
{
    return static_cast<int>((state & platform::kListOverlayMask) >> 8);
}

} // namespace

WxListPort::WxListPort(wxListCtrl& list) : m_list(list) {}

WxListPort::~WxListPort()
{
    while (m_lockDepth > 0) UnlockUpdates();
    // The rows keep pointers to the records: the control must not see them go stale.
    for (long row = 0; row < m_list.GetItemCount(); ++row) m_list.SetItemPtrData(row, 0);
}

void WxListPort::SetOverlayImage(int overlay, int imageIndex)
{
    m_overlays.SetOverlayImage(overlay, imageIndex);
}

WxListPort::Record* WxListPort::RecordOf(int row) const
{
    if (!ValidRow(row)) return nullptr;
    auto* r = reinterpret_cast<Record*>(m_list.GetItemData(row));
    return r && m_records.count(r) ? r : nullptr;
}

void* WxListPort::DataOfRow(long row) const
{
    Record* r = RecordOf(static_cast<int>(row));
    return r ? r->data : nullptr;
}

void WxListPort::ShowImage(int row, const Record& r)
{
    m_list.SetItemImage(row, m_overlays.Compose(m_list.GetImageList(wxIMAGE_LIST_SMALL), r.image, OverlayOf(r.state)));
}

void WxListPort::LockUpdates()
{
    ++m_lockDepth;
    m_list.Freeze();
}

void WxListPort::UnlockUpdates()
{
    if (m_lockDepth == 0) return;
    --m_lockDepth;
    m_list.Thaw();
}

void WxListPort::UpdateWindow()
{
    m_list.Update();
}

int WxListPort::GetItemCount() const
{
    return m_list.GetItemCount();
}

int WxListPort::InsertItem(int row, const ListItem& item)
{
    if (row < 0 || row > GetItemCount()) row = GetItemCount();
    auto record = std::make_unique<Record>();
    record->data = item.data;
    record->image = item.image;
    record->state = item.state & item.stateMask & ~kControlBits;
    Record* r = record.get();
    // Text, image and record in one insert: each call on the control measures and repaints the row.
    wxListItem info;
    info.SetId(row);
    info.SetText(wxString(item.text));
    info.SetImage(m_overlays.Compose(m_list.GetImageList(wxIMAGE_LIST_SMALL), r->image, OverlayOf(r->state)));
    info.SetData(reinterpret_cast<wxUIntPtr>(r));
    long index = m_list.InsertItem(info);
    if (index < 0) return -1;
    m_records[r] = std::move(record);
    if (item.stateMask & kControlBits) SetOneState(static_cast<int>(index), item.state, item.stateMask & kControlBits);
    return static_cast<int>(index);
}

bool WxListPort::DeleteItem(int row)
{
    if (!ValidRow(row)) return false;
    Record* r = RecordOf(row);
    bool ok = m_list.DeleteItem(row);
    if (ok && r) m_records.erase(r);
    return ok;
}

void WxListPort::DeleteAllItems()
{
    m_list.DeleteAllItems();
    m_records.clear();
}

std::wstring WxListPort::GetItemText(int row, int column) const
{
    if (!ValidRow(row) || column < 0 || column >= std::max(1, m_list.GetColumnCount())) return std::wstring();
    if (column == 0) return m_list.GetItemText(row).ToStdWstring();
    Record* r = RecordOf(row);
    if (!r) return m_list.InReportView() ? m_list.GetItemText(row, column).ToStdWstring() : std::wstring();
    return static_cast<size_t>(column) <= r->texts.size() ? r->texts[column - 1] : std::wstring();
}

bool WxListPort::SetItemText(int row, int column, const std::wstring& text)
{
    if (!ValidRow(row) || column < 0 || column >= std::max(1, m_list.GetColumnCount())) return false;
    if (column > 0) {
        if (Record* r = RecordOf(row)) {
            if (r->texts.size() < static_cast<size_t>(column)) r->texts.resize(column);
            r->texts[column - 1] = text;
        }
        if (!m_list.InReportView()) return true;
    }
    return m_list.SetItem(row, column, wxString(text));
}

void WxListPort::ShowSubItemTexts()
{
    if (!m_list.InReportView()) return;
    for (int row = 0; row < GetItemCount(); ++row) {
        Record* r = RecordOf(row);
        if (!r) continue;
        for (size_t i = 0; i < r->texts.size() && static_cast<int>(i) + 1 < m_list.GetColumnCount(); ++i)
            m_list.SetItem(row, static_cast<long>(i) + 1, wxString(r->texts[i]));
    }
}

void* WxListPort::GetItemData(int row) const
{
    Record* r = RecordOf(row);
    return r ? r->data : nullptr;
}

bool WxListPort::SetItemData(int row, void* data)
{
    Record* r = RecordOf(row);
    if (!r) return false;
    r->data = data;
    return true;
}

int WxListPort::GetItemImage(int row) const
{
    Record* r = RecordOf(row);
    return r ? r->image : -1;
}

bool WxListPort::SetItemImage(int row, int image)
{
    Record* r = RecordOf(row);
    if (!r) return false;
    r->image = image;
    ShowImage(row, *r);
    return true;
}

uint32_t WxListPort::GetItemState(int row, uint32_t mask) const
{
    Record* r = RecordOf(row);
    if (!r) return 0;
    uint32_t state = r->state;
    long own = m_list.GetItemState(row, wxLIST_STATE_FOCUSED | wxLIST_STATE_SELECTED);
    if (own & wxLIST_STATE_FOCUSED) state |= platform::kListFocused;
    if (own & wxLIST_STATE_SELECTED) state |= platform::kListSelected;
    return state & mask;
}

bool WxListPort::SetOneState(int row, uint32_t state, uint32_t mask)
{
    Record* r = RecordOf(row);
    if (!r) return false;
    const int overlay = OverlayOf(r->state);
    r->state = (r->state & ~(mask & ~kControlBits)) | (state & mask & ~kControlBits);
    if (long controlMask = ControlMask(mask)) m_list.SetItemState(row, ControlMask(state & mask), controlMask);
    if (OverlayOf(r->state) != overlay) ShowImage(row, *r);
    return true;
}

bool WxListPort::SetItemState(int row, uint32_t state, uint32_t mask)
{
    if (row != -1) return SetOneState(row, state, mask);
    for (int i = 0; i < GetItemCount(); ++i) SetOneState(i, state, mask);
    return true;
}

std::vector<int> WxListPort::GetSelectedRows() const
{
    std::vector<int> rows;
    for (long i = m_list.GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); i >= 0;
         i = m_list.GetNextItem(i, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
        rows.push_back(static_cast<int>(i));
    return rows;
}

int WxListPort::FindItemByData(const void* data, int start) const
{
    for (int row = std::max(start + 1, 0); row < GetItemCount(); ++row)
        if (GetItemData(row) == data) return row;
    return -1;
}

bool WxListPort::EnsureVisible(int row)
{
    return ValidRow(row) && m_list.EnsureVisible(row);
}

bool WxListPort::RedrawItems(int first, int last)
{
    if (GetItemCount() == 0 || first > last) return false;
    first = std::max(first, 0);
    last = std::min(last, GetItemCount() - 1);
    m_list.RefreshItems(first, last);
    return true;
}

void WxListPort::SortItems(const platform::ItemCompare& compare)
{
    if (!compare) return;
    struct Context {
        const platform::ItemCompare* compare;
    } context{&compare};
    m_list.SortItems(
        [](wxIntPtr a, wxIntPtr b, wxIntPtr ctx) -> int {
            auto* c = reinterpret_cast<Context*>(ctx);
            auto* ra = reinterpret_cast<Record*>(a);
            auto* rb = reinterpret_cast<Record*>(b);
            return (*c->compare)(ra ? ra->data : nullptr, rb ? rb->data : nullptr);
        },
        reinterpret_cast<wxIntPtr>(&context));
}

} // namespace ui
