#include "platform/GuidGen.h"
#include "schema/SchemaCache.h"

#include <set>
#include <utility>

#include "ldap/LDAPConnection.h"
#include "base/NoCase.h"
#include "platform/Folders.h"

using namespace arbldap;

// {7e59d6cd-b394-419f-9cfc-48a91643f594}
const CLSID CSchemaCache::kClassId = {0x7e59d6cdu, 0xb394u, 0x419fu,
                                      {0x9c, 0xfc, 0x48, 0xa9, 0x16, 0x43, 0xf5, 0x94}};
const char* const CSchemaCache::kMetaInfoStream = "SchemaCacheMetaInfo";
const char* const CSchemaCache::kHostsStream = "HostsInformation";

namespace {

constexpr uint32_t kFileMode = platform::STGM_READWRITE | platform::STGM_SHARE_EXCLUSIVE;
constexpr uint32_t kCreateMode = platform::STGM_CREATE | platform::STGM_SHARE_EXCLUSIVE | platform::STGM_READWRITE;
constexpr uint32_t kOpenMode = platform::STGM_SHARE_EXCLUSIVE | platform::STGM_READWRITE;
const char kCacheFileName[] = "schemacache.dat";

bool SameName(const std::string& a, const std::string& b)
{
    return StrICmp(a.c_str(), b.c_str()) == 0;
}

SchemaHostRecord* FindRecord(std::vector<SchemaHostRecord>& records, const SchemaHostRecord& candidate)
{
    for (SchemaHostRecord& r : records)
        if (r.Matches(candidate, false)) return &r;
    return nullptr;
}

} // namespace

// ---- life ----

RefPtr<CSchemaCache> CSchemaCache::Create(CHostResolutionCache* hosts)
{
    return RefPtr<CSchemaCache>(new CSchemaCache(hosts ? *hosts : CHostResolutionCache::ForRun()));
}

CSchemaCache::CSchemaCache(CHostResolutionCache& hosts)
    : m_hostNames(hosts),
      m_fileLock(std::make_shared<std::mutex>()),
      m_metaInfo(CSchemaCacheMetaInfo::Create()),
      m_hosts(CHostsInformation::Create())
{
}

CSchemaCache::~CSchemaCache()
{
    // The models go first. A model somebody still holds outlives the cache,
    // so its storage is saved here too: a refresh request or new use counts
    // must not wait for a release that may come after the file is closed.
    auto releaseModels = [](std::vector<SchemaHostRecord>& records) {
        for (SchemaHostRecord& r : records) {
            if (!r.schema) continue;
            if (ISchemaHostStorage* storage = r.schema->GetStorage()) storage->SaveInPlace();
            r.schema.reset();
        }
    };
    std::vector<SchemaHostRecord>& stored = m_hosts->Hosts();
    releaseModels(stored);
    releaseModels(m_runOnlyHosts);

    std::lock_guard<std::mutex> g(m_lock);
    if (m_state == kStorageNormal) SaveLocked(nullptr, true);
    if (m_storage) {
        std::lock_guard<std::mutex> file(*m_fileLock);
        m_storage->Commit(platform::STGC_DEFAULT);
    }
    for (platform::CStream& s : m_streams) s.Close();
    m_storage.reset();
}

HRESULT CSchemaCache::QueryInterface(const IID& iid, void** object)
{
    return QueryInterfaceTable({{IID_IUnknown, static_cast<IPersistStorage*>(this)}, {IID_IPersistStorage, static_cast<IPersistStorage*>(this)}}, iid, object);
}

HRESULT CSchemaCache::GetClassID(CLSID* classId)
{
    if (!classId) return E_POINTER;
    *classId = kClassId;
    return S_OK;
}

int CSchemaCache::GetState() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_state;
}

bool CSchemaCache::HasFile() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_storage != nullptr;
}

std::vector<SchemaHostRecord> CSchemaCache::GetHostRecords() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_hosts->Hosts();
}

std::vector<SchemaHostRecord> CSchemaCache::GetRunOnlyHostRecords() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_runOnlyHosts;
}

// ---- the file ----

