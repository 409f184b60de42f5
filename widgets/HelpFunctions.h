#pragma once
// Showing help: a page of the help book by context number, the page of a
// window by its id in a context table, and a popup topic for a control.

#include <cstddef>
#include <cstdint>

#include <wx/gdicmn.h>

#include "shellcore/HelpTables.h"

class wxWindow;

// What a help request names: the control, its window and the screen point.
struct HelpRequest {
    int controlId = 0;
    wxWindow* window = nullptr;
    wxPoint point;
};

// Opens the help at the context; 0 is passed on (the welcome page). The
// help window, or 0 when the book is unavailable.
intptr_t ShowHelpContext(wxWindow* owner, uint32_t context);
// The context paired with the id in the table (0 when none), then ShowHelpContext.
intptr_t ShowHelpForId(wxWindow* owner, uint32_t id, const HelpIdPair* table, size_t tableBytes);
// Topic 0 is looked up for the request's control in the table; still 0: no
// popup, false. Else the popup of that topic of the popup file is shown with
// the command given (the text-popup command), true.
bool ShowPopupHelp(const HelpRequest& request, const char* topicFile, const HelpIdPair* table, size_t tableBytes,
                   uint32_t topic, unsigned command);
