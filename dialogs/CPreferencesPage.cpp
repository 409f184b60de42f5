#include "dialogs/CPreferencesPage.h"

#include <wx/button.h>
#include <wx/checkbox.h>

#include "model/profiles/CAppConfig.h"
#include "shellcore/TipOfTheDay.h"

CPreferencesPage::CPreferencesPage(wxWindow* book, CAppConfig& options) : m_options(options)
{
    CreatePage(book, IDD);
}

bool CPreferencesPage::OnInitDialog()
{
    m_namingContexts = Control<wxCheckBox>(kIdcNamingContexts);
    m_notOption1 = Control<wxCheckBox>(kIdcNotOption1);
    m_outputBar = Control<wxCheckBox>(kIdcOutputBar);
    m_tips = Control<wxCheckBox>(kIdcTips);
    if (!m_namingContexts || !m_notOption1 || !m_outputBar || !m_tips) return false;
    Fill(m_options);
    for (wxCheckBox* box : {m_namingContexts, m_notOption1, m_outputBar, m_tips})
        box->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { SetModified(true); });
    if (wxWindow* defaults = FindWindow(kIdcDefaults))
        defaults->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnDefaults(); });
    return true;
}

void CPreferencesPage::Fill(const CAppConfig& options)
{
    m_namingContexts->SetValue(options.m_bShowNamingContexts != 0);
    m_notOption1->SetValue(options.m_bOption1 == 0);
    m_outputBar->SetValue(options.m_bShowOutputBar != 0);
    m_tips->SetValue(CTipOfTheDay::ReadShowAtStartup());
}

void CPreferencesPage::OnDefaults()
{
    if (!m_namingContexts) return;
    // A record of its own: the running options stay until OK.
    CAppConfig defaults;
    Fill(defaults);
    SetModified(true);
}

bool CPreferencesPage::OnApply()
{
    if (!m_namingContexts) return CPropertyPage::OnApply();
    m_options.m_bShowNamingContexts = m_namingContexts->GetValue() ? 1 : 0;
    m_options.m_bOption1 = m_notOption1->GetValue() ? 0 : 1;
    m_options.m_bShowOutputBar = m_outputBar->GetValue() ? 1 : 0;
    CTipOfTheDay::StoreShowAtStartup(m_tips->GetValue());
    m_options.Save();
    return CPropertyPage::OnApply();
}
