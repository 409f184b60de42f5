#include "widgets/LazyTreeCtrl.h"

#include <algorithm>
#include <deque>
#include <limits>

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/graphics.h>
#include <wx/imaglist.h>
#include <wx/renderer.h>
#include <wx/settings.h>
#include <wx/textctrl.h>
#include <wx/time.h>

namespace ui {

namespace {

constexpr int kMargin = 2;
constexpr int kImageGap = 4;
constexpr int kTextPad = 2;
constexpr int kScrollStepX = 10;
constexpr int kEditDelayMs = 600;
constexpr long kFindResetMs = 1000;
constexpr size_t kMaxChangedRows = 64;
// A row inserted above at most this many rows moves them; above more, the rows are counted again.
constexpr size_t kMaxMovedRows = 1024;

// An item's image number, state or depth; one out of range is kept as the nearest that fits.
int16_t Small(int value)
{
    return static_cast<int16_t>(std::clamp<int>(value, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()));
}

wxTreeItemIdValue CookieOf(size_t index)
{
    return reinterpret_cast<wxTreeItemIdValue>(index);
}

size_t IndexOf(wxTreeItemIdValue cookie)
{
    return reinterpret_cast<size_t>(cookie);
}


template <class T>
size_t PlaceOf(const T* item)
{
    return static_cast<size_t>(item->index - item->parent->indexShift);
}

// An item shown bold or in a font of its own, and that font from the control's.
template <class T>
bool HasOwnFont(const T* item)
{
    return item->bold || item->Look().font.IsOk();
}

template <class T>
wxFont FontOf(const T* item, const wxFont& base)
{
    wxFont font = item->Look().font.IsOk() ? item->Look().font : base;
    if (item->bold)
        font.MakeBold();
    return font;
}

// A deque made at its first element: std::deque allocates a block when it
// is constructed, and most items are leaves.
template <class T>
class LazyDeque {
public:
    using Deque = std::deque<T>;
    using iterator = typename Deque::iterator;
    using const_iterator = typename Deque::const_iterator;

    size_t size() const { return m_deque ? m_deque->size() : 0; }
    bool empty() const { return !m_deque || m_deque->empty(); }
    T& operator[](size_t i) { return (*m_deque)[i]; }
    const T& operator[](size_t i) const { return (*m_deque)[i]; }
    T& front() { return m_deque->front(); }
    T& back() { return m_deque->back(); }
    const T& back() const { return m_deque->back(); }
    // Value-initialised iterators compare equal: an absent deque is an empty range.
    iterator begin() { return m_deque ? m_deque->begin() : iterator(); }
    iterator end() { return m_deque ? m_deque->end() : iterator(); }
    const_iterator begin() const { return m_deque ? m_deque->cbegin() : const_iterator(); }
    const_iterator end() const { return m_deque ? m_deque->cend() : const_iterator(); }
    void push_back(T value) { Made().push_back(std::move(value)); }
    iterator insert(iterator at, T value) { return Made().insert(at, std::move(value)); }
    iterator erase(iterator at) { return m_deque->erase(at); }
    void swap(LazyDeque& other) { m_deque.swap(other.m_deque); }
    void clear() { m_deque.reset(); }

private:
    Deque& Made()
    {
        if (!m_deque)
            m_deque = std::make_unique<Deque>();
        return *m_deque;
    }
    std::unique_ptr<Deque> m_deque;
};

// The siblings of a new one at pos (already in the list) or of a gone one
// that was at pos (already out of it) keep their places.
template <class T>
void Renumber(T& parent, size_t pos, bool inserted)
{
    auto& list = parent.children;
    const size_t n = list.size();
    const std::ptrdiff_t step = inserted ? 1 : -1;
    if (pos < n - pos) {
        // Every place moves by one, then the head takes its old one back.
        parent.indexShift -= step;
        for (size_t i = 0; i < pos; ++i)
            list[i]->index -= step;
    } else {
        for (size_t i = inserted ? pos + 1 : pos; i < n; ++i)
            list[i]->index += step;
    }
    if (inserted)
        list[pos]->index = static_cast<std::ptrdiff_t>(pos) + parent.indexShift;
}

} // namespace

struct LazyTreeCtrl::Item {
    Item* parent = nullptr;
    // A deque: long lists are emptied from the front without moving the rest.
    LazyDeque<std::unique_ptr<Item>> children;
    // The place among the parent's children is index - parent->indexShift:
    // an insert or delete renumbers the shorter side of the place, so taking
    // items from either end of a long list costs nothing per sibling.
    std::ptrdiff_t index = 0;
    std::ptrdiff_t indexShift = 0;
    // Small numbers kept small (image numbers, states and depths): an item
    // per child of a long list.
    int16_t images[wxTreeItemIcon_Max] = {-1, -1, -1, -1};
    std::unique_ptr<wxTreeItemData> data;
    int textWidth = -1;  // measured when first needed
    int row = -1;
    unsigned rowGeneration = 0;
    int16_t state = wxTREE_ITEMSTATE_NONE;
    int16_t level = 0;
    bool hasPlus = false;
    bool expanded = false;
    bool bold = false;
    bool dropHighlight = false;
    bool textCallback = false;
    // The text and the looks are held apart: most items of a long list show
    // a callback text, only once shown, and the control's looks.
    struct Looks {
        wxColour textColour;
        wxColour backgroundColour;
        wxFont font;
    };
    std::unique_ptr<wxString> ownText;
    std::unique_ptr<Looks> looks;

    const wxString& Text() const
    {
        static const wxString none;
        return ownText ? *ownText : none;
    }
    void SetText(const wxString& text)
    {
        if (text.empty())
            ownText.reset();
        else if (ownText)
            *ownText = text;
        else
            ownText = std::make_unique<wxString>(text);
    }
    const Looks& Look() const
    {
        static const Looks none;
        return looks ? *looks : none;
    }
    Looks& LookToSet()
    {
        if (!looks)
            looks = std::make_unique<Looks>();
        return *looks;
    }
};

// The label editor: Return accepts, Escape cancels, leaving it accepts.
class LazyTreeCtrl::LabelEditor : public wxTextCtrl {
public:
    LabelEditor(LazyTreeCtrl* owner, const wxString& text, const wxRect& rect)
        : wxTextCtrl(owner, wxID_ANY, text, rect.GetPosition(), rect.GetSize(), wxTE_PROCESS_ENTER),
          m_owner(owner)
    {
        Bind(wxEVT_CHAR, &LabelEditor::OnChar, this);
        Bind(wxEVT_KILL_FOCUS, &LabelEditor::OnKillFocus, this);
    }

private:
    void OnChar(wxKeyEvent& event)
    {
        switch (event.GetKeyCode()) {
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER: m_owner->FinishEdit(false); return;
        case WXK_ESCAPE: m_owner->FinishEdit(true); return;
        default: event.Skip();
        }
    }

    void OnKillFocus(wxFocusEvent& event)
    {
        event.Skip();
        m_owner->FinishEdit(false);
    }

