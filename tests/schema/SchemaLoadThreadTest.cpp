// The schema loading job's rules, without a server: the kind of server from
// root DSE values, when kept definitions are fetched again, time stamps, the
// machine's default definitions, parsing with its summary lines, and a job
// that cannot reach any server.

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "platform/GuidGen.h"
#include "jobs/CLDAPThread.h"
#include "schema/LDAPSchema.h"
#include "schema/SchemaLoadThread.h"
#include "tests/schema/SchemaLoadTestSupport.h"

using namespace arbldap;

namespace {

using namespace std::chrono_literals;
using namespace loadtest;

StringList List(std::initializer_list<const char*> items)
{
    StringList l;
    for (const char* s : items) l.Add(s);
    return l;
}

// ---- server kind ----

// One root DSE: attribute name -> values, as a server would send them.
typedef std::map<std::string, std::vector<std::string>> RootDSE;

ServerKindClues CluesOf(const RootDSE& root)
{
    ServerKindClues clues;
    std::map<std::string, StringList*> fields = {
        {"objectClass", &clues.objectClass},
        {"namingContexts", &clues.namingContexts},
        {"netscapemdsuffix", &clues.netscapemdsuffix},
        {"dsServiceName", &clues.dsServiceName},
        {"orcldirectoryversion", &clues.orcldirectoryversion},
        {"ibmdirectoryversion", &clues.ibmdirectoryversion},
    };
    for (const auto& attribute : root) {
        auto field = fields.find(attribute.first);
        if (field == fields.end()) continue;  // other attributes tell nothing
        for (const std::string& v : attribute.second) field->second->Add(v);
    }
    return clues;
}

TEST(SchemaLoadServerKind, RootDSEFixtures)
{
    struct Case {
        const char* name;
        RootDSE root;
        int current;
        int expected;
    };
    const Case cases[] = {
        {"OpenLDAP by its root DSE class", {{"objectClass", {"top", "OpenLDAProotDSE"}}, {"namingContexts", {"dc=example,dc=com"}}}, 0, kServerOpenLDAP2},
        {"OpenLDAP, class in another case", {{"objectClass", {"top", "openldaprootdse"}}}, 0, kServerOpenLDAP2},
        {"Netscape by o=NetscapeRoot", {{"objectClass", {"top"}}, {"namingContexts", {"dc=example,dc=com", "o=NetscapeRoot"}}}, 0, kServerNetscape},
        {"Netscape by O=NETSCAPEROOT", {{"namingContexts", {"O=NETSCAPEROOT"}}}, 0, kServerNetscape},
        {"Netscape by netscapemdsuffix", {{"namingContexts", {"dc=example,dc=com"}}, {"netscapemdsuffix", {"cn=ldap://dc=ds1,dc=example,dc=com:389"}}}, 0, kServerNetscape},
        {"Active Directory by dsServiceName", {{"namingContexts", {"DC=corp,DC=example", "CN=Configuration,DC=corp,DC=example"}}, {"dsServiceName", {"CN=NTDS Settings,CN=DC1,CN=Servers,CN=Site,CN=Sites,CN=Configuration,DC=corp,DC=example"}}}, 0, kServerActiveDirectory},
        {"Oracle by orcldirectoryversion", {{"namingContexts", {"dc=example,dc=com"}}, {"orcldirectoryversion", {"OID 10.1.4.0.1"}}}, 0, kServerOracle},
        {"IBM by ibmdirectoryversion", {{"namingContexts", {"o=ibm,c=us"}}, {"ibmdirectoryversion", {"6.3"}}}, 0, kServerSecureWay},
        {"Exchange by _ABViews_", {{"namingContexts", {"o=Org", "cn=_ABViews_,o=Org"}}}, 0, kServerExchange},
        {"Exchange by Microsoft DMD", {{"namingContexts", {"CN=Microsoft DMD,CN=Configuration,O=Org"}}}, 0, kServerExchange},
        {"Exchange texts keep their case", {{"namingContexts", {"cn=microsoft dmd", "cn=_abviews_"}}}, 0, kServerUnrecognized},
        {"Novell by an empty naming context", {{"namingContexts", {"o=novell", ""}}}, 0, kServerNovell},
        {"nothing known: a new host stays unrecognised", {{"objectClass", {"top"}}, {"namingContexts", {"dc=example,dc=com"}}, {"vendorName", {"Somebody"}}}, 0, kServerUnrecognized},
        {"nothing known: the stored kind stays", {{"namingContexts", {"dc=example,dc=com"}}}, kServerOracle, kServerOracle},
        {"no values at all", {}, kServerActiveDirectory, kServerActiveDirectory},
        {"a stored kind gives way to a detected one", {{"objectClass", {"OpenLDAProotDSE"}}}, kServerNetscape, kServerOpenLDAP2},
        // Rule order.
        {"NetscapeRoot before dsServiceName", {{"namingContexts", {"o=NetscapeRoot"}}, {"dsServiceName", {"CN=NTDS Settings"}}}, 0, kServerNetscape},
        {"OpenLDAP before everything", {{"objectClass", {"OpenLDAProotDSE"}}, {"namingContexts", {"o=NetscapeRoot", ""}}, {"dsServiceName", {"x"}}}, 0, kServerOpenLDAP2},
        {"dsServiceName before orcldirectoryversion", {{"dsServiceName", {"x"}}, {"orcldirectoryversion", {"y"}}}, 0, kServerActiveDirectory},
        {"orcldirectoryversion before ibmdirectoryversion", {{"orcldirectoryversion", {"x"}}, {"ibmdirectoryversion", {"y"}}}, 0, kServerOracle},
        {"ibmdirectoryversion before Exchange", {{"ibmdirectoryversion", {"y"}}, {"namingContexts", {"Microsoft DMD"}}}, 0, kServerSecureWay},
        {"Exchange before the empty naming context", {{"namingContexts", {"", "cn=_ABViews_"}}}, 0, kServerExchange},
        {"an empty value is a value", {{"netscapemdsuffix", {""}}}, 0, kServerNetscape},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CSchemaLoadThread::DetectServerKind(CluesOf(c.root), c.current), c.expected);
    }
}

