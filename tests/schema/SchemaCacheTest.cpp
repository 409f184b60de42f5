#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/GuidGen.h"
#include "ldap/LDAPConnection.h"
#include "ldap/LDAPOperationOptions.h"
#include "schema/SchemaCache.h"
#include "tests/schema/SchemaCacheTestSupport.h"

using namespace arbldap;

namespace {

using namespace cachetest;

StringList List(std::initializer_list<const char*> items)
{
    StringList l;
    for (const char* s : items) l.Add(s);
    return l;
}

std::set<std::string> ElementNames(const std::vector<platform::StorageElementInfo>& elements)
{
    std::set<std::string> names;
    for (const auto& e : elements) names.insert(e.name + (e.type == platform::STGTY_STORAGE ? "/" : ""));
    return names;
}

CSchemaStorage* FileStorage(CLDAPSchema* schema)
{
    return dynamic_cast<CSchemaStorage*>(schema->GetStorage());
}

// What a loading job leaves behind: definitions, a meta record, a save, the
// parsed content.
struct Fill {
    std::map<SchemaElementKind, StringList> definitions;
    int64_t timestamp = 20240131235959;
    uint32_t serverKind = kServerOpenLDAP2;
};

Fill StandardFill()
{
    Fill f;
    f.definitions[SchemaElementKind::ObjectClass] = List({"( 2.5.6.6 NAME 'person' SUP top STRUCTURAL MUST ( sn $ cn ) )"});
    f.definitions[SchemaElementKind::AttributeType] =
        List({"( 2.5.4.3 NAME ( 'cn' 'commonName' ) SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 )",
              "( 2.5.4.4 NAME 'sn' SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 SINGLE-VALUE )"});
    f.definitions[SchemaElementKind::MatchingRule] = List({"( 2.5.13.2 NAME 'caseIgnoreMatch' SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 )"});
    f.definitions[SchemaElementKind::MatchingRuleUse] = List({"( 2.5.13.2 APPLIES ( cn $ sn ) )"});
    f.definitions[SchemaElementKind::Syntax] = List({"( 1.3.6.1.4.1.1466.115.121.1.15 DESC 'Directory String' )"});
    return f;
}

void RunJob(const RefPtr<CLDAPSchema>& schema, const RefPtr<ISchemaHostStorage>& storage, const Fill& fill)
{
    for (const auto& d : fill.definitions) storage->SetDefinitions(d.first, d.second, true);
    storage->ChangeMetaRecord([&](SchemaMetaRecord& m) {
        m.timestamp = fill.timestamp;
        m.serverKind = fill.serverKind;
        m.defaultSchema = 0;
        m.refreshNeeded = 0;
    });
    storage->SaveInPlace();
    std::unique_ptr<CSchemaContent> content = schema->CopyContent();
    for (const auto& d : fill.definitions) content->AddDefinitions(d.first, storage->GetDefinitions(d.first));
    schema->Publish(std::move(content), kSchemaLoaded);
}

// The load-job starter for one test: counts the jobs and runs work for each.
// It keeps no reference, so the file closes with the cache.
class Jobs {
public:
    typedef std::function<void(const RefPtr<CLDAPSchema>&, const RefPtr<ISchemaHostStorage>&)> Work;

    explicit Jobs(Work work = nullptr)
    {
        CLDAPSchema::SetLoadJobStarter([this, work](const RefPtr<CLDAPSchema>& schema,
                                                    const RefPtr<ISchemaHostStorage>& storage,
                                                    LDAPConnection* connection) {
            {
                std::lock_guard<std::mutex> g(m_lock);
                m_schemas.push_back(schema.get());
                m_connections.push_back(connection);
                m_refreshSeen.push_back(storage->GetMetaRecord().refreshNeeded);
            }
            if (work) work(schema, storage);
        });
    }
    ~Jobs() { CLDAPSchema::SetLoadJobStarter(nullptr); }

    size_t Count()
    {
        std::lock_guard<std::mutex> g(m_lock);
        return m_schemas.size();
    }
    std::vector<CLDAPSchema*> Schemas()
    {
        std::lock_guard<std::mutex> g(m_lock);
        return m_schemas;
    }
    std::vector<LDAPConnection*> Connections()
    {
        std::lock_guard<std::mutex> g(m_lock);
        return m_connections;
    }
    std::vector<int> RefreshSeen()
    {
        std::lock_guard<std::mutex> g(m_lock);
        return m_refreshSeen;
    }

private:
    std::mutex m_lock;
    std::vector<CLDAPSchema*> m_schemas;
    std::vector<LDAPConnection*> m_connections;
    std::vector<int> m_refreshSeen;
};

class SchemaCacheFile : public TempHome {
protected:
    void SetUp() override
    {
        TempHome::SetUp();
        m_resolver = std::make_shared<TableResolver>();
        NewRun();
    }
    void TearDown() override
    {
        CloseSchemaCacheFile();
        CLDAPSchema::SetLoadJobStarter(nullptr);
        TempHome::TearDown();
    }

    // Each run resolves its host texts afresh.
    void NewRun() { m_names = std::make_unique<CHostResolutionCache>(m_resolver); }
    std::string Path() const { return GetSchemaCacheFilePath(); }
    RefPtr<CSchemaCache> OpenCache()
    {
        RefPtr<CSchemaCache> cache = CSchemaCache::Create(m_names.get());
        EXPECT_TRUE(cache->AttachFile(Path()));
        return cache;
    }
    void RemoveFile()
    {
        std::error_code ec;
        std::filesystem::remove_all(Path(), ec);
    }

