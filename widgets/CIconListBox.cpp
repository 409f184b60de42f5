#include "widgets/CIconListBox.h"

#include <algorithm>

#include <wx/dc.h>
#include <wx/renderer.h>
#include <wx/settings.h>

CIconListBox::CIconListBox(wxWindow* parent, wxWindowID id) : CExtentListBox(parent, id)
{
    Bind(wxEVT_LEFT_DOWN, &CIconListBox::OnLeftDown, this);
    Bind(wxEVT_KEY_DOWN, &CIconListBox::OnKeyDown, this);
    Bind(wxEVT_LISTBOX_DCLICK, &CIconListBox::OnDoubleClick, this);
}

int CIconListBox::AddItem(const wxString& text, int check)
{
    return InsertItem(-1, text, check);
}

int CIconListBox::InsertItem(int index, const wxString& text, int check)
{
    int at = InsertString(index, text);
    IconListItem fields;
    fields.check = m_items.IsRadioMode() ? 0 : check;
    m_items.Update(at, kIconFieldCheck, fields);
    RemeasureAll();
    return at;
}

bool CIconListBox::DeleteItem(int index)
{
    return DeleteString(index);
}

int CIconListBox::ReplaceItem(int index, const wxString& text, int check)
{
    if (!DeleteItem(index)) return -1;
    return InsertItem(index, text, check);
}

int CIconListBox::MoveItem(int from, int to, bool select)
{
    if (from < 0 || from >= GetCount() || to < 0 || to >= GetCount() || from == to) return from;
    IconListItem record;
    const IconListItem* kept = m_items.Record(from);
    bool hadRecord = kept != nullptr;
    if (kept) record = *kept;
    int current = m_items.GetCurrentItem();
    wxString text = GetString(from);
    DeleteString(from);
    int at = InsertString(to, text);
    if (hadRecord) m_items.Update(at, kIconFieldValue | kIconFieldImage | kIconFieldCheck | kIconFieldFlags, record);
    if (current == from) m_items.SelectExclusive(at);
    if (select) SetSelection(at);
    RefreshAll();
    return at;
}

int CIconListBox::MoveItemUp(int index)
{
    return index > 0 ? MoveItem(index, index - 1) : index;
}

int CIconListBox::MoveItemDown(int index)
{
    return index >= 0 && index + 1 < GetCount() ? MoveItem(index, index + 1) : index;
}

int CIconListBox::MoveItemTop(int index)
{
    return index > 0 ? MoveItem(index, 0) : index;
}

int CIconListBox::MoveItemBottom(int index)
{
    return index >= 0 && index + 1 < GetCount() ? MoveItem(index, GetCount() - 1) : index;
}

void CIconListBox::Update(int index, uint32_t mask, const IconListItem& fields, bool redraw)
{
    if (index < 0 || !m_items.Update(index, mask, fields)) return;
    if (redraw) RefreshRow(index);
}

void CIconListBox::SetItemValue(int index, int value)
{
    IconListItem fields;
    fields.value = value;
    Update(index, kIconFieldValue, fields, false);
}

void CIconListBox::SetItemImage(int index, int image)
{
    IconListItem fields;
    fields.image = image;
    Update(index, kIconFieldImage, fields, true);
}

void CIconListBox::SetItemCheck(int index, int check, bool redraw)
{
    IconListItem fields;
    fields.check = check;
    Update(index, kIconFieldCheck, fields, redraw);
}

void CIconListBox::EnableItem(int index, bool enabled, bool redraw)
{
    const IconListItem* record = index >= 0 ? m_items.Record(index) : nullptr;
    IconListItem fields;
    int32_t flags = record ? record->flags : 0;
    fields.flags = enabled ? (flags & ~kIconItemDisabled) : (flags | kIconItemDisabled);
    Update(index, kIconFieldFlags, fields, redraw);
}

void CIconListBox::SelectExclusive(int index)
{
    for (size_t row : m_items.SelectExclusive(index)) RefreshRow(row);
}

void CIconListBox::SetImageList(wxImageList* images)
{
    m_images = images;
    m_iconWidth = m_iconHeight = 0;
    if (images && images->GetImageCount() > 0) {
        wxSize size = images->GetSize();
        m_iconWidth = size.GetWidth();
        m_iconHeight = size.GetHeight();
    }
    RefreshAll();
}

void CIconListBox::SetDrawMode(int mode, bool redraw)
{
    if (mode < 0 || mode > 2) return;
    m_drawMode = mode;
    if (redraw) RefreshAll();
}

void CIconListBox::OnLeftDown(wxMouseEvent& event)
{
    // The list's own handling selects the row first; radio-like mode follows
    // the selection it made.
    event.Skip();
    CallAfter([this] { SelectExclusive(GetSelection()); });
}

void CIconListBox::OnKeyDown(wxKeyEvent& event)
{
    if (event.GetKeyCode() == WXK_SPACE) SelectExclusive(GetSelection());
    event.Skip();
}

void CIconListBox::OnDoubleClick(wxCommandEvent& event)
{
    int row = event.GetSelection();
    if (row >= 0 && !IsItemEnabled(row)) return;  // swallowed: the parent is not told
    event.Skip();
}

void CIconListBox::OnDrawBackground(wxDC& dc, const wxRect& rect, size_t n) const
{
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(IsSelected(n) ? wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT)
                                      : wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW)));
    dc.DrawRectangle(rect);
    if (HasFocus() && static_cast<int>(n) == GetSelection())
        wxRendererNative::Get().DrawFocusRect(const_cast<CIconListBox*>(this), dc, rect);
}

void CIconListBox::OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const
{
    const IconListItem* record = m_items.Record(n);
    bool disabled = !IsEnabled() || (record && (record->flags & kIconItemDisabled));
    int x = rect.x - HorizontalOffset();
    if (m_images && record && record->image >= 0 && record->image < m_images->GetImageCount()) {
        wxBitmap icon = m_images->GetBitmap(record->image);
        if (disabled) icon = icon.ConvertToDisabled();
        dc.DrawBitmap(icon, x + 3, rect.y + 2, true);
    }
    int textX = x + (m_images ? m_iconWidth + 6 : 2);
    dc.SetTextForeground(disabled          ? wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT)
                         : IsSelected(n)   ? wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT)
                                           : wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT));
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    int y = rect.y + 2;
    for (const std::wstring& line : ExtentListWidths::SplitLines(GetString(static_cast<int>(n)).ToStdWstring())) {
        DrawTabbedText(dc, line, textX, y);
        y += dc.GetCharHeight();
    }
}

wxCoord CIconListBox::OnMeasureItem(size_t n) const
{
    size_t lines = std::max<size_t>(1, ExtentListWidths::SplitLines(GetString(static_cast<int>(n)).ToStdWstring()).size());
    int height = static_cast<int>(lines) * GetCharHeight();
    if (m_images) height = std::max(height, m_iconHeight + 4);
    return height + 4;
}
