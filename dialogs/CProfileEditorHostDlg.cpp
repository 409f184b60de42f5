#include "dialogs/CProfileEditorHostDlg.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/textctrl.h>

#include "base/Utf8.h"
#include "dialogcore/CRootDSEFetchThread.h"
#include "dialogcore/ProfileWizardRules.h"
#include "shellcore/CommandTextMap.h"
#include "dialogs/CCheckMessageBox.h"
#include "dialogs/CProfileEditorWizard.h"
#include "ldap/LDAPControl.h"
#include "model/profiles/CServerProfile.h"
#include "model/ports/ResourceText.h"
#include "platform/Messages.h"
#include "platform/ShellPorts.h"
#include "shellcore/RememberedAnswers.h"
#include "shellcore/TextFormat.h"

namespace {

constexpr unsigned kStrEmptyBaseDN = 288;
constexpr unsigned kStrFetchFailed = 290;
constexpr unsigned kStrBadPort = 489;
constexpr int kConfirmEmptyBaseDN = 5;
constexpr uint32_t kMbIconExclamation = 0x30;
// Autosuggest, autoappend, and the arrow keys drop the list.
constexpr uint32_t kCompletionOptions = 0x23;

}  // namespace

CProfileEditorHostDlg::CProfileEditorHostDlg(CProfileEditorWizard& wizard)
    : CProfileWizardPage(wizard, kDialog),
      m_recentHosts(platform::RegRoot::CurrentUser, g_strRecentHostsKey),
      m_recentDNs(platform::RegRoot::CurrentUser, g_strRecentDNsKey),
      m_registration(*this)
{
    m_host = Control<wxTextCtrl>(kIdcHost);
    m_port = Control<wxTextCtrl>(kIdcPort);
    m_version = Control<wxChoice>(kIdcVersion);
    m_anonymous = Control<wxCheckBox>(kIdcAnonymous);
    m_baseDN = Control<wxComboBox>(kIdcBaseDN);
    m_fetch = Control<wxButton>(kIdcFetch);
    if (!m_host || !m_port || !m_version || !m_anonymous || !m_baseDN || !m_fetch)
        return;

    const CServerProfile& profile = Profile();
    m_version->SetSelection(profile.GetVersion() == 2 ? 0 : 1);
    m_anonymous->SetValue(profile.GetAnonymousBind() != 0);
    m_port->ChangeValue(wxString::Format("%d", profile.GetPort()));
    m_baseDN->ChangeValue(wxString(Utf8ToWideString(profile.GetBaseDN().GetText())));
    m_host->ChangeValue(wxString(profile.GetHostName()));

    m_recentHosts.Bind(static_cast<wxWindow*>(m_host), kCompletionOptions);
    m_recentDNs.Bind(static_cast<wxWindow*>(m_baseDN), kCompletionOptions);

    auto update = [this](wxCommandEvent&) { Update(); };
    m_host->Bind(wxEVT_TEXT, update);
    // A port being typed is stored when valid but judged only once the
    // field is left: a message at the first key would take the next ones.
    m_port->Bind(wxEVT_TEXT, update);
    m_port->Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& event) {
        event.Skip();
        // Judged once the focus has arrived where it goes.
        CallAfter([this] { OnPortLeft(); });
    });
    m_version->Bind(wxEVT_CHOICE, update);
    m_anonymous->Bind(wxEVT_CHECKBOX, update);
    m_baseDN->Bind(wxEVT_TEXT, update);
    m_baseDN->Bind(wxEVT_COMBOBOX, update);
    m_fetch->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { StartFetch(); });
    // Return in the completed fields belongs to their completion, not to the wizard.
    m_host->Bind(wxEVT_TEXT_ENTER, [](wxCommandEvent&) {});
    m_baseDN->Bind(wxEVT_TEXT_ENTER, [](wxCommandEvent&) {});
}

CProfileEditorHostDlg::~CProfileEditorHostDlg()
{
    // Messages of a fetch still running are dropped, their payloads freed.
    m_registration.Reset();
    m_recentHosts.Unbind();
    m_recentDNs.Unbind();
}

void CProfileEditorHostDlg::OnSetActive()
{
    if (!m_port)
        return;
    m_port->ChangeValue(wxString::Format("%d", Profile().GetPort()));
    Update();
    m_host->SetFocus();
}

bool CProfileEditorHostDlg::ReadPort(PortReport report, int& port)
{
    PortCheck check = CheckPortText(m_port->GetValue().ToStdWstring(), port);
    if ((check == PortCheck::OutOfRange && report != PortReport::Never) ||
        (check == PortCheck::Empty && report == PortReport::AnyInvalid)) {
        // The box takes the focus from the field: that is no leaving.
        m_reportingPort = true;
        platform::ShowMessageBox(LoadResourceText(kStrBadPort), platform::kMbOk | kMbIconExclamation);
        m_port->SetFocus();
        m_port->SelectAll();
        m_reportingPort = false;
    }
    return check == PortCheck::Valid;
}

void CProfileEditorHostDlg::OnPortLeft()
{
    if (!m_port || m_reportingPort || !IsShownOnScreen())
        return;
    // Only a move inside the wizard counts, and not one towards Cancel:
    // the user going elsewhere hears of the port at Next or Finish.
    // (Some controls' focus lies in a part of theirs the toolkit does not
    // name: then the wizard still being the active window tells.)
    wxWindow* focus = wxWindow::FindFocus();
    if (focus == m_port || (focus && focus->GetId() == wxID_CANCEL))
        return;
    if (focus ? wxGetTopLevelParent(focus) != &Wizard() : !Wizard().IsActive())
        return;
    int port = 0;
    ReadPort(PortReport::OutOfRange, port);
}