    LazyTreeCtrl* m_owner;
};

wxIMPLEMENT_DYNAMIC_CLASS(LazyTreeCtrl, wxControl);

wxBEGIN_EVENT_TABLE(LazyTreeCtrl, wxTreeCtrlBase)
    EVT_PAINT(LazyTreeCtrl::OnPaint)
    EVT_MOUSE_EVENTS(LazyTreeCtrl::OnMouse)
    EVT_CHAR(LazyTreeCtrl::OnChar)
    EVT_SET_FOCUS(LazyTreeCtrl::OnFocus)
    EVT_KILL_FOCUS(LazyTreeCtrl::OnFocus)
    EVT_SIZE(LazyTreeCtrl::OnSize)
    EVT_SYS_COLOUR_CHANGED(LazyTreeCtrl::OnSysColourChanged)
wxEND_EVENT_TABLE()

LazyTreeCtrl::LazyTreeCtrl() : wxScrollHelper(this)
{
    Init();
}

LazyTreeCtrl::LazyTreeCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style,
                           const wxValidator& validator, const wxString& name)
    : wxScrollHelper(this)
{
    Init();
    Create(parent, id, pos, size, style, validator, name);
}

LazyTreeCtrl::~LazyTreeCtrl()
{
    m_editTimer.Stop();
    // The items' data may refer to the control: they go while it is whole.
    m_current = nullptr;
    m_editing = nullptr;
    m_editCandidate = nullptr;
    m_root.reset();
}

void LazyTreeCtrl::Init()
{
    m_theme.ForgetOnColourChange(*this);
    m_editTimer.SetOwner(this);
    Bind(wxEVT_TIMER, &LazyTreeCtrl::OnEditTimer, this, m_editTimer.GetId());
}

bool LazyTreeCtrl::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style,
                          const wxValidator& validator, const wxString& name)
{
    if (!wxControl::Create(parent, id, pos, size, style | wxHSCROLL | wxVSCROLL | wxWANTS_CHARS, validator, name))
        return false;
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_LISTBOX));
    SetForegroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_LISTBOXTEXT));
    m_indent = std::max(16, wxRendererNative::Get().GetExpanderSize(this).GetWidth() + 6);
    MeasureLineHeight();
    SetScrollRate(kScrollStepX, m_lineHeight);
    SetInitialSize(size);
    return true;
}

// --- layout ---

void LazyTreeCtrl::MeasureLineHeight()
{
    int textHeight = GetCharHeight();
    int imageHeight = 0;
    if (wxImageList* images = GetImageList()) {
        int w = 0, h = 0;
        if (images->GetSize(0, w, h))
            imageHeight = h;
    }
    m_lineHeight = std::max(textHeight, imageHeight) + 4;
}

bool LazyTreeCtrl::IsHiddenRoot(const Item* item) const
{
    return IsRoot(item) && HasFlag(wxTR_HIDE_ROOT);
}

bool LazyTreeCtrl::IsWithin(const Item* item, const Item* ancestor) const
{
    for (const Item* p = item; p; p = p->parent)
        if (p == ancestor)
            return true;
    return false;
}

void LazyTreeCtrl::MarkChanged()
{
    m_rowsDirty = true;
    m_layoutPending = true;
    m_changedFrom = 0;
    m_changedRows.clear();
}

bool LazyTreeCtrl::AppendRow(Item* item)
{
    Item* owner = item->parent;
    if (m_rowsDirty || owner->children.back().get() != item)
        return false;
    const bool shown = IsHiddenRoot(owner) || (owner->expanded && RowOf(owner) >= 0);
    if (!shown)
        return false;
    // The new row goes after the last shown row of the owner's branch: the
    // previous last child, or its own last shown descendant.
    const Item* before = owner->children.size() >= 2 ? owner->children[owner->children.size() - 2].get() : owner;
    while (before != owner && before->expanded && !before->children.empty())
        before = before->children.back().get();
    if (before == owner && IsHiddenRoot(owner)) {
        if (!m_rows.empty())
            return false;
    } else if (RowOf(before) < 0) {
        return false;
    }
    const size_t row = before == owner && IsHiddenRoot(owner) ? 0 : static_cast<size_t>(RowOf(before)) + 1;
    // The rows after it move down one; when many do, one rebuild does as well.
    if (m_rows.size() - row > kMaxMovedRows)
        return false;
    m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(row), item);
    for (size_t below = row + 1; below < m_rows.size(); ++below)
        m_rows[below]->row = static_cast<int>(below);
    item->level = static_cast<int16_t>(owner->level + 1);
    item->row = static_cast<int>(row);
    item->rowGeneration = m_rowGeneration;
    m_layoutPending = true;
    // A first child changes its parent's button too.
    m_changedFrom = std::min(m_changedFrom, owner->children.size() == 1 && !IsHiddenRoot(owner) ? owner->row : static_cast<int>(row));
    return true;
}

void LazyTreeCtrl::RebuildRows() const
{
    if (!m_rowsDirty)
        return;
    m_rowsDirty = false;
    m_rows.clear();
    const unsigned current = ++m_rowGeneration;
    if (!m_root)
        return;
    // Iterative, so a deep tree cannot exhaust the stack.
    struct Step {
        Item* item;
        size_t next;
    };
    std::vector<Step> stack;
    auto show = [&](Item* item, int level) {
        item->level = Small(level);
        item->row = static_cast<int>(m_rows.size());
        item->rowGeneration = current;
        m_rows.push_back(item);
    };
    if (HasFlag(wxTR_HIDE_ROOT)) {
        stack.push_back({m_root.get(), 0});
        m_root->level = -1;
    } else {
        show(m_root.get(), 0);
        if (m_root->expanded)
            stack.push_back({m_root.get(), 0});
    }
    while (!stack.empty()) {
        Step& step = stack.back();
        if (step.next >= step.item->children.size()) {
            stack.pop_back();
            continue;
        }
        Item* child = step.item->children[step.next++].get();
        show(child, step.item->level + 1);
        if (child->expanded && !child->children.empty())
            stack.push_back({child, 0});
    }
}

int LazyTreeCtrl::RowOf(const Item* item) const
{
    RebuildRows();
    if (!item || item->rowGeneration != m_rowGeneration)
        return -1;
    return item->row;
}

int LazyTreeCtrl::TextX(const Item* item) const
{
    int x = kMargin + item->level * static_cast<int>(m_indent) + static_cast<int>(m_indent);
    if (wxImageList* images = GetImageList()) {
        int w = 0, h = 0;
        if (images->GetSize(0, w, h))
            x += w + kImageGap;
    }
    return x;
}

const wxString& LazyTreeCtrl::TextOf(const Item* item) const
{
    if (item->textCallback && !m_keepTexts) {
        wxString text = OnGetItemText(IdOf(item));
        if (text != item->Text()) {
            Item* it = const_cast<Item*>(item);
            it->SetText(text);
            it->textWidth = -1;
        }
    }
    return item->Text();
}

wxString LazyTreeCtrl::OnGetItemText(const wxTreeItemId& item) const
{
    return ItemOf(item)->Text();
}

int LazyTreeCtrl::TextWidth(const Item* item, wxDC* paintDC) const
{
    TextOf(item);
    if (item->textWidth < 0) {
        int w = 0, h = 0;
        if (HasOwnFont(item)) {
            const wxFont font = FontOf(item, GetFont());
            GetTextExtent(item->Text(), &w, &h, nullptr, nullptr, &font);
        } else if (paintDC) {
            paintDC->GetTextExtent(item->Text(), &w, &h);
        } else {
            GetTextExtent(item->Text(), &w, &h);
        }
        const_cast<Item*>(item)->textWidth = w;
    }
    return item->textWidth;
}

void LazyTreeCtrl::UpdateVirtualSize()
{
    RebuildRows();
    const int height = static_cast<int>(m_rows.size()) * m_lineHeight;
    const int width = m_widest + 2 * kMargin;
    // The size last set, not GetVirtualSize(): that is at least the client
    // size, so a narrow tree would set its size again at every layout.
    if (m_virtualSize != wxSize(width, height))
        SetVirtualSize(width, height);
    m_widthGrew = false;
}

