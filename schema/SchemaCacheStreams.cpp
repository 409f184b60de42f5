#include "schema/SchemaCacheStreams.h"

#include <limits>
#include <new>

#include "base/ArchiveText.h"
#include "base/Archive.h"
#include "platform/CGuidText.h"

using namespace arbldap;

// {b93f0f87-8674-4da2-984c-9534f4e1185d}
const CLSID CSchemaCacheMetaInfo::kClassId = {0xb93f0f87u, 0x8674u, 0x4da2u,
                                              {0x98, 0x4c, 0x95, 0x34, 0xf4, 0xe1, 0x18, 0x5d}};
// {1b50cdad-ba76-4dfc-bd72-106c4973c6e8}
const CLSID CHostsInformation::kClassId = {0x1b50cdadu, 0xba76u, 0x4dfcu,
                                           {0xbd, 0x72, 0x10, 0x6c, 0x49, 0x73, 0xc6, 0xe8}};
// {825cdc21-c99d-4ced-a24a-a732c3b84bfe}
const CLSID CStringListStream::kClassId = {0x825cdc21u, 0xc99du, 0x4cedu,
                                           {0xa2, 0x4a, 0xa7, 0x32, 0xc3, 0xb8, 0x4b, 0xfe}};
// {a2fb0dec-a81c-4672-9cc4-a522c99f3c48}
const CLSID CUsageStatistics::kClassId = {0xa2fb0decu, 0xa81cu, 0x4672u,
                                          {0x9c, 0xc4, 0xa5, 0x22, 0xc9, 0x9f, 0x3c, 0x48}};
// {d870ff36-675b-4f12-923b-ad62ba440383}
const CLSID CSchemaMetaInformation::kClassId = {0xd870ff36u, 0x675bu, 0x4f12u,
                                                {0x92, 0x3b, 0xad, 0x62, 0xba, 0x44, 0x03, 0x83}};

namespace {

// No schema comes near this; a bigger stream is damage, not a reason to
// allocate its size at start-up.
constexpr uint64_t kMaxStreamBytes = 256u << 20;
// The zeros a stream may hold that the file has no bytes for: those of a new
// stream, sized for its empty object and not written yet. More is a size that
// nothing backs, and it is never allocated.
constexpr uint64_t kMaxUnstoredBytes = 4096;

constexpr size_t kHostRecordFixedBytes = 16 + 4 + 4 + 4;

// The bytes from the stream's position to its end. A read of 0 bytes is not
// an error here; the caller decides what an empty stream means.
HRESULT ReadRest(platform::CStream* stream, std::string& out)
{
    out.clear();
    uint64_t size = 0, stored = 0;
    if (FAILED(stream->GetSize(size)) || FAILED(stream->GetStoredSize(stored))) return E_FAIL;
    if (size - stored > kMaxUnstoredBytes) return E_FAIL;
    uint64_t position = stream->GetPosition();
    if (position >= size) return S_OK;
    uint64_t rest = size - position;
    if (rest > kMaxStreamBytes) return E_FAIL;
    out.resize(static_cast<size_t>(rest));
    uint32_t read = 0;
    if (FAILED(stream->Read(&out[0], static_cast<uint32_t>(rest), &read)) || read != rest) {
        out.clear();
        return E_FAIL;
    }
    return S_OK;
}

// Exactly count bytes, or E_FAIL.
HRESULT ReadExactly(platform::CStream* stream, std::string& out, uint32_t count)
{
    out.assign(count, '\0');
    uint32_t read = 0;
    if (FAILED(stream->Read(&out[0], count, &read)) || read != count) return E_FAIL;
    return S_OK;
}

void WriteInt64(CArchive& ar, int64_t v)
{
    uint64_t u = static_cast<uint64_t>(v);
    ar.WriteUInt32(static_cast<uint32_t>(u & 0xFFFFFFFFu));
    ar.WriteUInt32(static_cast<uint32_t>(u >> 32));
}

int64_t ReadInt64(CArchive& ar)
{
    uint64_t low = ar.ReadUInt32();
    uint64_t high = ar.ReadUInt32();
    return static_cast<int64_t>(low | (high << 32));
}

bool FitsCount(size_t n) { return n <= std::numeric_limits<uint32_t>::max(); }

// Length-prefixed string; false when it is too long for its length field.
bool WriteCountedString(CArchive& ar, const std::string& s)
{
    if (!FitsCount(s.size())) return false;
    WriteStdString(ar, s);
    return true;
}

template <typename Parse>
HRESULT ParseGuarded(const std::string& bytes, Parse parse)
{
    try {
        CArchive ar(bytes);
        parse(ar);
        return S_OK;
    } catch (const CArchiveException&) {
        return E_FAIL;
    } catch (const std::bad_alloc&) {
        return E_FAIL;
    }
}

} // namespace

// ---- SchemaHostRecord ----

bool SchemaHostRecord::Matches(const SchemaHostRecord& other, bool sameGuid) const
{
    if (sameGuid && guid != other.guid) return false;
    return ldapPort == other.ldapPort && sslPort == other.sslPort && identity.IsSameHost(other.identity);
}

