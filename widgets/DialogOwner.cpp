#include "widgets/DialogOwner.h"

#include <wx/app.h>
#include <wx/dialog.h>

namespace ui {

wxWindow* DialogOwner()
{
    // Top-level windows are listed as they were made: a dialog opened from
    // another comes after it.
    for (auto it = wxTopLevelWindows.rbegin(); it != wxTopLevelWindows.rend(); ++it) {
        // Frames are listed too: dynamic_cast, where wxDynamicCast casts before it checks.
        auto* dialog = dynamic_cast<wxDialog*>(*it);
        if (dialog && dialog->IsModal() && dialog->IsShown())
            return dialog;
    }
    return wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
}

} // namespace ui
