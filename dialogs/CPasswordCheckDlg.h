#pragma once
// Checks a typed password against the password manager's hashed value in
// the manager's current scheme and shows the verdict; OK checks, the dialog
// closes only through Cancel.

#include <string>

#include <wx/dialog.h>

class wxStaticText;
class wxTextCtrl;

// What the check reads of the password manager, as it stands when checked.
class PasswordCheckSource {
public:
    virtual ~PasswordCheckSource() = default;
    virtual int GetCurrentScheme() const = 0;
    virtual std::wstring GetHashedValue() const = 0;
};

class CPasswordCheckDlg : public wxDialog {
public:
    CPasswordCheckDlg(const PasswordCheckSource& manager, wxWindow* parent);

    wxTextCtrl* GetPasswordControl() const { return m_password; }
    wxStaticText* GetVerdictControl() const { return m_verdict; }
    // The string id of a scheme's name (the caption's second part).
    static unsigned SchemeNameId(int scheme);

private:
    void OnCheck();
    void OnContextMenu(wxContextMenuEvent& event);

    const PasswordCheckSource& m_manager;
    wxTextCtrl* m_password = nullptr;
    wxStaticText* m_verdict = nullptr;
};
