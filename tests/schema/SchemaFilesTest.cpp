#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

#include "schema/SchemaDescriptions.h"
#include "tests/schema/SchemaTestHelpers.h"
#include "tests/schema/SubschemaRoundTrip.h"
#include "tests/support/SchemaFiles.h"

namespace {

using schematest::Kind;
using testsupport::SubschemaDefinitions;

const SubschemaDefinitions& Standard()
{
    static const SubschemaDefinitions defs = testsupport::StandardSchemaFileDefinitions();
    return defs;
}

TEST(SchemaFiles, ReaderJoinsContinuationsAndDropsComments)
{
    char path[] = "/tmp/arbschemaXXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    {
        std::ofstream out(path, std::ios::binary);
        out << "# comment\n"
               "attributetype ( 1.2 NAME 'a'\n"
               "\tDESC 'd'\r\n"
               "# attributetype ( 9.9 NAME 'commented' )\n"
               "\n"
               "    SUP name )\n"
               "objectclass ( 1.3 NAME 'o' )\n"
               "ObjectClass\t( 1.4\n"
               "  MUST cn )\n"
               "include other.schema\n";
    }
    SubschemaDefinitions defs;
    testsupport::ReadSchemaFile(path, defs);
    std::remove(path);
    EXPECT_EQ(defs.attributeTypes, (std::vector<std::string>{"( 1.2 NAME 'a' DESC 'd' SUP name )"}));
    EXPECT_EQ(defs.objectClasses, (std::vector<std::string>{"( 1.3 NAME 'o' )", "( 1.4 MUST cn )"}));
    EXPECT_EQ(defs.origin, path);
    EXPECT_THROW(testsupport::ReadSchemaFile("/nonexistent/x.schema", defs), std::runtime_error);
}

TEST(SchemaFiles, StandardFilesHoldTheirDefinitions)
{
    // core 79, cosine 54, inetorgperson 10, nis 38 keyword lines.
    EXPECT_EQ(Standard().attributeTypes.size(), 127u);
    EXPECT_EQ(Standard().objectClasses.size(), 54u);
}

TEST(SubschemaRoundTrip, StandardSchemaFiles)
{
    schematest::ExpectSubschemaRoundTrips(Standard());
}

TEST(SubschemaRoundTrip, StandardSchemaFilesAgreeWithTheClientLibrary)
{
    schematest::ExpectAgreementWithClientLibrary(Standard());
}

// Every proper prefix of a definition lacks its closing parenthesis and must
// fail, with the error position inside the text.
TEST(ParseRobustness, TruncatedDefinitionsFailCleanly)
{
    auto check = [](Kind kind, const std::string& full) {
        for (size_t n = 0; n < full.size(); ++n) {
            std::string cut = full.substr(0, n);
            schematest::ParseOutcome r = schematest::ParseAs(kind, cut.c_str());
            EXPECT_FALSE(r.ok) << KindName(kind) << ": " << cut;
            EXPECT_GE(r.errorPos, cut.c_str());
            EXPECT_LE(r.errorPos, cut.c_str() + cut.size());
        }
    };
    for (const std::string& t : Standard().attributeTypes)
        check(Kind::AttributeType, t);
    for (const std::string& t : Standard().objectClasses)
        check(Kind::ObjectClass, t);
    check(Kind::MatchingRule, "( 2.5.13.2 NAME 'caseIgnoreMatch' SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 )");
    check(Kind::MatchingRuleUse, "( 2.5.13.0 NAME 'm' APPLIES ( a $ b ) X-A ( 'x' 'y' ) )");
    check(Kind::Syntax, "( 1.3.6.1.4.1.1466.115.121.1.15 NAME 'x' DESC 'Directory String' )");
}

// Each byte of each definition replaced by each character that matters to
// the grammar: the parser must end, stay inside the text, and whatever it
// accepts with an OID must print and read back to the same record.
TEST(ParseRobustness, MutatedDefinitionsNeverCrashAndRoundTrip)
{
    const char replacements[] = {'(', ')', '$', '\'', ' ', '\r', '\\', '{', '}', 'X', '-', '1', '.', 'a'};
    const Kind kinds[] = {Kind::AttributeType, Kind::ObjectClass, Kind::MatchingRule, Kind::MatchingRuleUse, Kind::Syntax};
    std::vector<std::string> texts;
    for (size_t i = 0; i < Standard().attributeTypes.size(); i += 7)
        texts.push_back(Standard().attributeTypes[i]);
    for (size_t i = 0; i < Standard().objectClasses.size(); i += 5)
        texts.push_back(Standard().objectClasses[i]);
    texts.push_back("( 1.2 NAME 'q' DESC 'a \\27 b \\5C' SYNTAX '1.3{64}' X-A ( 'x' 'y' ) APPLIES ( a $ 'b' ) )");
    size_t accepted = 0;
    for (const std::string& base : texts) {
        for (size_t i = 0; i < base.size(); ++i) {
            for (char c : replacements) {
                std::string m = base;
                m[i] = c;
                for (Kind k : kinds) {
                    schematest::ParseOutcome r = schematest::ParseAs(k, m.c_str());
                    if (!r.ok) {
                        ASSERT_GE(r.errorPos, m.c_str());
                        ASSERT_LE(r.errorPos, m.c_str() + m.size());
                        continue;
                    }
                    ++accepted;
                    if (!r.hasOid)
                        continue; // the loading job drops such records anyway
                    EXPECT_EQ(schematest::RoundTripFailure(k, m.c_str()), "") << KindName(k) << ": " << m;
                }
            }
        }
    }
    EXPECT_GT(accepted, 0u);
}

} // namespace
