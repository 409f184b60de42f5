#include "ui/CArbStatusBar.h"

#include <algorithm>
#include <vector>

#include <wx/dcclient.h>

#include "widgets/DialogFontScale.h"
#include "widgets/UiResources.h"

namespace {

// The schema pane's texts: reading, not available, the default one, loaded.
constexpr unsigned kSchemaTexts[] = {391, 393, 395, 396};
constexpr int kSchemaPaneWidth = 100;
// What the bar takes of a pane's width besides its text, with some air.
constexpr int kPaneMargin = 16;

} // namespace

CArbStatusBar::CArbStatusBar(wxWindow* parent) : wxStatusBar(parent, wxID_ANY)
{
    std::vector<wxString> schemaTexts;
    for (unsigned id : kSchemaTexts)
        schemaTexts.push_back(ui::ResourceString(id));
    const int schemaPane =
        std::max(ScaleFromDialogFont(kSchemaPaneWidth), WidestText(*this, schemaTexts) + kPaneMargin);
    const int widths[4] = {-1, -1, schemaPane, 17 + 8};
    SetFieldsCount(4, widths);
    Bind(wxEVT_SIZE, &CArbStatusBar::OnSize, this);
    Bind(wxEVT_PAINT, &CArbStatusBar::OnPaintPanes, this);
    m_theme.ForgetOnColourChange(*this);
}

void CArbStatusBar::SetPaneIcon(int pane, const wxBitmap& icon)
{
    if (pane < 0 || pane >= 4)
        return;
    if (!icon.IsOk()) {
        if (m_icons[pane])
            m_icons[pane]->Hide();
        return;
    }
    if (!m_icons[pane])
        m_icons[pane] = new wxStaticBitmap(this, wxID_ANY, icon);
    else
        m_icons[pane]->SetBitmap(icon);
    m_icons[pane]->Show();
    Place();
}

void CArbStatusBar::SetPaneTextWithIcon(int pane, const wxString& text)
{
    // Room for the icon at the left of the text.
    wxString shown = m_icons[pane] ? "      " + text : text;
    if (GetStatusText(pane) != shown)
        SetStatusText(shown, pane);
}

wxVisualAttributes CArbStatusBar::GetDefaultAttributes() const
{
    return m_theme.Get([this] { return wxStatusBar::GetDefaultAttributes(); });
}

void CArbStatusBar::OnPaintPanes(wxPaintEvent& event)
{
    const wxRegion& update = GetUpdateRegion();
    std::vector<int> panes;
    for (int pane = 0; pane < GetFieldsCount(); ++pane) {
        wxRect r;
        if (GetFieldRect(pane, r) && update.Contains(r) != wxOutRegion)
            panes.push_back(pane);
    }
    const bool grip = ShowsSizeGrip() && update.Contains(GetSizeGripRect()) != wxOutRegion;
    if (static_cast<int>(panes.size()) == GetFieldsCount() || grip) {
        wxStatusBar::OnPaint(event);
        return;
    }
    wxPaintDC dc(this);
    if (GetFont().IsOk())
        dc.SetFont(GetFont());
    const int textHeight = dc.GetCharHeight();
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    for (int pane : panes)
        DrawField(dc, pane, textHeight);
}

void CArbStatusBar::OnSize(wxSizeEvent& event)
{
    Place();
    event.Skip();
}

void CArbStatusBar::Place()
{
    for (int pane = 0; pane < 4; ++pane) {
        if (!m_icons[pane])
            continue;
        wxRect r;
        if (!GetFieldRect(pane, r))
            continue;
        wxSize s = m_icons[pane]->GetSize();
        m_icons[pane]->Move(r.x + 2, r.y + (r.height - s.y) / 2);
    }
}

void CArbStatusBar::DoUpdateStatusText(int number)
{
    wxRect rect;
    if (GetFieldRect(number, rect))
        RefreshRect(rect);
    else
        Refresh();
}
