#include "dialogs/CProfileEditorUserDlg.h"

#include <wx/checkbox.h>
#include <wx/textctrl.h>

#include "base/Utf8.h"
#include "dialogcore/ProfileWizardRules.h"
#include "shellcore/CommandTextMap.h"
#include "dialogs/CProfileEditorWizard.h"
#include "model/profiles/CServerProfile.h"

namespace {

constexpr uint32_t kCompletionOptions = 0x23;

}  // namespace

CProfileEditorUserDlg::CProfileEditorUserDlg(CProfileEditorWizard& wizard)
    : CProfileWizardPage(wizard, kDialog), m_recentDNs(platform::RegRoot::CurrentUser, g_strRecentDNsKey)
{
    m_userDN = Control<wxTextCtrl>(kIdcUserDN);
    m_password = Control<wxTextCtrl>(kIdcPassword);
    m_savePassword = Control<wxCheckBox>(kIdcSavePassword);
    if (!m_userDN || !m_password || !m_savePassword)
        return;
    const CServerProfile& profile = Profile();
    m_userDN->ChangeValue(wxString(Utf8ToWideString(profile.GetUserDN().GetText())));
    m_password->ChangeValue(wxString(Utf8ToWideString(profile.GetPassword())));
    m_savePassword->SetValue(profile.GetSavePassword() != 0);
    m_recentDNs.Bind(static_cast<wxWindow*>(m_userDN), kCompletionOptions);
    m_userDN->Bind(wxEVT_TEXT_ENTER, [](wxCommandEvent&) {});
}

CProfileEditorUserDlg::~CProfileEditorUserDlg()
{
    m_recentDNs.Unbind();
}

void CProfileEditorUserDlg::OnSetActive()
{
    Wizard().SetWizardButtons(kWizBack | kWizNext | kWizFinish);
    if (m_userDN)
        m_userDN->SetFocus();
}

void CProfileEditorUserDlg::Store()
{
    if (!m_userDN)
        return;
    CServerProfile& profile = Profile();
    profile.SetPassword(WideToUtf8Text(m_password->GetValue().ToStdWstring()));
    profile.SetSavePassword(m_savePassword->GetValue() ? 1 : 0);
    profile.SetUserDN(arbldap::LDAPDN(WideToUtf8Text(m_userDN->GetValue().ToStdWstring())));
}

int CProfileEditorUserDlg::OnWizardNext()
{
    Store();
    return kNeighbour;
}

bool CProfileEditorUserDlg::OnWizardFinish()
{
    Store();
    return true;
}

void CProfileEditorUserDlg::RecordRecentItems()
{
    if (m_userDN)
        m_recentDNs.AddString(TrimWhiteSpace(m_userDN->GetValue().ToStdWstring()));
}