void CSchemaCache::ResetContent()
{
    for (platform::CStream& s : m_streams) s.Close();
    m_storage.reset();
    m_metaInfo = CSchemaCacheMetaInfo::Create();
    m_hosts = CHostsInformation::Create();
    m_initialized = false;
    m_state = kStorageUninitialized;
    m_dirty = true;
}

bool CSchemaCache::AttachFile(const std::string& path)
{
    std::lock_guard<std::mutex> g(m_lock);
    if (m_storage || m_initialized) return false;

    auto root = std::make_shared<platform::CStorage>();
    // Made when missing and replaced when it is not a store, never while
    // another holder has it: a file that is locked or cannot be read may be
    // another instance's, and stays as it is.
    if (FAILED(platform::CStorage::OpenOrReplaceFile(path, kFileMode, *root))) return false;
    if (SUCCEEDED(LoadLocked(root))) {
        Tidy();
        return true;
    }
    // A new file, or root streams that do not read, which would make every
    // host new in every run, each with another sub-storage: an empty cache,
    // made in the file as it is open.
    ResetContent();
    if (FAILED(EmptyFile(*root)) || FAILED(InitNewLocked(root))) {
        ResetContent();
        return false;
    }
    std::lock_guard<std::mutex> file(*m_fileLock);
    root->Commit(platform::STGC_DEFAULT);
    return true;
}

HRESULT CSchemaCache::EmptyFile(platform::CStorage& root)
{
    std::lock_guard<std::mutex> file(*m_fileLock);
    std::vector<platform::StorageElementInfo> elements;
    HRESULT hr = root.EnumElements(elements);
    for (size_t i = 0; SUCCEEDED(hr) && i < elements.size(); ++i) hr = root.DestroyElement(elements[i].name);
    return hr;
}

void CSchemaCache::Tidy()
{
    std::vector<SchemaHostRecord>& hosts = m_hosts->Hosts();
    std::vector<SchemaHostRecord> kept;
    std::set<GUID> guids;
    for (SchemaHostRecord& r : hosts) {
        // Without an address a record is never met again; a GUID met twice
        // would have two storage objects write one sub-storage.
        if (!r.identity.HasAddress() || r.guid == GUID() || !guids.insert(r.guid).second) continue;
        kept.push_back(std::move(r));
    }
    bool dropped = kept.size() != hosts.size();
    hosts.swap(kept);

    std::set<std::string, NoCaseLess> names;
    for (const SchemaHostRecord& r : hosts) names.insert(SchemaHostStorageName(r.guid));
    std::lock_guard<std::mutex> file(*m_fileLock);
    std::vector<platform::StorageElementInfo> elements;
    if (SUCCEEDED(m_storage->EnumElements(elements))) {
        for (const platform::StorageElementInfo& e : elements) {
            bool rootStream = e.type == platform::STGTY_STREAM &&
                              (SameName(e.name, kMetaInfoStream) || SameName(e.name, kHostsStream));
            bool hostStorage = e.type == platform::STGTY_STORAGE && names.count(e.name);
            // Left behind by records dropped here or by a run that ended early.
            if (!rootStream && !hostStorage) m_storage->DestroyElement(e.name);
        }
    }
    if (dropped) {
        m_streams[1].Seek(0, platform::STREAM_SEEK_SET, nullptr);
        m_hosts->Save(&m_streams[1], true);
    }
}

HRESULT CSchemaCache::WriteHostsNow()
{
    if (!m_streams[1].IsOpen()) return E_FAIL;
    std::lock_guard<std::mutex> file(*m_fileLock);
    if (FAILED(m_streams[1].Seek(0, platform::STREAM_SEEK_SET, nullptr))) return E_FAIL;
    return m_hosts->Save(&m_streams[1], true);
}

// ---- host storages ----

HRESULT CSchemaCache::AddHostStorage(const GUID& guid, RefPtr<CSchemaStorage>& storage)
{
    std::lock_guard<std::mutex> g(m_lock);
    return AddHostStorageLocked(guid, storage);
}

