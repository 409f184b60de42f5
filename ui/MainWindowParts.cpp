#include "ui/MainWindowParts.h"

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
        CTipDlg tips(frame);
        tips.ShowModal();
    };
    parts.showOutputBar = [](wxFrame* frame) {
        if (auto* main = dynamic_cast<CArbMainFrame*>(frame))
            main->ShowOutputBar();
    };
    parts.bindAppCommands = [](wxEvtHandler& application) { BindAppCommands(application); };
    return parts;
}

} // namespace ui
