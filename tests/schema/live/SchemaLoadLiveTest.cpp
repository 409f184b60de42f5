// The schema loading job against the test servers: a first load fetches, a
// later run with an unchanged server uses the cache file, an unreadable root
// DSE falls back to the machine's default definitions, errors fail the load,
// and the job is a registered worker while it runs.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "jobs/CLDAPThread.h"
#include "schema/HostIdentity.h"
#include "schema/SchemaCache.h"
#include "schema/SchemaLoadThread.h"
#include "tests/schema/SchemaLoadTestSupport.h"
#include "tests/schema/live/LiveSchemaSupport.h"

using namespace arbldap;

namespace {

using namespace std::chrono_literals;
using namespace liveschema;
using namespace loadtest;
using testsupport::SlapdServer;

const SchemaElementKind kKinds[] = {SchemaElementKind::Syntax, SchemaElementKind::AttributeType,
                                    SchemaElementKind::ObjectClass, SchemaElementKind::MatchingRule,
                                    SchemaElementKind::MatchingRuleUse};

const char* AttributeOf(SchemaElementKind kind)
{
    switch (kind) {
    case SchemaElementKind::Syntax: return "ldapSyntaxes";
    case SchemaElementKind::AttributeType: return "attributeTypes";
    case SchemaElementKind::ObjectClass: return "objectClasses";
    case SchemaElementKind::MatchingRule: return "matchingRules";
    case SchemaElementKind::MatchingRuleUse: return "matchingRuleUse";
    }
    return "";
}

size_t CountOf(const CSchemaContent& content, SchemaElementKind kind)
{
    switch (kind) {
    case SchemaElementKind::Syntax: return content.GetSyntaxes().size();
    case SchemaElementKind::AttributeType: return content.GetAttributeTypes().size();
    case SchemaElementKind::ObjectClass: return content.GetObjectClasses().size();
    case SchemaElementKind::MatchingRule: return content.GetMatchingRules().size();
    case SchemaElementKind::MatchingRuleUse: return content.GetMatchingRuleUses().size();
    }
    return 0;
}

std::set<std::string> AsSet(const StringList& list)
{
    return std::set<std::string>(list.begin(), list.end());
}

// The subschema definitions the server itself sends, read as the admin (who
// sees everything), kind by kind.
std::map<SchemaElementKind, StringList> ServerDefinitions(const SlapdServer& server, const char* suffix)
{
    RefPtr<LDAPSyncConnection> admin = Connect(server.Port(), (std::string("cn=admin,") + suffix).c_str(), "secret");
    std::map<SchemaElementKind, StringList> defs;
    for (SchemaElementKind kind : kKinds)
        defs[kind] = ReadValues(*admin, "cn=Subschema", "(objectClass=subschema)", AttributeOf(kind));
    return defs;
}

// What one run of the program left behind for a host.
struct Outcome {
    int state = -1;
    std::shared_ptr<const CSchemaContent> content;
    SchemaMetaRecord meta;
    std::map<SchemaElementKind, StringList> kept;
    std::vector<std::string> log;
    int refreshCalls = 0;
    int64_t before = 0, after = 0;  // the local stamps around the run

    bool Logged(const std::string& line) const { return std::count(log.begin(), log.end(), line) > 0; }
    size_t SummaryLines() const
    {
        size_t n = 0;
        for (const std::string& l : log) n += l.compare(0, 3, "   ") == 0;
        return n;
    }
};

class SchemaLoadLive : public ::testing::Test {
protected:
    void SetUp() override
    {
        LoadResources();
        InstallSchemaLoadJobStarter();
    }
    void TearDown() override
    {
        EXPECT_TRUE(WaitForAllThreads(30s));
        EXPECT_EQ(GetRunningThreadCount(), 0);
        CLDAPSchema::SetLoadJobStarter(nullptr);
    }

    std::string CachePath() const { return m_folder.Path() + "/schemacache.dat"; }

