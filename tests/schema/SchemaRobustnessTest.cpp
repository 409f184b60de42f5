#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "schema/SchemaDescriptions.h"
#include "tests/schema/SchemaTestHelpers.h"
#include "tests/support/SchemaFiles.h"

namespace {

using schematest::Kind;
using testsupport::SubschemaDefinitions;

const Kind kKinds[] = {Kind::AttributeType, Kind::ObjectClass, Kind::MatchingRule, Kind::MatchingRuleUse, Kind::Syntax};

const SubschemaDefinitions& Standard()
{
    static const SubschemaDefinitions defs = testsupport::StandardSchemaFileDefinitions();
    return defs;
}

// A parse must end inside the text; what it accepts, with an OID or
// without, must print and read back to the same record.
void CheckOne(Kind k, const std::string& text, size_t& accepted)
{
    schematest::ParseOutcome r = schematest::ParseAs(k, text.c_str());
    if (!r.ok) {
        ASSERT_GE(r.errorPos, text.c_str()) << text;
        ASSERT_LE(r.errorPos, text.c_str() + text.size()) << text;
        return;
    }
    ++accepted;
    EXPECT_EQ(schematest::RoundTripFailure(k, text.c_str()), "") << KindName(k) << ": " << text;
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
                for (Kind k : kKinds)
                    CheckOne(k, m, accepted);
            }
        }
    }
    EXPECT_GT(accepted, 0u);
}

// Texts strung together at random from the grammar's pieces and some
// garbage, with a fixed seed so that a failure repeats.
TEST(ParseRobustness, RandomTokenSoup)
{
    const char* const pieces[] = {
        "(", ")", "$", "'", "'x'", "'a b'", "'\\27'", "\\", "NAME", "DESC", "NOTES", "OBSOLETE", "SUP", "EQUALITY",
        "ORDERING", "SUBSTR", "SYNTAX", "SINGLE-VALUE", "COLLECTIVE", "NO-USER-MODIFICATION", "USAGE",
        "dSAOperation", "ABSTRACT", "STRUCTURAL", "AUXILIARY", "MUST", "MAY", "APPLIES", "X-", "X-A", "x-a",
        "1.2.3", "1.", ".", "{64}", "{", "}", "DirectoryString", "cn", " ", "  ", "\t", "\n", "\r", "\x01", "\xff",
    };
    const size_t pieceCount = sizeof pieces / sizeof pieces[0];
    std::mt19937 random(20240611);
    size_t accepted = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string text = random() % 8 ? "( " : "";
        size_t length = random() % 24;
        for (size_t n = 0; n < length; ++n) {
            text += pieces[random() % pieceCount];
            if (random() % 2)
                text += ' ';
        }
        if (random() % 4)
            text += ")";
        for (Kind k : kKinds)
            CheckOne(k, text, accepted);
    }
    EXPECT_GT(accepted, 0u);
}

// Random bytes, zero excepted (it ends the text).
TEST(ParseRobustness, RandomBytes)
{
    std::mt19937 random(7);
    size_t accepted = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string text = "(";
        size_t length = random() % 40;
        for (size_t n = 0; n < length; ++n)
            text += static_cast<char>(1 + random() % 255);
        for (Kind k : kKinds)
            CheckOne(k, text, accepted);
    }
}

} // namespace