// ---- when to fetch ----

SchemaMetaRecord Stored(int64_t timestamp, uint8_t refreshNeeded = 0, uint8_t defaultSchema = 0)
{
    SchemaMetaRecord m;
    m.timestamp = timestamp;
    m.refreshNeeded = refreshNeeded;
    m.defaultSchema = defaultSchema;
    m.serverKind = kServerOpenLDAP2;
    return m;
}

TEST(SchemaLoadFetchRule, Table)
{
    struct Case {
        const char* name;
        int64_t server;
        SchemaMetaRecord stored;
        int64_t now;
        bool fetch;
    };
    const Case cases[] = {
        {"server stamp differs", 20240305101500, Stored(20240301090000), 20240306000000, true},
        {"server stamp older than the stored one", 20240201000000, Stored(20240301090000), 20240306000000, true},
        {"server stamp equal", 20240301090000, Stored(20240301090000), 20240306000000, false},
        {"server stamp equal, months later", 20240301090000, Stored(20240301090000), 20251231235959, false},
        {"server stamp equal, refresh asked for", 20240301090000, Stored(20240301090000, 1), 20240301090000, true},
        {"a new host's record", 20240301090000, SchemaMetaRecord(), 20240306000000, true},
        {"a new host's record, no server stamp", 0, SchemaMetaRecord(), 20240306000000, true},
        {"no server stamp, 17 days later", 0, Stored(20240301120000), 20240318120000, true},
        {"no server stamp, 16 days later", 0, Stored(20240302120000), 20240318120000, false},
        {"no server stamp, the same second", 0, Stored(20240302120000), 20240302120000, false},
        {"no server stamp, the limit itself", 0, Stored(20240301000000), 20240301000000 + (1 << 24), false},
        {"no server stamp, one past the limit", 0, Stored(20240301000000), 20240301000000 + (1 << 24) + 1, true},
        {"no server stamp, next month", 0, Stored(20240131235959), 20240201000000, true},
        {"no server stamp, next year", 0, Stored(20231231235959), 20240101000000, true},
        {"no server stamp, clock set back", 0, Stored(20240318120000), 20240301120000, false},
        {"no server stamp, clock set back a year", 0, Stored(20250101000000), 20240101000000, false},
        {"no server stamp, clock set back, refresh asked for", 0, Stored(20240318120000, 1), 20240301120000, true},
        {"no server stamp, refresh asked for at once", 0, Stored(20240318120000, 1), 20240318120000, true},
        // Definitions kept from an unreadable root DSE are replaced as soon
        // as the server answers.
        {"no server stamp, the last load used the default schema", 0, Stored(20240318120000, 0, 1), 20240318120001, true},
        {"server stamp equal, the last load used the default schema", 20240318120000, Stored(20240318120000, 0, 1), 20240318120001, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CSchemaLoadThread::NeedsSchemaFetch(c.server, c.stored, c.now), c.fetch);
    }
}

// ---- time stamps ----

TEST(SchemaLoadTimestamp, ParsedFromTheLeadingDigits)
{
    struct Case {
        const char* text;
        int64_t value;
    };
    const Case cases[] = {
        {"20240131235959Z", 20240131235959},
        {"20240131235959.123Z", 20240131235959},
        {"20240131235959+0100", 20240131235959},
        {"202401312359Z", 202401312359},
        {"20240131235959", 20240131235959},
        {"", 0},
        {"Z", 0},
        {" 20240131235959Z", 0},
        {"-20240131235959Z", 0},
        {"9223372036854775807", INT64_MAX},
        // Digits that do not fit are no stamp, never a wrapped one.
        {"9223372036854775808", 0},
        {"202401312359592024013123595920240131235959Z", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CSchemaLoadThread::ParseTimestamp(c.text), c.value);
    }
}

