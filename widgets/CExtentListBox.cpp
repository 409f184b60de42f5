#include "widgets/CExtentListBox.h"

#include <algorithm>

#include <wx/dcclient.h>
#include <wx/settings.h>

CExtentListBox::CExtentListBox(wxWindow* parent, wxWindowID id, ListTabStops tabs, long style)
    : wxVListBox(parent, id, wxDefaultPosition, wxDefaultSize, style | wxHSCROLL | wxVSCROLL), m_tabs(tabs)
{
    SetItemCount(0);
    Bind(wxEVT_SCROLLWIN_TOP, &CExtentListBox::OnHorizontalScroll, this);
    Bind(wxEVT_SCROLLWIN_BOTTOM, &CExtentListBox::OnHorizontalScroll, this);
    Bind(wxEVT_SCROLLWIN_LINEUP, &CExtentListBox::OnHorizontalScroll, this);
    Bind(wxEVT_SCROLLWIN_LINEDOWN, &CExtentListBox::OnHorizontalScroll, this);
    Bind(wxEVT_SCROLLWIN_PAGEUP, &CExtentListBox::OnHorizontalScroll, this);
    Bind(wxEVT_SCROLLWIN_PAGEDOWN, &CExtentListBox::OnHorizontalScroll, this);
    Bind(wxEVT_SCROLLWIN_THUMBTRACK, &CExtentListBox::OnHorizontalScroll, this);
    Bind(wxEVT_SCROLLWIN_THUMBRELEASE, &CExtentListBox::OnHorizontalScroll, this);
    Bind(wxEVT_SIZE, &CExtentListBox::OnSize, this);
}

void CExtentListBox::EnsureTabStops()
{
    if (m_tabs == ListTabStops::On && m_widths.GetTabStops().empty()) SetTabStops({2});
}

int CExtentListBox::MeasureTextWidth(const wxString& text) const
{
    wxClientDC dc(const_cast<CExtentListBox*>(this));
    dc.SetFont(GetFont());
    if (m_tabs == ListTabStops::Off) return dc.GetTextExtent(text).GetWidth();
    const std::vector<int>& stops = m_widths.GetTabStops();
    int x = 0;
    size_t start = 0;
    while (true) {
        size_t tab = text.find(L'\t', start);
        wxString part = text.substr(start, tab == wxString::npos ? wxString::npos : tab - start);
        x += dc.GetTextExtent(part).GetWidth();
        if (tab == wxString::npos) break;
        // The next stop after x; past the last, stops repeat at the last interval.
        int next = 0;
        for (int stop : stops)
            if (stop > x) {
                next = stop;
                break;
            }
        if (next == 0) {
            int step = stops.empty() ? 8 : std::max(1, stops.size() > 1 ? stops.back() - stops[stops.size() - 2]
                                                                          : stops.back());
            next = (x / step + 1) * step;
        }
        x = next;
        start = tab + 1;
    }
    return x;
}

void CExtentListBox::DrawTabbedText(wxDC& dc, const wxString& text, int x, int y) const
{
    if (m_tabs == ListTabStops::Off || text.find(L'\t') == wxString::npos) {
        dc.DrawText(text, x, y);
        return;
    }
    size_t start = 0;
    while (true) {
        size_t tab = text.find(L'\t', start);
        wxString part = text.substr(start, tab == wxString::npos ? wxString::npos : tab - start);
        int at = MeasureTextWidth(text.substr(0, start));
        dc.DrawText(part, x + at, y);
        if (tab == wxString::npos) break;
        start = tab + 1;
    }
}

int CExtentListBox::InsertAt(size_t index, const wxString& text)
{
    if (index > m_strings.size()) index = m_strings.size();
    m_strings.insert(m_strings.begin() + static_cast<std::ptrdiff_t>(index), text);
    StringInserted(index);
    SetItemCount(m_strings.size());
    EnsureTabStops();
    if (m_widths.Inserted(index, ExtentListWidths::ItemWidth(MeasureTextWidth(text))))
        SetExtent(m_widths.GetExtent());
    Refresh();
    return static_cast<int>(index);
}

int CExtentListBox::AddString(const wxString& text)
{
    return InsertAt(m_strings.size(), text);
}

int CExtentListBox::InsertString(int index, const wxString& text)
{
    return InsertAt(index < 0 ? m_strings.size() : static_cast<size_t>(index), text);
}