std::string SchemaHostStorageName(const GUID& guid)
{
    std::wstring hex;
    FormatGuidHex(&guid, &hex);
    std::string name(hex.begin(), hex.end());  // hex digits only
    if (name.size() > platform::kMaxElementName) name.resize(platform::kMaxElementName);
    return name;
}

// ---- CSchemaStreamObject ----

HRESULT CSchemaStreamObject::QueryInterface(const IID& iid, void** object)
{
    return QueryInterfaceTable({{IID_IUnknown, static_cast<IPersistStream*>(this)}, {IID_IPersistStream, static_cast<IPersistStream*>(this)}}, iid, object);
}

HRESULT CSchemaStreamObject::GetClassID(CLSID* classId)
{
    if (!classId) return E_POINTER;
    *classId = m_classId;
    return S_OK;
}

HRESULT CSchemaStreamObject::WriteBytes(platform::CStream* stream, const std::string& bytes, bool clearDirty)
{
    if (!FitsCount(bytes.size())) return E_FAIL;
    uint32_t written = 0;
    HRESULT hr = stream->Write(bytes.data(), static_cast<uint32_t>(bytes.size()), &written);
    if (FAILED(hr) || written != bytes.size()) return E_FAIL;
    if (clearDirty) m_dirty = false;
    return S_OK;
}

// ---- CSchemaCacheMetaInfo ----

RefPtr<CSchemaCacheMetaInfo> CSchemaCacheMetaInfo::Create()
{
    return RefPtr<CSchemaCacheMetaInfo>(new CSchemaCacheMetaInfo());
}

HRESULT CSchemaCacheMetaInfo::Load(platform::CStream* stream)
{
    if (!stream) return E_FAIL;
    std::string bytes;
    if (FAILED(ReadExactly(stream, bytes, 8))) return E_FAIL;
    CArchive ar(bytes);
    m_first = ar.ReadUInt32();
    m_second = ar.ReadUInt32();
    m_dirty = false;
    return S_OK;
}

HRESULT CSchemaCacheMetaInfo::Save(platform::CStream* stream, bool clearDirty)
{
    if (!stream) return E_FAIL;
    CArchive ar;
    ar.WriteUInt32(m_first);
    ar.WriteUInt32(m_second);
    return WriteBytes(stream, ar.GetBuffer(), clearDirty);
}

HRESULT CSchemaCacheMetaInfo::GetSizeMax(uint64_t* size)
{
    if (!size) return E_POINTER;
    *size = 8;
    return S_OK;
}

// ---- CHostsInformation ----

RefPtr<CHostsInformation> CHostsInformation::Create()
{
    return RefPtr<CHostsInformation>(new CHostsInformation());
}

void CHostsInformation::AddHost(const SchemaHostRecord& record)
{
    m_hosts.push_back(record);
    m_dirty = true;
}

HRESULT CHostsInformation::Load(platform::CStream* stream)
{
    if (!stream) return E_FAIL;
    m_hosts.clear();
    m_dirty = false;
    std::string bytes;
    if (FAILED(ReadRest(stream, bytes)) || bytes.size() < 4) return E_FAIL;
    std::vector<SchemaHostRecord> hosts;
    HRESULT hr = ParseGuarded(bytes, [&](CArchive& ar) {
        uint32_t n = ar.ReadCount(kHostRecordFixedBytes);
        hosts.reserve(n);
        for (uint32_t i = 0; i < n; ++i) {
            SchemaHostRecord r;
            ReadGuid(ar, r.guid);
            r.ldapPort = ar.ReadUInt32();
            r.sslPort = ar.ReadUInt32();
            uint32_t addresses = ar.ReadCount(4);
            for (uint32_t a = 0; a < addresses; ++a) r.identity.AddAddress(ar.ReadUInt32());
            hosts.push_back(std::move(r));
        }
    });
    if (FAILED(hr)) return E_FAIL;
    m_hosts.swap(hosts);
    return S_OK;
}

HRESULT CHostsInformation::Save(platform::CStream* stream, bool clearDirty)
{
    if (!stream) return E_FAIL;
    if (!FitsCount(m_hosts.size())) return E_FAIL;
    CArchive ar;
    ar.WriteUInt32(static_cast<uint32_t>(m_hosts.size()));
    for (const SchemaHostRecord& r : m_hosts) {
        WriteGuid(ar, r.guid);
        ar.WriteUInt32(r.ldapPort);
        ar.WriteUInt32(r.sslPort);
        const CHostIdentity::AddressSet& addresses = r.identity.GetAddresses();
        ar.WriteUInt32(static_cast<uint32_t>(addresses.size()));
        // The set is ordered by the word's value, as the file wants; each word
        // holds the address bytes in network order, little-endian on this host.
        for (uint32_t a : addresses) ar.WriteUInt32(a);
    }
    return WriteBytes(stream, ar.GetBuffer(), clearDirty);
}

