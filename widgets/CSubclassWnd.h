#pragma once
// Lets an object that is not a window see a window's events first: it is an
// event handler pushed onto the window's chain. Several may hook one window;
// the last hooked sees events first, and what one passes on (Default, or
// WindowProc answering false) goes to the next and at the end to the
// window's own handling. Destroying the window unhooks every object before
// the window goes; destroying an object unhooks it from wherever it sits.
// User-interface thread only.

#include <cstdint>

#include <wx/event.h>

class wxWindow;

// What TrackMouseLeave is asked for.
struct TrackMouseLeaveRequest {
    uint32_t size = 16;        // at least 16
    uint32_t flags = 0;        // kTrackLeave asks for the leave event
    wxWindow* window = nullptr;
    uint32_t hoverTime = 0;
};
constexpr uint32_t kTrackLeave = 0x2;

class CSubclassWnd : public wxEvtHandler {
public:
    CSubclassWnd();
    ~CSubclassWnd() override;
    CSubclassWnd(const CSubclassWnd&) = delete;
    CSubclassWnd& operator=(const CSubclassWnd&) = delete;

    // Hooks the window (after unhooking from another one); null unhooks.
    // Always true.
    bool HookWindow(wxWindow* window);
    wxWindow* GetHookedWindow() const { return m_window; }

    // The toolkit sends the leave event by itself; this only checks the
    // request (size, a window, the leave flag).
    static bool TrackMouseLeave(const TrackMouseLeaveRequest& request);

protected:
    // Events of this type come to WindowProc from now on.
    void WatchEvent(wxEventType type);
    // True when the event is handled and goes no further; the base passes it on.
    virtual bool WindowProc(wxEvent& event);
    // Passes the event on to the next handler and the window.
    bool Default(wxEvent& event);

private:
    void OnWatched(wxEvent& event);
    void OnWindowDestroy(wxWindowDestroyEvent& event);
    void Unhook();

    wxWindow* m_window = nullptr;
};
