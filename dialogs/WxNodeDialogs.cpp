#include "dialogs/WxNodeDialogs.h"

#include <wx/filedlg.h>
#include <wx/tokenzr.h>

#include "dialogs/CBinFileDialog.h"
#include "dialogs/CCheckMessageBox.h"
#include "dialogs/CCreateFavoriteDlg.h"
#include "dialogs/CLdifExportDlg.h"
#include "dialogs/CPasswordDlg.h"
#include "dialogs/CSearchDlg.h"
#include "base/Utf8.h"
#include "model/entries/CLDAPObject.h"
#include "model/ports/ResourceText.h"
#include "dialogs/CPasswordManagerDlg.h"
#include "dialogs/CX509CertSheet.h"
#include "dialogs/CX509InfoProppage.h"
#include "widgets/DialogOwner.h"

namespace {

wxWindow* DialogParent()
{
    return ui::DialogOwner();
}

// The extension is proposed with the name, so that a name the user keeps
// is the one the overwrite question was about.
std::wstring NameWithExtension(const std::wstring& fileName, const std::wstring& extension)
{
    wxString name(fileName);
    if (!extension.empty() && !name.empty() && !name.Lower().EndsWith("." + wxString(extension).Lower()))
        name += "." + wxString(extension);
    return name.ToStdWstring();
}

} // namespace

bool WxNodeDialogs::HasDialog(NodeDialog dialog) const
{
    return dialog == NodeDialog::ChooseDN || dialog == NodeDialog::Favorite || dialog == NodeDialog::LdifExport ||
           dialog == NodeDialog::BinaryFile || dialog == NodeDialog::Certificates ||
           dialog == NodeDialog::PasswordManager;
}

bool WxNodeDialogs::AskPassword(std::wstring& password, bool& savePassword)
{
    CPasswordDlg dialog(DialogParent());
    if (dialog.ShowModal() != wxID_OK) return false;
    password = dialog.GetPassword();
    savePassword = dialog.IsSavePassword();
    return true;
}

bool WxNodeDialogs::ChooseDN(CDataObject& node, std::wstring& dn)
{
    auto* ldapNode = dynamic_cast<CLDAPObject*>(&node);
    if (!ldapNode)
        return false;
    SearchTarget target;
    target.connection = ldapNode->GetConnection();
    if (!target.connection)
        return false;
    target.host = Utf8ToWideString(target.connection->GetHost());
    target.port = target.connection->GetPort();
    target.dn = Utf8ToWideString(ldapNode->GetDN().GetText());
    CSearchDlg dialog(DialogParent(), std::move(target));
    if (dialog.DoModal() != CSearchDlg::kGoToChosenDN)
        return false;
    dn = dialog.GetChosenDN();
    return !dn.empty();
}

bool WxNodeDialogs::ChooseSaveFile(const std::wstring& extension, const std::wstring& fileName,
                                   const std::wstring& filter, std::wstring& path)
{
    const wxString name(NameWithExtension(fileName, extension));
    const std::wstring wildcard = FilterToWildcard(filter);
    wxFileDialog dialog(DialogParent(), wxFileSelectorPromptStr, wxString(), name,
                        wildcard.empty() ? wxString(wxFileSelectorDefaultWildcardStr) : wxString(wildcard),
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    dialog.SetFilterIndex(FilterIndexForExtension(wildcard, extension));
    if (dialog.ShowModal() != wxID_OK) return false;
    path = dialog.GetPath().ToStdWstring();
    return !path.empty();
}

bool WxNodeDialogs::ChooseBinaryFile(const std::wstring& extension, const std::wstring& fileName,
                                     const std::wstring& filter, BinaryFileChoice& choice)
{
    const std::wstring wildcard = FilterToWildcard(filter);
    CBinFileDialog dialog(DialogParent(), binfile::kRawBytes, wxString(NameWithExtension(fileName, extension)),
                          wildcard.empty() ? wxString(wxFileSelectorDefaultWildcardStr) : wxString(wildcard),
                          FilterIndexForExtension(wildcard, extension));
    if (dialog.ShowModal() != wxID_OK) return false;
    choice.path = dialog.GetPath().ToStdWstring();
    choice.base64 = dialog.GetFormat() == binfile::kBase64Text;
    choice.limitOn = dialog.IsLimitOn();
    choice.limit = dialog.GetLimit();
    return !choice.path.empty();
}

bool WxNodeDialogs::ChooseBinaryLoadFile(BinaryFileChoice& choice)
{
    CBinFileDialog dialog(DialogParent(), binfile::kRawBytes,
                          wxString(FilterToWildcard(LoadResourceText(kStrBinFileFilter))));
    if (dialog.ShowModal() != wxID_OK) return false;
    choice.path = dialog.GetPath().ToStdWstring();
    choice.base64 = dialog.GetFormat() == binfile::kBase64Text;
    choice.limitOn = false;
    return !choice.path.empty();
}

void WxNodeDialogs::ShowCertificates(const std::wstring& caption, const std::vector<CertificatePage>& pages,
                                     size_t active)
{
    CX509CertSheet sheet(wxString(caption), DialogParent(), static_cast<int>(active));
    for (const CertificatePage& page : pages) {
        auto* window = new CX509InfoProppage(page.value);
        window->Create(sheet.GetBook(), wxString(page.title));
        sheet.AddPage(window);
    }
    sheet.ShowModal();
}

bool WxNodeDialogs::AskLdifExport(const std::wstring& caption, const std::wstring& fileName,
                                  const std::string& filter, LdifExportChoice& choice)
{
    CLdifExportDlg dialog(caption, fileName, filter, DialogParent());
    if (dialog.ShowModal() != wxID_OK) return false;
    choice.path = dialog.GetFilePath();
    choice.scope = dialog.GetScope();
    choice.output = dialog.GetLineEnd();
    choice.firstOption = dialog.GetHeader();
    choice.secondOption = dialog.GetOperational();
    choice.filter = dialog.GetFilter();
    return true;
}

bool WxNodeDialogs::EditFavorite(const CFavoriteList& favorites, std::string& name, std::string& value)
{
    CCreateFavoriteDlg dialog(favorites, DialogParent());
    dialog.m_name = name;
    dialog.m_dn = value;
    if (dialog.DoModal() != wxID_OK) return false;
    name = dialog.m_name;
    value = dialog.m_dn;
    return true;
}

bool WxNodeDialogs::EditPassword(const std::wstring& value, const std::string& name, std::wstring& result)
{
    CPasswordManagerDlg dialog(value, name, DialogParent());
    if (dialog.ShowModal() != wxID_OK) return false;
    result = dialog.GetResult();
    return true;
}

int WxNodeDialogs::ShowCheckMessageBox(const std::wstring& text, const std::wstring& detail, unsigned confirmId,
                                       uint32_t style)
{
    // The detail is a paragraph of the message, not the caption: the title
    // stays the program's name.
    const std::wstring message = detail.empty() ? text : text + L"\n\n" + detail;
    return ::ShowCheckMessageBox(message, std::wstring(), style, static_cast<int>(confirmId), DialogParent());
}
