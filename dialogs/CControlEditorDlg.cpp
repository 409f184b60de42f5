#include "dialogs/CControlEditorDlg.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "dialogcore/ControlOid.h"
#include "model/ports/ResourceText.h"
#include "platform/ShellPorts.h"
#include "widgets/CHexEdit.h"
#include "widgets/DataExchange.h"
#include "widgets/DialogHelp.h"
#include "widgets/UiResources.h"

namespace {
constexpr unsigned kStrBadOid = 709;
constexpr uint32_t kMbIconExclamation = 0x30;
constexpr size_t kBytesPerRow = 8;
}

CControlEditorDlg::CControlEditorDlg(std::unique_ptr<arbldap::LDAPControl>& slot, wxWindow* parent) : m_slot(slot)
{
    if (m_slot) {
        m_oid = m_slot->GetOID();
        m_critical = m_slot->IsCritical() ? 1 : 0;
    }
    if (ui::LoadDialogResource(this, parent, IDD)) {
        m_hexEdit = new CHexEdit(this, kIdcHexEdit, kBytesPerRow);
        wxXmlResource::Get()->AttachUnknownControl(wxString::Format("%d", static_cast<int>(kIdcHexEdit)), m_hexEdit,
                                                   this);
    } else {
        // Without the resource library: the same fields, laid out plainly.
        Create(parent, wxID_ANY, "LDAP Control");
        auto* column = new wxBoxSizer(wxVERTICAL);
        column->Add(new wxTextCtrl(this, kIdcOid), 0, wxALL | wxEXPAND, 8);
        m_hexEdit = new CHexEdit(this, kIdcHexEdit, kBytesPerRow);
        column->Add(m_hexEdit, 1, wxALL | wxEXPAND, 8);
        column->Add(new wxCheckBox(this, kIdcCritical, "Critical"), 0, wxALL, 8);
        column->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxALL | wxEXPAND, 8);
        SetSizer(column);
    }
    m_hexEdit->SetData(m_slot ? m_slot->GetValue() : std::string());
    Bind(wxEVT_BUTTON, &CControlEditorDlg::OnOkButton, this, wxID_OK);
    CDataExchange dx(this, false);
    DoDataExchange(&dx);
    GiveDialogHelp(this, help::WindowHelpContext(IDD), "ControlEditor.txt");
    Fit();
    SetMinSize(GetSize());
    CentreOnParent();
}

int CControlEditorDlg::DoModal() { return ShowModal(); }

void CControlEditorDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_TextUtf8(pDX, kIdcOid, m_oid);
    DDX_Check(pDX, kIdcCritical, m_critical);
    DDV_AllowedChars(pDX, m_oid, dialogcore::kOidCharacters);
    // Digits and dots alone still let "", "." or "1..2" through: none of
    // those names a control, and the server would refuse every request.
    if (pDX->m_bSaveAndValidate && !pDX->Failed() && dialogcore::CheckOid(m_oid) != dialogcore::OidCheck::Ok) {
        platform::ShowMessageBox(LoadResourceText(kStrBadOid), platform::kMbOk | kMbIconExclamation);
        pDX->Fail();
    }
}

bool CControlEditorDlg::OnOK()
{
    CDataExchange dx(this, true);
    DoDataExchange(&dx);
    if (dx.Failed()) return false;
    const std::string value = m_hexEdit->GetData();
    const bool critical = m_critical == 1;
    if (m_slot)
        *m_slot = arbldap::LDAPControl(m_oid, critical, value, m_slot->IsEnabled());
    else
        m_slot = std::make_unique<arbldap::LDAPControl>(m_oid, critical, value, true);
    return true;
}

void CControlEditorDlg::OnOkButton(wxCommandEvent&)
{
    if (OnOK()) EndModal(wxID_OK);
}
