#include "widgets/CHexEdit.h"

#include <algorithm>

#include <wx/dcclient.h>
#include <wx/settings.h>

using dialogcore::HexEditBuffer;
using Key = HexEditBuffer::Key;

namespace {
// Characters before the hex column: "00000000" and two blanks.
constexpr int kOffsetChars = 10;
constexpr int kMargin = 4;
}

CHexEdit::CHexEdit(wxWindow* parent, wxWindowID id, size_t bytesPerRow, const wxPoint& pos, const wxSize& size)
    : wxScrolledCanvas(parent, id, pos, size, wxVSCROLL | wxWANTS_CHARS | wxBORDER_THEME),
      m_buffer(bytesPerRow),
      m_font(wxFontInfo(10).Family(wxFONTFAMILY_TELETYPE))
{
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW));
    wxClientDC dc(this);
    dc.SetFont(m_font);
    m_charWidth = dc.GetCharWidth();
    m_lineHeight = dc.GetCharHeight() + 2;
    const int width = TextX(bytesPerRow) + kMargin + wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this);
    SetMinSize(wxSize(width, m_lineHeight * 6 + 2 * kMargin));
    SetScrollRate(0, m_lineHeight);
    Bind(wxEVT_KEY_DOWN, &CHexEdit::OnKeyDown, this);
    Bind(wxEVT_CHAR, &CHexEdit::OnChar, this);
    Bind(wxEVT_LEFT_DOWN, &CHexEdit::OnMouse, this);
    Bind(wxEVT_SET_FOCUS, &CHexEdit::OnFocus, this);
    Bind(wxEVT_KILL_FOCUS, &CHexEdit::OnFocus, this);
    Bind(wxEVT_SIZE, &CHexEdit::OnSize, this);
    Changed();
}

void CHexEdit::SetData(const std::string& bytes)
{
    m_buffer.SetData(bytes);
    Changed();
}

int CHexEdit::HexX(size_t column) const { return kMargin + (kOffsetChars + 3 * static_cast<int>(column)) * m_charWidth; }

int CHexEdit::TextX(size_t column) const
{
    return HexX(m_buffer.GetBytesPerRow()) + (1 + static_cast<int>(column)) * m_charWidth;
}

size_t CHexEdit::VisibleRows() const
{
    const int rows = (GetClientSize().GetHeight() - 2 * kMargin) / m_lineHeight;
    return rows > 0 ? static_cast<size_t>(rows) : 1;
}

void CHexEdit::Changed()
{
    m_buffer.SetPageRows(VisibleRows() > 1 ? VisibleRows() - 1 : 1);
    SetVirtualSize(wxSize(-1, static_cast<int>(m_buffer.GetRowCount()) * m_lineHeight + 2 * kMargin));
    int top = 0;
    GetViewStart(nullptr, &top);
    const size_t wanted = m_buffer.ScrollTopFor(static_cast<size_t>(top), VisibleRows());
    if (wanted != static_cast<size_t>(top)) Scroll(-1, static_cast<int>(wanted));
    Refresh();
}

void CHexEdit::OnSize(wxSizeEvent& event)
{
    Changed();
    event.Skip();
}

void CHexEdit::OnFocus(wxFocusEvent& event)
{
    Refresh();
    event.Skip();
}

void CHexEdit::OnKeyDown(wxKeyEvent& event)
{
    const bool ctrl = event.ControlDown();
    Key key;
    switch (event.GetKeyCode()) {
    case WXK_LEFT: case WXK_NUMPAD_LEFT: key = Key::Left; break;
    case WXK_RIGHT: case WXK_NUMPAD_RIGHT: key = Key::Right; break;
    case WXK_UP: case WXK_NUMPAD_UP: key = Key::Up; break;
    case WXK_DOWN: case WXK_NUMPAD_DOWN: key = Key::Down; break;
    case WXK_HOME: case WXK_NUMPAD_HOME: key = ctrl ? Key::CtrlHome : Key::Home; break;
    case WXK_END: case WXK_NUMPAD_END: key = ctrl ? Key::CtrlEnd : Key::End; break;
    case WXK_PAGEUP: case WXK_NUMPAD_PAGEUP: key = Key::PageUp; break;
    case WXK_PAGEDOWN: case WXK_NUMPAD_PAGEDOWN: key = Key::PageDown; break;
    case WXK_INSERT: case WXK_NUMPAD_INSERT: key = Key::Insert; break;
    case WXK_DELETE: case WXK_NUMPAD_DELETE: key = Key::Delete; break;
    case WXK_BACK: key = Key::Backspace; break;
    case WXK_TAB:
        if (ctrl || event.ShiftDown()) {
            Navigate(event.ShiftDown() ? wxNavigationKeyEvent::IsBackward : wxNavigationKeyEvent::IsForward);
            return;
        }
        key = Key::Tab;
        break;
    default:
        event.Skip();  // characters come as wxEVT_CHAR
        return;
    }
    if (m_buffer.PressKey(key)) Changed();
}

