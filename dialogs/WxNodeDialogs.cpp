#include "dialogs/WxNodeDialogs.h"

#include <wx/filedlg.h>
#include <wx/tokenzr.h>

#include "dialogs/CBinFileDialog.h"
#include "dialogs/CCheckMessageBox.h"
#include "dialogs/CPasswordDlg.h"
#include "model/ports/ResourceText.h"
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
    // The go-to-DN search, certificate, LDIF export and favourite dialogs
    // are not there yet.
    return dialog == NodeDialog::BinaryFile;
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

void WxNodeDialogs::ShowCertificates(const std::wstring&, const std::vector<CertificatePage>&, size_t) {}

bool WxNodeDialogs::AskLdifExport(const std::wstring&, const std::wstring&, const std::string&, LdifExportChoice&)
{
    return false;
}

bool WxNodeDialogs::EditFavorite(const CFavoriteList&, std::string&, std::string&)
{
    return false;
}

int WxNodeDialogs::ShowCheckMessageBox(const std::wstring& text, const std::wstring& detail, unsigned confirmId,
                                       uint32_t style)
{
    // The detail is a paragraph of the message, not the caption: the title
    // stays the program's name.
    const std::wstring message = detail.empty() ? text : text + L"\n\n" + detail;
    return ::ShowCheckMessageBox(message, std::wstring(), style, static_cast<int>(confirmId), DialogParent());
}
