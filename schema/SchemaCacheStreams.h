#pragma once
// The objects behind the streams of the schema cache file, in the shape of
// persistent stream objects: each loads itself from a stream and saves itself
// into one at the stream's seek position, and keeps a changed flag. Every
// integer is little-endian; strings carry no terminator.
//
// Loading never trusts the file: a stream's size is checked against the bytes
// the file holds for it, every count and length against the bytes that remain,
// before anything is allocated; a stream that does not read leaves the object
// empty and answers E_FAIL.
//
// The objects take no lock of their own: the storage object that owns them
// (CSchemaCache, CSchemaStorage) serialises every use.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "base/StringList.h"
#include "schema/compound/CompoundStorage.h"
#include "base/RefPtr.h"
#include "base/Unknown.h"
#include "schema/HostIdentity.h"
#include "schema/LDAPSchema.h"
#include "schema/SchemaHostStorage.h"

typedef GUID CLSID;

constexpr HRESULT CO_E_ALREADYINITIALIZED = static_cast<HRESULT>(0x800401F1u);

// {0000010C-0000-0000-C000-000000000046}
inline const IID IID_IPersist = {0x0000010Cu, 0x0000u, 0x0000u, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {00000109-0000-0000-C000-000000000046}
inline const IID IID_IPersistStream = {0x00000109u, 0x0000u, 0x0000u,
                                       {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {0000010A-0000-0000-C000-000000000046}
inline const IID IID_IPersistStorage = {0x0000010Au, 0x0000u, 0x0000u,
                                        {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class IPersistStream : public IUnknown {
public:
    virtual HRESULT GetClassID(CLSID* classId) = 0;
    // S_OK when changed since the last load or clearing save, else S_FALSE.
    virtual HRESULT IsDirty() = 0;
    // E_FAIL without a stream or when the stream does not read.
    virtual HRESULT Load(platform::CStream* stream) = 0;
    virtual HRESULT Save(platform::CStream* stream, bool clearDirty) = 0;
    // The bytes a save of the present content takes.
    virtual HRESULT GetSizeMax(uint64_t* size) = 0;

protected:
    ~IPersistStream() = default;
};

class IPersistStorage : public IUnknown {
public:
    virtual HRESULT GetClassID(CLSID* classId) = 0;
    // E_FAIL while uninitialised.
    virtual HRESULT IsDirty() = 0;
    virtual HRESULT InitNew(const std::shared_ptr<platform::CStorage>& storage) = 0;
    virtual HRESULT Load(const std::shared_ptr<platform::CStorage>& storage) = 0;
    // Null storage with sameAsLoad: into the storage it was loaded from.
    virtual HRESULT Save(const std::shared_ptr<platform::CStorage>& storage, bool sameAsLoad) = 0;
    virtual HRESULT SaveCompleted(const std::shared_ptr<platform::CStorage>& storage) = 0;
    virtual HRESULT HandsOffStorage() = 0;

protected:
    ~IPersistStorage() = default;
};

// Storage object states.
enum SchemaStorageState : int {
    kStorageUninitialized = 0,
    kStorageNormal = 1,
    kStorageNoScribble = 2,
    kStorageHandsOff = 3,
};

constexpr uint32_t kDefaultLDAPPort = 389;
constexpr uint32_t kDefaultSSLPort = 636;

// One cached host: the GUID naming its sub-storage, the two ports and the
// host's identity. Only the addresses of the identity are stored. The model is
// this run's and is never stored.
struct SchemaHostRecord {
    GUID guid;
    uint32_t ldapPort = kDefaultLDAPPort;
    uint32_t sslPort = kDefaultSSLPort;
    CHostIdentity identity;
    RefPtr<CLDAPSchema> schema;

    // Both ports equal and the same host (a shared address; without any
    // address on either side, a shared name); with sameGuid the GUIDs too.
    bool Matches(const SchemaHostRecord& other, bool sameGuid) const;
};

// Reference count, changed flag and the interface answers shared by the
// stream objects.
class CSchemaStreamObject : public IPersistStream {
public:
    HRESULT QueryInterface(const IID& iid, void** object) override;
    uint32_t AddRef() override { return m_refs.AddRef(); }
    uint32_t Release() override { return m_refs.Release(this); }
    HRESULT GetClassID(CLSID* classId) override;
    HRESULT IsDirty() override { return m_dirty ? S_OK : S_FALSE; }

    void MarkChanged() { m_dirty = true; }

protected:
    explicit CSchemaStreamObject(const CLSID& classId) : m_classId(classId) {}
    virtual ~CSchemaStreamObject() = default;

    // Writes bytes at the stream's position; clears the flag when asked.
    HRESULT WriteBytes(platform::CStream* stream, const std::string& bytes, bool clearDirty);

    bool m_dirty = true;  // new objects are changed

private:
    friend class CRefCount;  // deletes the object at its last Release
    CRefCount m_refs;
    const CLSID m_classId;
};

// Stream "SchemaCacheMetaInfo": two words, written as 0 and 1, never used.
class CSchemaCacheMetaInfo final : public CSchemaStreamObject {
public:
    static RefPtr<CSchemaCacheMetaInfo> Create();
    static const CLSID kClassId;

    HRESULT Load(platform::CStream* stream) override;
    HRESULT Save(platform::CStream* stream, bool clearDirty) override;
    HRESULT GetSizeMax(uint64_t* size) override;

    uint32_t GetFirst() const { return m_first; }
    uint32_t GetSecond() const { return m_second; }

private:
    CSchemaCacheMetaInfo() : CSchemaStreamObject(kClassId) {}
    uint32_t m_first = 0;
    uint32_t m_second = 1;
};

// Stream "HostsInformation": the host records in order of addition.
class CHostsInformation final : public CSchemaStreamObject {
public:
    static RefPtr<CHostsInformation> Create();
    static const CLSID kClassId;

    HRESULT Load(platform::CStream* stream) override;
    HRESULT Save(platform::CStream* stream, bool clearDirty) override;
    HRESULT GetSizeMax(uint64_t* size) override;

    // Appends a copy and marks the list changed.
    void AddHost(const SchemaHostRecord& record);
    std::vector<SchemaHostRecord>& Hosts() { return m_hosts; }
    const std::vector<SchemaHostRecord>& Hosts() const { return m_hosts; }

private:
    CHostsInformation() : CSchemaStreamObject(kClassId) {}
    std::vector<SchemaHostRecord> m_hosts;
};

// Streams "objectClasses", "attributeTypes", "matchingRules",
// "mutchingRuleUses", "ldapSyntaxes": one definition text per string.
class CStringListStream final : public CSchemaStreamObject {
public:
    static RefPtr<CStringListStream> Create();
    static const CLSID kClassId;

    HRESULT Load(platform::CStream* stream) override;
    HRESULT Save(platform::CStream* stream, bool clearDirty) override;
    HRESULT GetSizeMax(uint64_t* size) override;

    StringList& GetList() { return m_list; }
    const StringList& GetList() const { return m_list; }

private:
    CStringListStream() : CSchemaStreamObject(kClassId) {}
    StringList m_list;
};

// Stream "objectClassesUsageStatistics": a use count per object class name,
// in byte order of the names.
class CUsageStatistics final : public CSchemaStreamObject {
public:
    static RefPtr<CUsageStatistics> Create();
    static const CLSID kClassId;

    HRESULT Load(platform::CStream* stream) override;
    HRESULT Save(platform::CStream* stream, bool clearDirty) override;
    HRESULT GetSizeMax(uint64_t* size) override;

    SchemaUsageMap& GetMap() { return m_usage; }
    const SchemaUsageMap& GetMap() const { return m_usage; }

private:
    CUsageStatistics() : CSchemaStreamObject(kClassId) {}
    SchemaUsageMap m_usage;
};

// Stream "SchemaMetaInformation": one SchemaMetaRecord in 16 bytes.
class CSchemaMetaInformation final : public CSchemaStreamObject {
public:
    static RefPtr<CSchemaMetaInformation> Create();
    static const CLSID kClassId;

    HRESULT Load(platform::CStream* stream) override;
    HRESULT Save(platform::CStream* stream, bool clearDirty) override;
    HRESULT GetSizeMax(uint64_t* size) override;

    SchemaMetaRecord& GetRecord() { return m_record; }
    const SchemaMetaRecord& GetRecord() const { return m_record; }

private:
    CSchemaMetaInformation() : CSchemaStreamObject(kClassId) {}
    SchemaMetaRecord m_record;
};

// The name of a host's sub-storage: the GUID's 32 upper-case hex digits cut
// to the 31 characters an element name may have.
std::string SchemaHostStorageName(const GUID& guid);
