#include "model/plugins/CPluginManager.h"

#include <atomic>
#include <cstdio>

#include "base/LogStream.h"
#include "base/PluginContract.h"
#include "base/Utf8.h"
#include "model/plugins/PluginRegistry.h"
#include "model/plugins/PluginSheetPort.h"
#include "platform/RegistryKey.h"
#include "platform/SharedLibrary.h"
#include "platform/ShellPorts.h"

using platform::RegistryKey;
using platform::RegRoot;

namespace {

constexpr const wchar_t* kNoPlugin = L"N/A";
constexpr const wchar_t* kSheetCaption = L"Plugin Manager";
constexpr const wchar_t* kConflictMessage =
    L"There are some new plugins that are conflict between each other. Please tune it manually.";

std::atomic<CPluginManager*> g_manager{nullptr};

void LogLoadFailure(const std::wstring& name, const std::string& reason)
{
    LogLine(L"        ERROR: Can't load '" + name + L"' plugin. REASON: " + Utf8ToWideString(reason) + L".");
}

std::string HResultText(const char* what, HRESULT hr)
{
    char text[96];
    std::snprintf(text, sizeof text, "%s failed with 0x%08X", what, static_cast<unsigned>(hr));
    return text;
}

// The plug-in's object and CLSID from its library; false after logging why not.
bool CreatePluginObject(const PluginRegistration& plugin, platform::SharedLibrary& library, GUID& clsid,
                        IUnknown*& object)
{
    std::string error;
    if (!library.Open(WideToUtf8Text(plugin.path), error)) {
        LogLoadFailure(plugin.friendlyName, error);
        return false;
    }
    auto create = reinterpret_cast<ArbolitePluginCreateFunction>(library.Symbol(kPluginEntryName, error));
    if (!create) {
        LogLoadFailure(plugin.friendlyName, error);
        return false;
    }
    object = nullptr;
    HRESULT hr;
    try {
        hr = create(WideToUtf8Text(plugin.progId).c_str(), &clsid, &object);
    } catch (...) {
        hr = E_FAIL;
        object = nullptr;
    }
    if (FAILED(hr) || !object) {
        if (object) object->Release();
        object = nullptr;
        LogLoadFailure(plugin.friendlyName, FAILED(hr) ? HResultText(kPluginEntryName, hr)
                                                        : std::string(kPluginEntryName) + " gave no object");
        return false;
    }
    return true;
}

bool HasInfoInterface(IUnknown* object)
{
    void* info = nullptr;
    try {
        if (FAILED(object->QueryInterface(IID_IPluginInfo, &info)) || !info) return false;
        static_cast<IUnknown*>(info)->Release();
    } catch (...) {
        return false;
    }
    return true;
}

} // namespace

CPluginManager::CPluginManager()
{
    LoadPlugins();
    BuildSupportedTables();
    StoredTable storedNames = ReadStoredTable(m_names);
    StoredTable storedOids = ReadStoredTable(m_oids);
    Resolve(m_names, storedNames);
    Resolve(m_oids, storedOids);
    if (m_names.newConflict || m_oids.newConflict) ReportConflicts(ConflictReport::NewConflictsOnly);
}

CPluginManager::~CPluginManager()
{
    // The tables point into the proxies; each proxy closes its library last.
    m_names.chosen.clear();
    m_names.supported.clear();
    m_oids.chosen.clear();
    m_oids.supported.clear();
    m_byClsid.clear();
    while (!m_plugins.empty()) m_plugins.pop_back();
}

void CPluginManager::LoadPlugins()
{
    std::vector<PluginRegistration> registrations = ReadPluginRegistrations();
    if (registrations.empty()) return;
    LogLine(L"Loading plugins...");
    for (const PluginRegistration& plugin : registrations) {
        auto library = std::make_shared<platform::SharedLibrary>();
        GUID clsid;
        IUnknown* object = nullptr;
        if (!CreatePluginObject(plugin, *library, clsid, object)) continue;
        if (!HasInfoInterface(object)) {
            object->Release();
            LogLine(L"        ERROR: Can't load the '" + plugin.friendlyName +
                    L"' plugin. REASON: IPluginInfo interface is not supported.");
            continue;
        }
        auto proxy = std::make_shared<CPluginProxy>(plugin.friendlyName, object, clsid, std::move(library));
        m_byClsid.emplace(clsid, proxy.get());
        m_plugins.push_back(std::move(proxy));
    }
}

void CPluginManager::BuildSupportedTables()
{
    for (const std::shared_ptr<CPluginProxy>& proxy : m_plugins) {
        for (const std::string& name : proxy->GetNames()) m_names.supported.emplace(name, proxy.get());
        for (const std::string& oid : proxy->GetOids()) m_oids.supported.emplace(oid, proxy.get());
    }
}