    std::shared_ptr<TableResolver> m_resolver;
    std::unique_ptr<CHostResolutionCache> m_names;
};

// ---- the file ----

TEST_F(SchemaCacheFile, LivesInTheUserDataFolder)
{
    EXPECT_EQ(GetSchemaCacheFolder(), m_home + "/data/");
    EXPECT_EQ(Path(), m_home + "/data/schemacache.dat");
}

TEST_F(SchemaCacheFile, WriteCloseReopenReadBack)
{
    const Fill fill = StandardFill();
    GUID guid;
    {
        Jobs jobs([&](const RefPtr<CLDAPSchema>& s, const RefPtr<ISchemaHostStorage>& st) { RunJob(s, st, fill); });
        ASSERT_TRUE(OpenSchemaCacheFileAt(Path(), m_names.get()));
        RefPtr<CLDAPSchema> schema = GetSchemaCache()->GetSchemaForHost("ldap.example", 389, false, nullptr);
        ASSERT_TRUE(schema);
        EXPECT_EQ(jobs.Count(), 1u);
        EXPECT_EQ(jobs.RefreshSeen(), std::vector<int>{1});  // a new host is fetched
        EXPECT_EQ(schema->GetLoadState(), kSchemaLoaded);
        EXPECT_TRUE(schema->IsSingleValued("SN"));
        schema->AddClassUsage(List({"person", "top", "top"}));
        guid = schema->GetHostGuid();
        EXPECT_NE(guid, GUID());
        CloseSchemaCacheFile();
        // The model outlives the cache here; the cache saved its storage on closing.
        EXPECT_EQ(FileStorage(schema.get())->IsDirty(), S_FALSE);
    }

    // The layout, byte by byte.
    const std::string sub = SchemaHostStorageName(guid);
    EXPECT_EQ(ElementNames(Elements(Path())),
              (std::set<std::string>{"HostsInformation", "SchemaCacheMetaInfo", sub + "/"}));
    EXPECT_EQ(ToHex(ReadStream(Path(), "SchemaCacheMetaInfo")), ToHex(Hex("00000000 01000000")));
    EXPECT_EQ(ToHex(ReadStream(Path(), "HostsInformation")),
              ToHex(U32(1) + HostRecordBytes(guid, 389, 636, {Hex("0a000001"), Hex("0a000002")})));
    EXPECT_EQ(ElementNames(Elements(Path(), sub)),
              (std::set<std::string>{"SchemaMetaInformation", "objectClasses", "attributeTypes", "matchingRules",
                                     "mutchingRuleUses", "ldapSyntaxes", "objectClassesUsageStatistics"}));
    EXPECT_EQ(ToHex(ReadStream(Path(), sub + "/SchemaMetaInformation")),
              ToHex(Hex("7720d58568120000 03000000 00 00 0000")));
    EXPECT_EQ(ToHex(ReadStream(Path(), sub + "/objectClassesUsageStatistics")),
              ToHex(U32(2) + Counted("person") + U32(1) + Counted("top") + U32(2)));
    EXPECT_EQ(ReadStream(Path(), sub + "/attributeTypes"),
              U32(2) + Counted("( 2.5.4.3 NAME ( 'cn' 'commonName' ) SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 )") +
                  Counted("( 2.5.4.4 NAME 'sn' SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 SINGLE-VALUE )"));
    EXPECT_EQ(ReadStream(Path(), sub + "/mutchingRuleUses"), U32(1) + Counted("( 2.5.13.2 APPLIES ( cn $ sn ) )"));

    // The next run meets the host again, by another name that shares an address.
    NewRun();
    Jobs jobs;
    ASSERT_TRUE(OpenSchemaCacheFileAt(Path(), m_names.get()));
    std::vector<SchemaHostRecord> records = GetSchemaCache()->GetHostRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].guid, guid);
    EXPECT_EQ(records[0].ldapPort, 389u);
    EXPECT_EQ(records[0].sslPort, 636u);
    EXPECT_EQ(records[0].identity.GetAddresses(), (CHostIdentity::AddressSet{Addr("10.0.0.1"), Addr("10.0.0.2")}));
    EXPECT_TRUE(records[0].identity.GetNames().empty());

    RefPtr<CLDAPSchema> schema = GetSchemaCache()->GetSchemaForHost("alias.example", 389, false, nullptr);
    ASSERT_TRUE(schema);
    EXPECT_EQ(jobs.Count(), 1u);
    EXPECT_EQ(schema->GetHostGuid(), guid);
    EXPECT_EQ(schema->GetTimestamp(), 20240131235959);
    EXPECT_EQ(schema->GetServerKind(), kServerOpenLDAP2);
    EXPECT_FALSE(schema->IsDirty());
    EXPECT_EQ(schema->GetUsageStatistics(), (SchemaUsageMap{{"person", 1}, {"top", 2}}));
    for (const auto& d : fill.definitions)
        EXPECT_EQ(schema->GetStorage()->GetDefinitions(d.first), d.second) << static_cast<int>(d.first);
    EXPECT_EQ(FileStorage(schema.get())->IsDirty(), S_FALSE);
}

