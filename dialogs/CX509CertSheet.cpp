#include "dialogs/CX509CertSheet.h"

CX509CertSheet::CX509CertSheet(const wxString& caption, wxWindow* parent, int startPage)
    : CCommonPropertySheet(parent, caption, startPage, SheetButtons::OkCancel)
{
}
