#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/GuidGen.h"
#include "schema/SchemaCacheStreams.h"
#include "schema/SchemaStorage.h"
#include "tests/schema/SchemaCacheTestSupport.h"

using namespace arbldap;

namespace {

using namespace cachetest;
using platform::CStorage;
using platform::CStream;

constexpr uint32_t kRW = platform::STGM_READWRITE | platform::STGM_SHARE_EXCLUSIVE;

StringList List(std::initializer_list<const char*> items)
{
    StringList l;
    for (const char* s : items) l.Add(s);
    return l;
}

// A store of its own per test, for streams to load from and save into.
class SchemaStreamObjects : public TempHome {
protected:
    void SetUp() override
    {
        TempHome::SetUp();
        ASSERT_EQ(CStorage::CreateFile(m_home + "/streams.db", kRW, m_root), S_OK);
    }
    void TearDown() override
    {
        m_root.Close();
        TempHome::TearDown();
    }

    // A fresh stream holding bytes, positioned at its start.
    CStream StreamWith(const std::string& bytes)
    {
        CStream s;
        EXPECT_EQ(m_root.CreateStream("s", kRW | platform::STGM_CREATE, s), S_OK);
        if (!bytes.empty()) {
            EXPECT_EQ(s.Write(bytes.data(), static_cast<uint32_t>(bytes.size()), nullptr), S_OK);
        }
        s.Seek(0, platform::STREAM_SEEK_SET, nullptr);
        return s;
    }
    HRESULT LoadFrom(IPersistStream* object, const std::string& bytes)
    {
        CStream s = StreamWith(bytes);
        return object->Load(&s);
    }
    std::string SavedBytes(IPersistStream* object, bool clear = true)
    {
        CStream s = StreamWith("");
        EXPECT_EQ(object->Save(&s, clear), S_OK);
        uint64_t size = 0;
        s.GetSize(size);
        std::string bytes(static_cast<size_t>(size), '\0');
        s.Seek(0, platform::STREAM_SEEK_SET, nullptr);
        uint32_t read = 0;
        if (size) s.Read(&bytes[0], static_cast<uint32_t>(size), &read);
        return bytes;
    }

