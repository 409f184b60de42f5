#pragma once
// The sheet of a node's properties: the program's property sheet as it is.

#include "widgets/CPropertySheet.h"

class CCommonPropertySheet : public CPropertySheet {
public:
    CCommonPropertySheet(wxWindow* parent, const wxString& caption) : CPropertySheet(parent, caption) {}
};
