#include "dialogcore/ProfileStorage.h"

#include "model/CServerProfile.h"
#include "platform/RegistryKey.h"

bool IsProfileStored(const CServerProfile& profile)
{
    if (profile.IsTeamProfile())
        return false;
    platform::RegistryKey key(platform::RegRoot::CurrentUser, true);
    return key.KeyExists(profile.GetKeyPath(true));
}

bool SaveProfileIfStored(const CServerProfile& profile)
{
    return !IsProfileStored(profile) || profile.SaveProfile();
}