TEST(SchemaLoadTimestamp, CurrentIsTheLocalTimeAsDigits)
{
    auto stamp = [](std::time_t t) {
        std::tm local{};
        localtime_r(&t, &local);
        return (local.tm_year + 1900) * 10000000000LL + (local.tm_mon + 1) * 100000000LL + local.tm_mday * 1000000LL +
               local.tm_hour * 10000LL + local.tm_min * 100LL + local.tm_sec;
    };
    int64_t before = stamp(std::time(nullptr));
    int64_t now = CSchemaLoadThread::CurrentTimeStamp();
    int64_t after = stamp(std::time(nullptr));
    EXPECT_LE(before, now);
    EXPECT_LE(now, after);
    EXPECT_EQ(std::to_string(now).size(), 14u);
}

// ---- the machine's default definitions ----

class SchemaLoadRegistry : public ::testing::Test {
protected:
    TempFolder m_folder;
    MachineRoot m_root{m_folder.Path() + "/machine.db"};
};

TEST_F(SchemaLoadRegistry, MissingKeyGivesAnEmptyListAndAFailure)
{
    StringList list = List({"left over"});
    EXPECT_TRUE(CSchemaLoadThread::ReadRegistryDefinitions("attributeTypes", list));
    EXPECT_TRUE(list.IsEmpty());
}

