#include "dialogs/CPasswordCheckDlg.h"

#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "dialogcore/PasswordHash.h"
#include "model/ports/ResourceText.h"
#include "model/values/PasswordScheme.h"
#include "widgets/DialogHelp.h"
#include "widgets/UiResources.h"

namespace {
constexpr HelpIdPair kPopupTopics[] = {{1070, 11}, {1163, 12}, {1, 13}, {2, 14}, {0, 0}};

constexpr unsigned kDialog = 351;
constexpr int kPasswordId = 1070;
constexpr int kVerdictId = 1163;

constexpr unsigned kStrMatch = 113;
constexpr unsigned kStrMismatch = 114;

} // namespace

unsigned CPasswordCheckDlg::SchemeNameId(int scheme)
{
    switch (scheme) {
    case kSchemeSHA: return 117;
    case kSchemeSSHA: return 696;
    case kSchemeMD5: return 126;
    case kSchemeSMD5: return 697;
    case kSchemeCrypt: return 163;
    default: return 167;
    }
}

CPasswordCheckDlg::CPasswordCheckDlg(const PasswordCheckSource& manager, wxWindow* parent) : m_manager(manager)
{
    if (!ui::LoadDialogResource(this, parent, kDialog)) {
        wxDialog::Create(parent, wxID_ANY, "Check Password");
        new wxTextCtrl(this, kPasswordId, wxString(), wxDefaultPosition, wxDefaultSize, wxTE_PASSWORD);
        new wxStaticText(this, kVerdictId, wxString());
    }
    m_password = dynamic_cast<wxTextCtrl*>(FindWindow(kPasswordId));
    m_verdict = dynamic_cast<wxStaticText*>(FindWindow(kVerdictId));
    SetTitle(GetTitle() + " [" + wxString(LoadResourceText(SchemeNameId(manager.GetCurrentScheme()))) + "]");
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnCheck(); }, wxID_OK);
    if (m_password)
        m_password->Bind(wxEVT_TEXT, [this](wxCommandEvent&) {
            if (m_verdict) m_verdict->SetLabel(wxString());
        });
    Bind(wxEVT_CONTEXT_MENU, &CPasswordCheckDlg::OnContextMenu, this);
    GiveDialogHelp(this, help::WindowHelpContext(kDialog), "PasswordManager.txt", kPopupTopics, sizeof(kPopupTopics));
    Fit();
    if (m_password) m_password->SetFocus();
    CentreOnParent();
}

void CPasswordCheckDlg::OnCheck()
{
    if (!m_password || !m_verdict) return;
    const bool match = CheckPasswordHash(m_password->GetValue().ToStdWstring(), m_manager.GetCurrentScheme(),
                                         m_manager.GetHashedValue());
    m_verdict->SetLabel(wxString(LoadResourceText(match ? kStrMatch : kStrMismatch)));
    Layout();
}

void CPasswordCheckDlg::OnContextMenu(wxContextMenuEvent&) {}
