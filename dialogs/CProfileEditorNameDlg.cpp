#include "dialogs/CProfileEditorNameDlg.h"

#include <wx/statbmp.h>
#include <wx/textctrl.h>

#include "dialogcore/ProfileWizardRules.h"
#include "dialogs/CProfileEditorWizard.h"
#include "model/profiles/CServerProfile.h"
#include "widgets/UiResources.h"

CProfileEditorNameDlg::CProfileEditorNameDlg(CProfileEditorWizard& wizard) : CProfileWizardPage(wizard, kDialog)
{
    m_name = Control<wxTextCtrl>(kIdcName);
    m_picture = Control<wxStaticBitmap>(kIdcPicture);
    if (m_name) {
        m_name->ChangeValue(wxString(Profile().GetProfileName()));
        m_name->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { Update(); });
    }
}

void CProfileEditorNameDlg::OnSetActive()
{
    Update();
    if (m_name)
        m_name->SetFocus();
}

void CProfileEditorNameDlg::Update()
{
    NamePageState state = EvaluateProfileName(m_name ? m_name->GetValue().ToStdWstring() : std::wstring());
    if (!state.name.empty())
        Profile().SetProfileName(state.name);
    Wizard().SetWizardButtons(state.buttons);
    unsigned bitmap = state.teamDirectory ? kBitmapTeam : kBitmapProfile;
    if (bitmap != m_shownBitmap && m_picture) {
        wxBitmap picture = ui::LoadBitmapResource("bitmap", bitmap);
        if (picture.IsOk())
            m_picture->SetBitmap(picture);
    }
    m_shownBitmap = bitmap;
}
