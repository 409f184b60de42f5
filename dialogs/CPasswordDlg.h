#pragma once
// Asks for the password of a server profile: the password field, the
// keyboard's input language beside it, and whether to keep the password in
// the profile. Modal; after OK the caller reads the password and the box.

#include <string>

#include <wx/dialog.h>

class CInputLanguageWnd;
class wxCheckBox;
class wxIdleEvent;
class wxTextCtrl;

class CPasswordDlg : public wxDialog {
public:
    explicit CPasswordDlg(wxWindow* parent = nullptr);

    const std::wstring& GetPassword() const { return m_password; }
    bool IsSavePassword() const { return m_savePassword; }

    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;

    wxTextCtrl* GetPasswordControl() const { return m_passwordControl; }
    wxCheckBox* GetSaveControl() const { return m_saveControl; }
    CInputLanguageWnd* GetLanguageIndicator() const { return m_indicator; }

private:
    void CreateIndicator();
    void OnIdle(wxIdleEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);

    std::wstring m_password;
    bool m_savePassword = false;
    wxTextCtrl* m_passwordControl = nullptr;
    wxCheckBox* m_saveControl = nullptr;
    CInputLanguageWnd* m_indicator = nullptr;
};