void LazyTreeCtrl::RefreshItem(const Item* item)
{
    if (!item)
        return;
    if (m_rowsDirty) {
        m_layoutPending = true;
        return;
    }
    if (Deferring()) {
        const int row = RowOf(item);
        // Rows from m_changedFrom down are painted again anyway.
        if (row >= 0 && row < m_changedFrom) {
            // Many rows: the whole window is painted again.
            if (m_changedRows.size() < kMaxChangedRows)
                m_changedRows.push_back(row);
            else
                m_changedFrom = 0;
            m_layoutPending = true;
        }
        return;
    }
    const int row = RowOf(item);
    if (row < 0)
        return;
    int x = 0, y = 0;
    CalcScrolledPosition(0, row * m_lineHeight, &x, &y);
    RefreshRect(wxRect(0, y, GetClientSize().GetWidth(), m_lineHeight));
}

void LazyTreeCtrl::LayOutChanges()
{
    const bool refresh = m_layoutPending;
    m_layoutPending = false;
    UpdateVirtualSize();
    if (!refresh)
        return;
    const int from = m_changedFrom;
    m_changedFrom = std::numeric_limits<int>::max();
    std::vector<int> rows;
    rows.swap(m_changedRows);
    if (from == 0) {
        Refresh();
        return;
    }
    const wxSize client = GetClientSize();
    auto refreshFrom = [&](int row, int count) {
        int x = 0, y = 0;
        CalcScrolledPosition(0, row * m_lineHeight, &x, &y);
        const int bottom = count > 0 ? std::min(client.GetHeight(), y + count * m_lineHeight) : client.GetHeight();
        y = std::max(0, y);
        if (y < bottom)
            RefreshRect(wxRect(0, y, client.GetWidth(), bottom - y));
    };
    if (from != std::numeric_limits<int>::max())
        refreshFrom(from, 0);
    for (int row : rows)
        if (row < from)
            refreshFrom(row, 1);
}

wxVisualAttributes LazyTreeCtrl::GetDefaultAttributes() const
{
    return m_theme.Get([this] { return wxTreeCtrlBase::GetDefaultAttributes(); });
}

void LazyTreeCtrl::MeasureShownRows()
{
    m_measurePending = false;
    RebuildRows();
    if (m_rows.empty())
        return;
    int x = 0, top = 0;
    CalcUnscrolledPosition(0, 0, &x, &top);
    const size_t first = static_cast<size_t>(std::max(0, top / m_lineHeight));
    const size_t last = std::min(m_rows.size() - 1, static_cast<size_t>((top + GetClientSize().GetHeight()) / m_lineHeight));
    for (size_t row = first; row <= last; ++row) {
        const Item* item = m_rows[row];
        const int right = TextX(item) + TextWidth(item);
        if (right > m_widest) {
            m_widest = right;
            m_widthGrew = true;
        }
    }
}

void LazyTreeCtrl::OnInternalIdle()
{
    wxTreeCtrlBase::OnInternalIdle();
    if (m_measurePending && !Deferring())
        MeasureShownRows();
    if ((m_layoutPending || m_widthGrew) && !Deferring())
        LayOutChanges();
}

void LazyTreeCtrl::DoThaw()
{
    wxTreeCtrlBase::DoThaw();
    if (m_layoutPending && !Deferring())
        LayOutChanges();
}

void LazyTreeCtrl::BeginBatch()
{
    ++m_batchDepth;
}

void LazyTreeCtrl::EndBatch()
{
    wxCHECK_RET(m_batchDepth > 0, "no batch to end");
    if (--m_batchDepth == 0 && m_layoutPending && !IsFrozen())
        LayOutChanges();
}

bool LazyTreeCtrl::SetFont(const wxFont& font)
{
    if (!wxTreeCtrlBase::SetFont(font))
        return false;
    MeasureLineHeight();
    SetScrollRate(kScrollStepX, m_lineHeight);
    m_widest = 0;
    // Every width is measured again as its row is shown.
    std::vector<Item*> pending;
    if (m_root)
        pending.push_back(m_root.get());
    while (!pending.empty()) {
        Item* item = pending.back();
        pending.pop_back();
        item->textWidth = -1;
        for (auto& child : item->children)
            pending.push_back(child.get());
    }
    MarkChanged();
    return true;
}

wxSize LazyTreeCtrl::DoGetBestSize() const
{
    return wxSize(150, 10 * m_lineHeight);
}

void LazyTreeCtrl::SetIndent(unsigned int indent)
{
    m_indent = indent;
    MarkChanged();
}

void LazyTreeCtrl::SetStateImageList(wxImageList* imageList)
{
    m_imagesState.SetImageList(imageList);
}

// --- items ---

unsigned int LazyTreeCtrl::GetCount() const
{
    if (!m_root)
        return 0;
    return HasFlag(wxTR_HIDE_ROOT) ? m_count - 1 : m_count;
}

wxString LazyTreeCtrl::GetItemText(const wxTreeItemId& item) const
{
    wxCHECK_MSG(item.IsOk(), wxString(), "invalid tree item");
    return TextOf(ItemOf(item));
}

int LazyTreeCtrl::GetItemImage(const wxTreeItemId& item, wxTreeItemIcon which) const
{
    wxCHECK_MSG(item.IsOk() && which >= 0 && which < wxTreeItemIcon_Max, -1, "invalid tree item");
    return ItemOf(item)->images[which];
}

wxTreeItemData* LazyTreeCtrl::GetItemData(const wxTreeItemId& item) const
{
    wxCHECK_MSG(item.IsOk(), nullptr, "invalid tree item");
    return ItemOf(item)->data.get();
}

wxColour LazyTreeCtrl::GetItemTextColour(const wxTreeItemId& item) const
{
    wxCHECK_MSG(item.IsOk(), wxNullColour, "invalid tree item");
    return ItemOf(item)->Look().textColour;
}

wxColour LazyTreeCtrl::GetItemBackgroundColour(const wxTreeItemId& item) const
{
    wxCHECK_MSG(item.IsOk(), wxNullColour, "invalid tree item");
    return ItemOf(item)->Look().backgroundColour;
}

wxFont LazyTreeCtrl::GetItemFont(const wxTreeItemId& item) const
{
    wxCHECK_MSG(item.IsOk(), wxNullFont, "invalid tree item");
    return ItemOf(item)->Look().font;
}

void LazyTreeCtrl::SetItemText(const wxTreeItemId& item, const wxString& text)
{
    wxCHECK_RET(item.IsOk(), "invalid tree item");
    Item* it = ItemOf(item);
    it->SetText(text);
    it->textCallback = false;
    it->textWidth = -1;
    RefreshItem(it);
}

void LazyTreeCtrl::SetItemTextCallback(const wxTreeItemId& item)
{
    wxCHECK_RET(item.IsOk(), "invalid tree item");
    Item* it = ItemOf(item);
    it->textCallback = true;
    it->textWidth = -1;
    RefreshItem(it);
}

void LazyTreeCtrl::SetItemImage(const wxTreeItemId& item, int image, wxTreeItemIcon which)
{
    wxCHECK_RET(item.IsOk() && which >= 0 && which < wxTreeItemIcon_Max, "invalid tree item");
    Item* it = ItemOf(item);
    it->images[which] = Small(image);
    RefreshItem(it);
}

void LazyTreeCtrl::SetItemData(const wxTreeItemId& item, wxTreeItemData* data)
{
    wxCHECK_RET(item.IsOk(), "invalid tree item");
    if (data)
        data->SetId(item);
    ItemOf(item)->data.reset(data);
}