    // One run of the program: a new cache on the file, the host's schema
    // asked for once, its job waited for; then the cache closes.
    // atEnd runs on the schema before the run ends.
    Outcome LoadInNewRun(LDAPConnection* connection,
                         const std::function<void(CLDAPSchema&)>& atEnd = nullptr)
    {
        Outcome o;
        LogCapture log;
        RefreshRecorder refresh;
        CHostResolutionCache names;
        RefPtr<CSchemaCache> cache = CSchemaCache::Create(&names);
        EXPECT_TRUE(cache->AttachFile(CachePath()));
        o.before = CSchemaLoadThread::CurrentTimeStamp();
        RefPtr<CLDAPSchema> schema = cache->GetSchemaForHost(connection);
        EXPECT_TRUE(WaitForAllThreads(30s));
        o.after = CSchemaLoadThread::CurrentTimeStamp();
        o.state = schema->GetLoadState();
        o.content = schema->GetContent();
        o.meta = schema->GetStorage()->GetMetaRecord();
        for (SchemaElementKind kind : kKinds) o.kept[kind] = schema->GetStorage()->GetDefinitions(kind);
        if (atEnd) atEnd(*schema);
        schema.reset();
        cache.reset();
        o.log = log.Utf8Lines();
        o.refreshCalls = refresh.Calls();
        return o;
    }

    // The host's definitions and meta record as the cache file holds them.
    Outcome KeptInFile(LDAPConnection* connection)
    {
        Outcome o;
        CLDAPSchema::SetLoadJobStarter([&o](const RefPtr<CLDAPSchema>&, const RefPtr<ISchemaHostStorage>& storage,
                                            LDAPConnection*) {
            o.meta = storage->GetMetaRecord();
            for (SchemaElementKind kind : kKinds) o.kept[kind] = storage->GetDefinitions(kind);
        });
        {
            CHostResolutionCache names;
            RefPtr<CSchemaCache> cache = CSchemaCache::Create(&names);
            EXPECT_TRUE(cache->AttachFile(CachePath()));
            cache->GetSchemaForHost(connection);
        }
        InstallSchemaLoadJobStarter();
        return o;
    }

