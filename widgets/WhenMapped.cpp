#include "widgets/WhenMapped.h"

#include <dlfcn.h>

#include <memory>

#include <wx/window.h>

namespace {
constexpr int kWindowWithdrawn = 1;  // GDK_WINDOW_STATE_WITHDRAWN
}

// The toolkit's own calls are looked up in the running program: wxWidgets
// links them, but their headers are not part of the build.
bool IsMappedOnScreen(wxWindow* window)
{
    using GetWindow = void* (*)(void*);
    using GetState = int (*)(void*);
    static const auto getWindow = reinterpret_cast<GetWindow>(dlsym(RTLD_DEFAULT, "gtk_widget_get_window"));
    static const auto getState = reinterpret_cast<GetState>(dlsym(RTLD_DEFAULT, "gdk_window_get_state"));
    if (!window || !window->IsShownOnScreen())
        return false;
    if (!getWindow || !getState || !window->GetHandle())
        return true;
    void* native = getWindow(window->GetHandle());
    return native && !(getState(native) & kWindowWithdrawn);
}

void PlaceOnScreen(wxWindow* window, const wxPoint& topLeft)
{
    using MoveWindow = void (*)(void*, int, int);
    static const auto moveWindow = reinterpret_cast<MoveWindow>(dlsym(RTLD_DEFAULT, "gtk_window_move"));
    if (moveWindow && window->GetHandle())
        moveWindow(window->GetHandle(), topLeft.x, topLeft.y);
    else
        window->Move(topLeft);
}

// Idle time comes once the display's events are in, so the map is seen there.
void CallWhenMapped(wxWindow* window, std::function<void()> action)
{
    auto pending = std::make_shared<std::function<void()>>(std::move(action));
    window->Bind(wxEVT_IDLE, [window, pending](wxIdleEvent& event) {
        event.Skip();
        if (!*pending || !IsMappedOnScreen(window))
            return;
        auto run = std::move(*pending);
        *pending = nullptr;
        window->CallAfter([run] { run(); });
    });
}