void LazyTreeCtrl::SetItemHasChildren(const wxTreeItemId& item, bool has)
{
    wxCHECK_RET(item.IsOk(), "invalid tree item");
    Item* it = ItemOf(item);
    if (it->hasPlus == has)
        return;
    it->hasPlus = has;
    RefreshItem(it);
}

void LazyTreeCtrl::SetItemBold(const wxTreeItemId& item, bool bold)
{
    wxCHECK_RET(item.IsOk(), "invalid tree item");
    Item* it = ItemOf(item);
    it->bold = bold;
    it->textWidth = -1;
    RefreshItem(it);
}

void LazyTreeCtrl::SetItemDropHighlight(const wxTreeItemId& item, bool highlight)
{
    wxCHECK_RET(item.IsOk(), "invalid tree item");
    ItemOf(item)->dropHighlight = highlight;
    RefreshItem(ItemOf(item));
}

void LazyTreeCtrl::SetItemTextColour(const wxTreeItemId& item, const wxColour& colour)
{
    wxCHECK_RET(item.IsOk(), "invalid tree item");
    ItemOf(item)->LookToSet().textColour = colour;
    RefreshItem(ItemOf(item));
}

void LazyTreeCtrl::SetItemBackgroundColour(const wxTreeItemId& item, const wxColour& colour)
{
    wxCHECK_RET(item.IsOk(), "invalid tree item");
    ItemOf(item)->LookToSet().backgroundColour = colour;
    RefreshItem(ItemOf(item));
}

void LazyTreeCtrl::SetItemFont(const wxTreeItemId& item, const wxFont& font)
{
    wxCHECK_RET(item.IsOk(), "invalid tree item");
    Item* it = ItemOf(item);
    it->LookToSet().font = font;
    it->textWidth = -1;
    RefreshItem(it);
}

int LazyTreeCtrl::DoGetItemState(const wxTreeItemId& item) const
{
    wxCHECK_MSG(item.IsOk(), wxTREE_ITEMSTATE_NONE, "invalid tree item");
    return ItemOf(item)->state;
}

void LazyTreeCtrl::DoSetItemState(const wxTreeItemId& item, int state)
{
    wxCHECK_RET(item.IsOk(), "invalid tree item");
    ItemOf(item)->state = Small(state);
    RefreshItem(ItemOf(item));
}

bool LazyTreeCtrl::IsVisible(const wxTreeItemId& item) const
{
    const int row = RowOf(ItemOf(item));
    if (row < 0)
        return false;
    int x = 0, y = 0;
    CalcScrolledPosition(0, row * m_lineHeight, &x, &y);
    return y + m_lineHeight > 0 && y < GetClientSize().GetHeight();
}

bool LazyTreeCtrl::ItemHasChildren(const wxTreeItemId& item) const
{
    wxCHECK_MSG(item.IsOk(), false, "invalid tree item");
    const Item* it = ItemOf(item);
    return it->hasPlus || !it->children.empty();
}

bool LazyTreeCtrl::IsExpanded(const wxTreeItemId& item) const
{
    wxCHECK_MSG(item.IsOk(), false, "invalid tree item");
    return IsHiddenRoot(ItemOf(item)) || ItemOf(item)->expanded;
}

bool LazyTreeCtrl::IsSelected(const wxTreeItemId& item) const
{
    return item.IsOk() && ItemOf(item) == m_current;
}

bool LazyTreeCtrl::IsBold(const wxTreeItemId& item) const
{
    wxCHECK_MSG(item.IsOk(), false, "invalid tree item");
    return ItemOf(item)->bold;
}

size_t LazyTreeCtrl::GetChildrenCount(const wxTreeItemId& item, bool recursively) const
{
    wxCHECK_MSG(item.IsOk(), 0, "invalid tree item");
    const Item* it = ItemOf(item);
    if (!recursively)
        return it->children.size();
    size_t count = 0;
    std::vector<const Item*> pending{it};
    while (!pending.empty()) {
        const Item* next = pending.back();
        pending.pop_back();
        count += next->children.size();
        for (const auto& child : next->children)
            pending.push_back(child.get());
    }
    return count;
}

wxTreeItemId LazyTreeCtrl::GetRootItem() const
{
    return IdOf(m_root.get());
}

wxTreeItemId LazyTreeCtrl::GetSelection() const
{
    return IdOf(m_current);
}

size_t LazyTreeCtrl::GetSelections(wxArrayTreeItemIds& selections) const
{
    selections.clear();
    if (m_current)
        selections.push_back(IdOf(m_current));
    return selections.size();
}

wxTreeItemId LazyTreeCtrl::GetFocusedItem() const
{
    return IdOf(m_current);
}

void LazyTreeCtrl::ClearFocusedItem()
{
    Unselect();
}

void LazyTreeCtrl::SetFocusedItem(const wxTreeItemId& item)
{
    DoSelect(ItemOf(item), false);
}

wxTreeItemId LazyTreeCtrl::GetItemParent(const wxTreeItemId& item) const
{
    wxCHECK_MSG(item.IsOk(), wxTreeItemId(), "invalid tree item");
    return IdOf(ItemOf(item)->parent);
}

void LazyTreeCtrl::VisitChildrenData(const wxTreeItemId& item, const std::function<void(wxTreeItemData*)>& visit) const
{
    wxCHECK_RET(item.IsOk(), "invalid tree item");
    const auto& children = ItemOf(item)->children;
    const size_t count = children.size();
    // The items of a long list and their data lie apart in memory: each is
    // asked for a few steps ahead of its turn, the item before its data.
    constexpr size_t kAhead = 8;
    for (size_t i = 0; i < count; ++i) {
        if (i + 2 * kAhead < count)
            __builtin_prefetch(children[i + 2 * kAhead].get());
        if (i + kAhead < count)
            __builtin_prefetch(children[i + kAhead]->data.get());
        visit(children[i]->data.get());
    }
}

wxTreeItemId LazyTreeCtrl::GetFirstChild(const wxTreeItemId& item, wxTreeItemIdValue& cookie) const
{
    cookie = CookieOf(0);
    return GetNextChild(item, cookie);
}

wxTreeItemId LazyTreeCtrl::GetNextChild(const wxTreeItemId& item, wxTreeItemIdValue& cookie) const
{
    wxCHECK_MSG(item.IsOk(), wxTreeItemId(), "invalid tree item");
    const Item* it = ItemOf(item);
    const size_t index = IndexOf(cookie);
    if (index >= it->children.size())
        return wxTreeItemId();
    cookie = CookieOf(index + 1);
    return IdOf(it->children[index].get());
}

wxTreeItemId LazyTreeCtrl::GetLastChild(const wxTreeItemId& item) const
{
    wxCHECK_MSG(item.IsOk(), wxTreeItemId(), "invalid tree item");
    const Item* it = ItemOf(item);
    return it->children.empty() ? wxTreeItemId() : IdOf(it->children.back().get());
}

wxTreeItemId LazyTreeCtrl::GetNextSibling(const wxTreeItemId& item) const
{
    wxCHECK_MSG(item.IsOk(), wxTreeItemId(), "invalid tree item");
    const Item* it = ItemOf(item);
    if (!it->parent || PlaceOf(it) + 1 >= it->parent->children.size())
        return wxTreeItemId();
    return IdOf(it->parent->children[PlaceOf(it) + 1].get());
}

