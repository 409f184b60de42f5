#pragma once
// The persistent side of a schema model: the GUID of its cache entry, the
// entry's meta record, the definition texts of each element kind and the use
// counts of object classes. The host storage
// of the schema cache file provides it; CMemorySchemaStorage keeps it in
// memory only (the built-in default schema, which is never written, and
// tests). Both are safe for any number of threads.

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "base/StringList.h"
#include "base/Guid.h"
#include "base/RefPtr.h"
#include "base/Unknown.h"

enum class SchemaElementKind { Syntax, AttributeType, ObjectClass, MatchingRule, MatchingRuleUse };
constexpr int kSchemaElementKinds = 5;

struct SchemaMetaRecord {
    int64_t timestamp = 0;      // the decimal digits read YYYYMMDDHHMMSS
    uint32_t serverKind = 0;    // SchemaServerKind
    uint8_t defaultSchema = 0;  // 1: the last load ended without the server's schema
    uint8_t refreshNeeded = 1;  // a new host is fetched
    uint16_t reserved = 0;

    bool operator==(const SchemaMetaRecord& o) const
    {
        return timestamp == o.timestamp && serverKind == o.serverKind && defaultSchema == o.defaultSchema &&
               refreshNeeded == o.refreshNeeded && reserved == o.reserved;
    }
    bool operator!=(const SchemaMetaRecord& o) const { return !(*this == o); }
};

// Object class name -> use count; names compared byte by byte.
typedef std::map<std::string, uint32_t> SchemaUsageMap;

class ISchemaHostStorage : public IUnknown {
public:
    virtual GUID GetHostGuid() const = 0;
    virtual SchemaMetaRecord GetMetaRecord() const = 0;
    // Runs change on the record under the storage's lock, then marks the
    // record changed so that the next save writes it.
    virtual void ChangeMetaRecord(const std::function<void(SchemaMetaRecord&)>& change) = 0;
    // The definition texts kept for the host, one list per element kind.
    virtual StringList GetDefinitions(SchemaElementKind kind) const = 0;
    // Replaces a kind's list. Marked changed only when asked: definitions
    // that stand in for this run only must not replace the stored ones.
    virtual void SetDefinitions(SchemaElementKind kind, const StringList& definitions, bool markChanged) = 0;
    virtual SchemaUsageMap GetUsageStatistics() const = 0;
    // The same for the use counts.
    virtual void ChangeUsageStatistics(const std::function<void(SchemaUsageMap&)>& change) = 0;
    // Writes what changed into the storage it was loaded from; the model
    // calls it when it goes. Failures are the caller's to ignore.
    virtual HRESULT SaveInPlace() = 0;

protected:
    ~ISchemaHostStorage() = default;
};

class CMemorySchemaStorage final : public ISchemaHostStorage {
public:
    static RefPtr<CMemorySchemaStorage> Create(const GUID& guid);

    HRESULT QueryInterface(const IID& iid, void** object) override;
    uint32_t AddRef() override { return m_refs.AddRef(); }
    uint32_t Release() override { return m_refs.Release(this); }

    GUID GetHostGuid() const override { return m_guid; }
    SchemaMetaRecord GetMetaRecord() const override;
    void ChangeMetaRecord(const std::function<void(SchemaMetaRecord&)>& change) override;
    StringList GetDefinitions(SchemaElementKind kind) const override;
    void SetDefinitions(SchemaElementKind kind, const StringList& definitions, bool markChanged) override;
    SchemaUsageMap GetUsageStatistics() const override;
    void ChangeUsageStatistics(const std::function<void(SchemaUsageMap&)>& change) override;
    // Nothing to write to: S_FALSE. Clears the changed marks and counts the call.
    HRESULT SaveInPlace() override;

    bool IsMetaChanged() const;
    bool IsDefinitionsChanged(SchemaElementKind kind) const;
    bool IsUsageChanged() const;
    int GetSaveCount() const;

private:
    explicit CMemorySchemaStorage(const GUID& guid) : m_guid(guid) {}
    ~CMemorySchemaStorage() = default;

    friend class CRefCount;  // deletes the object at its last Release
    CRefCount m_refs;
    const GUID m_guid;
    mutable std::mutex m_lock;
    SchemaMetaRecord m_meta;
    StringList m_definitions[kSchemaElementKinds];
    SchemaUsageMap m_usage;
    // New objects are changed, as a new cache entry is.
    bool m_metaChanged = true;
    bool m_definitionsChanged[kSchemaElementKinds] = {true, true, true, true, true};
    bool m_usageChanged = true;
    int m_saves = 0;
};