void CProfileEditorHostDlg::Update()
{
    if (!m_host)
        return;
    CServerProfile& profile = Profile();
    std::wstring host = TrimWhiteSpace(m_host->GetValue().ToStdWstring());
    uint32_t buttons = HostPageButtons(host);
    profile.SetHostName(host);
    bool version3 = m_version->GetSelection() != 0;
    m_fetch->Enable(!host.empty() && version3 && !m_fetching);
    profile.SetVersion(version3 ? 3 : 2);

    int selected = m_baseDN->GetSelection();
    if (selected != wxNOT_FOUND)
        m_baseDN->ChangeValue(m_baseDN->GetString(static_cast<unsigned>(selected)));
    profile.SetBaseDN(arbldap::LDAPDN(WideToUtf8Text(m_baseDN->GetValue().ToStdWstring())));

    int port = 0;
    if (ReadPort(PortReport::Never, port))
        profile.SetPort(port);
    profile.SetAnonymousBind(m_anonymous->GetValue() ? 1 : 0);
    Wizard().SetWizardButtons(buttons);
}

bool CProfileEditorHostDlg::ConfirmEmptyBaseDN()
{
    if (!m_baseDN->GetValue().empty() || Wizard().GetEmptyBaseDNAsked())
        return true;
    // Kept above the wizard.
    if (ShowCheckMessageBox(LoadResourceText(kStrEmptyBaseDN), std::wstring(), kSetYesNo | 0x20,
                            kConfirmEmptyBaseDN, &Wizard()) != kIdYes) {
        m_baseDN->SetFocus();
        return false;
    }
    Wizard().SetEmptyBaseDNAsked();
    return true;
}

int CProfileEditorHostDlg::OnWizardNext()
{
    if (!m_host)
        return kNeighbour;
    Update();
    if (!ConfirmEmptyBaseDN())
        return kStay;
    // Only a valid port is stored and lets the user on.
    int port = 0;
    if (!ReadPort(PortReport::AnyInvalid, port))
        return kStay;
    Profile().SetPort(port);
    if (Profile().GetAnonymousBind())
        return CProfileEditorWizard::kSettingsPage;
    return kNeighbour;
}

bool CProfileEditorHostDlg::OnWizardFinish()
{
    if (!m_host)
        return true;
    Update();
    if (!ConfirmEmptyBaseDN())
        return false;
    int port = 0;
    if (!ReadPort(PortReport::AnyInvalid, port))
        return false;
    Profile().SetPort(port);
    return true;
}

void CProfileEditorHostDlg::RecordRecentItems()
{
    if (!m_host)
        return;
    m_recentHosts.AddString(TrimWhiteSpace(m_host->GetValue().ToStdWstring()));
    m_recentDNs.AddString(TrimWhiteSpace(m_baseDN->GetValue().ToStdWstring()));
}

void CProfileEditorHostDlg::StartFetch()
{
    if (!m_host || m_fetching)
        return;
    Update();
    int port = 0;
    if (!ReadPort(PortReport::AnyInvalid, port))
        return;
    m_fetch->Disable();
    m_fetching = true;
    m_errorCode = 0;
    m_errorText.clear();
    CServerProfile& profile = Profile();
    profile.GetOptions().SetServerControls(nullptr);
    // Only the list goes: what the user typed stays.
    wxString typed = m_baseDN->GetValue();
    m_baseDN->Clear();
    m_baseDN->ChangeValue(typed);
    SetCursor(wxCursor(wxCURSOR_WAIT));

    auto fetcher = std::make_shared<CRootDSEFetchThread>(profile.GetHostName(), profile.GetPort(),
                                                         &profile.GetOptions(), m_registration.Id());
    fetcher->SetOption(CRootDSEFetchThread::kNamingContexts, true);
    fetcher->SetOption(CRootDSEFetchThread::kSupportedControls, true);
    // A reader that could not start has posted its end already.
    fetcher->CreateThread();
}

void CProfileEditorHostDlg::EndFetch()
{
    m_fetching = false;
    SetCursor(wxNullCursor);
    Update();
    if (m_errorCode != 0) {
        platform::ShowMessageBox(FormatText(LoadResourceText(kStrFetchFailed), {m_errorCode, m_errorText}),
                                 platform::kMbOk);
        return;
    }
    platform::Post(m_registration.Id(), platform::WM_DROP_BASE_DN_LIST, 0, 0);
}

void CProfileEditorHostDlg::OnMessage(platform::MessageId id, uintptr_t wParam, intptr_t,
                                      std::unique_ptr<platform::MessagePayload> payload)
{
    if (!m_host)
        return;
    switch (id) {
    case platform::WM_ROOTDSE_NAMING_CONTEXT:
        if (auto* context = platform::PayloadValue<std::wstring>(payload)) {
            m_baseDN->Append(wxString(*context));
            m_baseDN->SetFocus();
        }
        break;
    case platform::WM_ROOTDSE_CONTROLS:
        if (auto* controls = platform::PayloadValue<arbldap::LDAPControlList>(payload))
            Profile().GetOptions().SetServerControls(controls);
        break;
    case platform::WM_ROOTDSE_ERROR:
        m_errorCode = static_cast<int>(wParam);
        if (auto* text = platform::PayloadValue<std::wstring>(payload))
            m_errorText = *text;
        break;
    case platform::WM_ROOTDSE_ENDED:
        EndFetch();
        break;
    case platform::WM_DROP_BASE_DN_LIST:
        if (m_baseDN->GetCount() > 0 && IsShownOnScreen())
            m_baseDN->Popup();
        break;
    default:
        break;
    }
}