wxTreeItemId LazyTreeCtrl::GetPrevSibling(const wxTreeItemId& item) const
{
    wxCHECK_MSG(item.IsOk(), wxTreeItemId(), "invalid tree item");
    const Item* it = ItemOf(item);
    if (!it->parent || PlaceOf(it) == 0)
        return wxTreeItemId();
    return IdOf(it->parent->children[PlaceOf(it) - 1].get());
}

wxTreeItemId LazyTreeCtrl::GetFirstVisibleItem() const
{
    RebuildRows();
    int x = 0, y = 0;
    CalcUnscrolledPosition(0, 0, &x, &y);
    const size_t row = static_cast<size_t>(std::max(0, y / m_lineHeight));
    return row < m_rows.size() ? IdOf(m_rows[row]) : wxTreeItemId();
}

wxTreeItemId LazyTreeCtrl::GetNextVisible(const wxTreeItemId& item) const
{
    const int row = RowOf(ItemOf(item));
    if (row < 0 || static_cast<size_t>(row) + 1 >= m_rows.size())
        return wxTreeItemId();
    wxTreeItemId next = IdOf(m_rows[row + 1]);
    return IsVisible(next) ? next : wxTreeItemId();
}

wxTreeItemId LazyTreeCtrl::GetPrevVisible(const wxTreeItemId& item) const
{
    const int row = RowOf(ItemOf(item));
    if (row <= 0)
        return wxTreeItemId();
    wxTreeItemId previous = IdOf(m_rows[row - 1]);
    return IsVisible(previous) ? previous : wxTreeItemId();
}

wxTreeItemId LazyTreeCtrl::AddRoot(const wxString& text, int image, int selImage, wxTreeItemData* data)
{
    wxCHECK_MSG(!m_root, wxTreeItemId(), "the tree can have only one root");
    m_root = std::make_unique<Item>();
    m_root->SetText(text);
    m_root->images[wxTreeItemIcon_Normal] = Small(image);
    m_root->images[wxTreeItemIcon_Selected] = Small(selImage);
    m_root->expanded = HasFlag(wxTR_HIDE_ROOT);
    m_count = 1;
    wxTreeItemId id = IdOf(m_root.get());
    if (data) {
        data->SetId(id);
        m_root->data.reset(data);
    }
    MarkChanged();
    return id;
}

wxTreeItemId LazyTreeCtrl::DoInsertItem(const wxTreeItemId& parent, size_t pos, const wxString& text, int image,
                                        int selImage, wxTreeItemData* data)
{
    if (!parent.IsOk()) {
        // The toolkit's controls make the first item the root.
        return AddRoot(text, image, selImage, data);
    }
    static_assert(sizeof(Item) <= 88, "an item per child of a long list, in 96 bytes with the allocator's header");
    Item* owner = ItemOf(parent);
    auto item = std::make_unique<Item>();
    Item* raw = item.get();
    raw->parent = owner;
    raw->SetText(text);
    raw->images[wxTreeItemIcon_Normal] = Small(image);
    raw->images[wxTreeItemIcon_Selected] = Small(selImage);
    wxTreeItemId id = IdOf(raw);
    if (data) {
        data->SetId(id);
        raw->data.reset(data);
    }
    auto& siblings = owner->children;
    if (pos >= siblings.size()) {
        raw->index = static_cast<std::ptrdiff_t>(siblings.size()) + owner->indexShift;
        siblings.push_back(std::move(item));
    } else {
        siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(pos), std::move(item));
        Renumber(*owner, pos, true);
    }
    ++m_count;
    // A child of a collapsed or hidden item changes no row (but a button).
    // No rows are counted here: a batch of inserts lays out once.
    if (m_rowsDirty)
        m_layoutPending = true;
    else if (AppendRow(raw))
        return id;
    else if (IsHiddenRoot(owner) || (owner->expanded && RowOf(owner) >= 0))
        MarkChanged();
    else
        RefreshItem(owner);
    return id;
}

wxTreeItemId LazyTreeCtrl::DoInsertAfter(const wxTreeItemId& parent, const wxTreeItemId& idPrevious,
                                         const wxString& text, int image, int selImage, wxTreeItemData* data)
{
    wxCHECK_MSG(parent.IsOk(), wxTreeItemId(), "invalid parent");
    size_t pos = 0;
    if (idPrevious.IsOk()) {
        const Item* previous = ItemOf(idPrevious);
        wxCHECK_MSG(previous->parent == ItemOf(parent), wxTreeItemId(), "the previous item is not a child");
        pos = PlaceOf(previous) + 1;
    }
    return DoInsertItem(parent, pos, text, image, selImage, data);
}

void LazyTreeCtrl::ForgetItems(Item* item)
{
    if (m_current && IsWithin(m_current, item))
        m_current = nullptr;
    if (m_editCandidate && IsWithin(m_editCandidate, item)) {
        m_editCandidate = nullptr;
        m_editTimer.Stop();
    }
    if (m_editing && IsWithin(m_editing, item)) {
        // The edit of a gone item ends without a word.
        m_editing = nullptr;
        if (m_editor) {
            LabelEditor* editor = m_editor;
            m_editor = nullptr;
            editor->Hide();
            wxTheApp->ScheduleForDestruction(editor);
        }
    }
}

void LazyTreeCtrl::Delete(const wxTreeItemId& item)
{
    wxCHECK_RET(item.IsOk(), "invalid tree item");
    Item* it = ItemOf(item);
    if (IsRoot(it)) {
        DeleteAllItems();
        return;
    }
    ForgetItems(it);
    m_count -= static_cast<unsigned>(GetChildrenCount(item, true) + 1);
    Item* parent = it->parent;
    const size_t index = PlaceOf(it);
    auto& siblings = parent->children;
    // Out of the tree first: what its data does as it goes sees a whole tree.
    std::unique_ptr<Item> gone = std::move(siblings[index]);
    siblings.erase(siblings.begin() + static_cast<std::ptrdiff_t>(index));
    Renumber(*parent, index, false);
    MarkChanged();
    gone.reset();
}

void LazyTreeCtrl::DeleteChildren(const wxTreeItemId& item)
{
    wxCHECK_RET(item.IsOk(), "invalid tree item");
    Item* it = ItemOf(item);
    if (it->children.empty())
        return;
    for (auto& child : it->children)
        ForgetItems(child.get());
    m_count -= static_cast<unsigned>(GetChildrenCount(item, true));
    LazyDeque<std::unique_ptr<Item>> gone;
    gone.swap(it->children);
    it->indexShift = 0;
    MarkChanged();
    gone.clear();
}

void LazyTreeCtrl::DeleteAllItems()
{
    if (!m_root)
        return;
    ForgetItems(m_root.get());
    std::unique_ptr<Item> gone = std::move(m_root);
    m_count = 0;
    MarkChanged();
    gone.reset();
}

// --- expansion and selection ---

bool LazyTreeCtrl::SendEvent(wxEventType type, Item* item, Item* oldItem)
{
    wxTreeEvent event(type, this, IdOf(item));
    if (oldItem)
        event.SetOldItem(IdOf(oldItem));
    GetEventHandler()->ProcessEvent(event);
    return event.IsAllowed();
}

void LazyTreeCtrl::Expand(const wxTreeItemId& item)
{
    wxCHECK_RET(item.IsOk(), "invalid tree item");
    Item* it = ItemOf(item);
    if (IsHiddenRoot(it) || it->expanded || !ItemHasChildren(item))
        return;
    if (!SendEvent(wxEVT_TREE_ITEM_EXPANDING, it))
        return;
    it->expanded = true;
    MarkChanged();
    SendEvent(wxEVT_TREE_ITEM_EXPANDED, it);
}

