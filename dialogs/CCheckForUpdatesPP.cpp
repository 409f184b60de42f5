#include "dialogs/CCheckForUpdatesPP.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/textctrl.h>

#include "model/profiles/CAppConfig.h"
#include "platform/ShellPorts.h"
#include "shellcore/OptionsRules.h"

namespace {

constexpr uint32_t kMbIconExclamation = 0x30;

} // namespace

CCheckForUpdatesPP::CCheckForUpdatesPP(wxWindow* book, CAppConfig& options) : m_options(options)
{
    CreatePage(book, IDD);
}

bool CCheckForUpdatesPP::OnInitDialog()
{
    m_automatic = Control<wxCheckBox>(kIdcAutomatic);
    m_interval = Control<wxChoice>(kIdcInterval);
    m_useProxy = Control<wxCheckBox>(kIdcUseProxy);
    m_host = Control<wxTextCtrl>(kIdcProxyHost);
    m_port = Control<wxTextCtrl>(kIdcProxyPort);
    if (!m_automatic || !m_interval || !m_useProxy || !m_host || !m_port) return false;

    m_automatic->SetValue(m_options.m_bCheckForUpdates != 0);
    m_interval->SetSelection(UpdateIntervalPosition(m_options.m_nUpdateIntervalDays));
    m_useProxy->SetValue(m_options.m_bUseProxy != 0);
    m_host->ChangeValue(wxString(m_options.m_strProxyHost));
    const int port = m_options.m_nProxyPort;
    m_port->ChangeValue(port ? wxString::Format("%d", port) : wxString());
    UpdateEnabling();

    auto changed = [this](wxCommandEvent&) {
        UpdateEnabling();
        SetModified(true);
    };
    m_automatic->Bind(wxEVT_CHECKBOX, changed);
    m_useProxy->Bind(wxEVT_CHECKBOX, changed);
    m_interval->Bind(wxEVT_CHOICE, changed);
    m_host->Bind(wxEVT_TEXT, changed);
    m_port->Bind(wxEVT_TEXT, changed);
    return true;
}

void CCheckForUpdatesPP::UpdateEnabling()
{
    m_interval->Enable(m_automatic->GetValue());
    m_host->Enable(m_useProxy->GetValue());
    m_port->Enable(m_useProxy->GetValue());
}

bool CCheckForUpdatesPP::ReadPort(int& port) const
{
    return ParseNumberInRange(m_port->GetValue().ToStdWstring(), kMinProxyPort, kMaxProxyPort, port);
}

bool CCheckForUpdatesPP::CanApply() const
{
    int port = 0;
    return !m_useProxy || !m_useProxy->GetValue() || ReadPort(port);
}

void CCheckForUpdatesPP::ReportRefusal()
{
    platform::ShowMessageBox(IntegerRangeMessage(kMinProxyPort, kMaxProxyPort), platform::kMbOk | kMbIconExclamation);
    m_port->SetFocus();
    m_port->SelectAll();
}

bool CCheckForUpdatesPP::OnApply()
{
    if (!m_automatic) return CPropertyPage::OnApply();
    if (!CanApply()) return false;
    int port = 0;
    if (!ReadPort(port)) port = 0;
    m_options.m_bCheckForUpdates = m_automatic->GetValue() ? 1 : 0;
    // No choice keeps the stored interval.
    m_options.m_nUpdateIntervalDays = UpdateIntervalDays(m_interval->GetSelection(), m_options.m_nUpdateIntervalDays);
    m_options.m_strProxyHost = m_host->GetValue().ToStdWstring();
    m_options.m_nProxyPort = port;
    m_options.m_bUseProxy = ProxyInUse(m_useProxy->GetValue(), m_options.m_strProxyHost, port) ? 1 : 0;
    m_options.Save();
    return CPropertyPage::OnApply();
}