    CStorage m_root;
};

// ---- layouts ----

TEST_F(SchemaStreamObjects, EachObjectWritesItsExactLayoutAndKnowsItsSize)
{
    GUID guid = {0x01234567u, 0x89ABu, 0xCDEFu, {0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10}};

    RefPtr<CSchemaCacheMetaInfo> metaInfo = CSchemaCacheMetaInfo::Create();

    RefPtr<CHostsInformation> hosts = CHostsInformation::Create();
    SchemaHostRecord r;
    r.guid = guid;
    r.ldapPort = 389;
    r.sslPort = 10636;
    r.identity.AddAddress(Addr("192.168.1.20"));
    r.identity.AddAddress(Addr("10.0.0.7"));
    r.identity.AddAddress(Addr("10.0.0.6"));
    r.identity.AddName("not.stored");
    hosts->AddHost(r);

    RefPtr<CStringListStream> list = CStringListStream::Create();
    list->GetList() = List({"( 2.5.6.0 NAME 'top' )", ""});

    RefPtr<CUsageStatistics> usage = CUsageStatistics::Create();
    usage->GetMap() = {{"top", 3}, {"person", 1}, {"Person", 2}};

    RefPtr<CSchemaMetaInformation> meta = CSchemaMetaInformation::Create();
    meta->GetRecord().timestamp = 20240131235959;
    meta->GetRecord().serverKind = 3;
    meta->GetRecord().defaultSchema = 1;
    meta->GetRecord().refreshNeeded = 0;
    meta->GetRecord().reserved = 0xBEEF;  // never written

    struct Case {
        const char* name;
        IPersistStream* object;
        std::string expected;
    } cases[] = {
        {"SchemaCacheMetaInfo", metaInfo.get(), Hex("00000000 01000000")},
        // Addresses ascending by their little-endian word: 10.0.0.6 (0x0600000A) first.
        {"HostsInformation", hosts.get(),
         Hex("01000000"
             "67452301 AB89 EFCD FEDCBA9876543210"
             "85010000 8C290000 03000000"
             "0A000006 0A000007 C0A80114")},
        {"string list", list.get(), U32(2) + Counted("( 2.5.6.0 NAME 'top' )") + U32(0)},
        // Names in byte order: upper case before lower case.
        {"usage statistics", usage.get(),
         Hex("03000000") + Counted("Person") + U32(2) + Counted("person") + U32(1) + Counted("top") + U32(3)},
        {"SchemaMetaInformation", meta.get(), Hex("7720d58568120000 03000000 01 00 0000")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.object->IsDirty(), S_OK);  // new or changed
        EXPECT_EQ(ToHex(SavedBytes(c.object, false)), ToHex(c.expected));
        EXPECT_EQ(c.object->IsDirty(), S_OK);  // kept when not asked to clear
        EXPECT_EQ(ToHex(SavedBytes(c.object, true)), ToHex(c.expected));
        EXPECT_EQ(c.object->IsDirty(), S_FALSE);
        uint64_t size = 0;
        EXPECT_EQ(c.object->GetSizeMax(&size), S_OK);
        EXPECT_EQ(size, c.expected.size());
    }
}

TEST_F(SchemaStreamObjects, ReadBackGivesTheSameContent)
{
    RefPtr<CHostsInformation> hosts = CHostsInformation::Create();
    for (uint32_t i = 0; i < 3; ++i) {
        SchemaHostRecord r;
        r.guid = platform::CreateGuid();
        r.ldapPort = 389 + i;
        r.sslPort = 636;
        r.identity.AddAddress(Addr("10.9.0.1") + i);
        hosts->AddHost(r);
    }
    RefPtr<CHostsInformation> hostsBack = CHostsInformation::Create();
    ASSERT_EQ(LoadFrom(hostsBack.get(), SavedBytes(hosts.get())), S_OK);
    ASSERT_EQ(hostsBack->Hosts().size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(hostsBack->Hosts()[i].guid, hosts->Hosts()[i].guid);
        EXPECT_EQ(hostsBack->Hosts()[i].ldapPort, hosts->Hosts()[i].ldapPort);
        EXPECT_EQ(hostsBack->Hosts()[i].identity, hosts->Hosts()[i].identity);
        EXPECT_FALSE(hostsBack->Hosts()[i].schema);
    }
    EXPECT_EQ(hostsBack->IsDirty(), S_FALSE);

    RefPtr<CStringListStream> list = CStringListStream::Create();
    list->GetList() = List({"a", std::string("b\0c", 3).c_str(), ""});
    list->GetList().Add(std::string("zero\0inside", 11));
    RefPtr<CStringListStream> listBack = CStringListStream::Create();
    ASSERT_EQ(LoadFrom(listBack.get(), SavedBytes(list.get())), S_OK);
    EXPECT_EQ(listBack->GetList(), list->GetList());

    RefPtr<CSchemaMetaInformation> meta = CSchemaMetaInformation::Create();
    meta->GetRecord().timestamp = -2;
    meta->GetRecord().serverKind = 12;
    RefPtr<CSchemaMetaInformation> metaBack = CSchemaMetaInformation::Create();
    ASSERT_EQ(LoadFrom(metaBack.get(), SavedBytes(meta.get())), S_OK);
    EXPECT_EQ(metaBack->GetRecord(), meta->GetRecord());
}

// ---- what the file may hold ----

enum class Obj { MetaInfo, Hosts, List, Usage, Meta };

RefPtr<CSchemaStreamObject> Make(Obj kind)
{
    switch (kind) {
    case Obj::MetaInfo: return CSchemaCacheMetaInfo::Create();
    case Obj::Hosts: return CHostsInformation::Create();
    case Obj::List: return CStringListStream::Create();
    case Obj::Usage: return CUsageStatistics::Create();
    case Obj::Meta: return CSchemaMetaInformation::Create();
    }
    return RefPtr<CSchemaStreamObject>();
}

// How many elements the object holds after loading.
size_t ContentCount(Obj kind, CSchemaStreamObject* o)
{
    switch (kind) {
    case Obj::Hosts: return static_cast<CHostsInformation*>(o)->Hosts().size();
    case Obj::List: return static_cast<CStringListStream*>(o)->GetList().GetCount();
    case Obj::Usage: return static_cast<CUsageStatistics*>(o)->GetMap().size();
    default: return 0;
    }
}

TEST_F(SchemaStreamObjects, DamagedAndHostileStreamsFailCleanly)
{
    const std::string record = HostRecordBytes(platform::CreateGuid(), 389, 636, {Hex("0a000001")});
    struct Case {
        const char* name;
        Obj kind;
        std::string bytes;
        HRESULT expected;
        size_t count;          // elements after a successful load
        uint64_t claimed = 0;  // a size the stream is given beyond its bytes
    } cases[] = {
        {"empty list stream is an empty list", Obj::List, "", S_OK, 0},
        {"list count cut short", Obj::List, Hex("0100"), E_FAIL, 0},
        {"list count beyond the stream", Obj::List, Hex("ffffffff"), E_FAIL, 0},
        {"list count that would overflow", Obj::List, Hex("ffffff7f") + U32(0), E_FAIL, 0},
        {"string length beyond the stream", Obj::List, U32(1) + Hex("f0ffffff") + "abc", E_FAIL, 0},
        {"short string", Obj::List, U32(1) + U32(5) + "abc", E_FAIL, 0},
        {"fewer strings than counted", Obj::List, U32(2) + Counted("one"), E_FAIL, 0},
        {"bytes after the content are ignored", Obj::List, U32(1) + Counted("one") + "trailing junk", S_OK, 1},
        {"empty usage stream is empty", Obj::Usage, "", S_OK, 0},
        {"usage count beyond the stream", Obj::Usage, Hex("00000010"), E_FAIL, 0},
        {"usage name length beyond the stream", Obj::Usage, U32(1) + Hex("ffffff0f") + U32(1), E_FAIL, 0},
        {"usage without its count", Obj::Usage, U32(1) + Counted("top") + "\x01", E_FAIL, 0},
        {"usage name met twice", Obj::Usage, U32(2) + Counted("top") + U32(1) + Counted("top") + U32(9), S_OK, 1},
        {"host list needs its count", Obj::Hosts, "", E_FAIL, 0},
        {"host count cut short", Obj::Hosts, Hex("01"), E_FAIL, 0},
        {"no hosts", Obj::Hosts, U32(0), S_OK, 0},
        {"one host", Obj::Hosts, U32(1) + record, S_OK, 1},
        {"host count beyond the stream", Obj::Hosts, Hex("ffffffff") + record, E_FAIL, 0},
        {"address count beyond the stream", Obj::Hosts,
         U32(1) + GuidBytes(platform::CreateGuid()) + U32(389) + U32(636) + Hex("ffffffff") + Hex("0a000001"), E_FAIL,
         0},
        {"record cut inside", Obj::Hosts, U32(1) + record.substr(0, 20), E_FAIL, 0},
        {"second record missing", Obj::Hosts, U32(2) + record, E_FAIL, 0},
        {"meta record cut short", Obj::Meta, std::string(15, '\0'), E_FAIL, 0},
        {"meta record", Obj::Meta, std::string(16, '\0'), S_OK, 0},
        {"cache meta info cut short", Obj::MetaInfo, std::string(7, '\0'), E_FAIL, 0},
        {"cache meta info", Obj::MetaInfo, std::string(8, '\0') + "more", S_OK, 0},
        // A size the file does not hold bytes for is damage, refused before it is read.
        {"list claiming far more than it holds", Obj::List, U32(1) + Counted("one"), E_FAIL, 0, 255u << 20},
        {"usage claiming far more than it holds", Obj::Usage, U32(1) + Counted("top") + U32(1), E_FAIL, 0, 255u << 20},
        {"host list claiming far more than it holds", Obj::Hosts, U32(0), E_FAIL, 0, 255u << 20},
        {"list claiming a little more than it holds", Obj::List, U32(1) + Counted("one"), E_FAIL, 0, 64u << 10},
        // What a new stream holds: sized for its empty object, nothing written.
        {"new list stream", Obj::List, "", S_OK, 0, 4},
        {"new host list stream", Obj::Hosts, "", S_OK, 0, 4},
        {"new meta record stream", Obj::Meta, "", S_OK, 0, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RefPtr<CSchemaStreamObject> object = Make(c.kind);
        CStream s = StreamWith(c.bytes);
        if (c.claimed) {
            ASSERT_EQ(s.SetSize(c.claimed), S_OK);
        }
        EXPECT_EQ(object->Load(&s), c.expected);
        EXPECT_EQ(ContentCount(c.kind, object.get()), c.count);
    }
}

TEST_F(SchemaStreamObjects, ChangedFlagAcrossLoads)
{
    // A list read from a stream is unchanged; an empty stream leaves the flag as it was.
    RefPtr<CStringListStream> list = CStringListStream::Create();
    ASSERT_EQ(LoadFrom(list.get(), U32(1) + Counted("x")), S_OK);
    EXPECT_EQ(list->IsDirty(), S_FALSE);
    list->MarkChanged();
    ASSERT_EQ(LoadFrom(list.get(), ""), S_OK);
    EXPECT_EQ(list->IsDirty(), S_OK);
    EXPECT_EQ(list->GetList().GetCount(), 0u);

    // A load that fails leaves nothing of the old content behind.
    RefPtr<CUsageStatistics> usage = CUsageStatistics::Create();
    usage->GetMap()["top"] = 4;
    EXPECT_EQ(LoadFrom(usage.get(), U32(3)), E_FAIL);
    EXPECT_TRUE(usage->GetMap().empty());

    // Without a stream nothing is read or written.
    EXPECT_EQ(list->Load(nullptr), E_FAIL);
    EXPECT_EQ(list->Save(nullptr, true), E_FAIL);
}

TEST_F(SchemaStreamObjects, InterfacesAndClassIdentifiers)
{
    struct Case {
        Obj kind;
        const char* classId;
    } cases[] = {
        {Obj::MetaInfo, "{B93F0F87-8674-4DA2-984C-9534F4E1185D}"},
        {Obj::Hosts, "{1B50CDAD-BA76-4DFC-BD72-106C4973C6E8}"},
        {Obj::List, "{825CDC21-C99D-4CED-A24A-A732C3B84BFE}"},
        {Obj::Usage, "{A2FB0DEC-A81C-4672-9CC4-A522C99F3C48}"},
        {Obj::Meta, "{D870FF36-675B-4F12-923B-AD62BA440383}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.classId);
        RefPtr<CSchemaStreamObject> object = Make(c.kind);
        CLSID id;
        ASSERT_EQ(object->GetClassID(&id), S_OK);
        std::wstring text = GuidToString(id);
        EXPECT_EQ(std::string(text.begin(), text.end()), c.classId);
        void* p = nullptr;
        EXPECT_EQ(object->QueryInterface(IID_IPersistStream, &p), S_OK);
        EXPECT_EQ(p, static_cast<IPersistStream*>(object.get()));
        static_cast<IPersistStream*>(p)->Release();
        EXPECT_EQ(object->QueryInterface(IID_IUnknown, &p), S_OK);
        static_cast<IUnknown*>(p)->Release();
        EXPECT_EQ(object->QueryInterface(IID_IPersistStorage, &p), E_NOINTERFACE);
        EXPECT_EQ(p, nullptr);
    }
}

TEST(SchemaHostStorageName, ThirtyOneUpperCaseHexDigits)
{
    GUID guid = {0x0123abcdu, 0x89ABu, 0xcdefu, {0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x1f}};
    EXPECT_EQ(SchemaHostStorageName(guid), "0123ABCD89ABCDEFFEDCBA987654321");
    EXPECT_EQ(SchemaHostStorageName(GUID()), std::string(31, '0'));
}

TEST(SchemaHostRecordMatch, PortsAndIdentity)
{
    auto record = [](uint32_t ldap, uint32_t ssl, std::vector<const char*> addresses, const char* name) {
        SchemaHostRecord r;
        r.guid = platform::CreateGuid();
        r.ldapPort = ldap;
        r.sslPort = ssl;
        for (const char* a : addresses) r.identity.AddAddress(Addr(a));
        if (name) r.identity.AddName(name);
        return r;
    };
    SchemaHostRecord base = record(389, 636, {"10.0.0.1", "10.0.0.2"}, "ldap.example");
    struct Case {
        const char* name;
        SchemaHostRecord other;
        bool matches;
    } cases[] = {
        {"one shared address", record(389, 636, {"10.0.0.2"}, nullptr), true},
        {"no shared address", record(389, 636, {"10.0.0.3"}, "ldap.example"), false},
        {"other LDAP port", record(10389, 636, {"10.0.0.1"}, nullptr), false},
        {"other SSL port", record(389, 10636, {"10.0.0.1"}, nullptr), false},
        {"no address at all", record(389, 636, {}, "ldap.example"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(base.Matches(c.other, false), c.matches);
        EXPECT_EQ(c.other.Matches(base, false), c.matches);
        EXPECT_FALSE(base.Matches(c.other, true));  // GUIDs differ
    }
    // Hosts without an address meet by name.
    SchemaHostRecord v6a = record(389, 636, {}, "::1"), v6b = record(389, 636, {}, "::1");
    EXPECT_TRUE(v6a.Matches(v6b, false));
    v6b.guid = v6a.guid;
    EXPECT_TRUE(v6a.Matches(v6b, true));
}

// ---- the host storage object ----

class SchemaStorageObject : public SchemaStreamObjects {
protected:
    std::shared_ptr<CStorage> Sub(const char* name)
    {
        auto sub = std::make_shared<CStorage>();
        EXPECT_EQ(m_root.CreateStorage(name, kRW | platform::STGM_CREATE, *sub), S_OK);
        return sub;
    }
    std::string Bytes(CStorage& storage, const char* stream)
    {
        CStream s;
        EXPECT_EQ(storage.OpenStream(stream, kRW, s), S_OK) << stream;
        uint64_t size = 0;
        s.GetSize(size);
        std::string bytes(static_cast<size_t>(size), '\0');
        uint32_t read = 0;
        if (size) s.Read(&bytes[0], static_cast<uint32_t>(size), &read);
        return bytes;
    }
    void Overwrite(CStorage& storage, const char* stream, const std::string& bytes)
    {
        CStream s;
        ASSERT_EQ(storage.OpenStream(stream, kRW, s), S_OK);
        ASSERT_EQ(s.Write(bytes.data(), static_cast<uint32_t>(bytes.size()), nullptr), S_OK);
    }
};

TEST_F(SchemaStorageObject, StatesAndResults)
{
    RefPtr<CSchemaStorage> storage = CSchemaStorage::Create(platform::CreateGuid());
    std::shared_ptr<CStorage> sub = Sub("host");
    EXPECT_EQ(storage->IsDirty(), E_FAIL);
    EXPECT_EQ(storage->Save(nullptr, true), E_FAIL);
    EXPECT_EQ(storage->SaveInPlace(), E_FAIL);
    EXPECT_EQ(storage->HandsOffStorage(), E_FAIL);
    EXPECT_EQ(storage->SaveCompleted(sub), E_FAIL);
    EXPECT_EQ(storage->InitNew(nullptr), E_FAIL);
    EXPECT_EQ(storage->Load(nullptr), E_FAIL);

    ASSERT_EQ(storage->InitNew(sub), S_OK);
    EXPECT_EQ(storage->GetState(), kStorageNormal);
    EXPECT_EQ(storage->IsDirty(), S_OK);
    EXPECT_EQ(storage->InitNew(sub), CO_E_ALREADYINITIALIZED);
    EXPECT_EQ(storage->Load(sub), CO_E_ALREADYINITIALIZED);
    // Streams made and sized for empty objects; nothing written yet.
    const uint64_t sizes[] = {16, 4, 4, 4, 4, 4, 4};
    std::vector<platform::StorageElementInfo> elements;
    ASSERT_EQ(sub->EnumElements(elements), S_OK);
    ASSERT_EQ(elements.size(), 7u);
    for (int i = 0; i < 7; ++i) {
        std::string name = CSchemaStorage::kStreamNames[i];
        auto it = std::find_if(elements.begin(), elements.end(),
                               [&](const platform::StorageElementInfo& e) { return e.name == name; });
        ASSERT_NE(it, elements.end()) << name;
        EXPECT_EQ(it->size, sizes[i]) << name;
        EXPECT_EQ(Bytes(*sub, name.c_str()), std::string(sizes[i], '\0')) << name;
    }

    EXPECT_EQ(storage->Save(nullptr, false), E_FAIL);
    EXPECT_EQ(storage->Save(nullptr, true), S_OK);
    EXPECT_EQ(storage->GetState(), kStorageNoScribble);
    EXPECT_EQ(storage->IsDirty(), S_FALSE);
    EXPECT_EQ(storage->SaveInPlace(), S_OK);  // again in state 2
    EXPECT_EQ(storage->SaveCompleted(nullptr), S_OK);
    EXPECT_EQ(storage->GetState(), kStorageNormal);
    EXPECT_EQ(storage->SaveCompleted(nullptr), E_FAIL);
    EXPECT_EQ(storage->HandsOffStorage(), S_OK);
    EXPECT_EQ(storage->GetState(), kStorageHandsOff);
    EXPECT_EQ(storage->SaveInPlace(), E_FAIL);
    EXPECT_EQ(storage->HandsOffStorage(), E_FAIL);
    EXPECT_EQ(storage->SaveCompleted(nullptr), E_FAIL);
    EXPECT_EQ(storage->SaveCompleted(sub), S_OK);
    EXPECT_EQ(storage->GetState(), kStorageNormal);

    CLSID id;
    ASSERT_EQ(storage->GetClassID(&id), S_OK);
    EXPECT_EQ(id, CSchemaStorage::kClassId);
    void* p = nullptr;
    EXPECT_EQ(storage->QueryInterface(IID_IPersistStorage, &p), S_OK);
    EXPECT_EQ(p, static_cast<IPersistStorage*>(storage.get()));
    static_cast<IPersistStorage*>(p)->Release();
    EXPECT_EQ(storage->QueryInterface(IID_IPersistStream, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
}

TEST_F(SchemaStorageObject, SavesWhatChangedIntoItsOwnStreams)
{
    std::shared_ptr<CStorage> sub = Sub("host");
    RefPtr<CSchemaStorage> storage = CSchemaStorage::Create(platform::CreateGuid());
    ASSERT_EQ(storage->InitNew(sub), S_OK);
    storage->SetDefinitions(SchemaElementKind::AttributeType, List({"( 1.1 NAME 'a' )", "( 1.2 NAME 'b' )"}), true);
    storage->SetDefinitions(SchemaElementKind::MatchingRuleUse, List({"( 2.5.13.2 APPLIES cn )"}), true);
    ASSERT_EQ(storage->SaveInPlace(), S_OK);
    EXPECT_EQ(Bytes(*sub, "mutchingRuleUses"), U32(1) + Counted("( 2.5.13.2 APPLIES cn )"));
    EXPECT_EQ(Bytes(*sub, "SchemaMetaInformation"), Hex("0000000000000000 00000000 00 01 0000"));

    // Only changed objects are written: bytes put into an unchanged stream stay.
    Overwrite(*sub, "objectClasses", U32(1) + Counted("( 9.9 NAME 'kept' )"));
    storage->ChangeUsageStatistics([](SchemaUsageMap& m) { ++m["top"]; });
    // Definitions for this run only are not marked, so not written.
    storage->SetDefinitions(SchemaElementKind::ObjectClass, List({"( 2.5.6.0 NAME 'top' )"}), false);
    ASSERT_EQ(storage->SaveInPlace(), S_OK);
    EXPECT_EQ(Bytes(*sub, "objectClasses"), U32(1) + Counted("( 9.9 NAME 'kept' )"));
    EXPECT_EQ(Bytes(*sub, "objectClassesUsageStatistics"), U32(1) + Counted("top") + U32(1));

    // A list that shrinks leaves its stream at the former length; it reads as the newer list.
    storage->SetDefinitions(SchemaElementKind::AttributeType, List({"( 1.3 NAME 'c' )"}), true);
    ASSERT_EQ(storage->SaveInPlace(), S_OK);
    std::string attributeTypes = Bytes(*sub, "attributeTypes");
    EXPECT_EQ(attributeTypes.size(), 4u + 2 * (4 + 16));
    storage.reset();

    RefPtr<CSchemaStorage> back = CSchemaStorage::Create(platform::CreateGuid());
    ASSERT_EQ(back->Load(sub), S_OK);
    EXPECT_EQ(back->IsDirty(), S_FALSE);
    EXPECT_EQ(back->GetDefinitions(SchemaElementKind::AttributeType), List({"( 1.3 NAME 'c' )"}));
    EXPECT_EQ(back->GetDefinitions(SchemaElementKind::ObjectClass), List({"( 9.9 NAME 'kept' )"}));
    EXPECT_EQ(back->GetDefinitions(SchemaElementKind::MatchingRuleUse), List({"( 2.5.13.2 APPLIES cn )"}));
    EXPECT_EQ(back->GetUsageStatistics(), (SchemaUsageMap{{"top", 1}}));
    EXPECT_EQ(back->GetMetaRecord().refreshNeeded, 1);
}

TEST_F(SchemaStorageObject, AStreamThatDoesNotReadLeavesItUninitialised)
{
    struct Case {
        const char* name;
        const char* stream;
        std::string bytes;  // empty: the stream is removed
    } cases[] = {
        {"missing stream", "ldapSyntaxes", ""},
        {"meta record cut short", "SchemaMetaInformation", "\x01\x02"},
        {"hostile count", "matchingRules", Hex("ffffffff")},
        {"short string", "objectClasses", U32(1) + U32(100) + "short"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::shared_ptr<CStorage> sub = Sub("damaged");
        {
            RefPtr<CSchemaStorage> writer = CSchemaStorage::Create(platform::CreateGuid());
            ASSERT_EQ(writer->InitNew(sub), S_OK);
            writer->ChangeMetaRecord([](SchemaMetaRecord& m) { m.serverKind = 4; });
            ASSERT_EQ(writer->SaveInPlace(), S_OK);
        }
        if (c.bytes.empty()) {
            ASSERT_EQ(sub->DestroyElement(c.stream), S_OK);
        } else {
            CStream s;
            ASSERT_EQ(sub->CreateStream(c.stream, kRW | platform::STGM_CREATE, s), S_OK);
            ASSERT_EQ(s.Write(c.bytes.data(), static_cast<uint32_t>(c.bytes.size()), nullptr), S_OK);
        }
        RefPtr<CSchemaStorage> reader = CSchemaStorage::Create(platform::CreateGuid());
        EXPECT_EQ(reader->Load(sub), E_FAIL);
        EXPECT_FALSE(reader->IsInitialized());
        EXPECT_EQ(reader->GetState(), kStorageUninitialized);
        EXPECT_EQ(reader->SaveInPlace(), E_FAIL);
        // Nothing half-read: a new record.
        EXPECT_EQ(reader->GetMetaRecord(), SchemaMetaRecord());
    }
}

} // namespace