TEST_F(SchemaLoadRegistry, EveryTextValueInTheKeysOrder)
{
    m_root.SetDefinitions(L"objectClasses", {{L"b", L"( 2.5.6.6 NAME 'person' SUP top STRUCTURAL MUST ( sn $ cn ) )"},
                                             {L"A", L"( 2.5.6.0 NAME 'top' ABSTRACT MUST objectClass )"},
                                             {L"c", L"( 1.2.3.4 NAME 'gru\u00DF' DESC 'M\u00FCller' )"}});
    m_root.SetDefinitions(L"matchingRules", {});
    struct Case {
        const char* name;
        bool failed;
        StringList expected;
    };
    const Case cases[] = {
        {"objectClasses", false,
         List({"( 2.5.6.0 NAME 'top' ABSTRACT MUST objectClass )",
               "( 2.5.6.6 NAME 'person' SUP top STRUCTURAL MUST ( sn $ cn ) )",
               "( 1.2.3.4 NAME 'gru\xC3\x9F' DESC 'M\xC3\xBCller' )"})},
        // A key with no values is no failure.
        {"matchingRules", false, StringList()},
        {"ldapSyntaxes", true, StringList()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StringList list = List({"left over"});
        EXPECT_EQ(CSchemaLoadThread::ReadRegistryDefinitions(c.name, list), c.failed);
        EXPECT_EQ(list, c.expected);
    }
}

TEST_F(SchemaLoadRegistry, AValueThatIsNoTextIsSkippedAndReported)
{
    m_root.SetDefinitions(L"attributeTypes", {{L"0001", L"( 2.5.4.3 NAME 'cn' SUP name )"},
                                              {L"0003", L"( 2.5.4.4 NAME 'sn' SUP name )"}});
    m_root.SetNumber(L"attributeTypes", L"0002", 7);
    StringList list;
    EXPECT_TRUE(CSchemaLoadThread::ReadRegistryDefinitions("attributeTypes", list));
    EXPECT_EQ(list, List({"( 2.5.4.3 NAME 'cn' SUP name )", "( 2.5.4.4 NAME 'sn' SUP name )"}));
}

// ---- parsing the kept definitions ----

TEST(SchemaLoadPopulate, ParsesEveryKindAndLogsOneSummaryPerKind)
{
    LoadResources();
    RefPtr<CMemorySchemaStorage> storage = CMemorySchemaStorage::Create(platform::CreateGuid());
    storage->SetDefinitions(SchemaElementKind::Syntax,
                            List({"( 1.3.6.1.4.1.1466.115.121.1.15 DESC 'Directory String' )",
                                  "( 1.3.6.1.4.1.1466.115.121.1.27 DESC 'INTEGER' )"}),
                            true);
    storage->SetDefinitions(SchemaElementKind::AttributeType,
                            List({"( 2.5.4.41 NAME 'name' SYNTAX 1.3.6.1.4.1.1466.115.121.1.15{32768} )",
                                  "( 2.5.4.3 NAME 'commonName' SUP name )",
                                  "not a definition",
                                  "( 2.5.4.3 NAME ( 'cn' 'commonName' ) SUP name )",
                                  "( NAME 'noOid' )"}),
                            true);
    storage->SetDefinitions(SchemaElementKind::ObjectClass,
                            List({"( 2.5.6.6 NAME 'person' SUP top STRUCTURAL MUST ( sn $ cn ) )"}), true);
    storage->SetDefinitions(SchemaElementKind::MatchingRule,
                            List({"( 2.5.13.2 NAME 'caseIgnoreMatch' SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 )",
                                  "( 2.5.13.2 NAME 'caseIgnoreMatch' SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 )",
                                  "( 2.5.13.2 NAME 'caseIgnoreMatch' SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 )"}),
                            true);

    CSchemaContent content;
    LogCapture log;
    CSchemaLoadThread::PopulateSchema(content, *storage);

    EXPECT_EQ(log.Utf8Lines(), (std::vector<std::string>{
                               "   LDAP Syntaxes: read: 2, failed: 0, duplicates: 0",
                               "   AttributeTypes: read: 5, failed: 2, duplicates: 1",
                               "   LDAPObjectClasses: read: 1, failed: 0, duplicates: 0",
                               "   MatchingRules: read: 3, failed: 0, duplicates: 2",
                               "   MatchingRulesUse: read: 0, failed: 0, duplicates: 0",
                           }));
    EXPECT_EQ(content.GetSyntaxes().size(), 2u);
    EXPECT_EQ(content.GetAttributeTypes().size(), 2u);
    EXPECT_EQ(content.GetObjectClasses().size(), 1u);
    EXPECT_EQ(content.GetMatchingRules().size(), 1u);
    EXPECT_TRUE(content.GetMatchingRuleUses().empty());
    // The later definition of an OID wins.
    auto cn = content.GetAttributeTypes().find("2.5.4.3");
    ASSERT_NE(cn, content.GetAttributeTypes().end());
    EXPECT_EQ(cn->second.GetNames(), List({"cn", "commonName"}));
}

TEST(SchemaLoadPopulate, SummaryIsComposedFromTheStringTable)
{
    LoadResources();
    RefPtr<CMemorySchemaStorage> storage = CMemorySchemaStorage::Create(platform::CreateGuid());
    storage->SetDefinitions(SchemaElementKind::ObjectClass, List({"( 2.5.6.0 NAME 'top' ABSTRACT )", "(", "( 2.5.6.0 )"}),
                            true);
    CSchemaContent content;
    LogCapture log;
    CSchemaLoadThread::PopulateSchema(content, *storage);
    EXPECT_EQ(log.Count("   LDAPObjectClasses:" + Text(429) + "3" + Text(431) + "1" + Text(603) + "1"), 1u);
}

// ---- a job without a server ----

class SchemaLoadJob : public ::testing::Test {
protected:
    void SetUp() override
    {
        LoadResources();
        InstallSchemaLoadJobStarter();
    }
    void TearDown() override
    {
        EXPECT_TRUE(WaitForAllThreads(10s));
        CLDAPSchema::SetLoadJobStarter(nullptr);
    }
};

TEST_F(SchemaLoadJob, WithoutAConnectionTheFetchFails)
{
    RefreshRecorder refresh;
    LogCapture log;
    RefPtr<CMemorySchemaStorage> storage = CMemorySchemaStorage::Create(platform::CreateGuid());
    storage->SetDefinitions(SchemaElementKind::AttributeType, List({"( 2.5.4.3 NAME 'cn' )"}), false);
    SchemaMetaRecord before = storage->GetMetaRecord();
    RefPtr<CLDAPSchema> schema = CLDAPSchema::CreateForHost(storage, nullptr);
    ASSERT_TRUE(WaitForAllThreads(10s));

    EXPECT_EQ(schema->GetLoadState(), kSchemaFetchFailed);
    EXPECT_EQ(refresh.Calls(), 1);
    EXPECT_TRUE(log.HasLineStartingWith("[ERROR "));
    // Nothing recorded, saved or parsed.
    EXPECT_EQ(storage->GetMetaRecord(), before);
    EXPECT_EQ(storage->GetSaveCount(), 0);
    EXPECT_TRUE(schema->GetContent()->GetAttributeTypes().empty());
    EXPECT_EQ(GetRunningThreadCount(), 0);
}

TEST_F(SchemaLoadJob, TheDocumentHookIsOptional)
{
    SetRefreshSelectedServerInfo(nullptr);
    RefPtr<CLDAPSchema> schema = CLDAPSchema::CreateForHost(CMemorySchemaStorage::Create(platform::CreateGuid()), nullptr);
    ASSERT_TRUE(WaitForAllThreads(10s));
    EXPECT_EQ(schema->GetLoadState(), kSchemaFetchFailed);
}

} // namespace
