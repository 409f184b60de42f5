#pragma once
// The program's application object on the toolkit: it installs the toolkit's
// implementations of the ports, runs the start-up sequence with the shell's
// parts, and ends the run in order when the main loop ends, also when the
// program is asked to end by a signal (SIGTERM, SIGINT, SIGHUP).

#include <memory>

#include <wx/app.h>

#include "shellcore/AppStartup.h"
#include "shellcore/AppVersion.h"
#include "ui/ShellParts.h"

class wxSingleInstanceChecker;

namespace ui {
class WxDispatcher;
}

class CArbApp : public wxApp {
public:
    CArbApp(const AppVersion& version, ShellParts parts);
    ~CArbApp() override;

    bool OnInit() override;
    int OnExit() override;

    wxFrame* GetMainFrame() const { return m_frame; }

private:
    // The toolkit's implementations of the ports, installed for the run.
    void InstallPorts();
    void RemovePorts();
    bool IsAnotherInstanceRunning();
    bool CreateMainWindow(const std::wstring& caption);
    static void OnEndSignal(int signal);

    AppVersion m_version;
    ShellParts m_parts;
    std::shared_ptr<ui::WxDispatcher> m_dispatcher;
    std::unique_ptr<wxSingleInstanceChecker> m_instance;
    std::unique_ptr<CAppStartup> m_startup;
    wxFrame* m_frame = nullptr;
};

// The program's instance lock: named for the program and user, kept in the
// settings folder, so runs with settings of their own (ARBOLITE_HOME) are
// separate instances. Null when no lock could be made.
std::unique_ptr<wxSingleInstanceChecker> MakeInstanceChecker();

// Runs the program; the process's exit code.
int RunArbolite(int argc, char** argv, const AppVersion& version, ShellParts parts);
