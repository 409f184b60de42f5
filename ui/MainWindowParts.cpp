#include "ui/MainWindowParts.h"

#include <dlfcn.h>

#include <memory>

#include <wx/frame.h>

#include "shellcore/OutputSink.h"
#include "shellcore/TipOfTheDay.h"
#include "ui/AppCommands.h"
#include "ui/CArbMainFrame.h"
#include "ui/CSplashWnd.h"
#include "ui/CTipDlg.h"

namespace ui {

namespace {
constexpr unsigned kSplashBitmap = 381;
constexpr unsigned kSplashMilliseconds = 2500;

constexpr int kWindowWithdrawn = 1;  // GDK_WINDOW_STATE_WITHDRAWN

// Mapped by the display, not only asked to be shown. The toolkit's own
// calls are looked up in the running program: wxWidgets links them, but
// their headers are not part of the build.
bool IsMapped(wxFrame* frame)
{
    using GetWindow = void* (*)(void*);
    using GetState = int (*)(void*);
    static const auto getWindow = reinterpret_cast<GetWindow>(dlsym(RTLD_DEFAULT, "gtk_widget_get_window"));
    static const auto getState = reinterpret_cast<GetState>(dlsym(RTLD_DEFAULT, "gdk_window_get_state"));
    if (!frame->IsShownOnScreen())
        return false;
    if (!getWindow || !getState || !frame->GetHandle())
        return true;
    void* window = getWindow(frame->GetHandle());
    return window && !(getState(window) & kWindowWithdrawn);
}

// A window manager maps the main window some time after Show; a modal dialog
// mapped before it ends up under it, out of sight. The tip waits until the
// frame is on the screen; idle time comes once the display's events are in.
void ShowTipsOnceShown(wxFrame* frame)
{
    auto shown = std::make_shared<bool>(false);
    frame->Bind(wxEVT_IDLE, [frame, shown](wxIdleEvent& event) {
        event.Skip();
        if (*shown || !IsMapped(frame))
            return;
        *shown = true;
        frame->CallAfter([frame] {
            CTipDlg tips(frame);
            tips.ShowModal();
        });
    });
}
}

ShellParts MakeMainWindowParts()
{
    ShellParts parts;
    parts.createMainFrame = []() -> wxFrame* { return CreateMainFrame(); };
    parts.showSplash = [] {
        auto* splash = new CSplashWnd(kSplashBitmap, kSplashMilliseconds);
        if (splash->Show())
            return true;
        delete splash;
        return false;
    };
    parts.outputSink = OutputWindowSink;
    parts.showTipsAtStartup = [](wxFrame* frame) {
        if (!CTipOfTheDay::ReadShowAtStartup())
            return;
        ShowTipsOnceShown(frame);
    };
    parts.showOutputBar = [](wxFrame* frame) {
        if (auto* main = dynamic_cast<CArbMainFrame*>(frame))
            main->ShowOutputBar();
    };
    parts.bindAppCommands = [](wxEvtHandler& application) { BindAppCommands(application); };
    return parts;
}

} // namespace ui
