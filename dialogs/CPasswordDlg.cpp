#include "dialogs/CPasswordDlg.h"

#include <wx/checkbox.h>
#include <wx/textctrl.h>

#include "widgets/UiResources.h"

namespace {
constexpr unsigned kDialog = 216;
constexpr int kPasswordId = 1070;
constexpr int kSaveId = 1150;
} // namespace

CPasswordDlg::CPasswordDlg(wxWindow* parent)
{
    if (!ui::LoadDialogResource(this, parent, kDialog)) {
        wxDialog::Create(parent, wxID_ANY, ui::ResourceString(670));
        new wxTextCtrl(this, kPasswordId, wxString(), wxDefaultPosition, wxDefaultSize, wxTE_PASSWORD);
        new wxCheckBox(this, kSaveId, wxString());
    }
    m_passwordControl = wxDynamicCast(FindWindow(kPasswordId), wxTextCtrl);
    m_saveControl = wxDynamicCast(FindWindow(kSaveId), wxCheckBox);
    Bind(wxEVT_CONTEXT_MENU, &CPasswordDlg::OnContextMenu, this);
    if (m_passwordControl) m_passwordControl->SetFocus();
    Fit();
    CentreOnParent();
}

bool CPasswordDlg::TransferDataToWindow()
{
    if (m_passwordControl) m_passwordControl->ChangeValue(wxString(m_password));
    if (m_saveControl) m_saveControl->SetValue(m_savePassword);
    return wxDialog::TransferDataToWindow();
}

bool CPasswordDlg::TransferDataFromWindow()
{
    if (m_passwordControl) m_password = m_passwordControl->GetValue().ToStdWstring();
    if (m_saveControl) m_savePassword = m_saveControl->GetValue();
    return wxDialog::TransferDataFromWindow();
}

void CPasswordDlg::OnContextMenu(wxContextMenuEvent&) {}