void LazyTreeCtrl::Collapse(const wxTreeItemId& item)
{
    wxCHECK_RET(item.IsOk(), "invalid tree item");
    Item* it = ItemOf(item);
    if (IsHiddenRoot(it) || !it->expanded)
        return;
    if (!SendEvent(wxEVT_TREE_ITEM_COLLAPSING, it))
        return;
    it->expanded = false;
    MarkChanged();
    // The selection does not stay hidden inside.
    if (m_current && m_current != it && IsWithin(m_current, it))
        DoSelect(it, true);
    SendEvent(wxEVT_TREE_ITEM_COLLAPSED, it);
}

void LazyTreeCtrl::CollapseAndReset(const wxTreeItemId& item)
{
    Collapse(item);
    DeleteChildren(item);
}

void LazyTreeCtrl::Toggle(const wxTreeItemId& item)
{
    if (IsExpanded(item))
        Collapse(item);
    else
        Expand(item);
}

void LazyTreeCtrl::Unselect()
{
    if (!m_current)
        return;
    Item* old = m_current;
    m_current = nullptr;
    RefreshItem(old);
}

void LazyTreeCtrl::UnselectAll()
{
    Unselect();
}

void LazyTreeCtrl::SelectItem(const wxTreeItemId& item, bool select)
{
    wxCHECK_RET(item.IsOk(), "invalid tree item");
    if (!select) {
        if (ItemOf(item) == m_current)
            Unselect();
        return;
    }
    DoSelect(ItemOf(item), true);
}

void LazyTreeCtrl::SelectChildren(const wxTreeItemId&)
{
    // Single selection only.
}

void LazyTreeCtrl::DoSelect(Item* item, bool sendEvents)
{
    if (!item || item == m_current || IsHiddenRoot(item))
        return;
    Item* old = m_current;
    if (sendEvents && !SendEvent(wxEVT_TREE_SEL_CHANGING, item, old))
        return;
    m_current = item;
    RefreshItem(old);
    RefreshItem(item);
    EnsureVisible(IdOf(item));
    if (sendEvents)
        SendEvent(wxEVT_TREE_SEL_CHANGED, item, old);
}

void LazyTreeCtrl::EnsureVisible(const wxTreeItemId& item)
{
    wxCHECK_RET(item.IsOk(), "invalid tree item");
    Item* it = ItemOf(item);
    std::vector<Item*> ancestors;
    for (Item* p = it->parent; p; p = p->parent)
        ancestors.push_back(p);
    for (auto p = ancestors.rbegin(); p != ancestors.rend(); ++p)
        if (!IsHiddenRoot(*p) && !(*p)->expanded)
            Expand(IdOf(*p));
    ScrollTo(item);
}

void LazyTreeCtrl::ScrollTo(const wxTreeItemId& item)
{
    wxCHECK_RET(item.IsOk(), "invalid tree item");
    const int row = RowOf(ItemOf(item));
    if (row < 0)
        return;
    // The scroll range must know the rows first.
    UpdateVirtualSize();
    int left = 0, top = 0;
    CalcUnscrolledPosition(0, 0, &left, &top);
    const int clientHeight = GetClientSize().GetHeight();
    const int y = row * m_lineHeight;
    int startX = 0, startY = 0;
    GetViewStart(&startX, &startY);
    if (y < top) {
        Scroll(startX, row);
    } else if (y + m_lineHeight > top + clientHeight) {
        const int rowsShown = std::max(1, clientHeight / m_lineHeight);
        Scroll(startX, std::max(0, row - rowsShown + 1));
    }
}

// --- label editing ---

wxTextCtrl* LazyTreeCtrl::EditLabel(const wxTreeItemId& item, wxClassInfo*)
{
    wxCHECK_MSG(item.IsOk(), nullptr, "invalid tree item");
    Item* it = ItemOf(item);
    if (m_editor)
        FinishEdit(false);
    if (!SendEvent(wxEVT_TREE_BEGIN_LABEL_EDIT, it))
        return nullptr;
    EnsureVisible(item);
    wxRect rect;
    if (!GetBoundingRect(item, rect, true))
        return nullptr;
    rect.width = std::max(rect.width + 4 * m_lineHeight, 100);
    rect.Inflate(2, 2);
    m_editing = it;
    m_editor = new LabelEditor(this, TextOf(it), rect);
    m_editor->SetFocus();
    m_editor->SelectAll();
    return m_editor;
}

wxTextCtrl* LazyTreeCtrl::GetEditControl() const
{
    return m_editor;
}

void LazyTreeCtrl::EndEditLabel(const wxTreeItemId&, bool discardChanges)
{
    FinishEdit(discardChanges);
}

void LazyTreeCtrl::FinishEdit(bool cancelled)
{
    if (!m_editor)
        return;
    LabelEditor* editor = m_editor;
    Item* item = m_editing;
    const wxString text = editor->GetValue();
    const bool hadFocus = wxWindow::FindFocus() == editor;
    m_editor = nullptr;
    m_editing = nullptr;
    editor->Hide();
    // Not now: this may run inside the editor's own event.
    wxTheApp->ScheduleForDestruction(editor);
    if (hadFocus)
        SetFocus();
    if (!item)
        return;
    wxTreeEvent event(wxEVT_TREE_END_LABEL_EDIT, this, IdOf(item));
    event.SetLabel(text);
    event.SetEditCanceled(cancelled);
    // The handler may delete items: the edited one is followed.
    m_editing = item;
    GetEventHandler()->ProcessEvent(event);
    item = m_editing;
    m_editing = nullptr;
    if (item && !cancelled && event.IsAllowed())
        SetItemText(IdOf(item), text);
}

void LazyTreeCtrl::OnEditTimer(wxTimerEvent&)
{
    Item* item = m_editCandidate;
    m_editCandidate = nullptr;
    if (item && item == m_current && HasFocus())
        EditLabel(IdOf(item));
}

// --- sorting and geometry ---

void LazyTreeCtrl::SortChildren(const wxTreeItemId& item)
{
    wxCHECK_RET(item.IsOk(), "invalid tree item");
    auto& children = ItemOf(item)->children;
    // Each callback text once, not once per comparison.
    for (const std::unique_ptr<Item>& child : children)
        TextOf(child.get());
    struct KeepTexts {
        bool& keep;
        explicit KeepTexts(bool& keep) : keep(keep) { keep = true; }
        ~KeepTexts() { keep = false; }
    } keep(m_keepTexts);
    std::stable_sort(children.begin(), children.end(),
                     [this](const std::unique_ptr<Item>& a, const std::unique_ptr<Item>& b) {
                         return OnCompareItems(IdOf(a.get()), IdOf(b.get())) < 0;
                     });
    ItemOf(item)->indexShift = 0;
    for (size_t i = 0; i < children.size(); ++i)
        children[i]->index = static_cast<std::ptrdiff_t>(i);
    MarkChanged();
}

bool LazyTreeCtrl::GetBoundingRect(const wxTreeItemId& item, wxRect& rect, bool textOnly) const
{
    wxCHECK_MSG(item.IsOk(), false, "invalid tree item");
    const Item* it = ItemOf(item);
    const int row = RowOf(it);
    if (row < 0)
        return false;
    const int textX = TextX(it);
    const int left = textOnly ? textX - kTextPad : kMargin + it->level * static_cast<int>(m_indent);
    const int right = textX + TextWidth(it) + kTextPad;
    int x = 0, y = 0;
    CalcScrolledPosition(left, row * m_lineHeight, &x, &y);
    rect = wxRect(x, y, right - left, m_lineHeight);
    return true;
}