HRESULT CSchemaCache::OpenHostStorage(const GUID& guid, RefPtr<CSchemaStorage>& storage)
{
    std::lock_guard<std::mutex> g(m_lock);
    return OpenHostStorageLocked(guid, storage);
}

HRESULT CSchemaCache::AddHostStorageLocked(const GUID& guid, RefPtr<CSchemaStorage>& storage)
{
    if (guid == GUID()) return E_FAIL;
    storage = CSchemaStorage::Create(guid, m_fileLock);
    if (!m_storage) return E_FAIL;
    std::lock_guard<std::mutex> file(*m_fileLock);
    auto sub = std::make_shared<platform::CStorage>();
    // Replaces a sub-storage of that name, as a damaged one is.
    if (FAILED(m_storage->CreateStorage(SchemaHostStorageName(guid), kCreateMode, *sub))) return E_FAIL;
    return FAILED(storage->InitNew(sub)) ? E_FAIL : S_OK;
}

HRESULT CSchemaCache::OpenHostStorageLocked(const GUID& guid, RefPtr<CSchemaStorage>& storage)
{
    storage = CSchemaStorage::Create(guid, m_fileLock);
    if (!m_storage) return E_FAIL;
    auto sub = std::make_shared<platform::CStorage>();
    if (FAILED(m_storage->OpenStorage(SchemaHostStorageName(guid), kOpenMode, *sub))) return E_FAIL;
    return storage->Load(sub);
}

RefPtr<ISchemaHostStorage> CSchemaCache::StorageForRecord(const GUID& guid)
{
    RefPtr<CSchemaStorage> storage;
    if (SUCCEEDED(OpenHostStorageLocked(guid, storage))) return storage;
    // Missing or damaged: made anew, so that the host is fetched and saved
    // again instead of being fetched and lost in every run.
    if (SUCCEEDED(AddHostStorageLocked(guid, storage))) return storage;
    return CMemorySchemaStorage::Create(guid);
}

// ---- models ----

RefPtr<CLDAPSchema> CSchemaCache::GetSchemaForHost(LDAPConnection* connection)
{
    if (!connection) return RefPtr<CLDAPSchema>();
    const LDAPOperationOptions* options = connection->GetOptions();
    bool ssl = (options && options->GetUseSSL()) || connection->IsSSL();
    return GetSchemaForHost(connection->GetHost(), connection->GetPort(), ssl, connection);
}

RefPtr<CLDAPSchema> CSchemaCache::GetSchemaForHost(const std::string& host, int port, bool ssl,
                                                    LDAPConnection* connection)
{
    SchemaHostRecord candidate;
    candidate.ldapPort = ssl ? kDefaultLDAPPort : static_cast<uint32_t>(port);
    candidate.sslPort = ssl ? static_cast<uint32_t>(port) : kDefaultSSLPort;
    // Outside the lock: the first lookup of a host text blocks on the resolver.
    candidate.identity = CHostIdentity(host, m_hostNames);

    RefPtr<CLDAPSchema> schema;
    bool created = false;
    {
        std::lock_guard<std::mutex> g(m_lock);
        SchemaHostRecord* found = FindRecord(m_hosts->Hosts(), candidate);
        bool stored = found != nullptr;
        if (!found) found = FindRecord(m_runOnlyHosts, candidate);
        if (found) {
            if (!found->schema) {
                RefPtr<ISchemaHostStorage> storage = stored ? StorageForRecord(found->guid)
                                                             : RefPtr<ISchemaHostStorage>(
                                                                   CMemorySchemaStorage::Create(found->guid));
                found->schema = CLDAPSchema::CreateForHostDeferred(storage);
                created = true;
            }
            schema = found->schema;
        } else {
            candidate.guid = platform::CreateGuid();
            RefPtr<CSchemaStorage> storage;
            // Only a host with an address can be met again in a later run.
            if (candidate.identity.HasAddress() && SUCCEEDED(AddHostStorageLocked(candidate.guid, storage))) {
                candidate.schema = CLDAPSchema::CreateForHostDeferred(storage);
                m_hosts->AddHost(candidate);
                WriteHostsNow();
            } else {
                candidate.schema = CLDAPSchema::CreateForHostDeferred(CMemorySchemaStorage::Create(candidate.guid));
                m_runOnlyHosts.push_back(candidate);
            }
            schema = candidate.schema;
            created = true;
        }
    }
    // The starter runs code of its own (a worker thread, its registry): never under the cache lock.
    if (created) CLDAPSchema::StartLoading(schema, connection);
    return schema;
}