bool CExtentListBox::DeleteString(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= m_strings.size()) return false;
    StringDeleted(index);
    m_strings.erase(m_strings.begin() + index);
    int selection = GetSelection();
    SetItemCount(m_strings.size());
    if (selection == index)
        SetSelection(wxNOT_FOUND);
    else if (selection > index)
        SetSelection(selection - 1);
    if (m_widths.Deleted(static_cast<size_t>(index))) SetExtent(m_widths.GetExtent());
    Refresh();
    return true;
}

void CExtentListBox::ResetContent()
{
    for (size_t i = m_strings.size(); i-- > 0;) StringDeleted(i);
    m_strings.clear();
    m_widths.Clear();
    SetItemCount(0);
    SetSelection(wxNOT_FOUND);
    SetExtent(0);
    Refresh();
}

wxString CExtentListBox::GetString(int index) const
{
    return index >= 0 && static_cast<size_t>(index) < m_strings.size() ? m_strings[index] : wxString();
}

bool CExtentListBox::SetTabStops(const std::vector<int>& dialogUnits)
{
    wxClientDC dc(this);
    dc.SetFont(GetFont());
    int average = ExtentListWidths::AverageCharWidth(dc.GetTextExtent(ExtentListWidths::Alphabet()).GetWidth());
    m_widths.SetTabStops(ExtentListWidths::TabStopsToPixels(dialogUnits, average));
    if (!m_widths.IsSuspended()) RemeasureAll();
    return true;
}

void CExtentListBox::RemeasureAll()
{
    std::vector<int> widths;
    widths.reserve(m_strings.size());
    for (const wxString& text : m_strings) {
        int widest = 0;
        for (const std::wstring& line : ExtentListWidths::SplitLines(text.ToStdWstring()))
            widest = std::max(widest, ExtentListWidths::ItemWidth(MeasureTextWidth(line)));
        widths.push_back(widest);
    }
    m_widths.Remeasured(widths);
    SetExtent(m_widths.GetExtent());
    RefreshAll();
}

void CExtentListBox::SetExtent(int extent)
{
    m_extent = extent;
    UpdateScrollBar();
}

void CExtentListBox::UpdateScrollBar()
{
    int client = GetClientSize().GetWidth();
    if (m_extent <= client) {
        m_offset = 0;
        SetScrollbar(wxHORIZONTAL, 0, 0, 0);
    } else {
        m_offset = std::min(m_offset, m_extent - client);
        SetScrollbar(wxHORIZONTAL, m_offset, client, m_extent);
    }
    Refresh();
}

void CExtentListBox::OnHorizontalScroll(wxScrollWinEvent& event)
{
    if (event.GetOrientation() != wxHORIZONTAL) {
        event.Skip();
        return;
    }
    int client = GetClientSize().GetWidth();
    int limit = std::max(0, m_extent - client);
    int position = m_offset;
    wxEventType type = event.GetEventType();
    if (type == wxEVT_SCROLLWIN_TOP) position = 0;
    else if (type == wxEVT_SCROLLWIN_BOTTOM) position = limit;
    else if (type == wxEVT_SCROLLWIN_LINEUP) position -= 10;
    else if (type == wxEVT_SCROLLWIN_LINEDOWN) position += 10;
    else if (type == wxEVT_SCROLLWIN_PAGEUP) position -= client;
    else if (type == wxEVT_SCROLLWIN_PAGEDOWN) position += client;
    else position = event.GetPosition();
    m_offset = std::clamp(position, 0, limit);
    SetScrollPos(wxHORIZONTAL, m_offset);
    Refresh();
}

void CExtentListBox::OnSize(wxSizeEvent& event)
{
    event.Skip();
    UpdateScrollBar();
}

void CExtentListBox::OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const
{
    if (n >= m_strings.size()) return;
    dc.SetTextForeground(IsSelected(n) ? wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT)
                                       : wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT));
    int lineHeight = dc.GetCharHeight();
    int y = rect.y + 1;
    for (const std::wstring& line : ExtentListWidths::SplitLines(m_strings[n].ToStdWstring())) {
        DrawTabbedText(dc, line, rect.x + 2 - m_offset, y);
        y += lineHeight;
    }
}

wxCoord CExtentListBox::OnMeasureItem(size_t n) const
{
    size_t lines = n < m_strings.size() ? std::max<size_t>(1, ExtentListWidths::SplitLines(m_strings[n].ToStdWstring()).size()) : 1;
    return static_cast<wxCoord>(lines) * GetCharHeight() + 2;
}
