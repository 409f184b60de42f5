#pragma once
// The schema cache: one schema model per host and run, and the file
// "schemacache.dat" in the per-user data folder that keeps every host's
// subschema definitions between runs.
//
// Root storage of the file: the streams "SchemaCacheMetaInfo" and
// "HostsInformation", and one sub-storage per host (CSchemaStorage) named from
// the host's GUID. A host is met again by its ports and a shared IPv4
// address; only hosts with an address are written to the file. A host without
// one (IPv6 only, or unknown to the resolver) is kept in memory for the run,
// met again by name, and fetched afresh in each run.
//
// A file that is not a store, or whose root streams do not read, is replaced
// by an empty cache; a host sub-storage that is missing or does not read is
// made anew, so the host is fetched and saved again. When no file can be
// had at all (locked by another instance, no access) the cache serves models
// without persistence.
//
// Locks: the cache lock is taken with no other lock held, around the lookup,
// model creation and host addition of GetSchemaForHost. Under it only the
// file's write lock and a host storage's own lock are taken. The new model's
// loading job is started after the cache lock is left.

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "schema/compound/CompoundStorage.h"
#include "schema/HostIdentity.h"
#include "schema/LDAPSchema.h"
#include "schema/SchemaCacheStreams.h"
#include "schema/SchemaStorage.h"

namespace arbldap {
class LDAPConnection;
} // namespace arbldap


class CSchemaCache final : public IPersistStorage {
public:
    static const CLSID kClassId;
    static const char* const kMetaInfoStream;   // "SchemaCacheMetaInfo"
    static const char* const kHostsStream;      // "HostsInformation"

    // A cache without a file, state 0. hosts: where host texts are resolved
    // (it must outlive the cache); null: the run's resolution cache.
    static RefPtr<CSchemaCache> Create(CHostResolutionCache* hosts = nullptr);

    // Backs a new cache with the file at path: made when missing, replaced
    // when it is not a store or its root streams do not read (an empty cache
    // then). False, with the cache left without a file, when the file can be
    // neither opened nor made; a file that another holder has open is never
    // replaced.
    bool AttachFile(const std::string& path);
    bool HasFile() const;

    // The model of the connection's host, with a reference for the caller;
    // null without a connection. The first request of a host in a run makes
    // the model and starts its loading job once; later ones, from any
    // thread, get the same model.
    RefPtr<CLDAPSchema> GetSchemaForHost(arbldap::LDAPConnection* connection);
    // The same for a host text and port; ssl tells which of the two record
    // ports the port is. connection is handed to the loading job.
    RefPtr<CLDAPSchema> GetSchemaForHost(const std::string& host, int port, bool ssl, arbldap::LDAPConnection* connection);

    // A new sub-storage for the GUID, initialised; E_FAIL for GUID_NULL,
    // without a file, or when it cannot be made.
    HRESULT AddHostStorage(const GUID& guid, RefPtr<CSchemaStorage>& storage);
    // The GUID's sub-storage, loaded. storage receives the object even when
    // opening or reading fails; it stays uninitialised then.
    HRESULT OpenHostStorage(const GUID& guid, RefPtr<CSchemaStorage>& storage);

    // Copies of the records kept in the file's host list, and of those kept
    // for this run only.
    std::vector<SchemaHostRecord> GetHostRecords() const;
    std::vector<SchemaHostRecord> GetRunOnlyHostRecords() const;

    // IUnknown: IID_IUnknown and IID_IPersistStorage.
    HRESULT QueryInterface(const IID& iid, void** object) override;
    uint32_t AddRef() override { return m_refs.AddRef(); }
    uint32_t Release() override { return m_refs.Release(this); }

    // The persistent storage object over the root storage.
    HRESULT GetClassID(CLSID* classId) override;
    HRESULT IsDirty() override;
    HRESULT InitNew(const std::shared_ptr<platform::CStorage>& storage) override;
    HRESULT Load(const std::shared_ptr<platform::CStorage>& storage) override;
    // State 1 only; writes both root streams from their start.
    HRESULT Save(const std::shared_ptr<platform::CStorage>& storage, bool sameAsLoad) override;
    HRESULT SaveCompleted(const std::shared_ptr<platform::CStorage>& storage) override;
    HRESULT HandsOffStorage() override;

    int GetState() const;

private:
    explicit CSchemaCache(CHostResolutionCache& hosts);
    // Releases every model (their storages are saved first), writes the root
    // streams and commits the file.
    ~CSchemaCache();

    HRESULT AddHostStorageLocked(const GUID& guid, RefPtr<CSchemaStorage>& storage);
    HRESULT OpenHostStorageLocked(const GUID& guid, RefPtr<CSchemaStorage>& storage);
    // A host storage to serve: the stored one, else one made anew in its
    // place, else one in memory.
    RefPtr<ISchemaHostStorage> StorageForRecord(const GUID& guid);
    HRESULT InitNewLocked(const std::shared_ptr<platform::CStorage>& storage);
    HRESULT LoadLocked(const std::shared_ptr<platform::CStorage>& storage);
    HRESULT SaveLocked(const std::shared_ptr<platform::CStorage>& storage, bool sameAsLoad);
    HRESULT WriteHostsNow();
    // Destroys every element of the root storage.
    HRESULT EmptyFile(platform::CStorage& root);
    // Drops records that can never be met or that would share a sub-storage,
    // and every root element that is neither a root stream nor a record's
    // sub-storage.
    void Tidy();
    void ResetContent();

    friend class CRefCount;  // deletes the object at its last Release
    CRefCount m_refs;
    CHostResolutionCache& m_hostNames;
    mutable std::mutex m_lock;  // the cache lock
    const std::shared_ptr<std::mutex> m_fileLock;
    bool m_dirty = true;
    bool m_initialized = false;
    int m_state = kStorageUninitialized;
    std::shared_ptr<platform::CStorage> m_storage;
    platform::CStream m_streams[2];
    RefPtr<CSchemaCacheMetaInfo> m_metaInfo;
    RefPtr<CHostsInformation> m_hosts;
    std::vector<SchemaHostRecord> m_runOnlyHosts;
};

// The folder of the cache file: the per-user data folder (ends with '/').
std::string GetSchemaCacheFolder();
// GetSchemaCacheFolder() + "schemacache.dat".
std::string GetSchemaCacheFilePath();

// At start-up, once: puts the run's cache into the process-wide holder,
// backed by the file. False when the holder already holds a cache, or when
// no file could be had (the holder then holds a cache without persistence).
bool OpenSchemaCacheFile();
bool OpenSchemaCacheFileAt(const std::string& path, CHostResolutionCache* hosts = nullptr);
// At exit: empties the holder; the cache is saved and closed with its last
// reference.
void CloseSchemaCacheFile();
// The run's cache; never null: without OpenSchemaCacheFile, one without
// persistence is made and held.
RefPtr<CSchemaCache> GetSchemaCache();

// The one built-in default schema, kept until exit; one more reference.
RefPtr<CLDAPSchema> GetBuiltInSchema();
