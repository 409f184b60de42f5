#include "dialogs/CPasswordDlg.h"

#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "widgets/CInputLanguageWnd.h"
#include "widgets/DialogHelp.h"
#include "widgets/UiResources.h"

namespace {
// The keyboard language indicator answers for the field it stands in.
constexpr HelpIdPair kPopupTopics[] = {{1070, 1070}, {1150, 1150}, {1074, 1074}, {100, 1074}, {1, 1}, {2, 2}, {0, 0}};
constexpr unsigned kDialog = 216;
constexpr int kPasswordId = 1070;
constexpr int kSaveId = 1150;
constexpr int kPlaceholderId = 1074;
constexpr int kIndicatorId = 100;
} // namespace

CPasswordDlg::CPasswordDlg(wxWindow* parent)
{
    if (!ui::LoadDialogResource(this, parent, kDialog)) {
        wxDialog::Create(parent, wxID_ANY, ui::ResourceString(670));
        new wxTextCtrl(this, kPasswordId, wxString(), wxDefaultPosition, wxDefaultSize, wxTE_PASSWORD);
        new wxCheckBox(this, kSaveId, wxString());
    }
    m_passwordControl = dynamic_cast<wxTextCtrl*>(FindWindow(kPasswordId));
    m_saveControl = dynamic_cast<wxCheckBox*>(FindWindow(kSaveId));
    Bind(wxEVT_CONTEXT_MENU, &CPasswordDlg::OnContextMenu, this);
    Bind(wxEVT_IDLE, &CPasswordDlg::OnIdle, this);
    GiveDialogHelp(this, help::WindowHelpContext(kDialog), "PasswordDlg.txt", kPopupTopics, sizeof(kPopupTopics));
    Fit();
    CreateIndicator();
    if (m_passwordControl) m_passwordControl->SetFocus();
    CentreOnParent();
}

// The indicator takes the placeholder's place and rectangle.
void CPasswordDlg::CreateIndicator()
{
    wxWindow* placeholder = FindWindow(kPlaceholderId);
    wxRect rect = placeholder ? placeholder->GetRect() : wxRect();
    if (rect.IsEmpty() && m_passwordControl) {
        const wxRect field = m_passwordControl->GetRect();
        rect = wxRect(field.GetRight() + 4, field.y, field.height, field.height);
    }
    auto* indicator = new CInputLanguageWnd();
    if (!indicator->Create(placeholder ? placeholder->GetParent() : this, kIndicatorId, rect.GetPosition(),
                           rect.GetSize())) {
        delete indicator;
        return;
    }
    m_indicator = indicator;
    if (placeholder) {
        indicator->SetMinSize(rect.GetSize());
        if (wxSizer* sizer = placeholder->GetContainingSizer()) sizer->Replace(placeholder, indicator);
        placeholder->Destroy();
        Layout();
    }
}

// The keyboard layout may change at any time; after every burst of events
// the indicator looks again (and repaints only on a change).
void CPasswordDlg::OnIdle(wxIdleEvent& event)
{
    if (m_indicator) m_indicator->UpdateLanguage();
    event.Skip();
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
