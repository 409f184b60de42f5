#include "dialogs/CServerMonitorPropertiesPage.h"

#include <wx/dialog.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>
#include <wx/settings.h>
#include <wx/textctrl.h>

#include "base/Utf8.h"
#include "dialogcore/CServerMonitorThread.h"
#include "ldap/FormatLDAPError.h"
#include "ldap/LDAPException.h"
#include "dialogs/CWaitDlg.h"
#include "dialogs/EditKeys.h"
#include "model/profiles/CServerProfile.h"
#include "platform/RegistryKey.h"
#include "platform/ShellPorts.h"
#include "widgets/UiResources.h"

namespace {

constexpr unsigned kStrAttributeColumn = 496;
constexpr unsigned kStrValueColumn = 497;
constexpr unsigned kStrReadingMonitor = 498;
// Autosuggest, autoappend, up and down keys drop the list.
constexpr uint32_t kAutoCompleteOptions = 0x23;
// The library's code for a wait that timed out.
constexpr int kLDAPTimeout = 85;

// The connect time-out and the read's time limit, with room to spare.
std::chrono::milliseconds g_readLimit{30000};

} // namespace

std::chrono::milliseconds CServerMonitorPropertiesPage::SetReadLimit(std::chrono::milliseconds limit)
{
    std::chrono::milliseconds previous = g_readLimit;
    g_readLimit = limit;
    return previous;
}

CServerMonitorPropertiesPage::CServerMonitorPropertiesPage(wxWindow* book, CServerProfile* profile)
    : m_profile(profile), m_readLimit(this), m_registration(*this)
{
    Bind(wxEVT_TIMER, &CServerMonitorPropertiesPage::OnReadLimit, this, m_readLimit.GetId());
    CreatePage(book, kDlgServerMonitor);
}

CServerMonitorPropertiesPage::~CServerMonitorPropertiesPage()
{
    m_readLimit.Stop();
    m_recentDNs.Unbind();
}

bool CServerMonitorPropertiesPage::OnInitDialog()
{
    m_dnEdit = dynamic_cast<wxTextCtrl*>(FindWindow(kIdcMonitorDN));
    m_list = dynamic_cast<wxListCtrl*>(FindWindow(kIdcMonitorList));
    if (!m_dnEdit || !m_list)
        return false;
    m_dnEdit->ChangeValue(wxString::FromUTF8(m_profile->GetMonitorDN().GetText()));
    m_dnEdit->Bind(wxEVT_TEXT, &CServerMonitorPropertiesPage::OnDNChanged, this);
    if (wxWindow* refresh = FindWindow(kIdcMonitorRefresh))
        refresh->Bind(wxEVT_BUTTON, &CServerMonitorPropertiesPage::OnRefreshButton, this);

    int width = m_list->GetClientSize().GetWidth();
    int scroll = wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, m_list);
    int first = static_cast<int>(width / 2.6 - scroll / 2.0);
    m_list->InsertColumn(0, ui::ResourceString(kStrAttributeColumn), wxLIST_FORMAT_LEFT, first);
    m_list->InsertColumn(1, ui::ResourceString(kStrValueColumn), wxLIST_FORMAT_LEFT, width - first - scroll);

    KeepReturnInEdit(m_dnEdit);
    m_recentDNs.Open(platform::RegRoot::CurrentUser, g_strRecentDNsKey);
    m_recentDNs.Bind(m_dnEdit, kAutoCompleteOptions);
    m_wait = new CWaitDlg(this, std::wstring());
    if (!m_wait->Create()) {
        m_wait->Destroy();
        m_wait = nullptr;
    }
    return true;
}

bool CServerMonitorPropertiesPage::OnSetActive()
{
    CPropertyPage::OnSetActive();
    if (m_refreshOnActivation)
        Refresh();
    else
        m_refreshOnActivation = true;
    return true;
}

void CServerMonitorPropertiesPage::Refresh()
{
    if (m_reading || !m_list || !m_wait)
        return;
    m_list->DeleteAllItems();
    if (m_registration.Id() == platform::kNoReceiver)
        return;
    std::wstring dn = m_dnEdit->GetValue().ToStdWstring();
    auto worker = std::make_shared<CServerMonitorThread>(m_registration.Id(), *m_profile, WideToUtf8Text(dn));
    if (wxStaticText* text = m_wait->GetTextControl()) {
        text->SetLabel(ui::ResourceString(kStrReadingMonitor));
        m_wait->Fit();
    }
    m_reading = true;
    m_timedOut = false;
    m_worker = worker;
    // A worker that cannot start has posted its end already.
    worker->CreateThread();
    worker.reset();
    m_readLimit.StartOnce(static_cast<int>(g_readLimit.count()));
    if (m_reading)
        m_wait->ShowModal();
    m_readLimit.Stop();
    m_worker.reset();
    m_recentDNs.AddString(dn);
    if (m_timedOut)
        platform::ShowMessageBox(FormatLDAPError(arbldap::LDAPException(kLDAPTimeout)),
                                 platform::kMbOk | platform::kMbIconError);
}

void CServerMonitorPropertiesPage::OnReadLimit(wxTimerEvent&)
{
    // The worker's cancelled wait ends within a poll slice; its end
    // message then closes the popup.
    std::shared_ptr<CServerMonitorThread> worker = m_worker.lock();
    if (worker && !worker->HasOutcome()) {
        m_timedOut = true;
        worker->RequestCancel();
    }
}

wxDialog* CServerMonitorPropertiesPage::GetWaitPopup() const
{
    return m_reading ? m_wait : nullptr;
}

void CServerMonitorPropertiesPage::OnMessage(platform::MessageId id, uintptr_t, intptr_t,
                                             std::unique_ptr<platform::MessagePayload> payload)
{
    if (id == WM_MONITOR_ROW) {
        if (auto* row = platform::PayloadValue<std::pair<std::wstring, std::wstring>>(payload))
            AddRow(row->first, row->second);
    } else if (id == platform::WM_WORKER_ENDED) {
        m_reading = false;
        if (m_wait && m_wait->IsModal())
            m_wait->EndModal(0);
    }
}

void CServerMonitorPropertiesPage::AddRow(const std::wstring& name, const std::wstring& value)
{
    if (!m_list)
        return;
    long row = m_list->InsertItem(m_list->GetItemCount(), wxString(name));
    m_list->SetItem(row, 1, wxString(value));
}

void CServerMonitorPropertiesPage::OnRefreshButton(wxCommandEvent&)
{
    Refresh();
}

void CServerMonitorPropertiesPage::OnDNChanged(wxCommandEvent&)
{
    SetModified(true);
}

bool CServerMonitorPropertiesPage::OnApply()
{
    m_refreshOnActivation = false;
    m_profile->SetMonitorDN(arbldap::LDAPDN(WideToUtf8Text(m_dnEdit->GetValue().ToStdWstring())));
    m_profile->SaveProfile();
    return CPropertyPage::OnApply();
}
