#pragma once
// The program's main window in the test's own process, set up as start-up
// sets it up (the application's InstallPorts and its own commands: about
// box, tips, web site and mails): the toolkit's dispatcher,
// the program's window ports (ui/WindowPorts.h; not the desktop launcher: a
// test starts no other program), the global services with the output
// window's sink, then the main frame. For the window tests and benchmarks that drive
// the whole window against a real server; header-only, since only programs
// that link the shell's windows may use it.

#include <memory>

#include <wx/app.h>

#include "platform/Dispatcher.h"
#include "shellcore/GlobalServices.h"
#include "shellcore/OutputSink.h"
#include "tests/support/gui/UiTestSupport.h"
#include "ui/AppCommands.h"
#include "ui/CArbMainFrame.h"
#include "ui/WindowPorts.h"
#include "ui/WxDispatcher.h"
#include "widgets/UiResources.h"

namespace uitest {

class ProgramSession {
public:
    ProgramSession()
    {
        ui::InitUiResources();
        m_dispatcher = std::make_shared<ui::WxDispatcher>();
        platform::SetDispatcher(m_dispatcher);
        ui::InstallWindowPorts();
        ClearQueuedOutputLines();
        InitGlobalSettings(OutputWindowSink);
        // Bound on the application once per process, as start-up binds them.
        static const bool appCommandsBound = [] {
            ui::BindAppCommands(*wxTheApp);
            return true;
        }();
        (void)appCommandsBound;
    }

    ~ProgramSession()
    {
        CloseFrame();
        CloseGlobalSettings();
        RemoveOutputSink();
        ClearQueuedOutputLines();
        ui::RemoveWindowPorts();
        m_dispatcher->Close();
        platform::SetDispatcher(nullptr);
    }

    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

    // The main frame, shown; null when it could not be made.
    CArbMainFrame* OpenFrame()
    {
        m_frame = CreateMainFrame();
        if (!m_frame) return nullptr;
        wxTheApp->SetTopWindow(m_frame);
        m_frame->Show();
        RunUntil([this] { return m_frame->IsShownOnScreen(); }, 10000);
        return m_frame;
    }

    void CloseFrame()
    {
        if (!m_frame) return;
        m_frame->Destroy();
        m_frame = nullptr;
        RunFor(50);
        wxTheApp->ProcessIdle();
    }

    CArbMainFrame* Frame() const { return m_frame; }
    ui::WxDispatcher& Dispatcher() { return *m_dispatcher; }

private:
    std::shared_ptr<ui::WxDispatcher> m_dispatcher;
    CArbMainFrame* m_frame = nullptr;
};

} // namespace uitest
