#pragma once
// The help viewer, found on first use: the help book "arbolite.htb" (a zip of
// the help's pages, its contents, index and popup files) beside the program
// or in ../share/arbolite/, shown by the toolkit's HTML help controller.
// When the book is missing or cannot be read, every call returns 0 for the
// rest of the run, and the disk is not looked at again.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <wx/gdicmn.h>
#include <wx/string.h>
#include <wx/weakref.h>

class wxHtmlHelpController;
class wxWindow;

namespace help {

class HelpPopup;

// The commands, with the numbers the help calls have always had.
constexpr unsigned kDisplayTopic = 0x0000;      // data: 0; the book's welcome page
constexpr unsigned kDisplayTextPopup = 0x000E;  // data: a HelpPopupRequest*
constexpr unsigned kHelpContext = 0x000F;       // data: the context number

extern const char* const kHelpBookName;  // "arbolite.htb"

// A text popup: topic n of a popup file of the book, at a screen point.
struct HelpPopupRequest {
    uint32_t topic = 0;
    wxPoint point;
};

class CHtmlHelpLoader {
public:
    // Looks for the book in the folders given (each ending in '/'), in order.
    explicit CHtmlHelpLoader(std::vector<std::string> folders);
    ~CHtmlHelpLoader();
    CHtmlHelpLoader(const CHtmlHelpLoader&) = delete;
    CHtmlHelpLoader& operator=(const CHtmlHelpLoader&) = delete;

    // The call: for kDisplayTopic and kHelpContext the help window shown
    // (a context the book lacks shows the welcome page; asked from a modal
    // dialog, the help runs modally over it and has ended on return: 1), for
    // kDisplayTextPopup the popup window of topic data->topic of the popup
    // file named by file (0 when the file has no such topic). 0 when the
    // book is unavailable.
    intptr_t Call(wxWindow* caller, const wxString& file, unsigned command, intptr_t data);

    // The help window last shown and its page, for whoever needs to know.
    wxWindow* GetHelpWindow() const;
    wxString GetOpenedPage() const;
    // The popup shown now (null when none) and its text.
    HelpPopup* GetPopup() const { return m_popup; }
    const wxString& GetPopupText() const { return m_popupText; }
    // Closes the help window and the popup (at the end of the run).
    void Close();

private:
    bool Load();
    wxHtmlHelpController* ControllerFor(wxWindow* caller);
    intptr_t ShowContext(wxWindow* caller, unsigned command, intptr_t context);
    intptr_t ShowPopup(wxWindow* caller, const wxString& file, const HelpPopupRequest* request);

    std::vector<std::string> m_folders;
    enum class State { NotLoaded, Loaded, Failed } m_state = State::NotLoaded;
    wxString m_book;
    // One viewer beside the windows, one modal for help asked from a modal
    // dialog (nothing else takes input while such a dialog runs).
    std::unique_ptr<wxHtmlHelpController> m_viewer;
    std::unique_ptr<wxHtmlHelpController> m_modalViewer;
    wxHtmlHelpController* m_lastShown = nullptr;
    HelpPopup* m_popup = nullptr;  // cleared by the popup when it closes
    wxString m_popupText;
};

// The program's loader: the book beside the program or in ../share/arbolite/,
// made on first use; ended by EndProgramHelp, at the latest when the toolkit ends.
CHtmlHelpLoader& ProgramHelp();
// Ends the program's loader and its windows (at the end of the run).
void EndProgramHelp();

// The program's help call (the loader above).
intptr_t HtmlHelpProxy(wxWindow* caller, const wxString& file, unsigned command, intptr_t data);

} // namespace help