TEST_F(SchemaCacheFile, ARefreshRequestSurvivesARestart)
{
    struct Case {
        const char* name;
        bool markDirty;
        bool holdModelPastClose;
        int refreshNextRun;
    } cases[] = {
        {"no request: the job's cleared flag stays", false, false, 0},
        {"request, model released before exit", true, false, 1},
        {"request, model still held when the cache closes", true, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RemoveFile();
        NewRun();
        RefPtr<CLDAPSchema> held;
        {
            Jobs jobs([](const RefPtr<CLDAPSchema>& s, const RefPtr<ISchemaHostStorage>& st) {
                RunJob(s, st, StandardFill());
            });
            RefPtr<CSchemaCache> cache = OpenCache();
            RefPtr<CLDAPSchema> schema = cache->GetSchemaForHost("ldap.example", 389, false, nullptr);
            ASSERT_FALSE(schema->IsDirty());  // the job cleared it
            if (c.markDirty) schema->MarkDirty();
            if (c.holdModelPastClose) held = schema;
        }
        held.reset();

        NewRun();
        Jobs jobs;
        RefPtr<CSchemaCache> cache = OpenCache();
        RefPtr<CLDAPSchema> schema = cache->GetSchemaForHost("ldap.example", 389, false, nullptr);
        EXPECT_EQ(jobs.RefreshSeen(), std::vector<int>{c.refreshNextRun});
        EXPECT_EQ(schema->IsDirty(), c.refreshNextRun != 0);
        // The rest of the record is what the last job left.
        EXPECT_EQ(schema->GetTimestamp(), 20240131235959);
        EXPECT_EQ(schema->GetServerKind(), kServerOpenLDAP2);
    }
}

// ---- host identity ----

struct HostRequest {
    const char* host;
    int port;
    bool ssl;
};

TEST_F(SchemaCacheFile, OneRecordPerHostHoweverItIsReached)
{
    struct Case {
        const char* name;
        HostRequest a, b;
        bool sameHost;
        size_t stored;  // records in the file
    } cases[] = {
        {"localhost and 127.0.0.1", {"localhost", 389, false}, {"127.0.0.1", 389, false}, true, 1},
        {"two names sharing an address", {"ldap.example", 389, false}, {"alias.example", 389, false}, true, 1},
        {"a name and its dotted address", {"ldap.example", 389, false}, {"10.0.0.1", 389, false}, true, 1},
        {"letter case of a name", {"ldap.example", 389, false}, {"LDAP.Example", 389, false}, true, 1},
        {"plain on 389 and SSL on 636", {"ldap.example", 389, false}, {"ldap.example", 636, true}, true, 1},
        {"plain on another port", {"ldap.example", 389, false}, {"ldap.example", 10389, false}, false, 2},
        {"SSL on another port", {"ldap.example", 636, true}, {"ldap.example", 10636, true}, false, 2},
        {"another host", {"ldap.example", 389, false}, {"other.example", 389, false}, false, 2},
        {"an IPv6 address in two spellings", {"::1", 389, false}, {"[0::1]", 389, false}, true, 0},
        {"a name without address, in two letter cases", {"nowhere.invalid", 389, false},
         {"NOWHERE.invalid", 389, false}, true, 0},
        {"two names without address", {"v6only.example", 389, false}, {"nowhere.invalid", 389, false}, false, 0},
        {"a name without address and one with", {"nowhere.invalid", 389, false}, {"ldap.example", 389, false},
         false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RemoveFile();
        NewRun();
        GUID guidB;
        {
            Jobs jobs;
            RefPtr<CSchemaCache> cache = OpenCache();
            RefPtr<CLDAPSchema> a = cache->GetSchemaForHost(c.a.host, c.a.port, c.a.ssl, nullptr);
            RefPtr<CLDAPSchema> b = cache->GetSchemaForHost(c.b.host, c.b.port, c.b.ssl, nullptr);
            RefPtr<CLDAPSchema> again = cache->GetSchemaForHost(c.b.host, c.b.port, c.b.ssl, nullptr);
            ASSERT_TRUE(a && b);
            EXPECT_EQ(a == b, c.sameHost);
            EXPECT_EQ(again, b);
            EXPECT_EQ(jobs.Count(), c.sameHost ? 1u : 2u);
            size_t models = c.sameHost ? 1 : 2;
            EXPECT_EQ(cache->GetHostRecords().size(), c.stored);
            EXPECT_EQ(cache->GetRunOnlyHostRecords().size(), models - c.stored);
            guidB = b->GetHostGuid();
        }
        // The next run meets stored hosts again and adds nothing.
        NewRun();
        Jobs jobs;
        RefPtr<CSchemaCache> cache = OpenCache();
        EXPECT_EQ(cache->GetHostRecords().size(), c.stored);
        RefPtr<CLDAPSchema> b = cache->GetSchemaForHost(c.b.host, c.b.port, c.b.ssl, nullptr);
        bool bStored = false;
        for (const SchemaHostRecord& r : cache->GetHostRecords()) bStored |= r.guid == guidB;
        EXPECT_EQ(b->GetHostGuid() == guidB, bStored);
        EXPECT_EQ(cache->GetHostRecords().size(), c.stored);
    }
}

TEST_F(SchemaCacheFile, LocalhostByNameAndByAddressWithTheSystemResolver)
{
    CHostResolutionCache system;
    if (!CHostIdentity("localhost", system).GetAddresses().count(Addr("127.0.0.1")))
        GTEST_SKIP() << "localhost does not resolve to 127.0.0.1 here";
    GUID guid;
    {
        Jobs jobs;
        RefPtr<CSchemaCache> cache = CSchemaCache::Create(&system);
        ASSERT_TRUE(cache->AttachFile(Path()));
        RefPtr<CLDAPSchema> byName = cache->GetSchemaForHost("localhost", 389, false, nullptr);
        RefPtr<CLDAPSchema> byAddress = cache->GetSchemaForHost("127.0.0.1", 389, false, nullptr);
        EXPECT_EQ(byName, byAddress);
        EXPECT_EQ(jobs.Count(), 1u);
        EXPECT_EQ(cache->GetHostRecords().size(), 1u);
        guid = byName->GetHostGuid();
    }
    CHostResolutionCache nextRun;
    RefPtr<CSchemaCache> cache = CSchemaCache::Create(&nextRun);
    ASSERT_TRUE(cache->AttachFile(Path()));
    EXPECT_EQ(cache->GetSchemaForHost("127.0.0.1", 389, false, nullptr)->GetHostGuid(), guid);
    EXPECT_EQ(cache->GetHostRecords().size(), 1u);
}

TEST_F(SchemaCacheFile, HostsWithoutAnIPv4AddressAreNeverWritten)
{
    const char* const hosts[] = {"nowhere.invalid", "::1", "v6only.example", "NOWHERE.INVALID", "[::1]"};
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE(run);
        NewRun();
        {
            Jobs jobs;
            RefPtr<CSchemaCache> cache = OpenCache();
            EXPECT_TRUE(cache->GetHostRecords().empty());
            std::set<CLDAPSchema*> models;
            for (int round = 0; round < 2; ++round)
                for (const char* h : hosts) models.insert(cache->GetSchemaForHost(h, 389, false, nullptr).get());
            // One model and one job per host and run, not per request.
            EXPECT_EQ(models.size(), 3u);
            EXPECT_EQ(jobs.Count(), 3u);
            EXPECT_EQ(cache->GetRunOnlyHostRecords().size(), 3u);
            EXPECT_TRUE(cache->GetHostRecords().empty());
        }
        // The file does not grow from run to run.
        EXPECT_EQ(ElementNames(Elements(Path())), (std::set<std::string>{"HostsInformation", "SchemaCacheMetaInfo"}));
        EXPECT_EQ(ReadStream(Path(), "HostsInformation"), U32(0));
    }
    // Each text was resolved once per run.
    EXPECT_EQ(m_resolver->ForwardCalls("nowhere.invalid"), 3);
}

TEST_F(SchemaCacheFile, PortsAndConnectionComeFromTheConnection)
{
    Jobs jobs;
    RefPtr<CSchemaCache> cache = OpenCache();
    EXPECT_FALSE(cache->GetSchemaForHost(nullptr));
    EXPECT_EQ(jobs.Count(), 0u);

    LDAPOperationOptions sslOptions;
    sslOptions.SetUseSSL(true);
    LDAPConnectionPtr plain = LDAPConnection::Create("ldap.example", 389);
    LDAPConnectionPtr secure = LDAPConnection::Create("alias.example", 636);
    LDAPConnectionPtr otherPort = LDAPConnection::Create("ldap.example", 10389);
    secure->ApplyOptions(&sslOptions);

    RefPtr<CLDAPSchema> a = cache->GetSchemaForHost(plain.get());
    RefPtr<CLDAPSchema> b = cache->GetSchemaForHost(secure.get());
    RefPtr<CLDAPSchema> c = cache->GetSchemaForHost(otherPort.get());
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    EXPECT_EQ(jobs.Connections(), (std::vector<LDAPConnection*>{plain.get(), otherPort.get()}));
    std::vector<SchemaHostRecord> records = cache->GetHostRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].ldapPort, 389u);
    EXPECT_EQ(records[0].sslPort, 636u);
    EXPECT_EQ(records[1].ldapPort, 10389u);
    EXPECT_EQ(records[1].sslPort, 636u);
    secure->ApplyOptions(nullptr);
}

