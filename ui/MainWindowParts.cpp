#include "ui/MainWindowParts.h"

#include <wx/frame.h>

#include "shellcore/OutputSink.h"
#include "shellcore/TipOfTheDay.h"
#include "ui/AppCommands.h"
#include "ui/CArbMainFrame.h"
#include "ui/CSplashWnd.h"
#include "ui/CTipDlg.h"
#include "widgets/WhenMapped.h"

namespace ui {

namespace {
constexpr unsigned kSplashBitmap = 381;
constexpr unsigned kSplashMilliseconds = 2500;

// A window manager maps the main window some time after Show; a modal dialog
// mapped before it ends up under it, out of sight. The tip waits until the
// frame is on the screen; idle time comes once the display's events are in.
void ShowTipsOnceShown(wxFrame* frame)
{
    CallWhenMapped(frame, [frame] {
        CTipDlg tips(frame);
        tips.ShowModal();
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
