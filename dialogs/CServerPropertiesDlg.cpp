#include "dialogs/CServerPropertiesDlg.h"

#include <wx/choice.h>
#include <wx/textctrl.h>

#include "base/Utf8.h"
#include "dialogs/EditKeys.h"
#include "dialogcore/ServerSettingsRules.h"
#include "model/entries/CServerObject.h"
#include "platform/ControlPorts.h"
#include "platform/RegistryKey.h"
#include "platform/ShellPorts.h"
#include "schema/LDAPSchema.h"

namespace {

constexpr uint32_t kAutoCompleteOptions = 0x23;
constexpr uint32_t kMbIconExclamation = 0x30;
const wchar_t* const kNoHost = L"Please specify a host!";
const wchar_t* const kPortRange = L"Please enter an integer between 0 and 65535.";

} // namespace

CServerPropertiesDlg::CServerPropertiesDlg(wxWindow* book, CServerObject* node) : m_node(node)
{
    CreatePage(book, kDlgServerProperties);
}

CServerPropertiesDlg::~CServerPropertiesDlg()
{
    m_recentHosts.Unbind();
    m_recentDNs.Unbind();
}

bool CServerPropertiesDlg::OnInitDialog()
{
    m_name = dynamic_cast<wxTextCtrl*>(FindWindow(kIdcProfileName));
    m_host = dynamic_cast<wxTextCtrl*>(FindWindow(kIdcHost));
    m_port = dynamic_cast<wxTextCtrl*>(FindWindow(kIdcPort));
    m_baseDN = dynamic_cast<wxTextCtrl*>(FindWindow(kIdcBaseDN));
    m_version = dynamic_cast<wxChoice*>(FindWindow(kIdcVersion));
    if (!m_name || !m_host || !m_port || !m_baseDN || !m_version)
        return false;

    RefPtr<CLDAPSchema> schema = m_node->GetSchema();
    if (auto* kind = dynamic_cast<wxTextCtrl*>(FindWindow(kIdcServerKind)))
        kind->ChangeValue(schema ? wxString::FromUTF8(schema->GetServerKindName()) : wxString("N/A"));
    m_name->ChangeValue(wxString(m_node->GetProfileName()));
    m_host->ChangeValue(wxString(m_node->GetHostName()));
    m_port->ChangeValue(wxString::Format("%d", m_node->GetPort()));
    m_baseDN->ChangeValue(wxString::FromUTF8(m_node->GetBaseDN().GetText()));
    m_version->SetSelection(m_node->GetVersion() == 2 ? 0 : 1);
    if (auto* url = dynamic_cast<wxTextCtrl*>(FindWindow(kIdcServerURL)))
        url->ChangeValue(wxString(m_node->GetURL()));

    for (wxTextCtrl* edit : {m_name, m_host, m_port, m_baseDN})
        edit->Bind(wxEVT_TEXT, &CServerPropertiesDlg::OnChanged, this);
    m_version->Bind(wxEVT_CHOICE, &CServerPropertiesDlg::OnChanged, this);

    KeepReturnInEdit(m_host);
    KeepReturnInEdit(m_baseDN);
    m_recentHosts.Open(platform::RegRoot::CurrentUser, g_strRecentHostsKey);
    m_recentHosts.Bind(m_host, kAutoCompleteOptions);
    m_recentDNs.Open(platform::RegRoot::CurrentUser, g_strRecentDNsKey);
    m_recentDNs.Bind(m_baseDN, kAutoCompleteOptions);
    return true;
}

void CServerPropertiesDlg::OnChanged(wxCommandEvent&)
{
    SetModified(true);
}

bool CServerPropertiesDlg::CheckPort()
{
    int port = 0;
    if (ParsePortText(m_port->GetValue().ToStdWstring(), port))
        return true;
    platform::ShowMessageBox(kPortRange, platform::kMbOk | kMbIconExclamation);
    m_port->SetFocus();
    m_port->SelectAll();
    return false;
}

bool CServerPropertiesDlg::OnSetActive()
{
    // The settings page may have moved the port with its secure box.
    if (m_port) {
        bool modified = IsModified();
        m_port->ChangeValue(wxString::Format("%d", m_node->GetPort()));
        SetModified(modified);
        CheckPort();
    }
    return CPropertyPage::OnSetActive();
}

bool CServerPropertiesDlg::OnKillActive()
{
    return !m_port || CheckPort();
}

bool CServerPropertiesDlg::CanApply() const
{
    return !m_host || !m_host->GetValue().empty();
}

void CServerPropertiesDlg::ReportRefusal()
{
    platform::ShowMessageBox(kNoHost, platform::kMbOk);
    m_host->SetFocus();
}

bool CServerPropertiesDlg::OnApply()
{
    if (!m_name)
        return CPropertyPage::OnApply();
    // Refused before anything is stored: a cancelled sheet then leaves the
    // profile and the tree as they were.
    if (!CanApply()) {
        ReportRefusal();
        return false;
    }
    std::wstring name = m_name->GetValue().ToStdWstring();
    m_node->SetProfileName(name);
    if (std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl(); tree && m_node->GetTreeItem())
        tree->SetItemText(m_node->GetTreeItem(), name);

    std::wstring host = m_host->GetValue().ToStdWstring();
    m_node->SetHostName(host);
    m_recentHosts.AddString(host);
    m_node->SetPort(ParseDecimalOrZero(m_port->GetValue().ToStdWstring()));
    std::wstring baseDN = m_baseDN->GetValue().ToStdWstring();
    m_node->SetBaseDN(arbldap::LDAPDN(WideToUtf8Text(baseDN)));
    m_recentDNs.AddString(baseDN);
    m_node->SetVersion(m_version->GetSelection() == 0 ? 2 : 3);
    m_node->SaveProfile();
    return CPropertyPage::OnApply();
}
