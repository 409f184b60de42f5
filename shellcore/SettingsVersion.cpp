#include "shellcore/SettingsVersion.h"

#include "platform/RegistryKey.h"
#include "shellcore/RegistryPaths.h"

using platform::RegistryKey;
using platform::RegRoot;

bool CheckSettingsVersion(uint32_t runningBuild, uint32_t resourceLanguage)
{
    uint32_t storedBuild = 0, storedLanguage = 0;
    {
        RegistryKey key(RegRoot::CurrentUser, true);
        if (key.Open(g_strSettingsKey)) {
            if (!key.Read(g_strBuildValue, storedBuild)) storedBuild = 0;
            if (!key.Read(g_strLangIdValue, storedLanguage)) storedLanguage = 0;
        }
    }
    if (storedBuild != 0 && storedLanguage != 0 && runningBuild != 0 && resourceLanguage != 0 &&
        storedBuild == runningBuild && storedLanguage == resourceLanguage)
        return false;

    RegistryKey key(RegRoot::CurrentUser, false);
    key.DeleteKey(g_strSettingsKey);
    if (key.CreateKey(g_strSettingsKey)) {
        key.Write(g_strBuildValue, runningBuild);
        key.Write(g_strLangIdValue, resourceLanguage);
    }
    return true;
}
