#include "dialogs/CCreateFavoriteDlg.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "base/Utf8.h"
#include "dialogcore/FavoriteRules.h"
#include "dialogs/FavoriteMessages.h"
#include "widgets/DataExchange.h"
#include "widgets/DialogHelp.h"
#include "widgets/UiResources.h"

CCreateFavoriteDlg::CCreateFavoriteDlg(const CFavoriteList& favorites, wxWindow* parent) : m_favorites(favorites)
{
    if (!ui::LoadDialogResource(this, parent, IDD)) {
        // Without the resource library: the same fields, laid out plainly.
        Create(parent, wxID_ANY, "Add to Favorites");
        auto* column = new wxBoxSizer(wxVERTICAL);
        column->Add(new wxTextCtrl(this, kIdcName), 0, wxALL | wxEXPAND, 8);
        column->Add(new wxTextCtrl(this, kIdcDN), 0, wxALL | wxEXPAND, 8);
        column->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxALL | wxEXPAND, 8);
        SetSizer(column);
    }
    Bind(wxEVT_BUTTON, &CCreateFavoriteDlg::OnOkButton, this, wxID_OK);
    if (wxWindow* name = FindWindow(kIdcName))
        name->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { UpdateOk(); });
    // Context menus stay off, as in the program's other dialogs.
    Bind(wxEVT_CONTEXT_MENU, [](wxContextMenuEvent&) {});
    GiveDialogHelp(this, help::WindowHelpContext(IDD), "CreateFavorite.txt");
    Fit();
    SetMinSize(GetSize());
}

int CCreateFavoriteDlg::DoModal()
{
    CDataExchange dx(this, false);
    DDX_TextUtf8(&dx, kIdcName, m_name);
    DDX_TextUtf8(&dx, kIdcDN, m_dn);
    UpdateOk();
    if (wxWindow* name = FindWindow(kIdcName))
        name->SetFocus();
    CentreOnParent();
    return ShowModal();
}

bool CCreateFavoriteDlg::IsOkEnabled() const
{
    wxWindow* ok = FindWindow(wxID_OK);
    return ok && ok->IsEnabled();
}

void CCreateFavoriteDlg::UpdateOk()
{
    auto* name = dynamic_cast<wxTextCtrl*>(FindWindow(kIdcName));
    if (wxWindow* ok = FindWindow(wxID_OK))
        ok->Enable(name && dialogcore::CanCreateFavorite(name->GetValue().utf8_string()));
}

bool CCreateFavoriteDlg::OnOK()
{
    CDataExchange dx(this, true);
    DDX_TextUtf8(&dx, kIdcName, m_name);
    DDX_TextUtf8(&dx, kIdcDN, m_dn);
    if (!dialogcore::CanCreateFavorite(m_name))
        return false;
    const dialogcore::FavoriteCheck check = dialogcore::CheckCreatedFavorite(m_favorites, m_name, m_dn);
    return ReportFavoriteCheck(*this, check, kIdcName, kIdcDN, m_name, m_dn);
}

void CCreateFavoriteDlg::OnOkButton(wxCommandEvent&)
{
    if (OnOK()) EndModal(wxID_OK);
}
