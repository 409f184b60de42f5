#include "dialogs/EditKeys.h"

#include <wx/textctrl.h>

void KeepReturnInEdit(wxTextCtrl* edit)
{
    if (edit)
        edit->Bind(wxEVT_TEXT_ENTER, [](wxCommandEvent&) {});
}
