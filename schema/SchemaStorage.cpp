#include "schema/SchemaStorage.h"

#include <utility>

using namespace arbldap;

// {0b078d8e-ea8b-4463-9b05-cdf78e32997c}
const CLSID CSchemaStorage::kClassId = {0x0b078d8eu, 0xea8bu, 0x4463u,
                                        {0x9b, 0x05, 0xcd, 0xf7, 0x8e, 0x32, 0x99, 0x7c}};

const char* const CSchemaStorage::kStreamNames[7] = {
    "SchemaMetaInformation", "objectClasses", "attributeTypes",
    "matchingRules",         "mutchingRuleUses", "ldapSyntaxes",
    "objectClassesUsageStatistics",
};

namespace {

constexpr uint32_t kCreateMode = platform::STGM_CREATE | platform::STGM_SHARE_EXCLUSIVE | platform::STGM_READWRITE;
constexpr uint32_t kOpenMode = platform::STGM_SHARE_EXCLUSIVE | platform::STGM_READWRITE;

} // namespace

RefPtr<CSchemaStorage> CSchemaStorage::Create(const GUID& guid, std::shared_ptr<std::mutex> fileLock)
{
    if (!fileLock) fileLock = std::make_shared<std::mutex>();
    return RefPtr<CSchemaStorage>(new CSchemaStorage(guid, std::move(fileLock)));
}

CSchemaStorage::CSchemaStorage(const GUID& guid, std::shared_ptr<std::mutex> fileLock)
    : m_guid(guid),
      m_fileLock(std::move(fileLock)),
      m_meta(CSchemaMetaInformation::Create()),
      m_usage(CUsageStatistics::Create())
{
    for (RefPtr<CStringListStream>& list : m_lists) list = CStringListStream::Create();
}

HRESULT CSchemaStorage::QueryInterface(const IID& iid, void** object)
{
    return QueryInterfaceTable({{IID_IUnknown, static_cast<ISchemaHostStorage*>(this)}, {IID_IPersistStorage, static_cast<IPersistStorage*>(this)}}, iid, object);
}

HRESULT CSchemaStorage::GetClassID(CLSID* classId)
{
    if (!classId) return E_POINTER;
    *classId = kClassId;
    return S_OK;
}

CSchemaStreamObject* CSchemaStorage::Object(int index) const
{
    if (index == 0) return m_meta.get();
    if (index == kStreamCount - 1) return m_usage.get();
    return m_lists[index - 1].get();
}

CStringListStream* CSchemaStorage::List(SchemaElementKind kind) const
{
    switch (kind) {
    case SchemaElementKind::ObjectClass: return m_lists[0].get();
    case SchemaElementKind::AttributeType: return m_lists[1].get();
    case SchemaElementKind::MatchingRule: return m_lists[2].get();
    case SchemaElementKind::MatchingRuleUse: return m_lists[3].get();
    case SchemaElementKind::Syntax: return m_lists[4].get();
    }
    return m_lists[0].get();
}

bool CSchemaStorage::AnyObjectDirty() const
{
    for (int i = 0; i < kStreamCount; ++i)
        if (Object(i)->IsDirty() == S_OK) return true;
    return false;
}

HRESULT CSchemaStorage::IsDirty()
{
    std::lock_guard<std::mutex> g(m_lock);
    if (!m_initialized) return E_FAIL;
    return m_dirty || AnyObjectDirty() ? S_OK : S_FALSE;
}

int CSchemaStorage::GetState() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_state;
}

bool CSchemaStorage::IsInitialized() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_initialized;
}

HRESULT CSchemaStorage::InitNew(const std::shared_ptr<platform::CStorage>& storage)
{
    if (!storage) return E_FAIL;
    std::lock_guard<std::mutex> g(m_lock);
    if (m_initialized) return CO_E_ALREADYINITIALIZED;
    if (m_state != kStorageUninitialized) return E_FAIL;
    platform::CStream streams[kStreamCount];
    for (int i = 0; i < kStreamCount; ++i) {
        uint64_t size = 0;
        if (FAILED(storage->CreateStream(kStreamNames[i], kCreateMode, streams[i]))) return E_FAIL;
        if (FAILED(Object(i)->GetSizeMax(&size)) || FAILED(streams[i].SetSize(size))) return E_FAIL;
    }
    for (int i = 0; i < kStreamCount; ++i) m_streams[i] = std::move(streams[i]);
    m_storage = storage;
    m_initialized = true;
    m_state = kStorageNormal;
    m_dirty = true;
    return S_OK;
}

