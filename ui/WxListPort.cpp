#include "ui/WxListPort.h"

#include <unordered_map>

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

WxListPort::WxListPort(wxListCtrl& list) : m_list(list)
{
    if (auto* view = dynamic_cast<CListViewBase*>(&m_list)) view->SetRowSource(this);
    ColumnCount();
}

WxListPort::~WxListPort()
{
    while (m_lockDepth > 0) UnlockUpdates();
    if (auto* view = dynamic_cast<CListViewBase*>(&m_list); view && view->GetRowSource() == this)
        view->SetRowSource(nullptr);
    // The rows keep pointers to the records: the control must not see them go stale.
    if (Virtual())
        m_list.SetItemCount(0);
    else
        for (long row = 0; row < m_list.GetItemCount(); ++row) m_list.SetItemPtrData(row, 0);
}

void WxListPort::SetTextProvider(TextProvider provider)
{
    m_textProvider = std::move(provider);
}

std::wstring WxListPort::TextOf(const Record& r, int column) const
{
    if (r.textCallback)
        return m_textProvider && column >= 0 ? m_textProvider(r.data, column) : std::wstring();
    return column >= 0 && static_cast<size_t>(column) < r.texts.size() ? r.texts[column] : std::wstring();
}

void WxListPort::SetLabelProvider(LabelProvider provider)
{
    m_labelProvider = std::move(provider);
}

std::wstring WxListPort::ShownText(const Record& r) const
{
    if (m_labelProvider && r.data && !m_list.InReportView()) {
        std::wstring label = m_labelProvider(r.data);
        if (!label.empty())
            return label;
    }
    return TextOf(r, 0);
}

void WxListPort::KeepTexts(Record& r)
{
    if (!r.textCallback)
        return;
    std::vector<std::wstring> texts;
    for (int column = 0; column < ColumnCount(); ++column)
        texts.push_back(TextOf(r, column));
    r.texts = std::move(texts);
    r.textCallback = false;
}

void WxListPort::SetOverlayImage(int overlay, int imageIndex)
{
    m_overlays.SetOverlayImage(overlay, imageIndex);
}

WxListPort::Record* WxListPort::RecordOf(int row) const
{
    return ValidRow(row) ? m_rows[row].get() : nullptr;
}

void* WxListPort::DataOfRow(long row) const
{
    Record* r = RecordOf(static_cast<int>(row));
    return r ? r->data : nullptr;
}

wxString WxListPort::RowText(long row, long column) const
{
    Record* r = RecordOf(static_cast<int>(row));
    return r ? wxString(TextOf(*r, static_cast<int>(column))) : wxString();
}

int WxListPort::RowImage(long row) const
{
    Record* r = RecordOf(static_cast<int>(row));
    return r ? r->shown : -1;
}

int WxListPort::ColumnCount() const
{
    if (m_list.InReportView()) m_columns = std::max(1, m_list.GetColumnCount());
    return m_columns;
}

void WxListPort::ComposeImage(Record& r)
{
    r.shown = m_overlays.Compose(m_list.GetImageList(wxIMAGE_LIST_SMALL), r.image, OverlayOf(r.state));
}

void WxListPort::RefreshRow(int row)
{
    // Under the lock one repaint at the unlock does for every row changed.
    if (m_lockDepth > 0)
        m_refreshAtUnlock = true;
    else
        m_list.RefreshItem(row);
}

void WxListPort::ShowImage(int row, const Record& r)
{
    if (Virtual())
        RefreshRow(row);
    else
        m_list.SetItemImage(row, r.shown);
}

// No freeze of the control: it lays out and paints only once the loop turns
// anyway, and the toolkit's thaw repaints the control and every window
// around it (the frame, the splitter, the list's header).
void WxListPort::LockUpdates()
{
    ++m_lockDepth;
}

void WxListPort::UnlockUpdates()
{
    if (m_lockDepth == 0) return;
    --m_lockDepth;
    if (m_lockDepth == 0 && m_refreshAtUnlock) {
        m_refreshAtUnlock = false;
        m_list.Refresh();
    }
}

void WxListPort::UpdateWindow()
{
    m_list.Update();
}

int WxListPort::GetItemCount() const
{
    return static_cast<int>(m_rows.size());
}

long WxListPort::AddControlRow(long row, const Record& r)
{
    // Text, image and record in one insert: each call on the control measures and repaints the row.
    wxListItem info;
    info.SetId(row);
    info.SetText(wxString(ShownText(r)));
    info.SetImage(r.shown);
    info.SetData(reinterpret_cast<wxUIntPtr>(&r));
    const long index = m_list.InsertItem(info);
    if (index >= 0 && m_list.InReportView()) {
        const int columns = r.textCallback ? m_list.GetColumnCount() : static_cast<int>(r.texts.size());
        for (int column = 1; column < columns && column < m_list.GetColumnCount(); ++column) {
            const std::wstring text = TextOf(r, column);
            if (!text.empty()) m_list.SetItem(index, column, wxString(text));
        }
    }
    return index;
}

