#include "model/plugins/PluginRegistry.h"

#include <algorithm>

#include "platform/RegistryKey.h"

using platform::RegistryKey;
using platform::RegRoot;

std::vector<PluginRegistration> ReadPluginRegistrations()
{
    std::vector<PluginRegistration> found;
    RegistryKey plugins(RegRoot::CurrentUser, true);
    std::vector<std::wstring> progIds;
    if (!plugins.Open(kPluginsKey) || !plugins.ReadSubKeys(progIds)) return found;
    for (const std::wstring& progId : progIds) {
        RegistryKey key(RegRoot::CurrentUser, true);
        PluginRegistration registration{progId, {}, {}};
        if (!key.Open(kPluginsKey + progId) || !key.Read(L"FriendlyName", registration.friendlyName)) continue;
        key.Read(L"Path", registration.path);
        found.push_back(std::move(registration));
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const PluginRegistration& a, const PluginRegistration& b) { return a.progId < b.progId; });
    return found;
}

bool RegisterPlugin(const PluginRegistration& registration)
{
    if (registration.progId.empty() || registration.progId.find(L'\\') != std::wstring::npos) return false;
    RegistryKey key(RegRoot::CurrentUser, false);
    return key.CreateKey(kPluginsKey + registration.progId) && key.Write(L"FriendlyName", registration.friendlyName) &&
           key.Write(L"Path", registration.path);
}

bool UnregisterPlugin(const std::wstring& progId)
{
    if (progId.empty() || progId.find(L'\\') != std::wstring::npos) return false;
    RegistryKey key(RegRoot::CurrentUser, false);
    return key.KeyExists(kPluginsKey + progId) && key.DeleteKey(kPluginsKey + progId);
}
