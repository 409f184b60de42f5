#include "dialogs/FavoriteMessages.h"

#include <wx/window.h>

#include "base/Utf8.h"
#include "model/ports/ResourceText.h"
#include "platform/ShellPorts.h"

namespace {
constexpr unsigned kStrFavoriteDNHeld = 673;
constexpr unsigned kStrFavoriteNameTaken = 674;
constexpr unsigned kStrFavoriteNotADN = 752;
constexpr uint32_t kMbIconExclamation = 0x30;

void FocusOn(wxWindow& dialog, int id)
{
    if (wxWindow* edit = dialog.FindWindow(id))
        edit->SetFocus();
}
} // namespace

bool ReportFavoriteCheck(wxWindow& dialog, const dialogcore::FavoriteCheck& check, int nameId, int dnId,
                         const std::string& name, const std::string& dn)
{
    switch (check.verdict) {
    case dialogcore::FavoriteVerdict::Accept:
        return true;
    case dialogcore::FavoriteVerdict::NameTaken:
        platform::ShowMessageBox(FormatResourceText(kStrFavoriteNameTaken, {Utf8ToWideString(name)}),
                                 platform::kMbOk);
        FocusOn(dialog, nameId);
        return false;
    case dialogcore::FavoriteVerdict::BadDN:
        platform::ShowMessageBox(FormatResourceText(kStrFavoriteNotADN, {Utf8ToWideString(dn)}),
                                 platform::kMbOk | kMbIconExclamation);
        FocusOn(dialog, dnId);
        return false;
    case dialogcore::FavoriteVerdict::DuplicateDN:
        return platform::ShowMessageBox(FormatResourceText(kStrFavoriteDNHeld, {Utf8ToWideString(check.holder)}),
                                        platform::kMbYesNo | platform::kMbIconQuestion) == platform::kIdYes;
    }
    return false;
}
