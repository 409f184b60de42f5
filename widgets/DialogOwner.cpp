#include "widgets/DialogOwner.h"

#include <wx/app.h>
#include <wx/dialog.h>

namespace ui {

wxWindow* DialogOwner()
{
    // Top-level windows are listed as they were made: a dialog opened from
    // another comes after it.
    for (auto it = wxTopLevelWindows.rbegin(); it != wxTopLevelWindows.rend(); ++it) {
        auto* dialog = wxDynamicCast(*it, wxDialog);
        if (dialog && dialog->IsModal() && dialog->IsShown())
            return dialog;
    }
    return wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
}

} // namespace ui
