#include "widgets/CResizableState.h"

#include <wx/display.h>
#include <wx/toplevel.h>

#include "widgets/WhenMapped.h"

namespace {

LayoutRect ToLayoutRect(const wxRect& r)
{
    return LayoutRect(r.x, r.y, r.x + r.width, r.y + r.height);
}

wxTopLevelWindow* TopLevel(wxWindow* window)
{
    return dynamic_cast<wxTopLevelWindow*>(window);
}

bool IsRestored(wxWindow* window)
{
    wxTopLevelWindow* top = TopLevel(window);
    return !top || (!top->IsMaximized() && !top->IsIconized());
}

} // namespace

void CResizableState::NoteNormalRect()
{
    wxWindow* window = GetLayoutWindow();
    if (IsRestored(window)) m_normal = window->GetRect();
}

WindowPlacementRecord CResizableState::GetWindowPlacement()
{
    wxWindow* window = GetLayoutWindow();
    WindowPlacementRecord p;
    wxTopLevelWindow* top = TopLevel(window);
    const bool restored = IsRestored(window);
    p.normal = ToLayoutRect(restored || m_normal.IsEmpty() ? window->GetRect() : m_normal);
    if (top && top->IsMaximized())
        p.showCmd = kShowMaximized;
    else if (top && top->IsIconized())
        p.showCmd = kShowMinimized;
    return p;
}

bool CResizableState::SaveWindowState(const std::wstring& section, bool rectOnly)
{
    wxWindow* window = GetLayoutWindow();
    WindowPlacementRecord p;
    if (rectOnly)
        p.normal = ToLayoutRect(window->GetRect());
    else
        p = GetWindowPlacement();
    return WriteWindowPlacementText(section, FormatWindowPlacement(p));
}

bool CResizableState::LoadWindowState(const std::wstring& section, bool rectOnly)
{
    const std::wstring text = ReadWindowPlacementText(section);
    WindowPlacementRecord p;
    if (text.empty() || !ParseWindowPlacement(text, p)) return false;
    if (p.normal.Width() <= 0 || p.normal.Height() <= 0) return false;
    wxWindow* window = GetLayoutWindow();
    wxRect rect(p.normal.left, p.normal.top, p.normal.Width(), p.normal.Height());
    // A rectangle on no screen any more (a display was removed) keeps its
    // size but comes back where the window would open.
    const bool onScreen = wxDisplay::GetFromPoint(rect.GetTopLeft()) != wxNOT_FOUND ||
                          wxDisplay::GetFromPoint(wxPoint(rect.GetRight(), rect.GetTop())) != wxNOT_FOUND;
    wxTopLevelWindow* top = TopLevel(window);
    if (onScreen) {
        window->SetSize(rect);
        // A window manager places a window as it maps it, whatever was asked
        // before; the kept place is asked again once the window is mapped.
        if (top && !IsMappedOnScreen(window) && (rectOnly || p.showCmd != kShowMaximized)) {
            const wxPoint kept = rect.GetTopLeft();
            CallWhenMapped(window, [window, kept] { PlaceOnScreen(window, kept); });
        }
    } else {
        window->SetSize(rect.GetSize());
    }
    if (!onScreen && top) top->CentreOnParent();
    NoteNormalRect();
    if (!rectOnly && top) {
        // Reopening minimized would hide a dialog the user is waiting for.
        if (p.showCmd == kShowMaximized)
            top->Maximize(true);
        else if (top->IsMaximized())
            top->Maximize(false);
    }
    return true;
}
