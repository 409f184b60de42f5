#include "dialogs/CProfileEditorLDAPSettings.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>
#include <wx/valnum.h>

#include "base/Utf8.h"
#include "dialogcore/ProfileWizardRules.h"
#include "shellcore/CommandTextMap.h"
#include "dialogs/CProfileEditorWizard.h"
#include "dialogs/ProfileAdvancedSheet.h"
#include "model/profiles/CServerProfile.h"

namespace {

constexpr uint32_t kCompletionOptions = 0x23;

// An empty field counts as no limit.
int ReadLimit(const wxTextCtrl* field)
{
    unsigned long value = 0;
    if (!field->GetValue().ToULong(&value) || value > 0x7FFFFFFF)
        return 0;
    return static_cast<int>(value);
}

}  // namespace

CProfileEditorLDAPSettings::CProfileEditorLDAPSettings(CProfileEditorWizard& wizard)
    : CProfileWizardPage(wizard, kDialog), m_recentFilters(platform::RegRoot::CurrentUser, g_strRecentFiltersKey)
{
    m_filter = Control<wxTextCtrl>(kIdcFilter);
    m_sizeLimit = Control<wxTextCtrl>(kIdcSizeLimit);
    m_timeLimit = Control<wxTextCtrl>(kIdcTimeLimit);
    m_useSSL = Control<wxCheckBox>(kIdcUseSSL);
    m_connectNow = Control<wxCheckBox>(kIdcConnectNow);
    for (int i = 0; i < 4; ++i)
        m_deref[i] = Control<wxRadioButton>(kIdcDerefNever + i);
    m_chaseReferrals = Control<wxCheckBox>(kIdcChaseReferrals);
    m_passwordHistory = Control<wxCheckBox>(kIdcPasswordHistory);
    m_advanced = Control<wxButton>(kIdcAdvanced);
    if (!m_filter || !m_sizeLimit || !m_timeLimit || !m_useSSL || !m_connectNow || !m_deref[0] || !m_deref[1] ||
        !m_deref[2] || !m_deref[3] || !m_chaseReferrals || !m_passwordHistory || !m_advanced) {
        m_filter = nullptr;
        return;
    }

    const CServerProfile& profile = Profile();
    const arbldap::LDAPOperationOptions& options = profile.GetOptions();
    m_filter->ChangeValue(wxString(Utf8ToWideString(profile.GetFilter())));
    m_sizeLimit->SetValidator(wxIntegerValidator<unsigned>());
    m_timeLimit->SetValidator(wxIntegerValidator<unsigned>());
    m_sizeLimit->ChangeValue(wxString::Format("%d", options.GetSizeLimit()));
    m_timeLimit->ChangeValue(wxString::Format("%d", options.GetTimeLimit()));
    m_useSSL->SetValue(options.GetUseSSL() != 0);
    m_connectNow->SetValue(true);
    m_deref[0]->SetValue(true);
    m_chaseReferrals->SetValue(true);
    m_passwordHistory->SetValue(false);

    m_recentFilters.Bind(static_cast<wxWindow*>(m_filter), kCompletionOptions);
    m_filter->Bind(wxEVT_TEXT_ENTER, [](wxCommandEvent&) {});
    m_useSSL->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { OnUseSSL(); });
    m_advanced->Enable(HasAdvancedSheet());
    m_advanced->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { RunAdvancedSheet(this, Profile()); });
}

CProfileEditorLDAPSettings::~CProfileEditorLDAPSettings()
{
    m_recentFilters.Unbind();
}

void CProfileEditorLDAPSettings::OnSetActive()
{
    Wizard().SetWizardButtons(kWizBack | kWizFinish);
    if (m_filter)
        m_useSSL->Enable(Profile().GetVersion() >= 3);
}

void CProfileEditorLDAPSettings::OnUseSSL()
{
    if (!m_filter)
        return;
    CServerProfile& profile = Profile();
    bool on = m_useSSL->GetValue();
    profile.SetPort(PortAfterSslSwitch(on, profile.GetPort()));
    profile.GetOptions().SetUseSSL(on);
}

int CProfileEditorLDAPSettings::OnWizardBack()
{
    if (Profile().GetAnonymousBind())
        return CProfileEditorWizard::kHostPage;
    return kNeighbour;
}

int CProfileEditorLDAPSettings::ReadDeref() const
{
    for (int i = 0; i < 4; ++i)
        if (m_deref[i]->GetValue())
            return i;
    return 0;
}

bool CProfileEditorLDAPSettings::OnWizardFinish()
{
    if (!m_filter)
        return true;
    CServerProfile& profile = Profile();
    arbldap::LDAPOperationOptions& options = profile.GetOptions();
    profile.SetFilter(WideToUtf8Text(m_filter->GetValue().ToStdWstring()));
    options.SetSizeLimit(ReadLimit(m_sizeLimit));
    options.SetTimeLimit(ReadLimit(m_timeLimit));
    options.SetUseSSL(m_useSSL->GetValue());
    options.SetChaseReferrals(m_chaseReferrals->GetValue());
    profile.SetPasswordHistoryEnabled(m_passwordHistory->GetValue() ? 1 : 0);
    options.SetDeref(ReadDeref());
    return true;
}

void CProfileEditorLDAPSettings::RecordRecentItems()
{
    if (m_filter)
        m_recentFilters.AddString(TrimWhiteSpace(m_filter->GetValue().ToStdWstring()));
}

bool CProfileEditorLDAPSettings::GetConnectNow() const
{
    return m_connectNow && m_connectNow->GetValue();
}