// ---- the persistent storage object ----

HRESULT CSchemaCache::IsDirty()
{
    std::lock_guard<std::mutex> g(m_lock);
    if (!m_initialized) return E_FAIL;
    return m_dirty || m_metaInfo->IsDirty() == S_OK || m_hosts->IsDirty() == S_OK ? S_OK : S_FALSE;
}

HRESULT CSchemaCache::InitNew(const std::shared_ptr<platform::CStorage>& storage)
{
    std::lock_guard<std::mutex> g(m_lock);
    return InitNewLocked(storage);
}

HRESULT CSchemaCache::InitNewLocked(const std::shared_ptr<platform::CStorage>& storage)
{
    if (!storage) return E_FAIL;
    if (m_initialized) return CO_E_ALREADYINITIALIZED;
    if (m_state != kStorageUninitialized) return E_FAIL;
    std::lock_guard<std::mutex> file(*m_fileLock);
    platform::CStream streams[2];
    const char* names[2] = {kMetaInfoStream, kHostsStream};
    IPersistStream* objects[2] = {m_metaInfo.get(), m_hosts.get()};
    for (int i = 0; i < 2; ++i) {
        uint64_t size = 0;
        if (FAILED(storage->CreateStream(names[i], kCreateMode, streams[i]))) return E_FAIL;
        if (FAILED(objects[i]->GetSizeMax(&size)) || FAILED(streams[i].SetSize(size))) return E_FAIL;
    }
    for (int i = 0; i < 2; ++i) m_streams[i] = std::move(streams[i]);
    m_storage = storage;
    m_initialized = true;
    m_state = kStorageNormal;
    m_dirty = false;
    return S_OK;
}

HRESULT CSchemaCache::Load(const std::shared_ptr<platform::CStorage>& storage)
{
    std::lock_guard<std::mutex> g(m_lock);
    return LoadLocked(storage);
}

HRESULT CSchemaCache::LoadLocked(const std::shared_ptr<platform::CStorage>& storage)
{
    if (!storage) return E_FAIL;
    if (m_initialized) return CO_E_ALREADYINITIALIZED;
    std::lock_guard<std::mutex> file(*m_fileLock);
    platform::CStream streams[2];
    const char* names[2] = {kMetaInfoStream, kHostsStream};
    IPersistStream* objects[2] = {m_metaInfo.get(), m_hosts.get()};
    for (int i = 0; i < 2; ++i) {
        if (FAILED(storage->OpenStream(names[i], kOpenMode, streams[i])) || FAILED(objects[i]->Load(&streams[i])))
            return E_FAIL;
    }
    for (int i = 0; i < 2; ++i) m_streams[i] = std::move(streams[i]);
    m_storage = storage;
    m_initialized = true;
    m_state = kStorageNormal;
    m_dirty = false;
    return S_OK;
}

HRESULT CSchemaCache::Save(const std::shared_ptr<platform::CStorage>& storage, bool sameAsLoad)
{
    std::lock_guard<std::mutex> g(m_lock);
    return SaveLocked(storage, sameAsLoad);
}

HRESULT CSchemaCache::SaveLocked(const std::shared_ptr<platform::CStorage>& storage, bool sameAsLoad)
{
    if (m_state != kStorageNormal) return E_FAIL;
    if (!storage && !sameAsLoad) return E_FAIL;
    std::lock_guard<std::mutex> file(*m_fileLock);
    const char* names[2] = {kMetaInfoStream, kHostsStream};
    IPersistStream* objects[2] = {m_metaInfo.get(), m_hosts.get()};
    bool ok = true;
    for (int i = 0; i < 2; ++i) {
        if (sameAsLoad) {
            if (FAILED(m_streams[i].Seek(0, platform::STREAM_SEEK_SET, nullptr)) ||
                FAILED(objects[i]->Save(&m_streams[i], true)))
                ok = false;
        } else {
            platform::CStream stream;
            if (FAILED(storage->CreateStream(names[i], kCreateMode, stream)) || FAILED(objects[i]->Save(&stream, false)))
                ok = false;
        }
    }
    if (!ok) return E_FAIL;
    if (sameAsLoad) m_dirty = false;
    m_state = kStorageNoScribble;
    return S_OK;
}