HRESULT CHostsInformation::GetSizeMax(uint64_t* size)
{
    if (!size) return E_POINTER;
    uint64_t n = 4;
    for (const SchemaHostRecord& r : m_hosts) n += kHostRecordFixedBytes + 4u * r.identity.GetAddresses().size();
    *size = n;
    return S_OK;
}

// ---- CStringListStream ----

RefPtr<CStringListStream> CStringListStream::Create()
{
    return RefPtr<CStringListStream>(new CStringListStream());
}

HRESULT CStringListStream::Load(platform::CStream* stream)
{
    if (!stream) return E_FAIL;
    m_list.Clear();
    std::string bytes;
    if (FAILED(ReadRest(stream, bytes))) return E_FAIL;
    // Nothing at all where the count should be: an empty list.
    if (bytes.empty()) return S_OK;
    StringList list;
    if (FAILED(ParseGuarded(bytes, [&](CArchive& ar) { ReadStringList(ar, list); }))) return E_FAIL;
    m_list = std::move(list);
    m_dirty = false;
    return S_OK;
}

HRESULT CStringListStream::Save(platform::CStream* stream, bool clearDirty)
{
    if (!stream) return E_FAIL;
    if (!FitsCount(m_list.GetCount())) return E_FAIL;
    CArchive ar;
    ar.WriteUInt32(static_cast<uint32_t>(m_list.GetCount()));
    for (const std::string& s : m_list)
        if (!WriteCountedString(ar, s)) return E_FAIL;
    return WriteBytes(stream, ar.GetBuffer(), clearDirty);
}

HRESULT CStringListStream::GetSizeMax(uint64_t* size)
{
    if (!size) return E_POINTER;
    uint64_t n = 4;
    for (const std::string& s : m_list) n += 4 + s.size();
    *size = n;
    return S_OK;
}

// ---- CUsageStatistics ----

RefPtr<CUsageStatistics> CUsageStatistics::Create()
{
    return RefPtr<CUsageStatistics>(new CUsageStatistics());
}

HRESULT CUsageStatistics::Load(platform::CStream* stream)
{
    if (!stream) return E_FAIL;
    m_usage.clear();
    std::string bytes;
    if (FAILED(ReadRest(stream, bytes))) return E_FAIL;
    if (bytes.empty()) return S_OK;
    SchemaUsageMap usage;
    HRESULT hr = ParseGuarded(bytes, [&](CArchive& ar) {
        uint32_t n = ar.ReadCount(8);
        for (uint32_t i = 0; i < n; ++i) {
            std::string name;
            ReadStdString(ar, name);
            uint32_t count = ar.ReadUInt32();
            // A name met twice keeps its first count, as a map would have written it once.
            usage.emplace(std::move(name), count);
        }
    });
    if (FAILED(hr)) return E_FAIL;
    m_usage.swap(usage);
    m_dirty = false;
    return S_OK;
}

HRESULT CUsageStatistics::Save(platform::CStream* stream, bool clearDirty)
{
    if (!stream) return E_FAIL;
    if (!FitsCount(m_usage.size())) return E_FAIL;
    CArchive ar;
    ar.WriteUInt32(static_cast<uint32_t>(m_usage.size()));
    for (const auto& entry : m_usage) {
        if (!WriteCountedString(ar, entry.first)) return E_FAIL;
        ar.WriteUInt32(entry.second);
    }
    return WriteBytes(stream, ar.GetBuffer(), clearDirty);
}

HRESULT CUsageStatistics::GetSizeMax(uint64_t* size)
{
    if (!size) return E_POINTER;
    uint64_t n = 4;
    for (const auto& entry : m_usage) n += 8 + entry.first.size();
    *size = n;
    return S_OK;
}

// ---- CSchemaMetaInformation ----

RefPtr<CSchemaMetaInformation> CSchemaMetaInformation::Create()
{
    return RefPtr<CSchemaMetaInformation>(new CSchemaMetaInformation());
}

HRESULT CSchemaMetaInformation::Load(platform::CStream* stream)
{
    if (!stream) return E_FAIL;
    std::string bytes;
    if (FAILED(ReadExactly(stream, bytes, 16))) return E_FAIL;
    CArchive ar(bytes);
    SchemaMetaRecord r;
    r.timestamp = ReadInt64(ar);
    r.serverKind = ar.ReadUInt32();
    r.defaultSchema = ar.ReadByte();
    r.refreshNeeded = ar.ReadByte();
    r.reserved = 0;  // ignored on reading
    m_record = r;
    m_dirty = false;
    return S_OK;
}

HRESULT CSchemaMetaInformation::Save(platform::CStream* stream, bool clearDirty)
{
    if (!stream) return E_FAIL;
    CArchive ar;
    WriteInt64(ar, m_record.timestamp);
    ar.WriteUInt32(m_record.serverKind);
    ar.WriteByte(m_record.defaultSchema);
    ar.WriteByte(m_record.refreshNeeded);
    ar.WriteUInt16(0);
    return WriteBytes(stream, ar.GetBuffer(), clearDirty);
}

HRESULT CSchemaMetaInformation::GetSizeMax(uint64_t* size)
{
    if (!size) return E_POINTER;
    *size = 16;
    return S_OK;
}
