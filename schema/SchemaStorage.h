#pragma once
// One host's part of the schema cache file: a sub-storage named from the
// host's GUID with seven streams, and the objects that hold them in memory.
// It is the persistent side of the host's schema model (ISchemaHostStorage)
// and, towards the file, a persistent storage object.
//
// Safe for any number of threads: the model reads it on the user-interface
// thread, the loading job fills and saves it on its worker, and the last
// release of the model saves it on whichever thread that happens. Every save
// also holds the file's write lock, shared with the cache and the file's other
// host storages, so one save of the file runs at a time.
//
// Lock order: the cache lock, then the file's write lock, then a storage's own
// lock.

#include <atomic>
#include <memory>
#include <mutex>

#include "schema/SchemaCacheStreams.h"
#include "schema/SchemaHostStorage.h"

class CSchemaStorage final : public ISchemaHostStorage, public IPersistStorage {
public:
    static const CLSID kClassId;
    // The streams of a host's sub-storage, in the order they are made and read.
    static const char* const kStreamNames[7];

    // Uninitialised until InitNew or Load. fileLock: the file's write lock;
    // null gives the storage one of its own.
    static RefPtr<CSchemaStorage> Create(const GUID& guid, std::shared_ptr<std::mutex> fileLock = nullptr);

    // IUnknown: IID_IUnknown and IID_IPersistStorage.
    HRESULT QueryInterface(const IID& iid, void** object) override;
    uint32_t AddRef() override { return m_refs.AddRef(); }
    uint32_t Release() override { return m_refs.Release(this); }

    // The persistent storage object.
    HRESULT GetClassID(CLSID* classId) override;
    // S_OK when anything changed since the last load or save.
    HRESULT IsDirty() override;
    // Creates the seven streams, each sized for its empty object; writes nothing.
    HRESULT InitNew(const std::shared_ptr<platform::CStorage>& storage) override;
    // Opens and reads the seven streams; the first that does not read fails
    // it, leaving the object uninitialised.
    HRESULT Load(const std::shared_ptr<platform::CStorage>& storage) override;
    // States 1 and 2. sameAsLoad: writes the changed objects into their
    // streams from the start. Into another storage: every object, into new
    // streams there. State 2 after.
    HRESULT Save(const std::shared_ptr<platform::CStorage>& storage, bool sameAsLoad) override;
    HRESULT SaveCompleted(const std::shared_ptr<platform::CStorage>& storage) override;
    HRESULT HandsOffStorage() override;

    int GetState() const;
    bool IsInitialized() const;

    // The model's side.
    GUID GetHostGuid() const override { return m_guid; }
    SchemaMetaRecord GetMetaRecord() const override;
    void ChangeMetaRecord(const std::function<void(SchemaMetaRecord&)>& change) override;
    StringList GetDefinitions(SchemaElementKind kind) const override;
    void SetDefinitions(SchemaElementKind kind, const StringList& definitions, bool markChanged) override;
    SchemaUsageMap GetUsageStatistics() const override;
    void ChangeUsageStatistics(const std::function<void(SchemaUsageMap&)>& change) override;
    // Save(null, same-as-load) under the file's write lock; E_FAIL while
    // uninitialised or handed off.
    HRESULT SaveInPlace() override;

private:
    CSchemaStorage(const GUID& guid, std::shared_ptr<std::mutex> fileLock);
    ~CSchemaStorage() = default;

    enum { kStreamCount = 7 };
    CSchemaStreamObject* Object(int index) const;
    CStringListStream* List(SchemaElementKind kind) const;
    HRESULT OpenStreams(platform::CStorage& storage, platform::CStream (&streams)[kStreamCount]) const;
    HRESULT SaveLocked(const std::shared_ptr<platform::CStorage>& storage, bool sameAsLoad);
    bool AnyObjectDirty() const;

    friend class CRefCount;  // deletes the object at its last Release
    CRefCount m_refs;
    const GUID m_guid;
    const std::shared_ptr<std::mutex> m_fileLock;
    mutable std::mutex m_lock;
    bool m_dirty = true;
    bool m_initialized = false;
    int m_state = kStorageUninitialized;
    std::shared_ptr<platform::CStorage> m_storage;
    platform::CStream m_streams[kStreamCount];
    RefPtr<CSchemaMetaInformation> m_meta;
    // objectClasses, attributeTypes, matchingRules, mutchingRuleUses, ldapSyntaxes
    RefPtr<CStringListStream> m_lists[5];
    RefPtr<CUsageStatistics> m_usage;
};
