#include "dialogs/CLDAPSettingsPropertiesDlg.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/textctrl.h>

#include "base/Utf8.h"
#include "dialogs/CAdvancedPropertySheet.h"
#include "dialogs/EditKeys.h"
#include "dialogcore/ProfileWizardRules.h"
#include "dialogcore/ServerSettingsRules.h"
#include "model/entries/CServerObject.h"
#include "platform/RegistryKey.h"
#include "schema/LDAPSchema.h"
#include "widgets/UiResources.h"

namespace {

constexpr uint32_t kAutoCompleteOptions = 0x23;


} // namespace

CLDAPSettingsPropertiesDlg::CLDAPSettingsPropertiesDlg(wxWindow* book, CServerObject* node) : m_node(node)
{
    CreatePage(book, kDlgLDAPSettings);
}

CLDAPSettingsPropertiesDlg::~CLDAPSettingsPropertiesDlg()
{
    m_recentFilters.Unbind();
}

bool CLDAPSettingsPropertiesDlg::OnInitDialog()
{
    m_referrals = dynamic_cast<wxChoice*>(FindWindow(kIdcReferrals));
    m_deref = dynamic_cast<wxChoice*>(FindWindow(kIdcDeref));
    m_useSSL = dynamic_cast<wxCheckBox*>(FindWindow(kIdcUseSSL));
    m_timeLimit = dynamic_cast<wxTextCtrl*>(FindWindow(kIdcTimeLimit));
    m_sizeLimit = dynamic_cast<wxTextCtrl*>(FindWindow(kIdcSizeLimit));
    m_filter = dynamic_cast<wxTextCtrl*>(FindWindow(kIdcFilter));
    m_passwordHistory = dynamic_cast<wxCheckBox*>(FindWindow(kIdcPasswordHistory));
    if (!m_referrals || !m_deref || !m_useSSL || !m_timeLimit || !m_sizeLimit || !m_filter || !m_passwordHistory)
        return false;

    const arbldap::LDAPOperationOptions& options = m_node->GetOptions();
    m_referrals->SetSelection(options.GetChaseReferrals() ? 0 : 1);
    m_deref->SetSelection(options.GetDeref());
    m_filter->ChangeValue(wxString::FromUTF8(m_node->GetFilter()));
    m_timeLimit->ChangeValue(wxString::Format("%d", options.GetTimeLimit()));
    m_sizeLimit->ChangeValue(wxString::Format("%d", options.GetSizeLimit()));
    m_useSSL->SetValue(options.GetUseSSL());
    m_passwordHistory->SetValue(m_node->IsPasswordHistoryEnabled() != 0);
    RefPtr<CLDAPSchema> schema = m_node->GetSchema();
    m_passwordHistory->Show(schema && schema->GetLoadState() != 0 &&
                            schema->GetServerKind() == kNetscapeServerKind);

    for (wxTextCtrl* edit : {m_timeLimit, m_sizeLimit, m_filter})
        edit->Bind(wxEVT_TEXT, &CLDAPSettingsPropertiesDlg::OnChanged, this);
    for (wxChoice* list : {m_referrals, m_deref})
        list->Bind(wxEVT_CHOICE, &CLDAPSettingsPropertiesDlg::OnChanged, this);
    for (wxCheckBox* box : {m_useSSL, m_passwordHistory})
        box->Bind(wxEVT_CHECKBOX, &CLDAPSettingsPropertiesDlg::OnChanged, this);
    if (wxWindow* advanced = FindWindow(kIdcAdvanced)) {
        advanced->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnAdvanced(); });
    }

    KeepReturnInEdit(m_filter);
    m_recentFilters.Open(platform::RegRoot::CurrentUser, g_strRecentFiltersKey);
    m_recentFilters.Bind(m_filter, kAutoCompleteOptions);
    return true;
}

void CLDAPSettingsPropertiesDlg::OnChanged(wxCommandEvent&)
{
    SetModified(true);
}

bool CLDAPSettingsPropertiesDlg::OnSetActive()
{
    if (m_useSSL) {
        // Secure connections need protocol version 3.
        bool version3 = m_node->GetVersion() == 3;
        m_useSSL->SetValue(version3 && m_node->GetOptions().GetUseSSL());
        m_useSSL->Enable(version3);
    }
    return CPropertyPage::OnSetActive();
}

void CLDAPSettingsPropertiesDlg::OnAdvanced()
{
    // Its pages write into the profile; its result does not matter here.
    CAdvancedPropertySheet sheet(ui::ResourceString(kStrAdvancedCaption), this, m_node);
    sheet.ShowModal();
}

bool CLDAPSettingsPropertiesDlg::OnApply()
{
    if (!m_referrals)
        return CPropertyPage::OnApply();
    arbldap::LDAPOperationOptions& options = m_node->GetOptions();
    options.SetChaseReferrals(m_referrals->GetSelection() == 0);
    options.SetDeref(m_deref->GetSelection());
    std::wstring filter = m_filter->GetValue().ToStdWstring();
    m_node->SetFilter(WideToUtf8Text(filter));
    m_recentFilters.AddString(filter);
    options.SetTimeLimit(ParseDecimalOrZero(m_timeLimit->GetValue().ToStdWstring()));
    options.SetSizeLimit(ParseDecimalOrZero(m_sizeLimit->GetValue().ToStdWstring()));
    bool useSSL = m_useSSL->GetValue();
    int port = PortAfterSslSwitch(useSSL, m_node->GetPort());
    if (port != m_node->GetPort())
        m_node->SetPort(port);
    options.SetUseSSL(useSSL);
    m_node->SetPasswordHistoryEnabled(m_passwordHistory->GetValue() ? 1 : 0);
    m_node->SaveProfile();
    return CPropertyPage::OnApply();
}
