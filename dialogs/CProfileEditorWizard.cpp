#include "dialogs/CProfileEditorWizard.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/simplebook.h>
#include <wx/statline.h>

#include "dialogcore/ProfileWizardRules.h"
#include "dialogs/CProfileEditorHostDlg.h"
#include "dialogs/CProfileEditorLDAPSettings.h"
#include "dialogs/CProfileEditorNameDlg.h"
#include "dialogs/CProfileEditorUserDlg.h"

CProfileEditorWizard::CProfileEditorWizard(const std::wstring& caption, wxWindow* parent, int firstPage)
    : wxDialog(parent, wxID_ANY, wxString(caption), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX),
      m_profile(std::make_unique<CServerProfile>())
{
    // Nothing a page applies meanwhile is stored: the profile is saved by
    // whoever takes it once the wizard is finished.
    m_profile->SetStorageHeld(true);
    m_book = new wxSimplebook(this);
    m_pages.push_back(new CProfileEditorNameDlg(*this));
    m_pages.push_back(new CProfileEditorHostDlg(*this));
    m_pages.push_back(new CProfileEditorUserDlg(*this));
    m_pages.push_back(new CProfileEditorLDAPSettings(*this));
    for (CProfileWizardPage* page : m_pages)
        m_book->AddPage(page, wxString());

    m_back = new wxButton(this, kIdBack, "< &Back");
    m_next = new wxButton(this, kIdNext, "&Next >");
    m_finish = new wxButton(this, kIdFinish, "&Finish");
    auto* cancel = new wxButton(this, wxID_CANCEL, "Cancel");
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->AddStretchSpacer();
    buttons->Add(m_back);
    buttons->Add(m_next);
    buttons->AddSpacer(12);
    buttons->Add(m_finish);
    buttons->AddSpacer(6);
    buttons->Add(cancel);

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_book, 1, wxEXPAND);
    sizer->Add(new wxStaticLine(this), 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
    sizer->Add(buttons, 0, wxEXPAND | wxALL, 10);
    SetSizerAndFit(sizer);
    CentreOnParent();

    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Back(); }, kIdBack);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Next(); }, kIdNext);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Finish(); }, kIdFinish);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Cancel(); }, wxID_CANCEL);
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Cancel(); });

    SetActivePage(firstPage >= 0 && firstPage < kPageCount ? firstPage : kNamePage);
}

CProfileEditorWizard::~CProfileEditorWizard() = default;

int CProfileEditorWizard::RunModal()
{
    return ShowModal();
}

std::unique_ptr<CServerProfile> CProfileEditorWizard::ReleaseProfile()
{
    if (m_profile)
        m_profile->SetStorageHeld(false);
    return std::move(m_profile);
}

CProfileWizardPage* CProfileEditorWizard::GetPage(int index) const
{
    return index >= 0 && index < static_cast<int>(m_pages.size()) ? m_pages[index] : nullptr;
}

CProfileEditorNameDlg* CProfileEditorWizard::GetNamePage() const
{
    return static_cast<CProfileEditorNameDlg*>(m_pages[kNamePage]);
}

CProfileEditorHostDlg* CProfileEditorWizard::GetHostPage() const
{
    return static_cast<CProfileEditorHostDlg*>(m_pages[kHostPage]);
}

CProfileEditorUserDlg* CProfileEditorWizard::GetUserPage() const
{
    return static_cast<CProfileEditorUserDlg*>(m_pages[kUserPage]);
}

CProfileEditorLDAPSettings* CProfileEditorWizard::GetSettingsPage() const
{
    return static_cast<CProfileEditorLDAPSettings*>(m_pages[kSettingsPage]);
}

bool CProfileEditorWizard::GetConnectNow() const
{
    return GetSettingsPage()->GetConnectNow();
}

void CProfileEditorWizard::SetWizardButtons(uint32_t flags)
{
    m_buttons = flags;
    m_back->Enable((flags & kWizBack) != 0);
    m_next->Enable((flags & kWizNext) != 0);
    m_finish->Enable((flags & kWizFinish) != 0 && (flags & kWizDisabledFinish) == 0);
    if (m_next->IsEnabled())
        m_next->SetDefault();
    else if (m_finish->IsEnabled())
        m_finish->SetDefault();
}

void CProfileEditorWizard::SetActivePage(int index)
{
    m_active = index;
    m_visited.insert(index);
    m_book->ChangeSelection(static_cast<size_t>(index));
    m_pages[index]->OnSetActive();
}

void CProfileEditorWizard::Back()
{
    if (!m_back->IsEnabled() || m_active <= 0)
        return;
    int target = m_pages[m_active]->OnWizardBack();
    if (target == CProfileWizardPage::kStay)
        return;
    if (target == CProfileWizardPage::kNeighbour)
        target = m_active - 1;
    if (target >= 0 && target < kPageCount)
        SetActivePage(target);
}

void CProfileEditorWizard::Next()
{
    if (!m_next->IsEnabled() || m_active >= kPageCount - 1)
        return;
    int target = m_pages[m_active]->OnWizardNext();
    if (target == CProfileWizardPage::kStay)
        return;
    if (target == CProfileWizardPage::kNeighbour)
        target = m_active + 1;
    if (target >= 0 && target < kPageCount)
        SetActivePage(target);
}

void CProfileEditorWizard::Finish()
{
    if (!m_finish->IsEnabled() || !m_profile)
        return;
    if (!m_pages[m_active]->OnWizardFinish())
        return;
    // Every page the user filled in keeps its inputs, not only the last one.
    for (int index : m_visited)
        m_pages[index]->RecordRecentItems();
    End(wxID_OK);
}

void CProfileEditorWizard::Cancel()
{
    End(wxID_CANCEL);
}

void CProfileEditorWizard::End(int code)
{
    if (IsModal())
        EndModal(code);
    else {
        SetReturnCode(code);
        Hide();
    }
}
