#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/GuidGen.h"
#include "platform/ResourceLibrary.h"
#include "schema/LDAPSchema.h"

using namespace arbldap;

namespace {

// A resource bundle in a temporary folder with the given built-in texts.
class TempBundle {
public:
    TempBundle(const std::string& attributeTypes, const std::string& objectClasses)
    {
        char tmpl[] = "/tmp/arbschemares-XXXXXX";
        m_dir = mkdtemp(tmpl);
        std::filesystem::create_directories(m_dir + "/text");
        std::ofstream(m_dir + "/manifest.txt") << "language=1033\n";
        std::ofstream(m_dir + "/text/655.txt", std::ios::binary) << attributeTypes;
        std::ofstream(m_dir + "/text/654.txt", std::ios::binary) << objectClasses;
        m_library.Load(m_dir);
    }
    ~TempBundle()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    const platform::ResourceLibrary& Library() const { return m_library; }

private:
    std::string m_dir;
    platform::ResourceLibrary m_library;
};

const platform::ResourceLibrary& Shipped()
{
    static platform::ResourceLibrary library;
    static bool loaded = library.LoadDefault();
    EXPECT_TRUE(loaded) << "no arbresource folder beside the test program";
    return library;
}

std::string ShippedText(unsigned id)
{
    std::string text;
    EXPECT_TRUE(Shipped().LoadResource("TEXT", id, text));
    return text;
}

size_t CountLines(const std::string& text)
{
    size_t n = 0;
    for (char c : text) n += c == '\n';
    return n;
}

std::string WithoutCR(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

StringList List(std::initializer_list<const char*> items)
{
    StringList l;
    for (const char* s : items) l.Add(s);
    return l;
}

std::vector<std::string> Vec(const StringList& l) { return std::vector<std::string>(l.begin(), l.end()); }

// Restores an empty load-job starter at the end of a test.
struct StarterGuard {
    ~StarterGuard() { CLDAPSchema::SetLoadJobStarter(nullptr); }
};

const char kOwnAttributes[] =
    "( 1.1.1 NAME ( 'fooName' 'fooAlias' ) SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 SINGLE-VALUE )\r\n"
    "( 1.1.2 NAME 'fooBlob' DESC 'raw bytes' SYNTAX 1.3.6.1.4.1.1466.115.121.1.5 NO-USER-MODIFICATION "
    "USAGE directoryOperation )\r\n"
    "( 1.1.3 NAME 'fooOdd' SYNTAX 9.9.9.9 COLLECTIVE OBSOLETE )\r\n"
    "( 1.1.4 NAME 'fooChild' SUP fooBlob )\r\n"
    "( 1.1.5 NAME 'fooGrandChild' SUP 1.1.4 )\r\n"
    "( 1.1.6 NAME 'fooLoop' SUP fooLoop )\r\n";
const char kOwnClasses[] =
    "( 2.2.1 NAME 'fooPerson' SUP top STRUCTURAL MUST ( fooName $ cn ) MAY ( fooBlob $ description ) )\r\n"
    "( 2.2.2 NAME 'fooExtra' AUXILIARY MUST ( cn $ fooOdd ) MAY fooName )\r\n";

TEST(LDAPSchemaBuiltIn, ShippedTextsLoadWhole)
{
    std::string types = ShippedText(655), classes = ShippedText(654);
    RefPtr<CLDAPSchema> schema = CLDAPSchema::CreateBuiltIn(Shipped());
    EXPECT_EQ(schema->GetLoadState(), kSchemaLoaded);
    EXPECT_EQ(schema->GetServerKind(), kServerVellumarInternal);
    EXPECT_EQ(schema->GetServerKindName(), "Vellumar Internal");
    GUID expected;
    ASSERT_TRUE(GuidFromString(L"{d7a80ed4-f122-4044-b775-aff93b0e5c48}", expected));
    EXPECT_EQ(schema->GetHostGuid(), expected);

    // Every line is one definition and every one of them is taken.
    auto content = schema->GetContent();
    EXPECT_EQ(content->GetAttributeTypes().size(), CountLines(types));
    EXPECT_EQ(content->GetObjectClasses().size(), CountLines(classes));
    EXPECT_GT(content->GetAttributeTypes().size(), 100u);
    EXPECT_TRUE(content->GetSyntaxes().empty());

    // The definitions servers build in are there too.
    for (const char* name : {"objectClass", "cn", "commonName", "uid", "userPassword", "mail", "jpegPhoto"})
        EXPECT_NE(content->FindAttributeType(name), nullptr) << name;
    for (const char* name : {"top", "person", "organizationalPerson", "inetOrgPerson", "dcObject", "alias"})
        EXPECT_NE(content->FindObjectClass(name), nullptr) << name;

    // A few answers that nodes and entry templates rely on.
    EXPECT_TRUE(schema->IsBinaryAttribute("jpegPhoto"));
    EXPECT_TRUE(schema->IsBinaryAttribute("userCertificate"));
    EXPECT_FALSE(schema->IsBinaryAttribute("mail"));
    EXPECT_FALSE(schema->IsBinaryAttribute("cn"));
    EXPECT_TRUE(schema->IsSingleValued("c"));
    EXPECT_FALSE(schema->IsSingleValued("cn"));
    EXPECT_EQ(schema->GetAttributeSyntaxName("cn"), "Directory String");  // through SUP name
    EXPECT_TRUE(schema->IsMustAttribute("cn", List({"inetOrgPerson", "person"})));
    EXPECT_TRUE(schema->IsMustAttribute("objectClass", List({"TOP"})));
    EXPECT_FALSE(schema->IsMustAttribute("mail", List({"inetOrgPerson"})));
}

TEST(LDAPSchemaBuiltIn, LineEndsOfEveryKindLoadTheSame)
{
    std::string types = ShippedText(655), classes = ShippedText(654);
    ASSERT_NE(types.find("\r\n"), std::string::npos) << "the shipped texts end lines with CR LF";
    RefPtr<CLDAPSchema> reference = CLDAPSchema::CreateBuiltIn(Shipped());
    auto expected = reference->GetContent();

    struct Case {
        const char* what;
        std::string types;
        std::string classes;
    };
    std::string lfTypes = WithoutCR(types), lfClasses = WithoutCR(classes);
    std::string crTypes = lfTypes, crClasses = lfClasses;
    std::replace(crTypes.begin(), crTypes.end(), '\n', '\r');
    std::replace(crClasses.begin(), crClasses.end(), '\n', '\r');
    const Case cases[] = {
        {"LF only", lfTypes, lfClasses},
        {"CR only", crTypes, crClasses},
        {"no end on the last line", types.substr(0, types.size() - 2), lfClasses.substr(0, lfClasses.size() - 1)},
        {"blank lines and a byte-order mark", "\xEF\xBB\xBF\r\n" + types + "\r\n \r\n", "\n\n" + classes + "\t\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempBundle bundle(c.types, c.classes);
        RefPtr<CLDAPSchema> schema = CLDAPSchema::CreateBuiltIn(bundle.Library());
        auto content = schema->GetContent();
        EXPECT_TRUE(content->GetAttributeTypes() == expected->GetAttributeTypes());
        EXPECT_TRUE(content->GetObjectClasses() == expected->GetObjectClasses());
        EXPECT_TRUE(content->GetAttributeNameIndex() == expected->GetAttributeNameIndex());
        EXPECT_TRUE(content->GetClassNameIndex() == expected->GetClassNameIndex());
    }
}

TEST(LDAPSchemaBuiltIn, LinesThatDoNotParseAreSkipped)
{
    struct Case {
        const char* what;
        std::string text;
        size_t stored;
        size_t skipped;
    };
    const Case cases[] = {
        {"one good line", "( 1.2.3 NAME 'a' )", 1, 0},
        {"garbage between good lines", "( 1.2.3 NAME 'a' )\r\nnot a definition\r\n( 1.2.4 NAME 'b' )\r\n", 2, 1},
        {"no OID", "( NAME 'noOid' )\n( 1.2.4 NAME 'b' )\n", 1, 1},
        {"an unclosed definition", "( 1.2.3 NAME 'a'\n", 0, 1},
        {"a later line with the same OID wins", "( 1.2.3 NAME 'a' )\n( 1.2.3 NAME 'b' )\n", 2, 0},
        {"nothing", "", 0, 0},
        {"only line ends", "\r\n\n\r", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CSchemaContent content;
        size_t skipped = 99;
        EXPECT_EQ(content.AddDefinitionLines(SchemaElementKind::AttributeType, c.text, &skipped), c.stored);
        EXPECT_EQ(skipped, c.skipped);
    }
    CSchemaContent content;
    content.AddDefinitionLines(SchemaElementKind::AttributeType, "( 1.2.3 NAME 'a' )\n( 1.2.3 NAME 'b' )\n");
    content.BuildIndices();
    ASSERT_EQ(content.GetAttributeTypes().size(), 1u);
    EXPECT_EQ(content.GetAttributeTypes().at("1.2.3").GetDisplayName(), "b");
}

TEST(LDAPSchemaBuiltIn, MissingResourcesGiveAnEmptyLoadedSchema)
{
    platform::ResourceLibrary none;
    RefPtr<CLDAPSchema> schema = CLDAPSchema::CreateBuiltIn(none);
    EXPECT_EQ(schema->GetLoadState(), kSchemaLoaded);
    EXPECT_TRUE(schema->GetContent()->GetAttributeTypes().empty());
    EXPECT_FALSE(schema->IsSingleValued("cn"));
    EXPECT_TRUE(schema->IsUserModifiable("cn"));
}

TEST(LDAPSchemaQueries, NamesIgnoreCaseAndOidsAreExact)
{
    TempBundle bundle(kOwnAttributes, kOwnClasses);
    RefPtr<CLDAPSchema> schema = CLDAPSchema::CreateBuiltIn(bundle.Library());
    auto content = schema->GetContent();
    const SchemaAttributeType* byName = content->FindAttributeType("fooName");
    ASSERT_NE(byName, nullptr);
    for (const char* name : {"FOONAME", "fooname", "fooAlias", "FooAlias"})
        EXPECT_EQ(content->FindAttributeType(name), byName) << name;
    for (const char* name : {"fooNam", "fooName ", "1.1.1", ""})
        EXPECT_EQ(content->FindAttributeType(name), nullptr) << name;
    EXPECT_EQ(content->FindObjectClass("FOOPERSON"), content->FindObjectClass("fooPerson"));
    EXPECT_NE(content->FindObjectClass("fooperson"), nullptr);

    // OIDs key the element maps byte by byte.
    EXPECT_EQ(content->GetAttributeTypes().count("1.1.1"), 1u);
    EXPECT_EQ(content->GetAttributeTypes().count("1.1.1 "), 0u);
    EXPECT_EQ(content->GetAttributeTypes().count("01.1.1"), 0u);
    EXPECT_EQ(content->GetObjectClasses().count("2.2.1"), 1u);
}

TEST(LDAPSchemaQueries, AttributeAnswers)
{
    TempBundle bundle(kOwnAttributes, kOwnClasses);
    RefPtr<CLDAPSchema> schema = CLDAPSchema::CreateBuiltIn(bundle.Library());
    struct Case {
        const char* name;
        bool binary;
        std::string syntax;
        std::string syntaxName;
        int usage;
        bool obsolete, single, collective, userModifiable;
    };
    const std::string kDirectoryString = "1.3.6.1.4.1.1466.115.121.1.15", kBinary = "1.3.6.1.4.1.1466.115.121.1.5";
    const Case cases[] = {
        {"fooName", false, kDirectoryString, "Directory String", 0, false, true, false, true},
        {"FOOALIAS", false, kDirectoryString, "Directory String", 0, false, true, false, true},
        {"fooBlob", true, kBinary, "Binary", 1, false, false, false, false},
        // A syntax the catalogue does not know is not binary.
        {"fooOdd", false, "9.9.9.9", "", 0, true, false, true, true},
        // Syntaxes come down from superiors, by name or by OID.
        {"fooChild", true, kBinary, "Binary", 0, false, false, false, true},
        {"fooGrandChild", true, kBinary, "Binary", 0, false, false, false, true},
        // A chain that loops ends without a syntax.
        {"fooLoop", false, "", "", 0, false, false, false, true},
        // Unknown attributes: nothing, but user-modifiable.
        {"noSuchAttribute", false, "", "", -1, false, false, false, true},
        {"", false, "", "", -1, false, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(schema->IsBinaryAttribute(c.name), c.binary);
        EXPECT_EQ(schema->GetAttributeSyntax(c.name), c.syntax);
        EXPECT_EQ(schema->GetAttributeSyntaxName(c.name), c.syntaxName);
        EXPECT_EQ(schema->GetAttributeSyntaxInfo(c.name) != nullptr, !c.syntaxName.empty());
        EXPECT_EQ(schema->GetAttributeUsage(c.name), c.usage);
        EXPECT_EQ(schema->IsObsolete(c.name), c.obsolete);
        EXPECT_EQ(schema->IsSingleValued(c.name), c.single);
        EXPECT_EQ(schema->IsCollective(c.name), c.collective);
        EXPECT_EQ(schema->IsUserModifiable(c.name), c.userModifiable);
        // Selectors outside the four are refused, not read out of bounds.
        EXPECT_FALSE(schema->QueryAttributeProperty(c.name, 4));
        EXPECT_FALSE(schema->QueryAttributeProperty(c.name, -1));
    }

    // Building the indices: the catalogue's flag, and its name as a missing DESC.
    auto content = schema->GetContent();
    EXPECT_EQ(content->FindAttributeType("fooName")->GetDescription(), "Directory String");
    EXPECT_EQ(content->FindAttributeType("fooBlob")->GetDescription(), "raw bytes");
    EXPECT_FALSE(content->FindAttributeType("fooBlob")->IsHumanReadable());
    EXPECT_FALSE(content->FindAttributeType("fooChild")->IsHumanReadable());
    EXPECT_TRUE(content->FindAttributeType("fooOdd")->IsHumanReadable());
    EXPECT_TRUE(content->FindAttributeType("fooOdd")->GetDescription().empty());
}

TEST(LDAPSchemaQueries, ClassAttributes)
{
    TempBundle bundle(kOwnAttributes, kOwnClasses);
    RefPtr<CLDAPSchema> schema = CLDAPSchema::CreateBuiltIn(bundle.Library());
    struct Must {
        const char* attribute;
        StringList classes;
        bool expected;
    };
    const Must musts[] = {
        {"fooName", List({"fooPerson"}), true},
        {"cn", List({"FOOPERSON"}), true},
        {"CN", List({"fooPerson"}), false},  // the attribute name keeps its case
        {"fooOdd", List({"fooPerson", "fooExtra"}), true},
        {"fooOdd", List({"fooPerson"}), false},
        {"fooBlob", List({"fooPerson"}), false},  // MAY, not MUST
        {"cn", List({"noSuchClass"}), false},
        {"cn", StringList(), false},
    };
    for (const Must& m : musts)
        EXPECT_EQ(schema->IsMustAttribute(m.attribute, m.classes), m.expected) << m.attribute;

    StringList out = List({"kept"});
    schema->GetClassAttributes("fooperson", out);
    EXPECT_EQ(Vec(out), (std::vector<std::string>{"kept", "fooName", "cn", "fooBlob", "description"}));
    schema->GetClassAttributes("noSuchClass", out);
    EXPECT_EQ(out.GetCount(), 5u);

    schema->GetAttributesOfClasses(List({"fooPerson", "fooExtra", "noSuchClass"}), out);
    EXPECT_EQ(Vec(out), (std::vector<std::string>{"cn", "description", "fooBlob", "fooName", "fooOdd"}));
    schema->GetAttributesOfClasses(StringList(), out);
    EXPECT_TRUE(out.IsEmpty());
}

TEST(LDAPSchemaQueries, LaterRecordsWinSharedNames)
{
    RefPtr<CLDAPSchema> schema = CLDAPSchema::CreateForHost(CMemorySchemaStorage::Create(GUID()), nullptr);
    auto content = schema->CopyContent();
    ASSERT_TRUE(content->AddDefinition(SchemaElementKind::AttributeType, "( 1.9 NAME 'shared' SINGLE-VALUE )"));
    ASSERT_TRUE(content->AddDefinition(SchemaElementKind::AttributeType, "( 1.10 NAME 'SHARED' )"));
    schema->Publish(std::move(content));
    // "1.9" sorts after "1.10" byte by byte, so its record is indexed last.
    EXPECT_TRUE(schema->IsSingleValued("shared"));

    // Another fill adds to what is there and replaces records of the same OID;
    // a name no record carries any more still leads to its last record.
    content = schema->CopyContent();
    ASSERT_TRUE(content->AddDefinition(SchemaElementKind::AttributeType, "( 1.9 NAME 'renamed' )"));
    schema->Publish(std::move(content));
    auto c = schema->GetContent();
    EXPECT_EQ(c->GetAttributeTypes().size(), 2u);
    EXPECT_FALSE(schema->IsSingleValued("renamed"));
    EXPECT_EQ(c->FindAttributeType("renamed")->GetOID(), "1.9");
    EXPECT_EQ(c->FindAttributeType("shared")->GetOID(), "1.10");
    content = schema->CopyContent();
    ASSERT_TRUE(content->AddDefinition(SchemaElementKind::AttributeType, "( 1.10 NAME 'other' )"));
    schema->Publish(std::move(content));
    EXPECT_EQ(schema->GetContent()->FindAttributeType("shared")->GetOID(), "1.10");
}

TEST(LDAPSchemaServerKinds, NamesOfEveryKind)
{
    const char* const names[] = {
        "Unrecognized server", "UMICH server", "OpenLDAP 1.X directory server", "OpenLDAP 2.X directory server",
        "Netscape/iPlanet directory server", "Windows 2000 Active Directory", "Novell NDS",
        "Microsoft Exchange server", "Oracle directory server", "Lotus Domino server",
        "Critical Path directory server", "IBM SecureWay server", "Vellumar Internal",
    };
    for (int kind = 0; kind <= 12; ++kind) EXPECT_EQ(CLDAPSchema::ServerKindName(kind), names[kind]);
    for (int kind : {13, -1, 1000}) EXPECT_EQ(CLDAPSchema::ServerKindName(kind), "Unrecognized server") << kind;

    // As stored in the meta record, including a word that reads as -1.
    RefPtr<CMemorySchemaStorage> storage = CMemorySchemaStorage::Create(GUID());
    RefPtr<CLDAPSchema> schema = CLDAPSchema::CreateForHost(storage, nullptr);
    for (uint32_t stored : {3u, 13u, 0xFFFFFFFFu}) {
        storage->ChangeMetaRecord([&](SchemaMetaRecord& m) { m.serverKind = stored; });
        EXPECT_EQ(schema->GetServerKind(), static_cast<int>(stored));
        EXPECT_EQ(schema->GetServerKindName(), stored == 3 ? "OpenLDAP 2.X directory server" : "Unrecognized server");
    }
}

TEST(LDAPSchemaPersistentSide, MetaRecordUsageCountsAndTheSaveAtTheEnd)
{
    GUID guid = platform::CreateGuid();
    RefPtr<CMemorySchemaStorage> storage = CMemorySchemaStorage::Create(guid);
    storage->ChangeMetaRecord([](SchemaMetaRecord& m) {
        m.timestamp = 20240131235959;
        m.refreshNeeded = 0;
    });
    storage->SaveInPlace();
    ASSERT_FALSE(storage->IsMetaChanged());
    {
        RefPtr<CLDAPSchema> schema = CLDAPSchema::CreateForHost(storage, nullptr);
        EXPECT_EQ(schema->GetHostGuid(), guid);
        EXPECT_EQ(schema->GetTimestamp(), 20240131235959);
        EXPECT_FALSE(schema->IsDirty());
        schema->MarkDirty();
        EXPECT_TRUE(schema->IsDirty());
        EXPECT_TRUE(storage->IsMetaChanged());

        EXPECT_FALSE(storage->IsUsageChanged());
        schema->AddClassUsage(List({"person", "top", "person"}));
        schema->AddClassUsage(List({"Person"}));
        EXPECT_TRUE(storage->IsUsageChanged());
        EXPECT_EQ(schema->GetUsageStatistics(), (SchemaUsageMap{{"Person", 1}, {"person", 2}, {"top", 1}}));
        EXPECT_EQ(storage->GetSaveCount(), 1);
    }
    // The last release saves what changed.
    EXPECT_EQ(storage->GetSaveCount(), 2);
    EXPECT_FALSE(storage->IsMetaChanged());
    EXPECT_EQ(storage->GetMetaRecord().refreshNeeded, 1);

    // A new record asks for a fetch; without a storage nothing fails.
    EXPECT_EQ(SchemaMetaRecord().refreshNeeded, 1);
    RefPtr<CLDAPSchema> bare = CLDAPSchema::CreateForHost(RefPtr<ISchemaHostStorage>(), nullptr);
    bare->MarkDirty();
    bare->AddClassUsage(List({"top"}));
    EXPECT_EQ(bare->GetHostGuid(), GUID());
    EXPECT_TRUE(bare->GetUsageStatistics().empty());
    EXPECT_EQ(bare->GetServerKindName(), "Unrecognized server");
}

TEST(LDAPSchemaLife, ReferenceCountsAndInterfaces)
{
    RefPtr<CLDAPSchema> schema = CLDAPSchema::CreateForHost(CMemorySchemaStorage::Create(GUID()), nullptr);
    EXPECT_EQ(schema->AddRef(), 2u);
    EXPECT_EQ(schema->Release(), 1u);

    void* object = reinterpret_cast<void*>(1);
    ASSERT_EQ(schema->QueryInterface(IID_IUnknown, &object), S_OK);
    EXPECT_EQ(object, static_cast<IUnknown*>(schema.get()));
    EXPECT_EQ(schema->Release(), 1u);  // QueryInterface took one

    GUID other = platform::CreateGuid();
    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(schema->QueryInterface(other, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(schema->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(schema->AddRef(), 2u);
    EXPECT_EQ(schema->Release(), 1u);
}

TEST(LDAPSchemaLife, TheLoadJobStartsOnceTheCreatorHoldsItsReference)
{
    StarterGuard guard;
    // Until the session layer sets a starter, a new schema waits at fetch in progress.
    RefPtr<CLDAPSchema> waiting = CLDAPSchema::CreateForHost(CMemorySchemaStorage::Create(GUID()), nullptr);
    EXPECT_EQ(waiting->GetLoadState(), kSchemaFetchInProgress);
    EXPECT_TRUE(waiting->GetContent()->GetAttributeTypes().empty());

    int connectionStandIn = 0;
    LDAPConnection* connection = reinterpret_cast<LDAPConnection*>(&connectionStandIn);
    RefPtr<CMemorySchemaStorage> storage = CMemorySchemaStorage::Create(platform::CreateGuid());
    int calls = 0;
    uint32_t countSeen = 0;
    CLDAPSchema::SetLoadJobStarter([&](const RefPtr<CLDAPSchema>& schema, const RefPtr<ISchemaHostStorage>& s,
                                       LDAPConnection* c) {
        ++calls;
        EXPECT_EQ(s.get(), storage.get());
        EXPECT_EQ(c, connection);
        // A job that takes its reference, fills the schema and ends at once.
        RefPtr<CLDAPSchema> job(schema);
        countSeen = job->AddRef() - 1;
        job->Release();
        auto content = job->CopyContent();
        content->AddDefinition(SchemaElementKind::AttributeType, "( 1.2.3 NAME 'filled' SINGLE-VALUE )");
        content->RootInfo().subschemaDN = "cn=Subschema";
        job->Publish(std::move(content), kSchemaLoaded);
    });
    RefPtr<CLDAPSchema> schema = CLDAPSchema::CreateForHost(storage, connection);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(countSeen, 2u);  // the creator's and the job's
    // The job's reference is gone; the creator's keeps the schema alive.
    EXPECT_EQ(schema->AddRef(), 2u);
    schema->Release();
    EXPECT_EQ(schema->GetLoadState(), kSchemaLoaded);
    EXPECT_TRUE(schema->IsSingleValued("filled"));
    EXPECT_EQ(schema->GetContent()->GetRootInfo().subschemaDN, "cn=Subschema");
}

TEST(LDAPSchemaPersistentSide, DefinitionListsFeedAFill)
{
    RefPtr<CMemorySchemaStorage> storage = CMemorySchemaStorage::Create(platform::CreateGuid());
    storage->SaveInPlace();
    const SchemaElementKind kinds[] = {SchemaElementKind::Syntax, SchemaElementKind::AttributeType,
                                       SchemaElementKind::ObjectClass, SchemaElementKind::MatchingRule,
                                       SchemaElementKind::MatchingRuleUse};
    for (SchemaElementKind k : kinds) EXPECT_FALSE(storage->IsDefinitionsChanged(k));

    // Fetched definitions replace the stored ones and are marked for the next save.
    storage->SetDefinitions(SchemaElementKind::AttributeType,
                            List({"( 1.1 NAME 'one' )", "garbage", "( 1.2 NAME 'two' )", "( NAME 'noOid' )"}), true);
    storage->SetDefinitions(SchemaElementKind::Syntax, List({"( 1.3.6.1.4.1.1466.115.121.1.15 DESC 'Directory String' )"}),
                            true);
    // Definitions that stand in for this run only are not.
    storage->SetDefinitions(SchemaElementKind::ObjectClass, List({"( 2.1 NAME 'cls' MUST one )"}), false);
    EXPECT_TRUE(storage->IsDefinitionsChanged(SchemaElementKind::AttributeType));
    EXPECT_TRUE(storage->IsDefinitionsChanged(SchemaElementKind::Syntax));
    EXPECT_FALSE(storage->IsDefinitionsChanged(SchemaElementKind::ObjectClass));
    EXPECT_FALSE(storage->IsDefinitionsChanged(SchemaElementKind::MatchingRule));

    RefPtr<CLDAPSchema> schema = CLDAPSchema::CreateForHost(storage, nullptr);
    auto content = schema->CopyContent();
    size_t failed[kSchemaElementKinds] = {};
    size_t stored[kSchemaElementKinds] = {};
    for (SchemaElementKind k : kinds) {
        int i = static_cast<int>(k);
        stored[i] = content->AddDefinitions(k, schema->GetStorage()->GetDefinitions(k), &failed[i]);
    }
    schema->Publish(std::move(content), kSchemaLoaded);
    EXPECT_EQ(stored[static_cast<int>(SchemaElementKind::AttributeType)], 2u);
    EXPECT_EQ(failed[static_cast<int>(SchemaElementKind::AttributeType)], 2u);
    EXPECT_EQ(stored[static_cast<int>(SchemaElementKind::Syntax)], 1u);
    EXPECT_EQ(stored[static_cast<int>(SchemaElementKind::ObjectClass)], 1u);
    EXPECT_EQ(stored[static_cast<int>(SchemaElementKind::MatchingRule)], 0u);
    EXPECT_TRUE(schema->IsMustAttribute("one", List({"CLS"})));
    EXPECT_EQ(schema->GetContent()->GetSyntaxes().size(), 1u);
}

// Readers check, in a loop, what a complete content must satisfy while a
// writer publishes large contents one after another.
TEST(LDAPSchemaPublication, ReadersNeverSeeAHalfFilledSchema)
{
    constexpr int kTypes = 1500;
    constexpr int kClasses = 300;
    constexpr int kRounds = 25;
    RefPtr<CLDAPSchema> schema = CLDAPSchema::CreateForHost(CMemorySchemaStorage::Create(GUID()), nullptr);

    auto build = [&](int round) {
        auto content = std::make_unique<CSchemaContent>();
        std::string gen = "'gen" + std::to_string(round) + "'";
        for (int i = 0; i < kTypes; ++i)
            content->AddDefinition(SchemaElementKind::AttributeType,
                                   "( 1.1." + std::to_string(i) + " NAME ( 'a" + std::to_string(i) + "' 'b" +
                                       std::to_string(i) + "' ) DESC " + gen +
                                       " SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 SINGLE-VALUE )");
        for (int i = 0; i < kClasses; ++i)
            content->AddDefinition(SchemaElementKind::ObjectClass, "( 2.2." + std::to_string(i) + " NAME 'c" +
                                                                      std::to_string(i) + "' DESC " + gen +
                                                                      " MUST ( a" + std::to_string(i) + " ) )");
        return content;
    };

    std::atomic<bool> done{false};
    std::atomic<int> faults{0}, views{0};
    auto reader = [&] {
        while (!done.load()) {
            int state = schema->GetLoadState();
            auto c = schema->GetContent();
            const auto& types = c->GetAttributeTypes();
            const auto& classes = c->GetObjectClasses();
            if (state == kSchemaLoaded && types.empty()) ++faults;  // the state ran ahead of the content
            if (types.empty() && classes.empty() && c->GetAttributeNameIndex().empty()) continue;
            bool whole = types.size() == size_t(kTypes) && classes.size() == size_t(kClasses) &&
                         c->GetAttributeNameIndex().size() == size_t(2 * kTypes) &&
                         c->GetClassNameIndex().size() == size_t(kClasses);
            if (!whole) {
                ++faults;
                continue;
            }
            const std::string& gen = types.begin()->second.GetDescription();
            for (const auto& [oid, t] : types)
                if (t.GetDescription() != gen || !t.IsSingleValue()) ++faults;
            for (const auto& [oid, k] : classes)
                if (k.GetDescription() != gen) ++faults;
            // Lookups through the model see complete contents too.
            if (!schema->IsSingleValued("b" + std::to_string(kTypes - 1)) ||
                !schema->IsMustAttribute("a7", List({"C7"})))
                ++faults;
            ++views;
        }
    };
    std::vector<std::thread> readers;
    for (int r = 0; r < 4; ++r) readers.emplace_back(reader);
    for (int round = 0; round < kRounds; ++round) schema->Publish(build(round), kSchemaLoaded);
    done = true;
    for (auto& t : readers) t.join();
    EXPECT_EQ(faults.load(), 0);
    EXPECT_GT(views.load(), 0);
    EXPECT_EQ(schema->GetContent()->GetAttributeTypes().begin()->second.GetDescription(),
              "gen" + std::to_string(kRounds - 1));
}

} // namespace
