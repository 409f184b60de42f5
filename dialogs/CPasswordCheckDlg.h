#pragma once
// Checks a typed password against the password manager's hashed value in
// the manager's current scheme and shows the verdict; OK checks, the dialog
// closes only through Cancel.

#include <string>

#include <wx/dialog.h>

class CPasswordManagerDlg;
class wxStaticText;
class wxTextCtrl;

class CPasswordCheckDlg : public wxDialog {
public:
    CPasswordCheckDlg(const CPasswordManagerDlg& manager, wxWindow* parent);

    wxTextCtrl* GetPasswordControl() const { return m_password; }
    wxStaticText* GetVerdictControl() const { return m_verdict; }
    // The string id of a scheme's name (the caption's second part).
    static unsigned SchemeNameId(int scheme);

private:
    void OnCheck();
    void OnContextMenu(wxContextMenuEvent& event);

    const CPasswordManagerDlg& m_manager;
    wxTextCtrl* m_password = nullptr;
    wxStaticText* m_verdict = nullptr;
};
