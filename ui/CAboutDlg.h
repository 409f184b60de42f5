#pragma once
// The about box: the program's name, version and build number.

#include <cstdint>

#include <wx/dialog.h>

class CAboutDlg : public wxDialog {
public:
    CAboutDlg(wxWindow* parent, uint32_t buildNumber);
};
