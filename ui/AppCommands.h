#pragma once
// The application's own commands: the about box, the tip of the day, the
// maker's web site and the three support mails. Start-up binds them to the
// application object, so every window's menus reach them. The version is
// the running program's (GetAppVersion) when they run.

#include <wx/event.h>

#include "shellcore/CFeedbackMail.h"

namespace ui {

// The maker's web site.
extern const char* const kWebSiteUrl;

void BindAppCommands(wxEvtHandler& target);

} // namespace ui