// ---- damaged files ----

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string RandomBytes(size_t n)
{
    std::mt19937 random(12345);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(random() & 0xFF);
    return s;
}

TEST_F(SchemaCacheFile, ADamagedOrForeignFileBecomesAnEmptyCache)
{
    const std::string metaInfo = Hex("00000000 01000000");
    const GUID known = platform::CreateGuid();
    const std::string knownSub = SchemaHostStorageName(known);
    auto validHost = [&](std::vector<std::pair<std::string, std::string>> streams) {
        for (auto& s : EmptyHostStreams(knownSub)) streams.push_back(s);
        return streams;
    };
    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;
    } cases[] = {
        {"garbage bytes", [](const std::string& p) { WriteFile(p, RandomBytes(5000)); }},
        {"an empty file", [](const std::string& p) { WriteFile(p, ""); }},
        {"a text file", [](const std::string& p) { WriteFile(p, "SQLite format 3\n but not really\n"); }},
        {"a database of another program",
         [](const std::string& p) {
             sqlite3* db = nullptr;
             ASSERT_EQ(sqlite3_open(p.c_str(), &db), SQLITE_OK);
             sqlite3_exec(db, "CREATE TABLE t(x); INSERT INTO t VALUES(1);", nullptr, nullptr, nullptr);
             sqlite3_close(db);
         }},
        {"a store cut in half",
         [&](const std::string& p) {
             {
                 RefPtr<CSchemaCache> cache = CSchemaCache::Create(m_names.get());
                 ASSERT_TRUE(cache->AttachFile(p));
                 for (int i = 1; i <= 40; ++i)
                     cache->GetSchemaForHost("h" + std::to_string(i) + ".example", 389, false, nullptr);
             }
             struct stat st;
             ASSERT_EQ(stat(p.c_str(), &st), 0);
             ASSERT_EQ(truncate(p.c_str(), st.st_size / 2), 0);
         }},
        {"a hostile host count",
         [&](const std::string& p) {
             MakeStore(p, validHost({{"SchemaCacheMetaInfo", metaInfo},
                                     {"HostsInformation", Hex("ffffffff") + HostRecordBytes(known, 389, 636, {Hex("0a000001")})}}));
         }},
        {"a hostile address count",
         [&](const std::string& p) {
             MakeStore(p, validHost({{"SchemaCacheMetaInfo", metaInfo},
                                     {"HostsInformation", U32(1) + GuidBytes(known) + U32(389) + U32(636) +
                                                              Hex("ffffff7f") + Hex("0a000001")}}));
         }},
        {"a host list cut short",
         [&](const std::string& p) {
             MakeStore(p, validHost({{"SchemaCacheMetaInfo", metaInfo},
                                     {"HostsInformation", U32(2) + HostRecordBytes(known, 389, 636, {Hex("0a000001")})}}));
         }},
        {"a host count cut short",
         [&](const std::string& p) {
             MakeStore(p, validHost({{"SchemaCacheMetaInfo", metaInfo}, {"HostsInformation", Hex("0100")}}));
         }},
        {"a root stream missing",
         [&](const std::string& p) {
             MakeStore(p, validHost({{"HostsInformation", U32(1) + HostRecordBytes(known, 389, 636, {Hex("0a000001")})}}));
         }},
        {"a root meta stream cut short",
         [&](const std::string& p) {
             MakeStore(p, validHost({{"SchemaCacheMetaInfo", "\x01"},
                                     {"HostsInformation", U32(1) + HostRecordBytes(known, 389, 636, {Hex("0a000001")})}}));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RemoveFile();
        NewRun();
        ASSERT_TRUE(platform::MakeFolders(GetSchemaCacheFolder()));
        c.make(Path());
        GUID guid;
        {
            Jobs jobs([](const RefPtr<CLDAPSchema>& s, const RefPtr<ISchemaHostStorage>& st) {
                RunJob(s, st, StandardFill());
            });
            ASSERT_TRUE(OpenSchemaCacheFileAt(Path(), m_names.get()));
            RefPtr<CSchemaCache> cache = GetSchemaCache();
            EXPECT_TRUE(cache->HasFile());
            EXPECT_TRUE(cache->GetHostRecords().empty());
            RefPtr<CLDAPSchema> schema = cache->GetSchemaForHost("ldap.example", 389, false, nullptr);
            ASSERT_TRUE(schema);
            EXPECT_EQ(jobs.Count(), 1u);
            EXPECT_EQ(jobs.RefreshSeen(), std::vector<int>{1});
            guid = schema->GetHostGuid();
            CloseSchemaCacheFile();
        }
        // What this run wrote is read back whole by the next; nothing of the old file is left.
        EXPECT_EQ(ElementNames(Elements(Path())), (std::set<std::string>{"HostsInformation", "SchemaCacheMetaInfo",
                                                                          SchemaHostStorageName(guid) + "/"}));
        NewRun();
        Jobs jobs;
        RefPtr<CSchemaCache> cache = OpenCache();
        ASSERT_EQ(cache->GetHostRecords().size(), 1u);
        RefPtr<CLDAPSchema> schema = cache->GetSchemaForHost("ldap.example", 389, false, nullptr);
        EXPECT_EQ(schema->GetHostGuid(), guid);
        EXPECT_EQ(jobs.RefreshSeen(), std::vector<int>{0});
        EXPECT_EQ(schema->GetStorage()->GetDefinitions(SchemaElementKind::AttributeType).GetCount(), 2u);
    }
}

TEST_F(SchemaCacheFile, ADamagedHostStorageIsMadeAnew)
{
    const std::string metaInfo = Hex("00000000 01000000");
    const GUID guid = platform::CreateGuid();
    const std::string sub = SchemaHostStorageName(guid);
    const std::string hosts = U32(1) + HostRecordBytes(guid, 389, 636, {Hex("0a000001")});
    auto withHost = [&](const char* stream, const std::string& bytes) {
        std::vector<std::pair<std::string, std::string>> streams = {{"SchemaCacheMetaInfo", metaInfo},
                                                                    {"HostsInformation", hosts}};
        for (auto& s : EmptyHostStreams(sub)) streams.push_back(s.first == sub + "/" + stream ? std::make_pair(s.first, bytes) : s);
        return streams;
    };
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> streams;
    } cases[] = {
        {"sub-storage missing", {{"SchemaCacheMetaInfo", metaInfo}, {"HostsInformation", hosts}}},
        {"a stream in place of the sub-storage",
         {{"SchemaCacheMetaInfo", metaInfo}, {"HostsInformation", hosts}, {sub, "not a storage"}}},
        {"a hostile list count", withHost("ldapSyntaxes", Hex("ffffffff"))},
        {"a short string", withHost("objectClasses", U32(1) + U32(50) + "short")},
        {"a huge string length", withHost("attributeTypes", U32(1) + Hex("fffffff0") + "x")},
        {"a hostile usage count", withHost("objectClassesUsageStatistics", Hex("ffffff0f"))},
        {"a meta record cut short", withHost("SchemaMetaInformation", "\x01\x02\x03")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RemoveFile();
        NewRun();
        ASSERT_TRUE(platform::MakeFolders(GetSchemaCacheFolder()));
        MakeStore(Path(), c.streams);
        {
            Jobs jobs([](const RefPtr<CLDAPSchema>& s, const RefPtr<ISchemaHostStorage>& st) {
                RunJob(s, st, StandardFill());
            });
            RefPtr<CSchemaCache> cache = OpenCache();
            ASSERT_EQ(cache->GetHostRecords().size(), 1u);
            RefPtr<CLDAPSchema> schema = cache->GetSchemaForHost("ldap.example", 389, false, nullptr);
            EXPECT_EQ(schema->GetHostGuid(), guid);
            ASSERT_NE(FileStorage(schema.get()), nullptr);
            EXPECT_TRUE(FileStorage(schema.get())->IsInitialized());
            // Fetched as a new host, and saved this time.
            EXPECT_EQ(jobs.RefreshSeen(), std::vector<int>{1});
        }
        NewRun();
        Jobs jobs;
        RefPtr<CSchemaCache> cache = OpenCache();
        RefPtr<CLDAPSchema> schema = cache->GetSchemaForHost("ldap.example", 389, false, nullptr);
        EXPECT_EQ(schema->GetHostGuid(), guid);
        EXPECT_TRUE(FileStorage(schema.get())->IsInitialized());
        EXPECT_EQ(jobs.RefreshSeen(), std::vector<int>{0});
        EXPECT_EQ(schema->GetTimestamp(), 20240131235959);
        EXPECT_EQ(schema->GetStorage()->GetDefinitions(SchemaElementKind::Syntax).GetCount(), 1u);
    }
}

// The first row of one statement on a closed file, as text.
std::string QueryText(const std::string& path, const char* sql)
{
    sqlite3* db = nullptr;
    std::string out;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW &&
            sqlite3_column_text(st, 0))
            out = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return out;
}

