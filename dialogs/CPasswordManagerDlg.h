#pragma once
// The password manager: makes the stored form of a password value in one
// of five schemes from a password typed twice, or keeps a hashed value as
// it is, and opens the check of a password against the hashed value.
// Modal; after OK the caller reads GetResult (empty after Cancel).

#include <array>
#include <string>

#include <wx/dialog.h>

#include "dialogs/CPasswordCheckDlg.h"

class wxButton;
class wxCheckBox;
class wxRadioButton;
class wxStaticText;
class wxTextCtrl;

class CPasswordManagerDlg : public wxDialog, public PasswordCheckSource {
public:
    // value: the present value, clear or hashed; displayName (UTF-8) goes
    // into the caption.
    CPasswordManagerDlg(const std::wstring& value, const std::string& displayName, wxWindow* parent = nullptr);

    // The value to store, set by OK.
    const std::wstring& GetResult() const { return m_result; }
    // The scheme the hashed value is in: read from the value in
    // existing-value mode, else the checked radio button's; -1 for none.
    int GetCurrentScheme() const override;
    // The text of the hashed value.
    std::wstring GetHashedValue() const override;

    wxTextCtrl* GetPasswordControl() const { return m_password; }
    wxTextCtrl* GetConfirmControl() const { return m_confirm; }
    wxTextCtrl* GetHashedControl() const { return m_hashed; }
    wxCheckBox* GetHashControl() const { return m_hash; }
    wxCheckBox* GetExistingControl() const { return m_existing; }
    // The scheme's radio button, by scheme 0 to 4.
    wxRadioButton* GetSchemeControl(int scheme) const;
    wxButton* GetCheckButton() const { return m_check; }

private:
    void Initialise(const std::wstring& value, const std::string& displayName);
    void SetHashMode(bool on);
    void SetExistingMode(bool on);
    void Recompute();
    void OnCheck();
    void OnOk();
    void OnContextMenu(wxContextMenuEvent& event);

    std::wstring m_result;
    wxTextCtrl* m_password = nullptr;
    wxTextCtrl* m_confirm = nullptr;
    wxTextCtrl* m_hashed = nullptr;
    wxCheckBox* m_hash = nullptr;
    wxCheckBox* m_existing = nullptr;
    wxStaticText* m_hashedLabel = nullptr;
    wxButton* m_check = nullptr;
    // By scheme index: SHA, SSHA, MD5, SMD5, CRYPT.
    std::array<wxRadioButton*, 5> m_schemes{};
};
