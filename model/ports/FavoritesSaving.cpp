#include "model/ports/FavoritesSaving.h"

#include "model/ports/ResourceText.h"
#include "model/profiles/CServerProfile.h"
#include "platform/ShellPorts.h"

bool SaveFavoritesOrSay(const CServerProfile& profile)
{
    if (profile.SaveFavorites())
        return true;
    platform::ShowMessageBox(LoadResourceText(kStrFavoritesNotSaved), platform::kMbOk | platform::kMbIconError);
    return false;
}
