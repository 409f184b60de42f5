#include "widgets/DialogHelp.h"

#include <map>

#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/cshelp.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/toplevel.h>

#include "widgets/HelpFunctions.h"
#include "widgets/HtmlHelpProxy.h"

namespace {

struct WindowHelp {
    uint32_t context = 0;
    const char* popupFile = nullptr;
    const HelpIdPair* table = nullptr;
    size_t tableBytes = 0;
};

std::map<const wxWindow*, WindowHelp>& Registry()
{
    static std::map<const wxWindow*, WindowHelp> registry;
    return registry;
}

const WindowHelp* Find(const wxWindow* window)
{
    auto it = Registry().find(window);
    return it == Registry().end() ? nullptr : &it->second;
}

// The id a help table names a window by: OK and Cancel as 1 and 2.
int HelpIdOf(const wxWindow* w)
{
    switch (w->GetId()) {
    case wxID_OK:
        return 1;
    case wxID_CANCEL:
        return 2;
    default:
        return w->GetId();
    }
}

// The topic of a popup file for a click on control: the control's, else
// that of the first of its parents (up to the registered window) to have
// one. True when a popup was shown.
bool ShowControlPopup(wxWindow* registered, const WindowHelp& help, wxWindow* control, const wxPoint& point)
{
    for (wxWindow* w = control; w; w = w->GetParent()) {
        const int id = HelpIdOf(w);
        uint32_t topic = 0;
        if (id > 0)
            topic = help.table ? LookUpHelpId(help.table, help.tableBytes, static_cast<uint32_t>(id))
                               : static_cast<uint32_t>(id);
        if (topic) {
            help::HelpPopupRequest request;
            request.topic = topic;
            request.point = point;
            if (help::HtmlHelpProxy(registered, wxString::FromUTF8(help.popupFile), help::kDisplayTextPopup,
                                    reinterpret_cast<intptr_t>(&request)))
                return true;
        }
        if (w == registered || w->IsTopLevel())
            break;
    }
    return false;
}

// Beside the first of OK, Cancel and Close: first in its sizer, or, in a
// dialog laid out by positions, just left of it (a resizable dialog then
// anchors wxID_CONTEXT_HELP with its buttons).
void AddContextHelpButton(wxWindow* window)
{
    if (!window->IsTopLevel() || window->FindWindow(wxID_CONTEXT_HELP))
        return;
    wxWindow* anchor = nullptr;
    for (int id : {wxID_OK, wxID_CANCEL, wxID_CLOSE})
        if ((anchor = window->FindWindow(id)))
            break;
    if (!anchor)
        return;  // no buttons: Shift+F1 alone
    auto* button = new wxContextHelpButton(anchor->GetParent(), wxID_CONTEXT_HELP);
    if (wxSizer* sizer = anchor->GetContainingSizer()) {
        sizer->Insert(0, button, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
        window->Layout();
        return;
    }
    const wxRect r = anchor->GetRect();
    const wxSize size = button->GetSize();
    button->Move(r.x - size.x - 8, r.y + (r.height - size.y) / 2);
}

void OnCharHook(wxWindow* window, wxKeyEvent& event)
{
    const WindowHelp* help = Find(window);
    const int modifiers = event.GetModifiers();
    if (!help || event.GetKeyCode() != WXK_F1 || (modifiers != wxMOD_NONE && modifiers != wxMOD_SHIFT)) {
        event.Skip();
        return;
    }
    if (modifiers == wxMOD_NONE) {
        ShowHelpContext(window, help->context);
        return;
    }
    if (!help->popupFile) {
        event.Skip();  // an outer window may have topics
        return;
    }
    wxContextHelp whatsThis(wxGetTopLevelParent(window), true);
}

void OnHelp(wxWindow* window, wxHelpEvent& event)
{
    const WindowHelp* help = Find(window);
    if (!help || event.GetOrigin() != wxHelpEvent::Origin_HelpButton) {
        // Not a click of "What's This?": the window's page.
        if (help)
            ShowHelpContext(window, help->context);
        else
            event.Skip();
        return;
    }
    auto* control = dynamic_cast<wxWindow*>(event.GetEventObject());
    if (!help->popupFile || !ShowControlPopup(window, *help, control ? control : window, event.GetPosition()))
        event.Skip();
}

} // namespace

void GiveDialogHelp(wxWindow* window, uint32_t context, const char* popupFile, const HelpIdPair* popupTable,
                    size_t popupTableBytes)
{
    if (!window)
        return;
    auto& registry = Registry();
    const bool first = registry.find(window) == registry.end();
    registry[window] = WindowHelp{context, popupFile, popupTable, popupTableBytes};
    if (popupFile)
        AddContextHelpButton(window);
    if (!first)
        return;
    window->Bind(wxEVT_CHAR_HOOK, [window](wxKeyEvent& event) { OnCharHook(window, event); });
    window->Bind(wxEVT_HELP, [window](wxHelpEvent& event) { OnHelp(window, event); });
    window->Bind(wxEVT_DESTROY, [window](wxWindowDestroyEvent& event) {
        if (event.GetEventObject() == window)
            Registry().erase(window);
        event.Skip();
    });
}

void GiveSheetHelp(wxWindow* sheet, wxBookCtrlBase* book)
{
    if (!sheet || !book)
        return;
    // The key comes here only from outside the pages: a page with help
    // answers F1 inside it first.
    sheet->Bind(wxEVT_CHAR_HOOK, [book](wxKeyEvent& event) {
        const WindowHelp* help = nullptr;
        if (event.GetKeyCode() == WXK_F1 && event.GetModifiers() == wxMOD_NONE)
            if (wxWindow* page = book->GetCurrentPage())
                if ((help = Find(page)))
                    ShowHelpContext(page, help->context);
        if (!help)
            event.Skip();
    });
}

uint32_t GetDialogHelpContext(const wxWindow* window)
{
    const WindowHelp* help = Find(window);
    return help ? help->context : 0;
}
