#include "widgets/CSubclassWnd.h"

#include <vector>

#include <wx/window.h>

CSubclassWnd::CSubclassWnd()
{
    Bind(wxEVT_DESTROY, &CSubclassWnd::OnWindowDestroy, this);
}

CSubclassWnd::~CSubclassWnd()
{
    Unhook();
}

bool CSubclassWnd::HookWindow(wxWindow* window)
{
    Unhook();
    if (window) {
        m_window = window;
        window->PushEventHandler(this);
    }
    return true;
}

void CSubclassWnd::Unhook()
{
    if (!m_window)
        return;
    m_window->RemoveEventHandler(this);
    m_window = nullptr;
}

bool CSubclassWnd::TrackMouseLeave(const TrackMouseLeaveRequest& request)
{
    return request.size >= 16 && request.window && (request.flags & kTrackLeave);
}

void CSubclassWnd::WatchEvent(wxEventType type)
{
    Bind(wxEventTypeTag<wxEvent>(type), &CSubclassWnd::OnWatched, this);
}

bool CSubclassWnd::WindowProc(wxEvent& event)
{
    return Default(event);
}

bool CSubclassWnd::Default(wxEvent& event)
{
    event.Skip();
    return false;
}

void CSubclassWnd::OnWatched(wxEvent& event)
{
    if (!m_window || event.GetEventObject() != m_window) {
        event.Skip();
        return;
    }
    if (!WindowProc(event))
        event.Skip();
}

void CSubclassWnd::OnWindowDestroy(wxWindowDestroyEvent& event)
{
    wxWindow* window = m_window;
    if (!window || event.GetEventObject() != window) {
        event.Skip();
        return;
    }
    // Every object of the chain lets go before the window's own handling
    // sees its end, so none is left on a window that is gone.
    std::vector<CSubclassWnd*> hooks;
    for (wxEvtHandler* h = window->GetEventHandler(); h && h != window; h = h->GetNextHandler())
        if (auto* hook = dynamic_cast<CSubclassWnd*>(h))
            hooks.push_back(hook);
    for (CSubclassWnd* hook : hooks)
        hook->Unhook();
    window->GetEventHandler()->ProcessEventLocally(event);
}
