#include "dialogs/ProfileAdvancedSheet.h"

// The sheet has not landed yet: this is the one place that changes when it does.
bool HasAdvancedSheet()
{
    return false;
}

void RunAdvancedSheet(wxWindow*, CServerProfile&) {}