// Points the name index entry of the element called name at the row id
// target, in the file's bytes: the rows stay as they are, and the file still
// passes a quick check.
void PointIndexEntryAt(const std::string& path, const std::string& name, int target)
{
    const std::string sql = "SELECT id FROM elements WHERE name='" + name + "'";
    const int id = std::stoi(QueryText(path, sql.c_str()));
    const long pageSize = std::stol(QueryText(path, "PRAGMA page_size"));
    const long root = std::stol(QueryText(path, "SELECT rootpage FROM sqlite_master WHERE name='elements_by_name'"));
    ASSERT_FALSE(std::filesystem::exists(path + "-wal"));
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    std::string page(static_cast<size_t>(pageSize), '\0');
    file.seekg((root - 1) * pageSize);
    ASSERT_TRUE(file.read(&page[0], pageSize));
    ASSERT_EQ(page[0], '\x0a') << "the index is one leaf page";
    // The entry: parent, folded name, row id (one byte for small ids).
    size_t at = page.find(name);
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(page.find(name, at + 1), std::string::npos);
    at += name.size();
    ASSERT_EQ(static_cast<unsigned char>(page[at]), id);
    page[at] = static_cast<char>(target);
    file.seekp((root - 1) * pageSize);
    ASSERT_TRUE(file.write(page.data(), pageSize));
}

