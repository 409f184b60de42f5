#include "dialogs/WxNodeDialogs.h"

#include <wx/filedlg.h>
#include <wx/tokenzr.h>

#include "dialogs/CCheckMessageBox.h"
#include "dialogs/CPasswordDlg.h"
#include "dialogs/CPasswordManagerDlg.h"
#include "dialogs/CX509CertSheet.h"
#include "dialogs/CX509InfoProppage.h"
#include "widgets/DialogOwner.h"

namespace {

wxWindow* DialogParent()
{
    return ui::DialogOwner();
}

} // namespace

std::wstring FilterToWildcard(const std::wstring& filter)
{
    wxArrayString parts = wxSplit(wxString(filter), '|', '\0');
    while (!parts.empty() && parts.back().empty()) parts.pop_back();
    wxString wildcard;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        wxArrayString patterns = wxSplit(parts[i + 1], ';', '\0');
        for (wxString& pattern : patterns)
            if (pattern == "*.*") pattern = "*";
        if (!wildcard.empty()) wildcard += "|";
        wildcard += parts[i] + "|" + wxJoin(patterns, ';', '\0');
    }
    return wildcard.ToStdWstring();
}

int FilterIndexForExtension(const std::wstring& wildcard, const std::wstring& extension)
{
    if (extension.empty()) return 0;
    wxArrayString parts = wxSplit(wxString(wildcard), '|', '\0');
    const wxString wanted = ("*." + wxString(extension)).Lower();
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        for (const wxString& pattern : wxSplit(parts[i + 1], ';', '\0'))
            if (pattern.Lower() == wanted) return static_cast<int>(i / 2);
    }
    return 0;
}

bool WxNodeDialogs::HasDialog(NodeDialog dialog) const
{
    // The go-to-DN search, binary-file, LDIF export and favourite dialogs
    // are not there yet.
    return dialog == NodeDialog::Certificates || dialog == NodeDialog::PasswordManager;
}

bool WxNodeDialogs::AskPassword(std::wstring& password, bool& savePassword)
{
    CPasswordDlg dialog(DialogParent());
    if (dialog.ShowModal() != wxID_OK) return false;
    password = dialog.GetPassword();
    savePassword = dialog.IsSavePassword();
    return true;
}

bool WxNodeDialogs::ChooseDN(CDataObject&, std::wstring&)
{
    return false;
}

bool WxNodeDialogs::ChooseSaveFile(const std::wstring& extension, const std::wstring& fileName,
                                   const std::wstring& filter, std::wstring& path)
{
    // The extension is proposed with the name, so that a name the user keeps
    // is the one the overwrite question was about.
    wxString name(fileName);
    if (!extension.empty() && !name.empty() && !name.Lower().EndsWith("." + wxString(extension).Lower()))
        name += "." + wxString(extension);
    const std::wstring wildcard = FilterToWildcard(filter);
    wxFileDialog dialog(DialogParent(), wxFileSelectorPromptStr, wxString(), name,
                        wildcard.empty() ? wxString(wxFileSelectorDefaultWildcardStr) : wxString(wildcard),
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    dialog.SetFilterIndex(FilterIndexForExtension(wildcard, extension));
    if (dialog.ShowModal() != wxID_OK) return false;
    path = dialog.GetPath().ToStdWstring();
    return !path.empty();
}

bool WxNodeDialogs::ChooseBinaryFile(const std::wstring&, const std::wstring&, const std::wstring&,
                                     BinaryFileChoice&)
{
    return false;
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

bool WxNodeDialogs::AskLdifExport(const std::wstring&, const std::wstring&, const std::string&, LdifExportChoice&)
{
    return false;
}

bool WxNodeDialogs::EditFavorite(const CFavoriteList&, std::string&, std::string&)
{
    return false;
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
