#pragma once
// The caption of a page's dialog resource: the <title> of "dialog<id>".

#include <wx/string.h>

// Empty when the resource or its title is missing.
wxString DialogTitle(unsigned dialogId);