HRESULT CSchemaStorage::Load(const std::shared_ptr<platform::CStorage>& storage)
{
    if (!storage) return E_FAIL;
    std::lock_guard<std::mutex> g(m_lock);
    if (m_initialized) return CO_E_ALREADYINITIALIZED;
    platform::CStream streams[kStreamCount];
    for (int i = 0; i < kStreamCount; ++i) {
        if (FAILED(storage->OpenStream(kStreamNames[i], kOpenMode, streams[i])) ||
            FAILED(Object(i)->Load(&streams[i]))) {
            // Nothing half-read stays behind: the objects start over as new ones.
            m_meta = CSchemaMetaInformation::Create();
            for (RefPtr<CStringListStream>& list : m_lists) list = CStringListStream::Create();
            m_usage = CUsageStatistics::Create();
            return E_FAIL;
        }
    }
    for (int i = 0; i < kStreamCount; ++i) m_streams[i] = std::move(streams[i]);
    m_storage = storage;
    m_initialized = true;
    m_state = kStorageNormal;
    m_dirty = false;
    return S_OK;
}

HRESULT CSchemaStorage::OpenStreams(platform::CStorage& storage, platform::CStream (&streams)[kStreamCount]) const
{
    for (int i = 0; i < kStreamCount; ++i)
        if (FAILED(storage.OpenStream(kStreamNames[i], kOpenMode, streams[i]))) return E_FAIL;
    return S_OK;
}

HRESULT CSchemaStorage::SaveLocked(const std::shared_ptr<platform::CStorage>& storage, bool sameAsLoad)
{
    if (m_state != kStorageNormal && m_state != kStorageNoScribble) return E_FAIL;
    if (!storage && !sameAsLoad) return E_FAIL;
    bool ok = true;
    if (sameAsLoad) {
        // Each stream commits on its own: the meta record (stream 0), which
        // says the definitions are current, goes last and only after they
        // are all written, so a crash between commits leaves a refresh due.
        for (int k = 1; k <= kStreamCount; ++k) {
            const int i = k % kStreamCount;
            if (i == 0 && !ok) break;
            CSchemaStreamObject* object = Object(i);
            if (object->IsDirty() != S_OK) continue;
            // From the start; a stream is never cut, bytes after the content are not read.
            if (FAILED(m_streams[i].Seek(0, platform::STREAM_SEEK_SET, nullptr)) ||
                FAILED(object->Save(&m_streams[i], true)))
                ok = false;
        }
        if (ok) m_dirty = false;
    } else {
        for (int i = 0; i < kStreamCount; ++i) {
            platform::CStream stream;
            if (FAILED(storage->CreateStream(kStreamNames[i], kCreateMode, stream)) ||
                FAILED(Object(i)->Save(&stream, false)))
                ok = false;
        }
    }
    if (!ok) return E_FAIL;
    m_state = kStorageNoScribble;
    return S_OK;
}

HRESULT CSchemaStorage::Save(const std::shared_ptr<platform::CStorage>& storage, bool sameAsLoad)
{
    std::lock_guard<std::mutex> file(*m_fileLock);
    std::lock_guard<std::mutex> g(m_lock);
    return SaveLocked(storage, sameAsLoad);
}

HRESULT CSchemaStorage::SaveInPlace()
{
    return Save(nullptr, true);
}

HRESULT CSchemaStorage::SaveCompleted(const std::shared_ptr<platform::CStorage>& storage)
{
    std::lock_guard<std::mutex> g(m_lock);
    if (m_state != kStorageNoScribble && m_state != kStorageHandsOff) return E_FAIL;
    if (m_state == kStorageHandsOff && !storage) return E_FAIL;
    if (storage) {
        platform::CStream streams[kStreamCount];
        if (FAILED(OpenStreams(*storage, streams))) return E_FAIL;
        for (int i = 0; i < kStreamCount; ++i) m_streams[i] = std::move(streams[i]);
        m_storage = storage;
    }
    m_state = kStorageNormal;
    return S_OK;
}

HRESULT CSchemaStorage::HandsOffStorage()
{
    std::lock_guard<std::mutex> g(m_lock);
    if (m_state == kStorageUninitialized || m_state == kStorageHandsOff) return E_FAIL;
    for (platform::CStream& s : m_streams) s.Close();
    m_storage.reset();
    m_state = kStorageHandsOff;
    return S_OK;
}

SchemaMetaRecord CSchemaStorage::GetMetaRecord() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_meta->GetRecord();
}

void CSchemaStorage::ChangeMetaRecord(const std::function<void(SchemaMetaRecord&)>& change)
{
    std::lock_guard<std::mutex> g(m_lock);
    change(m_meta->GetRecord());
    m_meta->MarkChanged();
}

StringList CSchemaStorage::GetDefinitions(SchemaElementKind kind) const
{
    std::lock_guard<std::mutex> g(m_lock);
    return List(kind)->GetList();
}

void CSchemaStorage::SetDefinitions(SchemaElementKind kind, const StringList& definitions, bool markChanged)
{
    std::lock_guard<std::mutex> g(m_lock);
    CStringListStream* list = List(kind);
    list->GetList() = definitions;
    if (markChanged) list->MarkChanged();
}

SchemaUsageMap CSchemaStorage::GetUsageStatistics() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_usage->GetMap();
}

void CSchemaStorage::ChangeUsageStatistics(const std::function<void(SchemaUsageMap&)>& change)
{
    std::lock_guard<std::mutex> g(m_lock);
    change(m_usage->GetMap());
    m_usage->MarkChanged();
}