    TempFolder m_folder;
    MachineRoot m_machine{m_folder.Path() + "/machine.db"};
};

// ---- a readable server ----

TEST_F(SchemaLoadLive, FirstLoadFetchesTheNextRunUsesTheCache)
{
    SlapdServer& server = SlapdServer::Main();
    RefPtr<LDAPSyncConnection> connection = Connect(server.Port());
    std::map<SchemaElementKind, StringList> onServer = ServerDefinitions(server, "o=lab");
    StringList stamp = ReadValues(*connection, "cn=Subschema", "(objectClass=subschema)", "modifyTimestamp");
    ASSERT_EQ(stamp.GetCount(), 1u);
    const int64_t serverStamp = CSchemaLoadThread::ParseTimestamp(*stamp.begin());

    Outcome first = LoadInNewRun(connection.get());
    {
        SCOPED_TRACE("first run");
        EXPECT_TRUE(first.Logged(Text(424)));
        EXPECT_FALSE(first.Logged(Text(425)));
        EXPECT_EQ(first.state, kSchemaLoaded);
        EXPECT_EQ(first.refreshCalls, 1);
        // The real slapd is an OpenLDAP 2 server.
        EXPECT_EQ(first.meta.serverKind, static_cast<uint32_t>(kServerOpenLDAP2));
        EXPECT_EQ(first.meta.timestamp, serverStamp);
        EXPECT_EQ(first.meta.defaultSchema, 0);
        EXPECT_EQ(first.meta.refreshNeeded, 0);
        for (SchemaElementKind kind : kKinds) {
            SCOPED_TRACE(AttributeOf(kind));
            EXPECT_FALSE(onServer[kind].IsEmpty());
            EXPECT_EQ(first.kept[kind], onServer[kind]);
            // slapd sends each OID once.
            EXPECT_EQ(CountOf(*first.content, kind), onServer[kind].GetCount());
        }
        const std::string summary = "   AttributeTypes:" + Text(429) +
                                    std::to_string(onServer[SchemaElementKind::AttributeType].GetCount()) + Text(431) +
                                    "0" + Text(603) + "0";
        EXPECT_TRUE(first.Logged(summary)) << summary;
        EXPECT_EQ(first.SummaryLines(), 5u);

        const CSchemaContent& c = *first.content;
        ASSERT_NE(c.FindAttributeType("cn"), nullptr);
        EXPECT_EQ(c.FindAttributeType("commonName"), c.FindAttributeType("CN"));
        ASSERT_NE(c.FindObjectClass("inetOrgPerson"), nullptr);
        EXPECT_NE(c.FindObjectClass("posixAccount"), nullptr);  // nis
        EXPECT_EQ(c.GetEffectiveSyntax(*c.FindAttributeType("cn")), "1.3.6.1.4.1.1466.115.121.1.15");

        const SchemaRootInfo& root = c.GetRootInfo();
        EXPECT_EQ(root.subschemaDN, "cn=Subschema");
        EXPECT_EQ(AsSet(root.namingContexts), (std::set<std::string>{"o=lab", "o=other"}));
        EXPECT_EQ(AsSet(root.supportedControls), AsSet(ReadValues(*connection, "", "(objectclass=*)", "supportedControl")));
        EXPECT_EQ(AsSet(root.supportedExtensions),
                  AsSet(ReadValues(*connection, "", "(objectclass=*)", "supportedExtension")));
        EXPECT_EQ(AsSet(root.saslMechanisms),
                  AsSet(ReadValues(*connection, "", "(objectclass=*)", "supportedSASLMechanisms")));
    }

    Outcome second = LoadInNewRun(connection.get(), [](CLDAPSchema& schema) { schema.MarkDirty(); });
    {
        SCOPED_TRACE("second run: the server's stamp is unchanged");
        EXPECT_TRUE(second.Logged(Text(425)));
        EXPECT_FALSE(second.Logged(Text(424)));
        EXPECT_EQ(second.state, kSchemaLoaded);
        EXPECT_EQ(second.meta.timestamp, serverStamp);
        EXPECT_EQ(second.meta.serverKind, static_cast<uint32_t>(kServerOpenLDAP2));
        for (SchemaElementKind kind : kKinds) EXPECT_EQ(CountOf(*second.content, kind), onServer[kind].GetCount());
        EXPECT_NE(second.content->FindAttributeType("cn"), nullptr);
        EXPECT_NE(second.content->FindObjectClass("inetOrgPerson"), nullptr);
        EXPECT_EQ(second.content->GetRootInfo(), first.content->GetRootInfo());
        EXPECT_EQ(second.SummaryLines(), 5u);
    }

    Outcome third = LoadInNewRun(connection.get());
    {
        SCOPED_TRACE("third run: a refresh was asked for");
        EXPECT_TRUE(third.Logged(Text(424)));
        EXPECT_EQ(third.state, kSchemaLoaded);
        EXPECT_EQ(third.meta.refreshNeeded, 0);
        EXPECT_EQ(third.kept, onServer);
    }
}

TEST_F(SchemaLoadLive, ReadersNeverSeeTheStateBeforeTheContent)
{
    RefPtr<LDAPSyncConnection> connection = Connect(SlapdServer::Main().Port());
    CHostResolutionCache names;
    RefPtr<CSchemaCache> cache = CSchemaCache::Create(&names);
    ASSERT_TRUE(cache->AttachFile(CachePath()));
    RefPtr<CLDAPSchema> schema = cache->GetSchemaForHost(connection.get());

    // Polls as a view would: the state first, then the content.
    int looks = 0, early = 0;
    auto deadline = std::chrono::steady_clock::now() + 30s;
    while (std::chrono::steady_clock::now() < deadline) {
        int state = schema->GetLoadState();
        std::shared_ptr<const CSchemaContent> content = schema->GetContent();
        ++looks;
        if (state == kSchemaFetchInProgress) continue;
        EXPECT_EQ(state, kSchemaLoaded);
        if (content->GetAttributeTypes().empty() || !content->FindObjectClass("inetOrgPerson")) ++early;
        break;
    }
    EXPECT_EQ(early, 0);
    EXPECT_GT(looks, 1);
    EXPECT_TRUE(WaitForAllThreads(30s));
}

// ---- an unreadable root DSE ----

class SchemaLoadDefaults : public SchemaLoadLive {
protected:
    void SetUp() override
    {
        SchemaLoadLive::SetUp();
        m_machine.SetDefinitions(L"attributeTypes",
                                 {{L"1", L"( 2.5.4.41 NAME 'name' SYNTAX 1.3.6.1.4.1.1466.115.121.1.15{32768} )"},
                                  {L"2", L"( 2.5.4.3 NAME ( 'cn' 'commonName' ) SUP name )"},
                                  {L"3", L"( 1.3.6.1.4.1.99999.1 NAME 'fallbackOnly' SUP name )"}});
        m_machine.SetDefinitions(L"objectClasses",
                                 {{L"1", L"( 2.5.6.6 NAME 'person' SUP top STRUCTURAL MUST ( sn $ cn ) )"}});
    }
};

TEST_F(SchemaLoadDefaults, RootDSEThatCannotBeReadGivesTheMachineDefinitions)
{
    SlapdServer& server = SlapdServer::Restricted();
    struct Case {
        const char* name;
        int port;
    };
    const Case cases[] = {
        {"no root DSE entry", server.Port()},
        {"a root DSE without subschemaSubentry", server.Port2()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RefPtr<LDAPSyncConnection> connection = Connect(c.port);
        Outcome o = LoadInNewRun(connection.get());
        EXPECT_TRUE(o.Logged(Text(427)));
        EXPECT_FALSE(o.Logged(Text(424)));
        EXPECT_FALSE(o.Logged(Text(425)));
        EXPECT_EQ(o.state, kSchemaDefaultUsed);
        EXPECT_EQ(o.refreshCalls, 1);
        EXPECT_EQ(o.SummaryLines(), 5u);
        ASSERT_NE(o.content->FindAttributeType("commonName"), nullptr);
        EXPECT_NE(o.content->FindAttributeType("fallbackOnly"), nullptr);
        EXPECT_NE(o.content->FindObjectClass("person"), nullptr);
        EXPECT_EQ(o.content->GetAttributeTypes().size(), 3u);
        EXPECT_TRUE(o.content->GetMatchingRules().empty());
        EXPECT_TRUE(o.content->GetRootInfo().subschemaDN.empty());
        // The kind is not looked for; a new host stays unrecognised.
        EXPECT_EQ(o.meta.serverKind, static_cast<uint32_t>(kServerUnrecognized));
        EXPECT_EQ(o.meta.defaultSchema, 1);
        EXPECT_EQ(o.meta.refreshNeeded, 0);
        EXPECT_GE(o.meta.timestamp, o.before);
        EXPECT_LE(o.meta.timestamp, o.after);
        // A new host's lists are written with what stood in.
        Outcome file = KeptInFile(connection.get());
        EXPECT_EQ(file.kept[SchemaElementKind::AttributeType].GetCount(), 3u);
        EXPECT_EQ(file.meta, o.meta);
    }
}

TEST_F(SchemaLoadDefaults, WithoutMachineDefinitionsTheSchemaIsEmpty)
{
    platform::SetMachineRootFile(m_folder.Path() + "/missing.db");
    RefPtr<LDAPSyncConnection> connection = Connect(SlapdServer::Restricted().Port());
    Outcome o = LoadInNewRun(connection.get());
    EXPECT_TRUE(o.Logged(Text(427)));
    EXPECT_EQ(o.state, kSchemaDefaultUsed);
    for (SchemaElementKind kind : kKinds) EXPECT_EQ(CountOf(*o.content, kind), 0u) << AttributeOf(kind);
}

// A server that hides its root DSE from anonymous users, and gives no
// modifyTimestamp to bound ones.
TEST_F(SchemaLoadDefaults, AfterTheDefaultPathTheServerIsReadAgain)
{
    SlapdServer& server = SlapdServer::Restricted();
    RefPtr<LDAPSyncConnection> reader = Connect(server.Port(), testsupport::kReaderDN, testsupport::kReaderPassword);
    RefPtr<LDAPSyncConnection> anonymous = Connect(server.Port());
    std::map<SchemaElementKind, StringList> onServer = ServerDefinitions(server, "o=hidden");

    Outcome first = LoadInNewRun(reader.get());
    {
        SCOPED_TRACE("first run, bound");
        EXPECT_TRUE(first.Logged(Text(424)));
        EXPECT_EQ(first.state, kSchemaLoaded);
        EXPECT_EQ(first.kept, onServer);
        // No stamp from the server: the local one.
        EXPECT_GE(first.meta.timestamp, first.before);
        EXPECT_LE(first.meta.timestamp, first.after);
        EXPECT_EQ(first.meta.serverKind, static_cast<uint32_t>(kServerOpenLDAP2));
    }

    Outcome second = LoadInNewRun(anonymous.get());
    {
        SCOPED_TRACE("second run, anonymous");
        EXPECT_TRUE(second.Logged(Text(427)));
        EXPECT_EQ(second.state, kSchemaDefaultUsed);
        EXPECT_NE(second.content->FindAttributeType("fallbackOnly"), nullptr);
        EXPECT_EQ(second.content->GetAttributeTypes().size(), 3u);
        EXPECT_EQ(second.meta.defaultSchema, 1);
        // The kind found before is kept.
        EXPECT_EQ(second.meta.serverKind, static_cast<uint32_t>(kServerOpenLDAP2));
        // The file keeps the server's definitions of the known host.
        Outcome file = KeptInFile(anonymous.get());
        EXPECT_EQ(file.kept, onServer);
        EXPECT_EQ(file.meta.defaultSchema, 1);
    }

    Outcome third = LoadInNewRun(reader.get());
    {
        SCOPED_TRACE("third run, bound: the stand-in definitions are replaced at once");
        EXPECT_TRUE(third.Logged(Text(424)));
        EXPECT_FALSE(third.Logged(Text(425)));
        EXPECT_EQ(third.state, kSchemaLoaded);
        EXPECT_EQ(third.content->FindAttributeType("fallbackOnly"), nullptr);
        EXPECT_NE(third.content->FindObjectClass("person"), nullptr);
        EXPECT_EQ(CountOf(*third.content, SchemaElementKind::AttributeType),
                  onServer[SchemaElementKind::AttributeType].GetCount());
        EXPECT_EQ(third.meta.defaultSchema, 0);
    }

    Outcome fourth = LoadInNewRun(reader.get());
    {
        SCOPED_TRACE("fourth run, bound: no stamp and too recent to fetch");
        EXPECT_TRUE(fourth.Logged(Text(425)));
        EXPECT_FALSE(fourth.Logged(Text(424)));
        EXPECT_EQ(fourth.state, kSchemaLoaded);
        EXPECT_EQ(fourth.kept, onServer);
        EXPECT_NE(fourth.content->FindObjectClass("person"), nullptr);
    }
}

// ---- a subschema entry that cannot be read ----

TEST_F(SchemaLoadLive, AHiddenSubschemaEntryKeepsTheRefreshDue)
{
    SlapdServer& server = SlapdServer::Restricted();
    RefPtr<LDAPSyncConnection> blind = Connect(server.Port(), testsupport::kBlindDN, testsupport::kBlindPassword);
    for (const char* run : {"first run", "second run"}) {
        SCOPED_TRACE(run);
        Outcome o = LoadInNewRun(blind.get());
        EXPECT_TRUE(o.Logged(Text(424)));
        EXPECT_EQ(o.state, kSchemaLoaded);
        EXPECT_EQ(o.content->GetRootInfo().subschemaDN, "cn=Subschema");
        for (SchemaElementKind kind : kKinds) EXPECT_EQ(CountOf(*o.content, kind), 0u) << AttributeOf(kind);
        EXPECT_EQ(o.meta.refreshNeeded, 1);
        EXPECT_EQ(o.meta.defaultSchema, 0);
    }
}

// ---- failures and the worker's life ----

TEST_F(SchemaLoadLive, AnLDAPErrorFailsTheLoad)
{
    RefPtr<LDAPSyncConnection> nowhere = Connect(testsupport::FreePort());
    Outcome o = LoadInNewRun(nowhere.get());
    EXPECT_EQ(o.state, kSchemaFetchFailed);
    EXPECT_EQ(o.refreshCalls, 1);
    EXPECT_FALSE(o.Logged(Text(424)));
    EXPECT_FALSE(o.Logged(Text(425)));
    EXPECT_FALSE(o.Logged(Text(427)));
    EXPECT_EQ(o.SummaryLines(), 0u);
    bool errorLogged = false;
    for (const std::string& line : o.log) errorLogged |= line.compare(0, 7, "[ERROR ") == 0;
    EXPECT_TRUE(errorLogged);
    // Nothing recorded: the new host is fetched next time.
    EXPECT_EQ(o.meta, SchemaMetaRecord());
    for (SchemaElementKind kind : kKinds) EXPECT_EQ(CountOf(*o.content, kind), 0u);
}

TEST_F(SchemaLoadLive, TheJobIsARegisteredWorkerWhileItRuns)
{
    SilentServer silent;
    RefPtr<LDAPSyncConnection> connection = Connect(silent.Port());
    RefreshRecorder refresh;
    CHostResolutionCache names;
    RefPtr<CSchemaCache> cache = CSchemaCache::Create(&names);
    ASSERT_TRUE(cache->AttachFile(CachePath()));
    const long refsBefore = connection->AddRef() - 1;
    connection->Release();

    RefPtr<CLDAPSchema> schema = cache->GetSchemaForHost(connection.get());
    EXPECT_EQ(GetRunningThreadCount(), 1);
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(GetRunningThreadCount(), 1);
    EXPECT_EQ(schema->GetLoadState(), kSchemaFetchInProgress);
    // The job holds the connection while it runs (and its pending request does).
    EXPECT_GT(connection->AddRef() - 1, refsBefore);
    connection->Release();

    // The shut-down's stop.
    AbortAllThreads();
    ASSERT_TRUE(WaitForAllThreads(20s));
    EXPECT_EQ(GetRunningThreadCount(), 0);
    EXPECT_EQ(schema->GetLoadState(), kSchemaFetchFailed);
    EXPECT_EQ(refresh.Calls(), 0);
    EXPECT_EQ(connection->AddRef() - 1, refsBefore);
    connection->Release();
}

// ---- the restricted server itself ----

TEST(RestrictedServer, HidesWhatTheTestsRelyOn)
{
    SlapdServer& server = SlapdServer::Restricted();
    struct Case {
        const char* name;
        int port;
        const char* dn;
        const char* password;
        size_t rootEntries;
        bool subschemaSubentry;
        size_t subschemaEntries;
        bool modifyTimestamp;
    };
    const Case cases[] = {
        {"anonymous", server.Port(), nullptr, nullptr, 0, false, 0, false},
        {"anonymous on the second port", server.Port2(), nullptr, nullptr, 1, false, 0, false},
        {"reader", server.Port(), testsupport::kReaderDN, testsupport::kReaderPassword, 1, true, 1, false},
        {"blind", server.Port(), testsupport::kBlindDN, testsupport::kBlindPassword, 1, true, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RefPtr<LDAPSyncConnection> connection = Connect(c.port, c.dn, c.password);
        EXPECT_EQ(CountEntries(*connection, "", "(objectclass=*)"), c.rootEntries);
        EXPECT_EQ(!ReadValues(*connection, "", "(objectclass=*)", "subschemaSubentry").IsEmpty(), c.subschemaSubentry);
        EXPECT_EQ(CountEntries(*connection, "cn=Subschema", "(objectClass=subschema)"), c.subschemaEntries);
        EXPECT_EQ(!ReadValues(*connection, "cn=Subschema", "(objectClass=subschema)", "modifyTimestamp").IsEmpty(),
                  c.modifyTimestamp);
    }
}

} // namespace
