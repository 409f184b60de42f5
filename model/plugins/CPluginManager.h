#pragma once
// The plug-in manager: loads the registered plug-ins (one CPluginProxy
// each), builds the tables of which plug-ins handle which attribute names and
// syntax OIDs, resolves them with the stored lookup tables
// ("PluginLookupTables\Names\" and "OIDs\": braced CLSID text or "N/A") and
// lets the user settle new conflicts in the mapping sheet. Everything runs
// on the user-interface thread; the proxies it hands out may be called from
// any thread and keep their libraries loaded while they live.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/Guid.h"
#include "model/plugins/CPluginProxy.h"
#include "model/plugins/PluginTables.h"

enum class PluginKind { Names, Oids };
enum class ConflictReport { NewConflictsOnly, All };

class CPluginManager {
public:
    // The whole loading sequence, the conflict report included.
    CPluginManager();
    ~CPluginManager();
    CPluginManager(const CPluginManager&) = delete;
    CPluginManager& operator=(const CPluginManager&) = delete;

    // The plug-in chosen for the attribute's full name (options included),
    // else for its syntax OID; null for none. A key chosen as none ends the
    // search.
    std::shared_ptr<CPluginProxy> Lookup(const std::string& attribute, const std::string& syntaxOid) const;
    bool HasPlugin(const std::string& attribute, const std::string& syntaxOid) const;

    // Stores the tables, opens the mapping sheet with the pages of the kinds
    // in conflict (every kind for All), then stores the user's choice (OK)
    // or takes the stored one back (Cancel). Nothing for NewConflictsOnly
    // without a new conflict.
    void ReportConflicts(ConflictReport report);

    const std::vector<std::shared_ptr<CPluginProxy>>& GetPlugins() const { return m_plugins; }
    PluginSupportedTable& Supported(PluginKind kind) { return Tables(kind).supported; }
    PluginChosenTable& Chosen(PluginKind kind) { return Tables(kind).chosen; }
    bool HasNewConflict(PluginKind kind) const { return Tables(kind).newConflict; }

private:
    struct KindTables {
        const wchar_t* subKey;
        PluginSupportedTable supported;
        PluginChosenTable chosen;
        bool newConflict = false;
    };
    using StoredTable = std::map<std::string, GUID, NoCaseLess>;

    KindTables& Tables(PluginKind kind) { return kind == PluginKind::Names ? m_names : m_oids; }
    const KindTables& Tables(PluginKind kind) const { return kind == PluginKind::Names ? m_names : m_oids; }
    void LoadPlugins();
    void BuildSupportedTables();
    StoredTable ReadStoredTable(const KindTables& tables) const;
    void Resolve(KindTables& tables, const StoredTable& stored);
    void RestoreChosen(KindTables& tables, const StoredTable& stored);
    void WriteTable(const KindTables& tables) const;
    // The loaded plug-in with that CLSID that handles the key, else null.
    CPluginProxy* StoredChoice(const KindTables& tables, const std::string& key, const GUID& clsid) const;

    std::vector<std::shared_ptr<CPluginProxy>> m_plugins;  // in load order
    std::map<GUID, CPluginProxy*> m_byClsid;
    KindTables m_names{L"Names", {}, {}, false};
    KindTables m_oids{L"OIDs", {}, {}, false};
};

// The manager the program made at start-up, for the attribute nodes; null
// when there is none. Set before any server opens and cleared after.
void SetPluginManager(CPluginManager* manager);
CPluginManager* GetPluginManager();