void CHexEdit::OnChar(wxKeyEvent& event)
{
    const wxChar ch = event.GetUnicodeKey();
    if (ch == WXK_NONE || event.ControlDown() || event.AltDown()) {
        event.Skip();
        return;
    }
    if (m_buffer.TypeChar(static_cast<char32_t>(ch))) Changed();
}

void CHexEdit::OnMouse(wxMouseEvent& event)
{
    SetFocus();
    int x = 0, y = 0;
    CalcUnscrolledPosition(event.GetX(), event.GetY(), &x, &y);
    const size_t row = y > kMargin ? static_cast<size_t>((y - kMargin) / m_lineHeight) : 0;
    const size_t perRow = m_buffer.GetBytesPerRow();
    size_t column = 0;
    HexEditBuffer::Column which = HexEditBuffer::Column::Hex;
    if (x >= TextX(0)) {
        which = HexEditBuffer::Column::Text;
        column = static_cast<size_t>((x - TextX(0)) / m_charWidth);
    } else if (x >= HexX(0)) {
        column = static_cast<size_t>((x - HexX(0)) / (3 * m_charWidth));
    }
    if (column >= perRow) column = perRow - 1;
    m_buffer.SetCaret(row * perRow + column, which);
    Changed();
}

void CHexEdit::OnDraw(wxDC& dc)
{
    dc.SetFont(m_font);
    const wxColour text = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT);
    const wxColour grey = wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT);
    const wxColour mark = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);
    int top = 0;
    GetViewStart(nullptr, &top);
    const size_t first = static_cast<size_t>(top);
    const size_t last = std::min(m_buffer.GetRowCount(), first + VisibleRows() + 1);
    for (size_t row = first; row < last; ++row) {
        const int y = kMargin + static_cast<int>(row) * m_lineHeight;
        dc.SetTextForeground(grey);
        dc.DrawText(m_buffer.OffsetText(row), kMargin, y);
        dc.SetTextForeground(text);
        dc.DrawText(m_buffer.HexText(row), HexX(0), y);
        dc.DrawText(m_buffer.CharText(row), TextX(0), y);
    }

    // The caret: a block over the digit or character in overwrite mode, a
    // bar before it in insert mode; the other column marks the same byte.
    const size_t perRow = m_buffer.GetBytesPerRow();
    const size_t caret = m_buffer.GetCaret();
    const int y = kMargin + static_cast<int>(caret / perRow) * m_lineHeight;
    const size_t column = caret % perRow;
    const bool hex = m_buffer.GetColumn() == HexEditBuffer::Column::Hex;
    const int hexX = HexX(column) + m_buffer.GetDigit() * m_charWidth;
    const int textX = TextX(column);
    const int activeX = hex ? hexX : textX;
    const int otherX = hex ? textX : HexX(column);
    const int otherWidth = hex ? m_charWidth : 2 * m_charWidth;
    dc.SetPen(wxPen(mark));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(otherX, y, otherWidth, m_lineHeight - 1);
    dc.SetBrush(wxBrush(mark));
    if (m_buffer.IsInsertMode()) {
        dc.DrawRectangle(activeX - 1, y, 2, m_lineHeight - 1);
        return;
    }
    dc.DrawRectangle(activeX, y, m_charWidth, m_lineHeight - 1);
    if (caret < m_buffer.GetSize()) {
        const std::string hexText = m_buffer.HexText(caret / perRow);
        const std::string charText = m_buffer.CharText(caret / perRow);
        const char shown = hex ? hexText[3 * column + m_buffer.GetDigit()] : charText[column];
        dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT));
        dc.DrawText(wxString(shown), activeX, y);
    }
}
