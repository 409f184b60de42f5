#pragma once
// The registered plug-ins in the user's settings: "Plugins\<ProgID>" with
// "FriendlyName" and "Path" (the shared library's absolute path). Shared by
// the plug-in manager and the registration tool.

#include <string>
#include <vector>

constexpr const wchar_t* kPluginsKey = L"Software\\Vellumar\\Arbolite\\Plugins\\";
constexpr const wchar_t* kPluginLookupTablesKey = L"Software\\Vellumar\\Arbolite\\PluginLookupTables\\";

struct PluginRegistration {
    std::wstring progId;
    std::wstring friendlyName;
    std::wstring path;  // empty when none is stored
};

// Every sub-key with a "FriendlyName", ordered by ProgID.
std::vector<PluginRegistration> ReadPluginRegistrations();
// Writes (or rewrites) one registration; false when the store refuses it.
bool RegisterPlugin(const PluginRegistration& registration);
// False when there was no such registration.
bool UnregisterPlugin(const std::wstring& progId);