TEST_F(SchemaCacheFile, AHostWhoseIndexEntryIsDamagedIsMadeAnew)
{
    struct Case {
        const char* name;
        std::function<int(const std::string& path)> target;
    } cases[] = {
        {"an entry pointing at no row", [](const std::string&) { return 120; }},
        {"an entry pointing at another element",
         [](const std::string& path) { return std::stoi(QueryText(path, "SELECT id FROM elements WHERE name='HostsInformation'")); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RemoveFile();
        NewRun();
        GUID guid;
        {
            Jobs jobs([](const RefPtr<CLDAPSchema>& s, const RefPtr<ISchemaHostStorage>& st) {
                RunJob(s, st, StandardFill());
            });
            RefPtr<CSchemaCache> cache = OpenCache();
            guid = cache->GetSchemaForHost("ldap.example", 389, false, nullptr)->GetHostGuid();
        }
        PointIndexEntryAt(Path(), SchemaHostStorageName(guid), c.target(Path()));
        ASSERT_EQ(QueryText(Path(), "PRAGMA quick_check"), "ok");

        // Found damaged and made anew: the host is fetched and saved in the file again...
        NewRun();
        {
            Jobs jobs([](const RefPtr<CLDAPSchema>& s, const RefPtr<ISchemaHostStorage>& st) {
                RunJob(s, st, StandardFill());
            });
            RefPtr<CSchemaCache> cache = OpenCache();
            ASSERT_TRUE(cache->HasFile());
            RefPtr<CLDAPSchema> schema = cache->GetSchemaForHost("ldap.example", 389, false, nullptr);
            ASSERT_NE(FileStorage(schema.get()), nullptr) << "served from memory";
            EXPECT_TRUE(FileStorage(schema.get())->IsInitialized());
            EXPECT_EQ(jobs.RefreshSeen(), std::vector<int>{1});
        }
        EXPECT_EQ(QueryText(Path(), "PRAGMA integrity_check"), "ok");
        // ...so that the run after reads it from there.
        NewRun();
        Jobs jobs;
        RefPtr<CSchemaCache> cache = OpenCache();
        RefPtr<CLDAPSchema> schema = cache->GetSchemaForHost("ldap.example", 389, false, nullptr);
        ASSERT_NE(FileStorage(schema.get()), nullptr);
        EXPECT_EQ(jobs.RefreshSeen(), std::vector<int>{0});
        EXPECT_EQ(schema->GetStorage()->GetDefinitions(SchemaElementKind::AttributeType).GetCount(), 2u);
    }
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kAddressSpaceLimitWorks = false;  // the sanitizers reserve huge address ranges
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
constexpr bool kAddressSpaceLimitWorks = false;
#else
constexpr bool kAddressSpaceLimitWorks = true;
#endif
#else
constexpr bool kAddressSpaceLimitWorks = true;
#endif

// The address space this process has mapped.
size_t MappedBytes()
{
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0;
    statm >> pages;
    return pages * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

// A small file whose host stream claims a size of a quarter gigabyte: it is
// found damaged before anything of that size is allocated, in a run whose
// address space leaves no room for it, and the host is made anew.
TEST_F(SchemaCacheFile, AStreamClaimingAHugeSizeIsRefusedBeforeAllocation)
{
    if (!kAddressSpaceLimitWorks) GTEST_SKIP() << "no address space limit under a sanitizer";
    GUID guid;
    {
        Jobs jobs([](const RefPtr<CLDAPSchema>& s, const RefPtr<ISchemaHostStorage>& st) {
            RunJob(s, st, StandardFill());
        });
        RefPtr<CSchemaCache> cache = OpenCache();
        guid = cache->GetSchemaForHost("ldap.example", 389, false, nullptr)->GetHostGuid();
    }
    {
        platform::CStorage root;
        ASSERT_EQ(platform::CStorage::OpenFile(Path(), platform::STGM_READWRITE | platform::STGM_SHARE_EXCLUSIVE, root),
                  S_OK);
        platform::CStream stream;
        ASSERT_EQ(root.OpenStreamAt(SchemaHostStorageName(guid) + "/objectClasses",
                                    platform::STGM_READWRITE | platform::STGM_SHARE_EXCLUSIVE, stream),
                  S_OK);
        ASSERT_EQ(stream.SetSize(255u << 20), S_OK);
    }
    ASSERT_LT(std::filesystem::file_size(Path()), 1u << 20);

    NewRun();
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Never back into the test framework from here.
        try {
            rlimit limit{MappedBytes() + (128u << 20), RLIM_INFINITY};
            if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(3);
            Jobs jobs([](const RefPtr<CLDAPSchema>& s, const RefPtr<ISchemaHostStorage>& st) {
                RunJob(s, st, StandardFill());
            });
            RefPtr<CSchemaCache> cache = CSchemaCache::Create(m_names.get());
            if (!cache->AttachFile(Path())) _exit(4);
            RefPtr<CLDAPSchema> schema = cache->GetSchemaForHost("ldap.example", 389, false, nullptr);
            bool madeAnew = FileStorage(schema.get()) && FileStorage(schema.get())->IsInitialized() &&
                            schema->GetHostGuid() == guid && jobs.RefreshSeen() == std::vector<int>{1};
            _exit(madeAnew ? 0 : 1);
        } catch (const std::bad_alloc&) {
            _exit(5);
        } catch (...) {
            _exit(6);
        }
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the run died (signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0) << ")";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: not made anew, 5: out of memory";
}

TEST_F(SchemaCacheFile, RecordsThatCanNeverBeMetAndStrayElementsAreDropped)
{
    const GUID good = platform::CreateGuid(), noAddress = platform::CreateGuid();
    const std::string goodRecord = HostRecordBytes(good, 389, 636, {Hex("0a000001")});
    std::vector<std::pair<std::string, std::string>> streams = {
        {"SchemaCacheMetaInfo", Hex("00000000 01000000")},
        {"HostsInformation", U32(4) + goodRecord + HostRecordBytes(noAddress, 389, 636, {}) +
                                 HostRecordBytes(GUID(), 389, 636, {Hex("0a000003")}) +
                                 HostRecordBytes(good, 389, 636, {Hex("0a000003")})},
        {"CONTENTS", "left over"},
        {"ORPHAN/objectClasses", U32(0)},
    };
    for (const GUID& g : {good, noAddress, GUID()})
        for (auto& s : EmptyHostStreams(SchemaHostStorageName(g))) streams.push_back(s);
    ASSERT_TRUE(platform::MakeFolders(GetSchemaCacheFolder()));
    MakeStore(Path(), streams);
    {
        RefPtr<CSchemaCache> cache = OpenCache();
        std::vector<SchemaHostRecord> records = cache->GetHostRecords();
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].guid, good);
    }
    EXPECT_EQ(ElementNames(Elements(Path())),
              (std::set<std::string>{"HostsInformation", "SchemaCacheMetaInfo", SchemaHostStorageName(good) + "/"}));
    EXPECT_EQ(ReadStream(Path(), "HostsInformation").substr(0, 4 + goodRecord.size()), U32(1) + goodRecord);
}

// ---- no file ----

TEST_F(SchemaCacheFile, WithoutAFileModelsAreServedFromMemory)
{
    // A folder where the file should be.
    ASSERT_TRUE(platform::MakeFolders(Path()));
    Jobs jobs;
    EXPECT_FALSE(OpenSchemaCacheFileAt(Path(), m_names.get()));
    RefPtr<CSchemaCache> cache = GetSchemaCache();
    ASSERT_TRUE(cache);
    EXPECT_FALSE(cache->HasFile());
    RefPtr<CLDAPSchema> a = cache->GetSchemaForHost("ldap.example", 389, false, nullptr);
    RefPtr<CLDAPSchema> b = cache->GetSchemaForHost("10.0.0.2", 389, false, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_EQ(jobs.Count(), 1u);
    EXPECT_EQ(FileStorage(a.get()), nullptr);
    a->MarkDirty();
    a.reset();
    b.reset();
    cache.reset();
    CloseSchemaCacheFile();
    EXPECT_TRUE(std::filesystem::is_directory(Path()));

    // Nothing opened at all: the run still gets a cache, and one model per host.
    RefPtr<CSchemaCache> memory = GetSchemaCache();
    ASSERT_TRUE(memory);
    EXPECT_EQ(memory, GetSchemaCache());
    EXPECT_EQ(memory->GetSchemaForHost("localhost", 389, false, nullptr),
              memory->GetSchemaForHost("LocalHost", 389, false, nullptr));
}

TEST_F(SchemaCacheFile, AFileHeldByAnotherIsLeftAlone)
{
    GUID guid;
    {
        RefPtr<CSchemaCache> cache = OpenCache();
        guid = cache->GetSchemaForHost("ldap.example", 389, false, nullptr)->GetHostGuid();
    }
    const std::string before = ReadStream(Path(), "HostsInformation");
    {
        platform::CStorage other;
        ASSERT_EQ(platform::CStorage::OpenFile(Path(), platform::STGM_READWRITE | platform::STGM_SHARE_EXCLUSIVE, other),
                  S_OK);
        NewRun();
        EXPECT_FALSE(OpenSchemaCacheFileAt(Path(), m_names.get()));
        EXPECT_FALSE(GetSchemaCache()->HasFile());
        EXPECT_NE(GetSchemaCache()->GetSchemaForHost("ldap.example", 389, false, nullptr)->GetHostGuid(), guid);
        CloseSchemaCacheFile();
    }
    EXPECT_EQ(ReadStream(Path(), "HostsInformation"), before);
    EXPECT_EQ(ElementNames(Elements(Path())),
              (std::set<std::string>{"HostsInformation", "SchemaCacheMetaInfo", SchemaHostStorageName(guid) + "/"}));
}

TEST_F(SchemaCacheFile, OpenedOncePerRun)
{
    ASSERT_TRUE(OpenSchemaCacheFileAt(Path(), m_names.get()));
    RefPtr<CSchemaCache> first = GetSchemaCache();
    EXPECT_FALSE(OpenSchemaCacheFileAt(Path(), m_names.get()));
    EXPECT_FALSE(OpenSchemaCacheFile());
    EXPECT_EQ(GetSchemaCache(), first);
    first.reset();
    CloseSchemaCacheFile();
    EXPECT_TRUE(OpenSchemaCacheFile());  // the per-user default path
    EXPECT_TRUE(GetSchemaCache()->HasFile());
}

// ---- threads ----

TEST_F(SchemaCacheFile, ConcurrentRequestsForOneHostGetOneModelAndOneJob)
{
    std::atomic<int> inStarter{0};
    Jobs jobs([&](const RefPtr<CLDAPSchema>&, const RefPtr<ISchemaHostStorage>&) {
        ++inStarter;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    });
    ASSERT_TRUE(OpenSchemaCacheFileAt(Path(), m_names.get()));
    const char* const stored[] = {"ldap.example", "alias.example", "10.0.0.1", "LDAP.EXAMPLE"};
    const char* const runOnly[] = {"nowhere.invalid", "NoWhere.Invalid"};
    const int kThreads = 16;
    std::promise<void> go;
    std::shared_future<void> start = go.get_future().share();
    std::vector<RefPtr<CLDAPSchema>> storedModels(kThreads), runOnlyModels(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            start.wait();
            RefPtr<CSchemaCache> cache = GetSchemaCache();
            storedModels[t] = cache->GetSchemaForHost(stored[t % 4], 389, false, nullptr);
            runOnlyModels[t] = cache->GetSchemaForHost(runOnly[t % 2], 389, false, nullptr);
        });
    }
    go.set_value();
    for (std::thread& t : threads) t.join();
    for (int t = 0; t < kThreads; ++t) {
        ASSERT_TRUE(storedModels[t]);
        EXPECT_EQ(storedModels[t], storedModels[0]);
        EXPECT_EQ(runOnlyModels[t], runOnlyModels[0]);
    }
    EXPECT_NE(storedModels[0], runOnlyModels[0]);
    EXPECT_EQ(jobs.Count(), 2u);
    EXPECT_EQ(inStarter.load(), 2);
    EXPECT_EQ(GetSchemaCache()->GetHostRecords().size(), 1u);
    EXPECT_EQ(GetSchemaCache()->GetRunOnlyHostRecords().size(), 1u);
}

TEST_F(SchemaCacheFile, TheJobStarterRunsOutsideTheCacheLock)
{
    // A starter that asks the cache again would wait for ever under the lock.
    std::vector<CLDAPSchema*> seen;
    Jobs jobs([&](const RefPtr<CLDAPSchema>&, const RefPtr<ISchemaHostStorage>&) {
        seen.push_back(GetSchemaCache()->GetSchemaForHost("ldap.example", 389, false, nullptr).get());
        seen.push_back(GetSchemaCache()->GetSchemaForHost("other.example", 389, false, nullptr).get());
    });
    ASSERT_TRUE(OpenSchemaCacheFileAt(Path(), m_names.get()));
    RefPtr<CLDAPSchema> schema = GetSchemaCache()->GetSchemaForHost("ldap.example", 389, false, nullptr);
    RefPtr<CLDAPSchema> other = GetSchemaCache()->GetSchemaForHost("other.example", 389, false, nullptr);
    EXPECT_EQ(jobs.Count(), 2u);
    // The first job's own request for other.example made that model and
    // started its job, whose requests met both models.
    EXPECT_EQ(seen, (std::vector<CLDAPSchema*>{schema.get(), schema.get(), other.get(), other.get()}));
}

TEST_F(SchemaCacheFile, ConcurrentWritesAreSerialised)
{
    const int kHosts = 4, kWriters = 8, kRounds = 30, kNewHosts = 30;
    std::vector<SchemaUsageMap> finalUsage(kHosts);
    std::vector<StringList> finalLists(kHosts);
    std::vector<GUID> guids(kHosts);
    {
        Jobs jobs;
        RefPtr<CSchemaCache> cache = OpenCache();
        std::vector<RefPtr<CLDAPSchema>> models;
        for (int h = 0; h < kHosts; ++h) {
            models.push_back(cache->GetSchemaForHost("h" + std::to_string(h + 1) + ".example", 389, false, nullptr));
            guids[h] = models.back()->GetHostGuid();
        }
        std::promise<void> go;
        std::shared_future<void> start = go.get_future().share();
        std::vector<std::thread> threads;
        for (int t = 0; t < kWriters; ++t) {
            threads.emplace_back([&, t] {
                start.wait();
                for (int i = 0; i < kRounds; ++i) {
                    CLDAPSchema* model = models[(t + i) % kHosts].get();
                    ISchemaHostStorage* storage = model->GetStorage();
                    StringList list;
                    for (int k = 0; k <= (t * 7 + i) % 5; ++k)
                        list.Add("( 1." + std::to_string(t) + "." + std::to_string(i) + "." + std::to_string(k) +
                                 " NAME 'w" + std::to_string(t) + "' )");
                    storage->SetDefinitions(SchemaElementKind::AttributeType, list, true);
                    model->AddClassUsage(List({"counted"}));
                    if (i % 3 == 0) model->MarkDirty();
                    storage->SaveInPlace();
                }
            });
        }
        // Meanwhile new hosts make sub-storages and write the host list.
        threads.emplace_back([&] {
            start.wait();
            for (int n = 0; n < kNewHosts; ++n)
                cache->GetSchemaForHost("h" + std::to_string(100 + n) + ".example", 389, false, nullptr);
        });
        go.set_value();
        for (std::thread& t : threads) t.join();
        for (int h = 0; h < kHosts; ++h) {
            finalUsage[h] = models[h]->GetUsageStatistics();
            finalLists[h] = models[h]->GetStorage()->GetDefinitions(SchemaElementKind::AttributeType);
        }
    }
    int total = 0;
    for (const SchemaUsageMap& u : finalUsage) total += static_cast<int>(u.at("counted"));
    EXPECT_EQ(total, kWriters * kRounds);

    NewRun();
    Jobs jobs;
    RefPtr<CSchemaCache> cache = OpenCache();
    EXPECT_EQ(cache->GetHostRecords().size(), static_cast<size_t>(kHosts + kNewHosts));
    for (int h = 0; h < kHosts; ++h) {
        SCOPED_TRACE(h);
        RefPtr<CLDAPSchema> model = cache->GetSchemaForHost("h" + std::to_string(h + 1) + ".example", 389, false, nullptr);
        EXPECT_EQ(model->GetHostGuid(), guids[h]);
        ASSERT_TRUE(FileStorage(model.get())->IsInitialized());
        EXPECT_EQ(model->GetUsageStatistics(), finalUsage[h]);
        EXPECT_EQ(model->GetStorage()->GetDefinitions(SchemaElementKind::AttributeType), finalLists[h]);
    }
    for (int n = 0; n < kNewHosts; ++n) {
        RefPtr<CLDAPSchema> model =
            cache->GetSchemaForHost("h" + std::to_string(100 + n) + ".example", 389, false, nullptr);
        EXPECT_TRUE(FileStorage(model.get())->IsInitialized()) << n;
    }
}

// ---- the built-in schema ----

TEST(SchemaBuiltIn, OneInstanceForTheRun)
{
    RefPtr<CLDAPSchema> a = GetBuiltInSchema();
    RefPtr<CLDAPSchema> b = GetBuiltInSchema();
    ASSERT_TRUE(a);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a->GetServerKind(), kServerVellumarInternal);
    EXPECT_EQ(a->GetLoadState(), kSchemaLoaded);
}

} // namespace
