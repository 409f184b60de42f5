#include "ui/ArbApp.h"

#include <csignal>

#include <wx/clipbrd.h>
#include <wx/dialog.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/snglinst.h>

#include "platform/DesktopLauncher.h"
#include "platform/Folders.h"
#include "ui/WindowPorts.h"
#include "ui/WxDispatcher.h"
#include "widgets/HtmlHelpProxy.h"

namespace {

const char* const kInstanceName = "Vellumar Arbolite Instance";

} // namespace

CArbApp::CArbApp(const AppVersion& version, ShellParts parts) : m_version(version), m_parts(std::move(parts)) {}

CArbApp::~CArbApp() = default;

void CArbApp::InstallPorts()
{
    m_dispatcher = std::make_shared<ui::WxDispatcher>();
    platform::SetDispatcher(m_dispatcher);
    ui::InstallWindowPorts();
    platform::SetDesktopLauncher(std::make_shared<platform::XdgDesktopLauncher>());
}

void CArbApp::RemovePorts()
{
    // What the program copied stays on the clipboard after its end where
    // the desktop keeps a clipboard manager.
    if (wxTheClipboard->Open()) {
        wxTheClipboard->Flush();
        wxTheClipboard->Close();
    }
    platform::SetDesktopLauncher(nullptr);
    ui::RemoveWindowPorts();
    platform::SetDispatcher(nullptr);
    m_dispatcher.reset();
}

bool CArbApp::OnInit()
{
    // Standard command line (--help); a bad one ends the start silently.
    if (!wxApp::OnInit()) return false;
    SetAppName("Arbolite");
    SetVendorName("Vellumar");
    SetAppVersion(m_version);
    InstallPorts();
    if (m_parts.bindAppCommands) m_parts.bindAppCommands(*this);
    for (int s : {SIGTERM, SIGINT, SIGHUP}) SetSignalHandler(s, &CArbApp::OnEndSignal);

    StartupSettings settings;
    settings.buildNumber = GetBuildNumber();
    StartupHooks hooks;
    hooks.isAnotherInstanceRunning = [this] { return IsAnotherInstanceRunning(); };
    hooks.showSplash = m_parts.showSplash;
    hooks.outputSink = m_parts.outputSink;
    hooks.createMainWindow = [this](const std::wstring& caption) { return CreateMainWindow(caption); };
    if (m_parts.showTipsAtStartup)
        hooks.showTipsAtStartup = [this] { m_parts.showTipsAtStartup(m_frame); };
    if (m_parts.showOutputBar) hooks.showOutputBar = [this] { m_parts.showOutputBar(m_frame); };
    hooks.closeDispatcher = [this] {
        if (m_dispatcher) m_dispatcher->Close();
    };
    m_startup = std::make_unique<CAppStartup>(settings, hooks);
    if (m_startup->Start()) return true;
    // The toolkit does not call OnExit when OnInit fails.
    OnExit();
    return false;
}

int CArbApp::OnExit()
{
    if (m_startup) m_startup->Stop();
    m_startup.reset();
    // The help's windows go while the toolkit still runs.
    help::EndProgramHelp();
    m_instance.reset();
    RemovePorts();
    return wxApp::OnExit();
}

std::unique_ptr<wxSingleInstanceChecker> MakeInstanceChecker()
{
    auto checker = std::make_unique<wxSingleInstanceChecker>();
    const wxString name = wxString(kInstanceName) + "-" + wxGetUserId();
    if (!checker->Create(name, wxString::FromUTF8(platform::GetUserConfigFolder()))) return nullptr;
    return checker;
}

bool CArbApp::IsAnotherInstanceRunning()
{
    m_instance = MakeInstanceChecker();
    return m_instance && m_instance->IsAnotherRunning();
}

bool CArbApp::CreateMainWindow(const std::wstring& caption)
{
    wxFrame* frame = m_parts.createMainFrame ? m_parts.createMainFrame() : nullptr;
    if (!frame) frame = new wxFrame(nullptr, wxID_ANY, wxString(caption), wxDefaultPosition, wxSize(900, 640));
    m_frame = frame;
    SetTopWindow(frame);
    frame->Show();
    frame->Update();
    frame->SetTitle(wxString(caption));
    frame->Update();
    return true;
}

namespace {

// Once no modal loop runs any more: the windows go without asking, then the
// loop ends and OnExit ends the run in order. A window must not go while a
// dialog it owns still runs its loop on the stack.
void EndFromTheMainLoop()
{
    if (!wxTheApp) return;
    wxEventLoopBase* main = wxTheApp->GetMainLoop();
    if (!main || wxEventLoopBase::GetActive() != main) {
        wxTheApp->CallAfter([] { EndFromTheMainLoop(); });
        return;
    }
    wxWindowList windows = wxTopLevelWindows;
    for (wxWindow* window : windows) window->Destroy();
    wxTheApp->ExitMainLoop();
}

} // namespace

void CArbApp::OnEndSignal(int)
{
    if (!wxTheApp) return;
    // Open dialogs end first, as if cancelled; their callers go on and
    // destroy them.
    for (wxWindow* window : wxTopLevelWindows) {
        // Not wxDynamicCast: it static_casts first, undefined for the
        // frames (the splash, the main window) among them.
        auto* dialog = dynamic_cast<wxDialog*>(window);
        if (dialog && dialog->IsModal()) dialog->EndModal(wxID_CANCEL);
    }
    EndFromTheMainLoop();
}

int RunArbolite(int argc, char** argv, const AppVersion& version, ShellParts parts)
{
    wxApp::SetInstance(new CArbApp(version, std::move(parts)));
    return wxEntry(argc, argv);
}
