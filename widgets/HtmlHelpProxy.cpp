#include "widgets/HtmlHelpProxy.h"

#include <sys/stat.h>

#include <cstdint>

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/filesys.h>
#include <wx/fs_zip.h>
#include <wx/html/helpctrl.h>
#include <wx/html/helpdlg.h>
#include <wx/html/helpfrm.h>
#include <wx/html/helpwnd.h>
#include <wx/html/htmlwin.h>
#include <wx/log.h>
#include <wx/module.h>
#include <wx/sstream.h>
#include <wx/sysopt.h>
#include <wx/toplevel.h>

#include "platform/Folders.h"
#include "shellcore/HelpTables.h"
#include "widgets/HelpPopup.h"

namespace help {

const char* const kHelpBookName = "arbolite.htb";

namespace {

constexpr int kPopupWidth = 360;

// The book's files are read through the toolkit's file system: its zip
// handler, and its own table of types by extension (a desktop's type
// database may call ".htm" XHTML, which the viewer shows as plain text).
void PrepareFileSystemOnce()
{
    static bool prepared = false;
    if (!prepared) {
        wxSystemOptions::SetOption("filesys.no-mimetypesmanager", 1);
        wxFileSystem::AddHandler(new wxZipFSHandler);
        prepared = true;
    }
}

bool IsFile(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The dialog running modally that the caller belongs to, or null.
bool CallerIsInModalDialog(wxWindow* caller)
{
    wxWindow* top = caller ? wxGetTopLevelParent(caller) : nullptr;
    auto* dialog = dynamic_cast<wxDialog*>(top);
    return dialog && dialog->IsModal();
}

std::unique_ptr<CHtmlHelpLoader> g_program;

// Ends the program's loader while the toolkit still runs: its windows must
// go before the toolkit does.
class HtmlHelpModule : public wxModule {
public:
    bool OnInit() override { return true; }
    void OnExit() override { EndProgramHelp(); }

private:
    wxDECLARE_DYNAMIC_CLASS(HtmlHelpModule);
};
wxIMPLEMENT_DYNAMIC_CLASS(HtmlHelpModule, wxModule);

} // namespace

CHtmlHelpLoader::CHtmlHelpLoader(std::vector<std::string> folders) : m_folders(std::move(folders)) {}

CHtmlHelpLoader::~CHtmlHelpLoader()
{
    Close();
}

bool CHtmlHelpLoader::Load()
{
    if (m_state != State::NotLoaded)
        return m_state == State::Loaded;
    m_state = State::Failed;
    std::string path;
    for (const std::string& folder : m_folders) {
        if (IsFile(folder + kHelpBookName)) {
            path = folder + kHelpBookName;
            break;
        }
    }
    if (path.empty())
        return false;
    PrepareFileSystemOnce();
    // An unreadable book is reported by the 0 results alone.
    wxLogNull quiet;
    // The book is read once here; the modal viewer reads the same file.
    auto viewer = std::make_unique<wxHtmlHelpController>(wxHF_DEFAULT_STYLE | wxHF_FRAME);
    viewer->SetShouldPreventAppExit(false);
    if (!viewer->AddBook(wxFileName(wxString::FromUTF8(path)), false))
        return false;
    m_book = wxString::FromUTF8(path);
    m_viewer = std::move(viewer);
    m_state = State::Loaded;
    return true;
}

wxHtmlHelpController* CHtmlHelpLoader::ControllerFor(wxWindow* caller)
{
    if (!CallerIsInModalDialog(caller)) {
        m_viewer->SetParentWindow(nullptr);
        return m_viewer.get();
    }
    if (!m_modalViewer) {
        wxLogNull quiet;
        auto viewer = std::make_unique<wxHtmlHelpController>(wxHF_DEFAULT_STYLE | wxHF_DIALOG | wxHF_MODAL);
        viewer->SetShouldPreventAppExit(false);
        if (!viewer->AddBook(wxFileName(m_book), false))
            return nullptr;
        m_modalViewer = std::move(viewer);
    }
    // No parent: a window's children go with it, and the viewer would keep
    // pointing at its gone help window. Modal, it stands over the dialog.
    m_modalViewer->SetParentWindow(nullptr);
    return m_modalViewer.get();
}

intptr_t CHtmlHelpLoader::Call(wxWindow* caller, const wxString& file, unsigned command, intptr_t data)
{
    if (!Load())
        return 0;
    switch (command) {
    case kDisplayTopic:
    case kHelpContext:
        return ShowContext(caller, command, data);
    case kDisplayTextPopup:
        return ShowPopup(caller, file, reinterpret_cast<const HelpPopupRequest*>(data));
    default:
        return 0;
    }
}

intptr_t CHtmlHelpLoader::ShowContext(wxWindow* caller, unsigned command, intptr_t context)
{
    wxHtmlHelpController* viewer = ControllerFor(caller);
    if (!viewer)
        return 0;
    m_lastShown = viewer;
    // A context the book lacks (0 among them) shows the welcome page. Asked
    // first: a modal viewer shows itself, and runs, at every display call.
    const bool known = command == kHelpContext && context > 0 && context <= INT32_MAX &&
                       !viewer->GetHelpData()->FindPageById(static_cast<int>(context)).empty();
    if (known)
        viewer->Display(static_cast<int>(context));
    else
        viewer->DisplayContents();
    if (viewer == m_modalViewer.get()) {
        // It ran and has been closed: made anew for the next request.
        viewer->Quit();
        return 1;
    }
    return reinterpret_cast<intptr_t>(GetHelpWindow());
}

intptr_t CHtmlHelpLoader::ShowPopup(wxWindow* caller, const wxString& file, const HelpPopupRequest* request)
{
    if (!request || file.empty())
        return 0;
    wxFileSystem fs;
    std::unique_ptr<wxFSFile> popupFile(fs.OpenFile(m_book + "#zip:popups/" + file));
    if (!popupFile || !popupFile->GetStream())
        return 0;
    wxStringOutputStream bytes(nullptr, wxConvUTF8);
    popupFile->GetStream()->Read(bytes);
    const std::string text = FindPopupTopic(bytes.GetString().utf8_string(), request->topic);
    if (text.empty())
        return 0;
    if (m_popup)
        m_popup->Close();
    m_popupText = wxString::FromUTF8(text);
    wxWindow* parent = caller ? caller : wxTheApp->GetTopWindow();
    // The popup clears the pointer when it closes.
    m_popup = new HelpPopup(parent, m_popupText, kPopupWidth, &m_popup);
    m_popup->ShowAt(request->point);
    return reinterpret_cast<intptr_t>(m_popup);
}

wxWindow* CHtmlHelpLoader::GetHelpWindow() const
{
    if (!m_lastShown)
        return nullptr;
    if (m_lastShown->GetDialog())
        return m_lastShown->GetDialog();
    return m_lastShown->GetFrame();
}

wxString CHtmlHelpLoader::GetOpenedPage() const
{
    if (!m_lastShown || !m_lastShown->GetHelpWindow() || !m_lastShown->GetHelpWindow()->GetHtmlWindow())
        return wxString();
    return m_lastShown->GetHelpWindow()->GetHtmlWindow()->GetOpenedPage();
}

void CHtmlHelpLoader::Close()
{
    if (m_popup)
        m_popup->Close();
    for (wxHtmlHelpController* viewer : {m_viewer.get(), m_modalViewer.get()})
        if (viewer)
            viewer->Quit();
}

CHtmlHelpLoader& ProgramHelp()
{
    if (!g_program) {
        const std::string prog = platform::GetProgramFolder();
        g_program = std::make_unique<CHtmlHelpLoader>(
            std::vector<std::string>{prog, prog + "../share/arbolite/"});
    }
    return *g_program;
}

void EndProgramHelp()
{
    g_program.reset();
}

intptr_t HtmlHelpProxy(wxWindow* caller, const wxString& file, unsigned command, intptr_t data)
{
    return ProgramHelp().Call(caller, file, command, data);
}

} // namespace help
