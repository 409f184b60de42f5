#pragma once
// Edits one LDAP control: its OID, its value (any bytes, in a hex editor) and
// its criticality. The slot holds the control to change, or nothing for a
// new one; on OK it holds the edited control.

#include <memory>
#include <string>

#include <wx/dialog.h>

#include "ldap/LDAPControl.h"

class CDataExchange;
class CHexEdit;

class CControlEditorDlg : public wxDialog {
public:
    enum { IDD = 250, kIdcHexEdit = 1206, kIdcOid = 1081, kIdcCritical = 1122 };

    CControlEditorDlg(std::unique_ptr<arbldap::LDAPControl>& slot, wxWindow* parent);

    // wxID_OK or wxID_CANCEL.
    int DoModal();

    CHexEdit* GetHexEdit() const { return m_hexEdit; }
    // The OK button's work: false (the dialog stays) when the OID is refused.
    bool OnOK();

private:
    void DoDataExchange(CDataExchange* pDX);
    void OnOkButton(wxCommandEvent& event);

    std::unique_ptr<arbldap::LDAPControl>& m_slot;
    CHexEdit* m_hexEdit = nullptr;
    std::string m_oid;
    int m_critical = 0;
};
