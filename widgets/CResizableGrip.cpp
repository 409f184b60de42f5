#include "widgets/CResizableGrip.h"

#include <wx/dcclient.h>
#include <wx/settings.h>
#include <wx/toplevel.h>
#include <wx/window.h>

namespace {

// The grip window: paints the diagonal ridges and drags the top-level
// window's bottom corner.
class CSizeGripWnd : public wxWindow {
public:
    CSizeGripWnd(wxWindow* parent, int width, int height)
        : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxSize(width, height), wxBORDER_NONE)
    {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        SetCursor(wxCursor(wxCURSOR_SIZENWSE));
        Bind(wxEVT_PAINT, &CSizeGripWnd::OnPaint, this);
        Bind(wxEVT_LEFT_DOWN, &CSizeGripWnd::OnLeftDown, this);
        Bind(wxEVT_MOTION, &CSizeGripWnd::OnMotion, this);
        Bind(wxEVT_LEFT_UP, [this](wxMouseEvent&) { EndDrag(); });
        Bind(wxEVT_MOUSE_CAPTURE_LOST, [this](wxMouseCaptureLostEvent&) { m_dragging = false; });
    }

    bool AcceptsFocus() const override { return false; }

private:
    // Only the triangle under the diagonal from the top-right to the
    // bottom-left corner is the grip.
    bool InTriangle(const wxPoint& p) const
    {
        const wxSize size = GetClientSize();
        return size.x > 0 && p.y >= size.y - 1 - p.x * size.y / size.x;
    }

    void OnPaint(wxPaintEvent&)
    {
        wxPaintDC dc(this);
        const wxSize size = GetClientSize();
        dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
        dc.Clear();
        const wxColour light = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT);
        const wxColour dark = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW);
        // Ridges parallel to the diagonal, each a dark line under a light one.
        for (int d = 3; d + 1 < size.x && d + 1 < size.y; d += 4) {
            for (int k = 0; k < 2; ++k) {
                dc.SetPen(wxPen(k == 0 ? dark : light));
                const int o = d + k;
                dc.DrawLine(size.x - 1 - o, size.y - 1, size.x - 1, size.y - 1 - o);
            }
        }
    }

    void OnLeftDown(wxMouseEvent& event)
    {
        if (!InTriangle(event.GetPosition())) return;
        wxTopLevelWindow* top = dynamic_cast<wxTopLevelWindow*>(wxGetTopLevelParent(this));
        if (!top || top->IsMaximized()) return;
        m_start = ClientToScreen(event.GetPosition());
        m_startRect = top->GetRect();
        m_dragging = true;
        CaptureMouse();
    }

    void OnMotion(wxMouseEvent& event)
    {
        if (!m_dragging || !event.LeftIsDown()) return;
        wxWindow* top = wxGetTopLevelParent(this);
        const wxPoint now = ClientToScreen(event.GetPosition());
        const int dx = now.x - m_start.x, dy = now.y - m_start.y;
        top->SetSize(m_startRect.x, m_startRect.y, m_startRect.width + dx, m_startRect.height + dy);
    }

    void EndDrag()
    {
        if (!m_dragging) return;
        m_dragging = false;
        if (HasCapture()) ReleaseMouse();
    }

    bool m_dragging = false;
    wxPoint m_start;
    wxRect m_startRect;
};

} // namespace

CResizableGrip::CResizableGrip()
    : m_width(wxSystemSettings::GetMetric(wxSYS_VSCROLL_X)), m_height(wxSystemSettings::GetMetric(wxSYS_HSCROLL_Y))
{
    // Themes without scroll-bar metrics answer -1 or a sliver.
    if (m_width < 12) m_width = 14;
    if (m_height < 12) m_height = 14;
}

bool CResizableGrip::CreateGrip()
{
    if (m_grip) return true;
    m_grip = new CSizeGripWnd(GetLayoutWindow(), m_width, m_height);
    PlaceGrip();
    ShowSizeGrip(true);
    return true;
}

void CResizableGrip::PlaceGrip()
{
    if (!m_grip) return;
    wxWindow* layout = GetLayoutWindow();
    const wxSize client = layout->GetClientSize();
    m_grip->SetSize(client.x - m_width, client.y - m_height, m_width, m_height);
    // Controls in the corner stay above it.
    m_grip->Lower();
    auto* top = dynamic_cast<wxTopLevelWindow*>(layout);
    m_grip->Enable(!(top && top->IsMaximized()));
}

void CResizableGrip::ShowSizeGrip(bool show)
{
    if (m_grip) m_grip->Show(show);
}
