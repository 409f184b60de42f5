#include "dialogs/CFavoritesManagerDlg.h"

#include <optional>

#include <wx/accel.h>
#include <wx/button.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "base/Utf8.h"
#include "dialogcore/FavoriteRules.h"
#include "dialogs/CAddNewFavoriteDlg.h"
#include "model/ports/FavoritesSaving.h"
#include "model/ports/ResourceText.h"
#include "model/profiles/CServerProfile.h"
#include "platform/ShellPorts.h"
#include "widgets/DialogHelp.h"
#include "widgets/UiResources.h"

namespace {
constexpr unsigned kStrAddCaption = 221;
constexpr unsigned kStrEditCaption = 223;
constexpr unsigned kStrEditLabel = 225;
constexpr unsigned kStrNameTaken = 674;
} // namespace

CFavoritesManagerDlg::CFavoritesManagerDlg(CServerProfile& profile, wxWindow* parent)
    : m_profile(profile), m_stored(profile.GetFavorites())
{
    const bool loaded = ui::LoadDialogResource(this, parent, IDD);
    if (!loaded)
        Create(parent, wxID_ANY, "Favorites", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER);
    m_list = new CFavoritesEditList(*this);
    m_list->Create(this, kIdcList);
    if (loaded) {
        wxXmlResource::Get()->AttachUnknownControl(wxString::Format("%d", static_cast<int>(kIdcList)), m_list, this);
        m_dnDisplay = dynamic_cast<wxTextCtrl*>(FindWindow(kIdcDNDisplay));
    } else {
        auto* column = new wxBoxSizer(wxVERTICAL);
        column->Add(m_list, 1, wxALL | wxEXPAND, 8);
        m_dnDisplay = new wxTextCtrl(this, kIdcDNDisplay, wxString(), wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
        column->Add(m_dnDisplay, 0, wxALL | wxEXPAND, 8);
        column->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxALL | wxEXPAND, 8);
        SetSizer(column);
    }

    const struct {
        unsigned image, tooltip;
        int key, flags, command;
    } buttons[] = {
        {kImgNew, kStrNew, WXK_INSERT, 0, CEditListBoxEx::kCmdNew},
        {kImgEdit, kStrEdit, WXK_F2, 0, CFavoritesEditList::kCmdEditFavorite},
        {kImgDelete, kStrDelete, WXK_DELETE, 0, CEditListBoxEx::kCmdDelete},
        {kImgUp, kStrUp, WXK_UP, wxACCEL_ALT, CEditListBoxEx::kCmdMoveUp},
        {kImgDown, kStrDown, WXK_DOWN, wxACCEL_ALT, CEditListBoxEx::kCmdMoveDown},
    };
    for (const auto& b : buttons)
        m_list->AddButton(ui::LoadBitmapResource("icon", b.image), ui::ResourceString(b.tooltip), b.key, b.flags,
                          b.command);

    for (const dialogcore::FavoriteRow& row : dialogcore::RowsFromFavorites(m_stored))
        m_list->AddItem(Utf8ToWideString(row.name), KeepDN(*row.dn));

    Bind(wxEVT_BUTTON, &CFavoritesManagerDlg::OnOkButton, this, wxID_OK);
    Bind(wxEVT_CONTEXT_MENU, [](wxContextMenuEvent&) {});
    GiveDialogHelp(this, help::WindowHelpContext(IDD), "FavoritesManager.txt");
    Fit();
    SetMinSize(GetSize());
}

int CFavoritesManagerDlg::DoModal()
{
    m_list->SelectItem(m_list->GetCount() ? 0 : m_list->GetNewItemRow());
    ShowSelectedDN();
    m_list->GetListCtrl()->SetFocus();
    CentreOnParent();
    return ShowModal();
}

const std::string* CFavoritesManagerDlg::KeepDN(const std::string& dn)
{
    m_dns.push_back(dn);
    return &m_dns.back();
}

void CFavoritesManagerDlg::NewFavorite()
{
    CAddNewFavoriteDlg dialog(m_stored, std::wstring(), LoadResourceText(kStrAddCaption), this);
    if (dialog.DoModal() != wxID_OK)
        return;
    const int row = m_list->AddItem(dialog.m_name, KeepDN(WideToUtf8Text(dialog.m_dn)));
    m_list->SelectItem(row);
    ShowSelectedDN();
}

void CFavoritesManagerDlg::EditFavorite()
{
    const int row = m_list->GetSelItem();
    if (row < 0 || row >= m_list->GetCount())
        return;
    CAddNewFavoriteDlg dialog(m_stored, LoadResourceText(kStrEditLabel), LoadResourceText(kStrEditCaption), this);
    dialog.m_name = m_list->GetItemText(row).ToStdWstring();
    const std::string* dn = m_list->GetItemDN(row);
    dialog.m_dn = dn ? Utf8ToWideString(*dn) : std::wstring();
    if (dialog.DoModal() != wxID_OK)
        return;
    m_list->SetItemText(row, dialog.m_name);
    m_list->SetItemData(row, KeepDN(WideToUtf8Text(dialog.m_dn)));
    ShowSelectedDN();
}

bool CFavoritesManagerDlg::AcceptRename(const std::wstring& oldName, const std::wstring& newName)
{
    if (!dialogcore::IsRenameRefused(m_stored, WideToUtf8Text(oldName), WideToUtf8Text(newName)))
        return true;
    platform::ShowMessageBox(FormatResourceText(kStrNameTaken, {newName}), platform::kMbOk);
    return false;
}

void CFavoritesManagerDlg::ShowSelectedDN()
{
    if (!m_dnDisplay)
        return;
    const std::string* dn = m_list->GetItemDN(m_list->GetSelItem());
    m_dnDisplay->ChangeValue(
        Utf8ToWideString(dialogcore::FavoriteDNDisplay(dn ? std::optional<std::string>(*dn) : std::nullopt)));
}

void CFavoritesManagerDlg::OnOK()
{
    std::vector<dialogcore::FavoriteRow> rows;
    for (int i = 0; i < m_list->GetCount(); ++i) {
        const std::string* dn = m_list->GetItemDN(i);
        rows.push_back(dialogcore::FavoriteRow{m_list->GetItemText(i).utf8_string(),
                                               dn ? std::optional<std::string>(*dn) : std::nullopt});
    }
    m_profile.SetFavorites(dialogcore::FavoritesFromRows(rows));
    SaveFavoritesOrSay(m_profile);
}

void CFavoritesManagerDlg::OnOkButton(wxCommandEvent&)
{
    OnOK();
    EndModal(wxID_OK);
}
