#pragma once
// The seam between the program's start-up and the main window's code: the
// composition root fills in what exists, and the start-up uses what it is
// given (a plain frame stands in for a missing main frame).

#include <functional>

#include "base/CLogStreamBuf.h"

class wxEvtHandler;
class wxFrame;

struct ShellParts {
    // Makes the main frame, not yet shown; null: a plain frame stands in.
    std::function<wxFrame*()> createMainFrame;
    // Shows the splash window, which closes itself; true when shown.
    std::function<bool()> showSplash;
    // The output window's log sink, added after the log file's sink. The
    // output window removes it (g_logStreamBuf.RemoveSink) before its own
    // window goes; the end of the run removes it too.
    LogSink outputSink = nullptr;
    // After the main window is shown: the tips of the day, when their
    // start-up switch is on.
    std::function<void(wxFrame* frame)> showTipsAtStartup;
    // Shows the frame's output bar (the options ask for it at start-up).
    std::function<void(wxFrame* frame)> showOutputBar;

    // Binds the application's own commands (about box, tip of the day, web
    // site, support mails) to the application object, the last stop of
    // every command on its way.
    std::function<void(wxEvtHandler& application)> bindAppCommands;
};
