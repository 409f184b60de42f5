#pragma once
// The application's own commands: the about box, the tip of the day, the
// maker's web site and the three support mails. Start-up binds them to the
// application object, so every window's menus reach them.

#include <wx/event.h>

#include "shellcore/CFeedbackMail.h"

namespace ui {

// The maker's web site.
extern const char* const kWebSiteUrl;

void BindAppCommands(wxEvtHandler& target, ProgramVersion version);

} // namespace ui
