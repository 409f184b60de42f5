#include "dialogs/FileFilters.h"

#include <wx/arrstr.h>
#include <wx/string.h>

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