wxTreeItemId LazyTreeCtrl::DoTreeHitTest(const wxPoint& point, int& flags) const
{
    flags = 0;
    const wxSize client = GetClientSize();
    if (point.x < 0)
        flags |= wxTREE_HITTEST_TOLEFT;
    if (point.x >= client.GetWidth())
        flags |= wxTREE_HITTEST_TORIGHT;
    if (point.y < 0)
        flags |= wxTREE_HITTEST_ABOVE;
    if (point.y >= client.GetHeight())
        flags |= wxTREE_HITTEST_BELOW;
    if (flags)
        return wxTreeItemId();
    RebuildRows();
    int x = 0, y = 0;
    CalcUnscrolledPosition(point.x, point.y, &x, &y);
    const int row = y / m_lineHeight;
    if (y < 0 || static_cast<size_t>(row) >= m_rows.size()) {
        flags = wxTREE_HITTEST_NOWHERE;
        return wxTreeItemId();
    }
    const Item* it = m_rows[row];
    const int left = kMargin + it->level * static_cast<int>(m_indent);
    const int textX = TextX(it);
    if (x < left) {
        flags = wxTREE_HITTEST_ONITEMINDENT;
    } else if (x < left + static_cast<int>(m_indent)) {
        flags = ItemHasChildren(IdOf(it)) ? wxTREE_HITTEST_ONITEMBUTTON : wxTREE_HITTEST_ONITEMINDENT;
    } else if (x < textX - kTextPad) {
        flags = wxTREE_HITTEST_ONITEMICON;
    } else if (x < textX + TextWidth(it) + kTextPad) {
        flags = wxTREE_HITTEST_ONITEMLABEL;
    } else {
        flags = wxTREE_HITTEST_ONITEMRIGHT;
    }
    return IdOf(it);
}

// --- painting ---

void LazyTreeCtrl::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    PrepareDC(dc);
    RebuildRows();
    // The control's font, asked once for the paint.
    const wxFont font = GetFont();
    dc.SetFont(font);

    const wxRect box = GetUpdateRegion().GetBox();
    int left = 0, top = 0;
    CalcUnscrolledPosition(box.x, box.y, &left, &top);
    const wxRect area(left, top, box.width, box.height);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(GetBackgroundColour()));
    dc.DrawRectangle(area);
    if (m_rows.empty())
        return;

    wxRendererNative& renderer = wxRendererNative::Get();
    wxImageList* images = GetImageList();
    int imageWidth = 0, imageHeight = 0;
    if (images)
        images->GetSize(0, imageWidth, imageHeight);
    const wxSize expander = renderer.GetExpanderSize(this);
    const bool focused = HasFocus();
    // The text height of the control's font, measured once per font.
    if (!m_charHeightFont.IsOk() || m_charHeightFont != font) {
        m_charHeight = dc.GetCharHeight();
        m_charHeightFont = font;
    }
    const int charHeight = m_charHeight;
    // Texts are drawn by the graphics context itself: the device context
    // measures every text it draws again, for a bounding box nobody reads.
    wxGraphicsContext* graphics = dc.GetGraphicsContext();
    const size_t first = static_cast<size_t>(std::max(0, area.GetTop() / m_lineHeight));
    const size_t last = std::min(m_rows.size() - 1, static_cast<size_t>(std::max(0, area.GetBottom() / m_lineHeight)));
    for (size_t row = first; row <= last; ++row) {
        Item* item = m_rows[row];
        const int y = static_cast<int>(row) * m_lineHeight;
        const int x = kMargin + item->level * static_cast<int>(m_indent);
        if (item->hasPlus || !item->children.empty()) {
            wxRect button(x + (static_cast<int>(m_indent) - expander.GetWidth()) / 2,
                          y + (m_lineHeight - expander.GetHeight()) / 2, expander.GetWidth(), expander.GetHeight());
            dc.DrawBitmap(ButtonBitmap(item->expanded, expander), button.GetPosition());
        }
        const bool selected = item == m_current;
        int image = item->images[wxTreeItemIcon_Normal];
        if (item->expanded && selected && item->images[wxTreeItemIcon_SelectedExpanded] >= 0)
            image = item->images[wxTreeItemIcon_SelectedExpanded];
        else if (item->expanded && item->images[wxTreeItemIcon_Expanded] >= 0)
            image = item->images[wxTreeItemIcon_Expanded];
        else if (selected && item->images[wxTreeItemIcon_Selected] >= 0)
            image = item->images[wxTreeItemIcon_Selected];
        if (images && image >= 0 && image < images->GetImageCount())
            images->Draw(image, dc, x + static_cast<int>(m_indent), y + (m_lineHeight - imageHeight) / 2,
                         wxIMAGELIST_DRAW_TRANSPARENT);

        const int textX = TextX(item);
        // A text's width is needed now only for a box behind it; the others
        // are measured once the loop is idle, for the horizontal extent.
        TextOf(item);
        if (selected || item->dropHighlight || item->Look().backgroundColour.IsOk())
            TextWidth(item, &dc);
        const int width = std::max(0, item->textWidth);
        if (item->textWidth < 0) {
            m_measurePending = true;
        } else if (textX + width > m_widest) {
            m_widest = textX + width;
            m_widthGrew = true;
        }
        const wxRect label(textX - kTextPad, y, width + 2 * kTextPad, m_lineHeight);
        wxColour text = item->Look().textColour.IsOk() ? item->Look().textColour : GetForegroundColour();
        if (selected || item->dropHighlight) {
            renderer.DrawItemSelectionRect(this, dc, label, wxCONTROL_SELECTED | (focused ? int(wxCONTROL_FOCUSED) : 0));
            text = wxSystemSettings::GetColour(focused ? wxSYS_COLOUR_HIGHLIGHTTEXT : wxSYS_COLOUR_LISTBOXHIGHLIGHTTEXT);
        } else if (item->Look().backgroundColour.IsOk()) {
            dc.SetBrush(wxBrush(item->Look().backgroundColour));
            dc.DrawRectangle(label);
        }
        const bool ownFont = HasOwnFont(item);
        if (ownFont)
            dc.SetFont(FontOf(item, font));
        dc.SetTextForeground(text);
        const int textHeight = ownFont ? dc.GetCharHeight() : charHeight;
        if (graphics)
            graphics->DrawText(item->Text(), textX, y + (m_lineHeight - textHeight) / 2);
        else
            dc.DrawText(item->Text(), textX, y + (m_lineHeight - textHeight) / 2);
        if (ownFont)
            dc.SetFont(font);
    }
}

const wxBitmap& LazyTreeCtrl::ButtonBitmap(bool expanded, const wxSize& size)
{
    if (m_buttonsBackground != GetBackgroundColour()) {
        m_buttons[0] = m_buttons[1] = wxBitmap();
        m_buttonsBackground = GetBackgroundColour();
    }
    wxBitmap& button = m_buttons[expanded ? 1 : 0];
    if (!button.IsOk() || button.GetSize() != size) {
        button = wxBitmap(size);
        wxMemoryDC dc(button);
        dc.SetBackground(wxBrush(m_buttonsBackground));
        dc.Clear();
        wxRendererNative::Get().DrawTreeItemButton(this, dc, wxRect(size), expanded ? int(wxCONTROL_EXPANDED) : 0);
    }
    return button;
}

void LazyTreeCtrl::OnSize(wxSizeEvent& event)
{
    event.Skip();
    Refresh();
}

