#pragma once
// The certificate viewer: a sheet of certificate pages with OK and Cancel
// (nothing to apply).

#include "dialogs/CCommonPropertySheet.h"

class CX509CertSheet : public CCommonPropertySheet {
public:
    CX509CertSheet(const wxString& caption, wxWindow* parent, int startPage = 0);
};