HRESULT CSchemaCache::SaveCompleted(const std::shared_ptr<platform::CStorage>& storage)
{
    std::lock_guard<std::mutex> g(m_lock);
    if (m_state != kStorageNoScribble && m_state != kStorageHandsOff) return E_FAIL;
    if (m_state == kStorageHandsOff && !storage) return E_FAIL;
    if (storage) {
        platform::CStream streams[2];
        const char* names[2] = {kMetaInfoStream, kHostsStream};
        for (int i = 0; i < 2; ++i)
            if (FAILED(storage->OpenStream(names[i], kOpenMode, streams[i]))) return E_FAIL;
        for (int i = 0; i < 2; ++i) m_streams[i] = std::move(streams[i]);
        m_storage = storage;
    }
    m_state = kStorageNormal;
    return S_OK;
}

HRESULT CSchemaCache::HandsOffStorage()
{
    std::lock_guard<std::mutex> g(m_lock);
    if (m_state == kStorageUninitialized || m_state == kStorageHandsOff) return E_FAIL;
    for (platform::CStream& s : m_streams) s.Close();
    m_storage.reset();
    m_state = kStorageHandsOff;
    return S_OK;
}

// ---- the run's cache ----

namespace {

std::mutex& HolderLock()
{
    static std::mutex lock;
    return lock;
}

// Never destroyed: the cache is closed by CloseSchemaCacheFile, from the
// closer below at the latest, while the storage layer still stands.
RefPtr<CSchemaCache>& Holder()
{
    static RefPtr<CSchemaCache>* holder = new RefPtr<CSchemaCache>();
    return *holder;
}

struct CacheCloser {
    ~CacheCloser() { CloseSchemaCacheFile(); }
};

} // namespace

std::string GetSchemaCacheFolder()
{
    return platform::GetUserDataFolder();
}

std::string GetSchemaCacheFilePath()
{
    return GetSchemaCacheFolder() + kCacheFileName;
}

bool OpenSchemaCacheFile()
{
    return OpenSchemaCacheFileAt(GetSchemaCacheFilePath());
}

bool OpenSchemaCacheFileAt(const std::string& path, CHostResolutionCache* hosts)
{
    {
        std::lock_guard<std::mutex> g(HolderLock());
        if (Holder()) return false;
    }
    RefPtr<CSchemaCache> cache = CSchemaCache::Create(hosts);
    bool attached = cache->AttachFile(path);
    // Made after the storage layer's own statics, so destroyed before them:
    // the program's exit saves the cache while the file can still be written.
    static CacheCloser closer;
    {
        std::lock_guard<std::mutex> g(HolderLock());
        if (Holder()) return false;
        // Without a file the run still gets one model per host, kept in memory.
        Holder() = cache;
    }
    return attached;
}

void CloseSchemaCacheFile()
{
    RefPtr<CSchemaCache> cache;
    {
        std::lock_guard<std::mutex> g(HolderLock());
        cache = std::move(Holder());
    }
    // Saved and closed here, with its last reference, outside the holder lock.
}

RefPtr<CSchemaCache> GetSchemaCache()
{
    std::lock_guard<std::mutex> g(HolderLock());
    if (!Holder()) Holder() = CSchemaCache::Create();
    return Holder();
}

RefPtr<CLDAPSchema> GetBuiltInSchema()
{
    static std::mutex lock;
    static RefPtr<CLDAPSchema> builtIn;
    std::lock_guard<std::mutex> g(lock);
    if (!builtIn) builtIn = CLDAPSchema::CreateBuiltIn();
    return builtIn;
}