CPluginManager::StoredTable CPluginManager::ReadStoredTable(const KindTables& tables) const
{
    StoredTable stored;
    RegistryKey key(RegRoot::CurrentUser, true);
    std::vector<std::wstring> names;
    if (!key.Open(std::wstring(kPluginLookupTablesKey) + tables.subKey) || !key.ReadValueNames(names))
        return stored;
    for (const std::wstring& name : names) {
        std::wstring text;
        if (!key.Read(name, text)) continue;
        GUID clsid;
        if (text == kNoPlugin)
            stored[WideToUtf8Text(name)] = GUID();
        else if (GuidFromString(text, clsid))
            stored[WideToUtf8Text(name)] = clsid;
    }
    return stored;
}

CPluginProxy* CPluginManager::StoredChoice(const KindTables& tables, const std::string& key, const GUID& clsid) const
{
    auto loaded = m_byClsid.find(clsid);
    if (loaded == m_byClsid.end()) return nullptr;
    auto range = tables.supported.equal_range(key);
    for (auto it = range.first; it != range.second; ++it)
        if (it->second == loaded->second) return loaded->second;
    return nullptr;
}

void CPluginManager::Resolve(KindTables& tables, const StoredTable& stored)
{
    tables.chosen.clear();
    tables.newConflict = false;
    for (auto it = tables.supported.begin(); it != tables.supported.end();
         it = tables.supported.upper_bound(it->first)) {
        const std::string& key = it->first;
        auto entry = stored.find(key);
        if (entry != stored.end() && entry->second == GUID()) continue;
        if (tables.supported.count(key) == 1) {
            tables.chosen[key] = it->second;
            continue;
        }
        CPluginProxy* choice = entry != stored.end() ? StoredChoice(tables, key, entry->second) : nullptr;
        if (choice)
            tables.chosen[key] = choice;
        else
            tables.newConflict = true;
    }
}

void CPluginManager::RestoreChosen(KindTables& tables, const StoredTable& stored)
{
    tables.chosen.clear();
    for (const auto& [key, clsid] : stored) {
        if (clsid == GUID()) continue;
        if (CPluginProxy* proxy = StoredChoice(tables, key, clsid)) tables.chosen[key] = proxy;
    }
}

void CPluginManager::WriteTable(const KindTables& tables) const
{
    RegistryKey key(RegRoot::CurrentUser, false);
    std::wstring path = std::wstring(kPluginLookupTablesKey) + tables.subKey;
    key.DeleteKey(path);
    if (!key.CreateKey(path)) return;
    for (auto it = tables.supported.begin(); it != tables.supported.end();
         it = tables.supported.upper_bound(it->first)) {
        auto chosen = tables.chosen.find(it->first);
        bool none = chosen == tables.chosen.end() || !chosen->second;
        key.Write(Utf8ToWideString(it->first), none ? std::wstring(kNoPlugin) : GuidToString(chosen->second->GetClsid()));
    }
}

void CPluginManager::ReportConflicts(ConflictReport report)
{
    bool all = report == ConflictReport::All;
    if (!all && !m_names.newConflict && !m_oids.newConflict) return;
    WriteTable(m_names);
    WriteTable(m_oids);
    std::vector<PluginLookupPageSetup> pages;
    if (all || m_names.newConflict)
        pages.push_back({L"Attributes Supported:", L"Name Mapping", &m_names.supported, &m_names.chosen, !all});
    if (all || m_oids.newConflict)
        pages.push_back({L"OIDs Supported:", L"OID Mapping", &m_oids.supported, &m_oids.chosen, !all});
    if (!all) platform::ShowMessageBox(kConflictMessage, platform::kMbOk | platform::kMbIconInformation);
    if (RunPluginSheet(kSheetCaption, pages) == platform::kIdOk) {
        WriteTable(m_names);
        WriteTable(m_oids);
    } else {
        RestoreChosen(m_names, ReadStoredTable(m_names));
        RestoreChosen(m_oids, ReadStoredTable(m_oids));
    }
}

std::shared_ptr<CPluginProxy> CPluginManager::Lookup(const std::string& attribute, const std::string& syntaxOid) const
{
    auto holder = [this](CPluginProxy* proxy) -> std::shared_ptr<CPluginProxy> {
        for (const std::shared_ptr<CPluginProxy>& plugin : m_plugins)
            if (plugin.get() == proxy) return plugin;
        return nullptr;
    };
    auto name = m_names.chosen.find(attribute);
    if (name != m_names.chosen.end()) return holder(name->second);
    if (syntaxOid.empty()) return nullptr;
    auto oid = m_oids.chosen.find(syntaxOid);
    return oid != m_oids.chosen.end() ? holder(oid->second) : nullptr;
}

bool CPluginManager::HasPlugin(const std::string& attribute, const std::string& syntaxOid) const
{
    return Lookup(attribute, syntaxOid) != nullptr;
}

void SetPluginManager(CPluginManager* manager)
{
    g_manager = manager;
}

CPluginManager* GetPluginManager()
{
    return g_manager;
}
