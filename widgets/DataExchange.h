#pragma once
// Data exchange between a dialog's controls and its fields, in both
// directions: loading fills the controls, saving reads them back and
// validates. A failed validation shows its message, puts the focus back on
// the control and marks the exchange failed (the dialog then stays open).

#include <string>

class wxWindow;

class CDataExchange {
public:
    CDataExchange(wxWindow* dialog, bool saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    // The control with that id inside the dialog (null when missing); it is
    // the one a later failure focuses.
    wxWindow* PrepareCtrl(int id);
    // Marks the exchange failed and focuses the last prepared control.
    void Fail();
    bool Failed() const { return m_failed; }

    wxWindow* const m_pDlgWnd;
    const bool m_bSaveAndValidate;

private:
    wxWindow* m_lastControl = nullptr;
    bool m_failed = false;
};

// A text control and a UTF-8 string.
void DDX_TextUtf8(CDataExchange* pDX, int id, std::string& value);
// A check box and 0 or 1.
void DDX_Check(CDataExchange* pDX, int id, int& value);
// When saving: every character of the value must be one of the allowed
// ones; else string 702 followed by the allowed characters comes up in an
// exclamation box and the exchange fails.
void DDV_AllowedChars(CDataExchange* pDX, const std::string& value, const std::string& allowed);
