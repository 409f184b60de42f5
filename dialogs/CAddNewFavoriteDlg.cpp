#include "dialogs/CAddNewFavoriteDlg.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "base/Utf8.h"
#include "dialogcore/FavoriteRules.h"
#include "dialogs/EditKeys.h"
#include "dialogs/FavoriteMessages.h"
#include "widgets/DialogHelp.h"
#include "widgets/UiResources.h"

namespace {
// Suggest, append, and the arrow keys open the list.
constexpr uint32_t kAutoCompleteOptions = 0x23;

std::string EditText(wxWindow& dialog, int id)
{
    auto* edit = dynamic_cast<wxTextCtrl*>(dialog.FindWindow(id));
    return edit ? edit->GetValue().utf8_string() : std::string();
}
} // namespace

CAddNewFavoriteDlg::CAddNewFavoriteDlg(const CFavoriteList& favorites, const std::wstring& label,
                                       const std::wstring& caption, wxWindow* parent)
    : m_favorites(favorites)
{
    if (!ui::LoadDialogResource(this, parent, IDD)) {
        Create(parent, wxID_ANY, caption);
        auto* column = new wxBoxSizer(wxVERTICAL);
        column->Add(new wxStaticText(this, kIdcLabel, wxString()), 0, wxALL | wxEXPAND, 8);
        column->Add(new wxTextCtrl(this, kIdcName), 0, wxALL | wxEXPAND, 8);
        column->Add(new wxTextCtrl(this, kIdcDN, wxString(), wxDefaultPosition, wxDefaultSize, wxTE_PROCESS_ENTER), 0,
                    wxALL | wxEXPAND, 8);
        column->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxALL | wxEXPAND, 8);
        SetSizer(column);
    }
    SetTitle(caption);
    if (!label.empty())
        if (auto* text = dynamic_cast<wxStaticText*>(FindWindow(kIdcLabel)))
            text->SetLabel(label);
    Bind(wxEVT_BUTTON, &CAddNewFavoriteDlg::OnOkButton, this, wxID_OK);
    for (int id : {kIdcName, kIdcDN})
        if (wxWindow* edit = FindWindow(id))
            edit->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { UpdateOk(); });
    Bind(wxEVT_CONTEXT_MENU, [](wxContextMenuEvent&) {});
    auto* dnEdit = dynamic_cast<wxTextCtrl*>(FindWindow(kIdcDN));
    KeepReturnInEdit(dnEdit);
    m_recentDNs.Open(platform::RegRoot::CurrentUser, g_strRecentDNsKey);
    if (dnEdit)
        m_recentDNs.Bind(dnEdit, kAutoCompleteOptions);
    GiveDialogHelp(this, help::WindowHelpContext(IDD), "AddNewFavorite.txt");
    Fit();
    SetMinSize(GetSize());
}

CAddNewFavoriteDlg::~CAddNewFavoriteDlg()
{
    m_recentDNs.Unbind();
}

int CAddNewFavoriteDlg::DoModal()
{
    m_startName = m_name;
    m_startDN = m_dn;
    if (auto* name = dynamic_cast<wxTextCtrl*>(FindWindow(kIdcName))) {
        name->ChangeValue(m_name);
        name->SetFocus();
    }
    if (auto* dn = dynamic_cast<wxTextCtrl*>(FindWindow(kIdcDN)))
        dn->ChangeValue(m_dn);
    UpdateOk();
    CentreOnParent();
    return ShowModal();
}

bool CAddNewFavoriteDlg::IsOkEnabled() const
{
    wxWindow* ok = FindWindow(wxID_OK);
    return ok && ok->IsEnabled();
}

void CAddNewFavoriteDlg::UpdateOk()
{
    if (wxWindow* ok = FindWindow(wxID_OK))
        ok->Enable(dialogcore::CanAcceptFavorite(EditText(*this, kIdcName), EditText(*this, kIdcDN)));
}

bool CAddNewFavoriteDlg::OnOK()
{
    const std::string name = EditText(*this, kIdcName);
    const std::string dn = EditText(*this, kIdcDN);
    if (!dialogcore::CanAcceptFavorite(name, dn))
        return false;
    const dialogcore::FavoriteCheck check = dialogcore::CheckEditedFavorite(
        m_favorites, WideToUtf8Text(m_startName), WideToUtf8Text(m_startDN), name, dn);
    if (!ReportFavoriteCheck(*this, check, kIdcName, kIdcDN, name, dn))
        return false;
    m_name = Utf8ToWideString(name);
    m_dn = Utf8ToWideString(dn);
    m_recentDNs.AddString(m_dn);
    return true;
}

void CAddNewFavoriteDlg::OnOkButton(wxCommandEvent&)
{
    if (OnOK()) EndModal(wxID_OK);
}