int WxListPort::InsertItem(int row, ListItem item)
{
    const int count = GetItemCount();
    if (row < 0 || row > count) row = count;
    auto record = std::make_unique<Record>();
    record->data = item.data;
    record->image = item.image;
    record->state = item.state & item.stateMask & ~kControlBits;
    record->textCallback = item.textCallback;
    if (!item.textCallback) {
        record->texts.reserve(1 + item.columns.size());
        record->texts.push_back(std::move(item.text));
        for (std::wstring& text : item.columns) {
            if (static_cast<int>(record->texts.size()) >= ColumnCount()) break;
            record->texts.push_back(std::move(text));
        }
    }
    ComposeImage(*record);
    if (Virtual()) {
        // The control keeps selection and focus by row: those past the new row move down one.
        std::vector<int> moved;
        long focused = -1;
        if (row < count) {
            if (m_list.GetSelectedItemCount() > 0)
                for (int selected : GetSelectedRows())
                    if (selected >= row) moved.push_back(selected);
            focused = m_list.GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
        }
        m_rows.insert(m_rows.begin() + row, std::move(record));
        m_list.SetItemCount(count + 1);
        for (auto it = moved.rbegin(); it != moved.rend(); ++it) m_list.SetItemState(*it, 0, wxLIST_STATE_SELECTED);
        for (int selected : moved) m_list.SetItemState(selected + 1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
        if (focused >= row) m_list.SetItemState(focused + 1, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
        if (row < count) m_list.RefreshItems(row, count);
    } else {
        const long index = AddControlRow(row, *record);
        if (index < 0) return -1;
        row = static_cast<int>(index);
        m_rows.insert(m_rows.begin() + row, std::move(record));
    }
    if (item.stateMask & kControlBits) SetOneState(row, item.state, item.stateMask & kControlBits);
    return row;
}

bool WxListPort::DeleteItem(int row)
{
    if (!ValidRow(row)) return false;
    const bool ok = m_list.DeleteItem(row);
    if (ok) m_rows.erase(m_rows.begin() + row);
    return ok;
}

void WxListPort::DeleteAllItems()
{
    m_list.DeleteAllItems();
    if (Virtual()) m_list.SetItemCount(0);
    // The room of a long list goes too, not only its rows.
    std::vector<std::unique_ptr<Record>>().swap(m_rows);
}

std::wstring WxListPort::GetItemText(int row, int column) const
{
    Record* r = RecordOf(row);
    if (!r || column < 0 || column >= ColumnCount())
        return std::wstring();
    return TextOf(*r, column);
}

bool WxListPort::SetItemText(int row, int column, const std::wstring& text)
{
    Record* r = RecordOf(row);
    if (!r || column < 0 || column >= ColumnCount()) return false;
    KeepTexts(*r);
    if (r->texts.size() <= static_cast<size_t>(column)) r->texts.resize(column + 1);
    r->texts[column] = text;
    if (Virtual()) {
        RefreshRow(row);
        return true;
    }
    // Columns past the first show only in report view; the record keeps them for it.
    if (column > 0 && !m_list.InReportView()) return true;
    return m_list.SetItem(row, column, wxString(column == 0 ? ShownText(*r) : text));
}

WxListPort::Marks WxListPort::TakeMarks() const
{
    Marks marks;
    if (m_list.GetSelectedItemCount() > 0)
        for (int row : GetSelectedRows()) marks.selected.push_back(RecordOf(row));
    const long focused = m_list.GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
    marks.focused = RecordOf(static_cast<int>(focused));
    return marks;
}

void WxListPort::RestoreMarks(const Marks& marks)
{
    if (m_list.GetSelectedItemCount() > 0)
        for (int row : GetSelectedRows()) m_list.SetItemState(row, 0, wxLIST_STATE_SELECTED);
    if (marks.selected.empty() && !marks.focused) return;
    std::unordered_map<const Record*, int> rows;
    for (size_t row = 0; row < m_rows.size(); ++row) rows[m_rows[row].get()] = static_cast<int>(row);
    if (marks.focused && rows.count(marks.focused))
        m_list.SetItemState(rows[marks.focused], wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
    for (const Record* r : marks.selected)
        if (rows.count(r)) m_list.SetItemState(rows[r], wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
}

void WxListPort::BeginStyleChange()
{
    m_pending = TakeMarks();
    ColumnCount();
    m_list.DeleteAllItems();
    if (Virtual()) m_list.SetItemCount(0);
}

void WxListPort::EndStyleChange()
{
    // A virtual control may leave a row of its own behind once it is plain.
    if (!Virtual() && m_list.GetItemCount() > 0) m_list.DeleteAllItems();
    if (Virtual()) {
        m_list.SetItemCount(GetItemCount());
    } else {
        for (size_t row = 0; row < m_rows.size(); ++row) AddControlRow(static_cast<long>(row), *m_rows[row]);
    }
    RestoreMarks(m_pending);
    m_pending = Marks();
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
    ComposeImage(*r);
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
    if (OverlayOf(r->state) != overlay) {
        ComposeImage(*r);
        ShowImage(row, *r);
    }
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
    if (m_list.GetSelectedItemCount() == 0) return rows;
    for (long i = m_list.GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); i >= 0;
         i = m_list.GetNextItem(i, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
        rows.push_back(static_cast<int>(i));
    return rows;
}

int WxListPort::FindItemByData(const void* data, int start) const
{
    for (int row = std::max(start + 1, 0); row < GetItemCount(); ++row)
        if (m_rows[row]->data == data) return row;
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
    if (Virtual()) {
        const Marks marks = TakeMarks();
        std::stable_sort(m_rows.begin(), m_rows.end(), [&](const std::unique_ptr<Record>& a, const std::unique_ptr<Record>& b) {
            return compare(a->data, b->data) < 0;
        });
        RestoreMarks(marks);
        m_list.Refresh();
        return;
    }
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
    // The records follow the control's new order.
    std::unordered_map<const Record*, std::unique_ptr<Record>> owned;
    for (auto& r : m_rows) owned[r.get()] = std::move(r);
    for (size_t row = 0; row < m_rows.size(); ++row)
        m_rows[row] = std::move(owned[reinterpret_cast<const Record*>(m_list.GetItemData(static_cast<long>(row)))]);
}

} // namespace ui