void LazyTreeCtrl::OnFocus(wxFocusEvent& event)
{
    event.Skip();
    RefreshItem(m_current);
}

void LazyTreeCtrl::OnSysColourChanged(wxSysColourChangedEvent& event)
{
    event.Skip();
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_LISTBOX));
    SetForegroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_LISTBOXTEXT));
    m_buttons[0] = m_buttons[1] = wxBitmap();
    Refresh();
}

// --- input ---

void LazyTreeCtrl::Activate(Item* item)
{
    if (!item)
        return;
    wxTreeEvent event(wxEVT_TREE_ITEM_ACTIVATED, this, IdOf(item));
    if (!GetEventHandler()->ProcessEvent(event) && ItemHasChildren(IdOf(item)))
        Toggle(IdOf(item));
}

void LazyTreeCtrl::ShowMenuFor(Item* item, const wxPoint& point)
{
    wxTreeEvent event(wxEVT_TREE_ITEM_MENU, this, IdOf(item));
    event.SetPoint(point);
    GetEventHandler()->ProcessEvent(event);
}

void LazyTreeCtrl::OnMouse(wxMouseEvent& event)
{
    const wxEventType type = event.GetEventType();
    if (type != wxEVT_LEFT_DOWN && type != wxEVT_LEFT_DCLICK && type != wxEVT_RIGHT_DOWN && type != wxEVT_RIGHT_UP) {
        event.Skip();
        return;
    }
    const bool hadFocus = HasFocus();
    if (type != wxEVT_RIGHT_UP && !hadFocus)
        SetFocus();
    int flags = 0;
    wxTreeItemId hit = DoTreeHitTest(event.GetPosition(), flags);
    Item* item = hit.IsOk() ? ItemOf(hit) : nullptr;
    const bool onItem = item && (flags & (wxTREE_HITTEST_ONITEMICON | wxTREE_HITTEST_ONITEMLABEL));
    const bool onButton = item && (flags & wxTREE_HITTEST_ONITEMBUTTON);

    if (type == wxEVT_RIGHT_DOWN) {
        if (onItem || onButton)
            SendEvent(wxEVT_TREE_ITEM_RIGHT_CLICK, item);
        return;
    }
    if (type == wxEVT_RIGHT_UP) {
        if (onItem || onButton)
            ShowMenuFor(item, event.GetPosition());
        return;
    }
    if (m_editor)
        FinishEdit(false);
    m_editTimer.Stop();
    m_editCandidate = nullptr;
    if (onButton) {
        Toggle(hit);
        return;
    }
    if (!onItem)
        return;
    if (type == wxEVT_LEFT_DCLICK) {
        DoSelect(item, true);
        Activate(item);
        return;
    }
    if (item == m_current && hadFocus && (flags & wxTREE_HITTEST_ONITEMLABEL) && HasFlag(wxTR_EDIT_LABELS)) {
        // A second, slow click on the selected label edits it.
        m_editCandidate = item;
        m_editTimer.StartOnce(kEditDelayMs);
        return;
    }
    DoSelect(item, true);
}

void LazyTreeCtrl::ShowMenuForSelection()
{
    if (!m_current)
        return;
    wxRect rect;
    GetBoundingRect(IdOf(m_current), rect, true);
    ShowMenuFor(m_current, rect.GetPosition() + wxPoint(4, m_lineHeight / 2));
}

void LazyTreeCtrl::FindByPrefix(wxChar c)
{
    const wxLongLong now = wxGetLocalTimeMillis();
    if (now - m_findTime > kFindResetMs)
        m_findPrefix.clear();
    m_findTime = now;
    m_findPrefix += c;
    RebuildRows();
    if (m_rows.empty())
        return;
    const int current = RowOf(m_current);
    // A new search starts after the selection; a longer prefix may stay on it.
    const size_t start = current < 0 ? 0 : static_cast<size_t>(current) + (m_findPrefix.length() == 1 ? 1 : 0);
    const wxString prefix = m_findPrefix.Lower();
    for (size_t i = 0; i < m_rows.size(); ++i) {
        Item* item = m_rows[(start + i) % m_rows.size()];
        if (TextOf(item).Lower().StartsWith(prefix)) {
            DoSelect(item, true);
            return;
        }
    }
}

void LazyTreeCtrl::OnChar(wxKeyEvent& event)
{
    wxTreeEvent keyEvent(wxEVT_TREE_KEY_DOWN, this);
    keyEvent.SetKeyEvent(event);
    if (GetEventHandler()->ProcessEvent(keyEvent))
        return;

    RebuildRows();
    const int keyCode = event.GetKeyCode();
    const int row = RowOf(m_current);
    const int rows = static_cast<int>(m_rows.size());
    const int page = std::max(1, GetClientSize().GetHeight() / m_lineHeight - 1);
    auto at = [&](int index) { return rows == 0 ? nullptr : m_rows[std::clamp(index, 0, rows - 1)]; };

    switch (keyCode) {
    case '+':
    case WXK_ADD:
    case WXK_NUMPAD_ADD:
        if (m_current)
            Expand(IdOf(m_current));
        return;
    case '*':
    case WXK_MULTIPLY:
    case WXK_NUMPAD_MULTIPLY:
        if (m_current)
            ExpandAllChildren(IdOf(m_current));
        return;
    case '-':
    case WXK_SUBTRACT:
    case WXK_NUMPAD_SUBTRACT:
        if (m_current)
            Collapse(IdOf(m_current));
        return;
    case WXK_MENU:
        ShowMenuForSelection();
        return;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        Activate(m_current);
        return;
    case WXK_UP:
    case WXK_NUMPAD_UP: DoSelect(row < 0 ? at(0) : at(row - 1), true); return;
    case WXK_DOWN:
    case WXK_NUMPAD_DOWN: DoSelect(row < 0 ? at(0) : at(row + 1), true); return;
    case WXK_HOME:
    case WXK_NUMPAD_HOME: DoSelect(at(0), true); return;
    case WXK_END:
    case WXK_NUMPAD_END: DoSelect(at(rows - 1), true); return;
    case WXK_PAGEUP:
    case WXK_NUMPAD_PAGEUP: DoSelect(at(row - page), true); return;
    case WXK_PAGEDOWN:
    case WXK_NUMPAD_PAGEDOWN: DoSelect(at(row + page), true); return;
    case WXK_LEFT:
    case WXK_NUMPAD_LEFT:
        if (!m_current)
            return;
        if (m_current->expanded)
            Collapse(IdOf(m_current));
        else if (m_current->parent && !IsHiddenRoot(m_current->parent))
            DoSelect(m_current->parent, true);
        return;
    case WXK_RIGHT:
    case WXK_NUMPAD_RIGHT:
        if (!m_current || !ItemHasChildren(IdOf(m_current)))
            return;
        if (!m_current->expanded)
            Expand(IdOf(m_current));
        else if (!m_current->children.empty())
            DoSelect(m_current->children.front().get(), true);
        return;
    default: break;
    }
    if (keyCode == WXK_F10 && event.ShiftDown()) {
        ShowMenuForSelection();
        return;
    }
    if (keyCode == WXK_TAB) {
        // The control takes every key; Tab still moves on.
        Navigate(event.ShiftDown() ? wxNavigationKeyEvent::IsBackward : wxNavigationKeyEvent::IsForward);
        return;
    }
    const wxChar c = event.GetUnicodeKey();
    if (c >= 32 && c != 127 && !event.HasAnyModifiers()) {
        FindByPrefix(c);
        return;
    }
    event.Skip();
}

} // namespace ui
