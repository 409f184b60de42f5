#include "dialogs/ServerCredentailsPropertiesDlg.h"

#include <wx/checkbox.h>
#include <wx/textctrl.h>

#include "base/Utf8.h"
#include "dialogs/EditKeys.h"
#include "model/entries/CServerObject.h"
#include "platform/RegistryKey.h"
#include "platform/ShellPorts.h"
#include "widgets/UiResources.h"

namespace {

constexpr uint32_t kAutoCompleteOptions = 0x23;
constexpr uint32_t kMbIconExclamation = 0x30;

} // namespace

ServerCredentailsPropertiesDlg::ServerCredentailsPropertiesDlg(wxWindow* book, CServerObject* node) : m_node(node)
{
    CreatePage(book, kDlgServerCredentials);
}

ServerCredentailsPropertiesDlg::~ServerCredentailsPropertiesDlg()
{
    m_recentDNs.Unbind();
}

bool ServerCredentailsPropertiesDlg::OnInitDialog()
{
    m_userDN = dynamic_cast<wxTextCtrl*>(FindWindow(kIdcUserDN));
    m_password = dynamic_cast<wxTextCtrl*>(FindWindow(kIdcPassword));
    m_passwordAgain = dynamic_cast<wxTextCtrl*>(FindWindow(kIdcPasswordAgain));
    m_savePassword = dynamic_cast<wxCheckBox*>(FindWindow(kIdcSavePassword));
    m_anonymous = dynamic_cast<wxCheckBox*>(FindWindow(kIdcAnonymousBind));
    if (!m_userDN || !m_password || !m_passwordAgain || !m_savePassword || !m_anonymous)
        return false;

    m_userDN->ChangeValue(wxString::FromUTF8(m_node->GetUserDN().GetText()));
    m_savePassword->SetValue(m_node->GetSavePassword() != 0);
    m_anonymous->SetValue(m_node->GetAnonymousBind() != 0);
    if (m_anonymous->GetValue())
        OnAnonymousSwitched();

    for (wxTextCtrl* edit : {m_userDN, m_password, m_passwordAgain})
        edit->Bind(wxEVT_TEXT, &ServerCredentailsPropertiesDlg::OnChanged, this);
    m_savePassword->Bind(wxEVT_CHECKBOX, &ServerCredentailsPropertiesDlg::OnChanged, this);
    m_anonymous->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { OnAnonymousSwitched(); });

    KeepReturnInEdit(m_userDN);
    m_recentDNs.Open(platform::RegRoot::CurrentUser, g_strRecentDNsKey);
    m_recentDNs.Bind(m_userDN, kAutoCompleteOptions);
    return true;
}

void ServerCredentailsPropertiesDlg::OnChanged(wxCommandEvent&)
{
    SetModified(true);
}

void ServerCredentailsPropertiesDlg::OnAnonymousSwitched()
{
    SetModified(true);
    bool anonymous = m_anonymous->GetValue();
    for (wxWindow* field : std::initializer_list<wxWindow*>{m_userDN, m_password, m_passwordAgain, m_savePassword})
        field->Enable(!anonymous);
    if (anonymous) {
        m_keptUserDN = m_userDN->GetValue().ToStdWstring();
        m_keptPassword = m_password->GetValue().ToStdWstring();
        m_keptPasswordAgain = m_passwordAgain->GetValue().ToStdWstring();
        m_keptSavePassword = m_savePassword->GetValue();
        m_userDN->ChangeValue(wxString());
        m_password->ChangeValue(wxString());
        m_passwordAgain->ChangeValue(wxString());
        m_savePassword->SetValue(false);
    } else {
        m_userDN->ChangeValue(wxString(m_keptUserDN));
        m_password->ChangeValue(wxString(m_keptPassword));
        m_passwordAgain->ChangeValue(wxString(m_keptPasswordAgain));
        m_savePassword->SetValue(m_keptSavePassword);
    }
}

bool ServerCredentailsPropertiesDlg::CanApply() const
{
    return !m_password || m_password->GetValue().empty() || m_password->GetValue() == m_passwordAgain->GetValue();
}

void ServerCredentailsPropertiesDlg::ReportRefusal()
{
    platform::ShowMessageBox(ui::ResourceString(kStrPasswordsDiffer).ToStdWstring(),
                             platform::kMbOk | kMbIconExclamation);
    m_password->SetFocus();
}

bool ServerCredentailsPropertiesDlg::OnApply()
{
    if (!m_userDN)
        return CPropertyPage::OnApply();
    // Refused before anything is stored, the user DN included.
    if (!CanApply()) {
        ReportRefusal();
        return false;
    }
    std::wstring userDN = m_userDN->GetValue().ToStdWstring();
    m_node->SetUserDN(arbldap::LDAPDN(WideToUtf8Text(userDN)));
    m_recentDNs.AddString(userDN);
    std::wstring password = m_password->GetValue().ToStdWstring();
    if (!password.empty())
        m_node->SetPassword(WideToUtf8Text(password));
    bool anonymous = m_anonymous->GetValue();
    if (!anonymous) {
        m_node->SetSavePassword(m_savePassword->GetValue() ? 1 : 0);
    } else {
        m_keptUserDN.clear();
        m_keptPassword.clear();
        m_keptPasswordAgain.clear();
        m_keptSavePassword = false;
        m_node->SetSavePassword(1);
    }
    m_node->SetAnonymousBind(anonymous ? 1 : 0);
    m_node->SaveProfile();
    return CPropertyPage::OnApply();
}
