#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "schema/SchemaRecords.h"
#include "tests/schema/SchemaTestHelpers.h"

namespace {

using Strings = std::vector<std::string>;

Strings Items(const StringList& l) { return Strings(l.begin(), l.end()); }

template <typename Description, typename Parse>
Description Parsed(Parse parse, const char* text)
{
    int code = 0;
    const char* pos = nullptr;
    auto d = parse(text, &code, &pos, kSchemaAllowAll);
    EXPECT_TRUE(d) << text << ": code " << code;
    return d ? *d : Description();
}

AttributeTypeDescription AT(const char* text) { return Parsed<AttributeTypeDescription>(ParseAttributeTypeDescription, text); }
ObjectClassDescription OC(const char* text) { return Parsed<ObjectClassDescription>(ParseObjectClassDescription, text); }
MatchingRuleDescription MR(const char* text) { return Parsed<MatchingRuleDescription>(ParseMatchingRuleDescription, text); }
MatchingRuleUseDescription MRU(const char* text) { return Parsed<MatchingRuleUseDescription>(ParseMatchingRuleUseDescription, text); }

TEST(SchemaAttributeType, CopiesEveryField)
{
    SchemaAttributeType at(AT("( 2.5.18.1 NAME ( 'createTimestamp' 'ct' ) DESC 'd' OBSOLETE SUP s EQUALITY e "
                              "ORDERING o SUBSTR u SYNTAX 1.3.6.1.4.1.1466.115.121.1.24{15} SINGLE-VALUE COLLECTIVE "
                              "NO-USER-MODIFICATION USAGE dSAOperation X-ORIGIN 'RFC 4512' )"));
    EXPECT_EQ(at.GetOID(), "2.5.18.1");
    EXPECT_EQ(Items(at.GetNames()), (Strings{"createTimestamp", "ct"}));
    EXPECT_EQ(at.GetDescription(), "d");
    EXPECT_TRUE(at.IsObsolete());
    EXPECT_EQ(at.GetSuperior(), "s");
    EXPECT_EQ(at.GetEquality(), "e");
    EXPECT_EQ(at.GetOrdering(), "o");
    EXPECT_EQ(at.GetSubstring(), "u");
    EXPECT_EQ(at.GetSyntax(), "1.3.6.1.4.1.1466.115.121.1.24");
    EXPECT_EQ(at.GetSyntaxLength(), 15);
    EXPECT_TRUE(at.IsSingleValue());
    EXPECT_TRUE(at.IsCollective());
    EXPECT_FALSE(at.IsUserModifiable());
    EXPECT_EQ(at.GetUsage(), kUsageDSAOperation);
    EXPECT_TRUE(at.IsHumanReadable());
    StringList origin;
    EXPECT_FALSE(at.GetExtension("X-ORIGIN", origin));
    EXPECT_EQ(Items(origin), (Strings{"RFC 4512"}));
}

TEST(SchemaAttributeType, AbsentFieldsAreEmpty)
{
    SchemaAttributeType at(AT("( 1.2 )"));
    EXPECT_EQ(at.GetOID(), "1.2");
    EXPECT_TRUE(at.GetNames().IsEmpty());
    EXPECT_EQ(at.GetDisplayName(), "1.2");
    for (const std::string* s : {&at.GetDescription(), &at.GetSuperior(), &at.GetEquality(), &at.GetOrdering(),
                                 &at.GetSubstring(), &at.GetSyntax()})
        EXPECT_EQ(*s, "");
    EXPECT_EQ(at.GetSyntaxLength(), 0);
    EXPECT_FALSE(at.IsObsolete());
    EXPECT_FALSE(at.IsSingleValue());
    EXPECT_FALSE(at.IsCollective());
    EXPECT_TRUE(at.IsUserModifiable());
    EXPECT_EQ(at.GetUsage(), kUsageUserApplications);
    EXPECT_TRUE(at.GetExtensions().empty());
}

TEST(SchemaAttributeType, AssignmentCopiesAllAndStaysIndependent)
{
    SchemaAttributeType source(AT("( 2.5.4.3 NAME ( 'cn' 'commonName' ) DESC 'x' SUP name X-ORIGIN 'o' )"));
    source.SetHumanReadable(false);
    SchemaAttributeType copy;
    copy = source;
    EXPECT_EQ(copy, source);
    EXPECT_FALSE(copy.IsHumanReadable());
    EXPECT_EQ(copy.GetDisplayName(), "cn");

    copy.SetDescription("changed");
    copy.SetHumanReadable(true);
    copy.SetNames(StringList());
    EXPECT_EQ(source.GetDescription(), "x");
    EXPECT_FALSE(source.IsHumanReadable());
    EXPECT_EQ(source.GetNames().GetCount(), 2u);
    EXPECT_NE(copy, source);

    SchemaAttributeType constructed(source);
    EXPECT_EQ(constructed, source);
}

TEST(SchemaObjectClass, FieldsAndKind)
{
    struct Case {
        const char* text;
        int kind;
    };
    const Case cases[] = {
        {"( 1.2 )", kClassStructural},
        {"( 1.2 STRUCTURAL )", kClassStructural},
        {"( 1.2 ABSTRACT )", kClassAbstract},
        {"( 1.2 AUXILIARY )", kClassAuxiliary},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SchemaObjectClass(OC(c.text)).GetKind(), c.kind) << c.text;

    SchemaObjectClass person(OC("( 2.5.6.6 NAME 'person' OBSOLETE SUP ( top $ 'x' ) MUST ( sn $ cn ) MAY description )"));
    EXPECT_TRUE(person.IsObsolete());
    EXPECT_EQ(Items(person.GetSuperiors()), (Strings{"top", "x"}));
    EXPECT_EQ(Items(person.GetMust()), (Strings{"sn", "cn"}));
    EXPECT_EQ(Items(person.GetMay()), (Strings{"description"}));

    SchemaObjectClass noOid(OC("( NAME 'foo' SUP top )"));
    EXPECT_EQ(noOid.GetOID(), "");
    EXPECT_EQ(noOid.GetDisplayName(), "foo");
    EXPECT_TRUE(SchemaObjectClass(OC("( 1.2 )")).GetMust().IsEmpty());
}

TEST(SchemaMatchingRules, SyntaxAndAppliesCopied)
{
    SchemaMatchingRule mr(MR("( '2.5.13.2' NAME 'caseIgnoreMatch' OBSOLETE SYNTAX '1.3.6.1.4.1.1466.115.121.1.15' )"));
    EXPECT_EQ(mr.GetOID(), "2.5.13.2");
    EXPECT_TRUE(mr.IsObsolete());
    EXPECT_EQ(mr.GetSyntax(), "1.3.6.1.4.1.1466.115.121.1.15");

    SchemaMatchingRuleUse use(MRU("( 2.5.13.0 APPLIES ( a $ b ) )"));
    EXPECT_FALSE(use.IsObsolete());
    EXPECT_EQ(Items(use.GetApplies()), (Strings{"a", "b"}));
    SchemaMatchingRuleUse bare(MRU("( 2.5.13.1 OBSOLETE )"));
    EXPECT_TRUE(bare.IsObsolete());
    EXPECT_TRUE(bare.GetApplies().IsEmpty());
    SchemaMatchingRuleUse noOid(MRU("( NAME 'u' )"));
    EXPECT_EQ(noOid.GetOID(), "");
    EXPECT_EQ(noOid.GetDisplayName(), "u");

    auto syn = ParseSyntaxDescription("( 1.3.6.1.4.1.1466.115.121.1.5 NAME 'bin' DESC 'Binary' X-NOT-HUMAN-READABLE 'TRUE' )",
                                      nullptr, nullptr);
    ASSERT_TRUE(syn);
    SchemaSyntax syntax(*syn);
    EXPECT_EQ(syntax.GetOID(), "1.3.6.1.4.1.1466.115.121.1.5");
    EXPECT_EQ(syntax.GetDisplayName(), "bin");
    EXPECT_EQ(syntax.GetDescription(), "Binary");
    StringList values;
    EXPECT_FALSE(syntax.GetExtension("x-not-human-readable", values));
    EXPECT_EQ(Items(values), (Strings{"TRUE"}));
}

TEST(SchemaElement, ExtensionNamesDifferingInCaseShareOneEntry)
{
    // Through the parser (extension words begin with a capital X-) ...
    SchemaAttributeType parsed(AT("( 1.2 X-ORIGIN ( 'a' 'b' ) X-Origin 'c' X-OTHER 'd' )"));
    ASSERT_EQ(parsed.GetExtensions().size(), 2u);
    StringList values;
    EXPECT_FALSE(parsed.GetExtension("x-origin", values));
    EXPECT_EQ(Items(values), (Strings{"c"}));

    // ... and from a description built by hand.
    SchemaExtensionItems items = {{"X-ORIGIN", {"first"}}, {"x-origin", {"later", "values"}}};
    SchemaExtensionMap map = MakeExtensionMap(items);
    ASSERT_EQ(map.size(), 1u);
    EXPECT_EQ(map.begin()->second.name, "x-origin");
    EXPECT_EQ(Items(map.begin()->second.values), (Strings{"later", "values"}));
}

TEST(SchemaElement, GetExtensionEmptiesTheListFirst)
{
    SchemaAttributeType at(AT("( 1.2 X-A 'v' X-EMPTY ( ) )"));
    StringList values;
    values.Add("left over");
    EXPECT_TRUE(at.GetExtension("X-MISSING", values));
    EXPECT_TRUE(values.IsEmpty());
    values.Add("left over");
    EXPECT_TRUE(at.GetExtension("X-EMPTY", values)); // present, but no values
    EXPECT_TRUE(values.IsEmpty());
    EXPECT_FALSE(at.GetExtension("x-a", values));
    EXPECT_EQ(Items(values), (Strings{"v"}));
}

TEST(SchemaElementMaps, InsertOrFetchThenAssignReplaces)
{
    SchemaAttributeTypeMap map;
    SchemaAttributeType& first = map["2.5.4.3"];
    first = SchemaAttributeType(AT("( 2.5.4.3 NAME 'cn' DESC 'old' )"));
    map["2.5.4.3"] = SchemaAttributeType(AT("( 2.5.4.3 NAME 'commonName' )"));
    ASSERT_EQ(map.size(), 1u);
    EXPECT_EQ(&map["2.5.4.3"], &first); // the stored record stays in place
    EXPECT_EQ(first.GetDisplayName(), "commonName");
    EXPECT_EQ(first.GetDescription(), "");

    // Keys are compared byte by byte.
    SchemaObjectClassMap classes;
    classes["fooOID"];
    classes["FOOOID"];
    EXPECT_EQ(classes.size(), 2u);
}

TEST(SchemaNames, NoCaseLessFoldsAsciiOnly)
{
    NoCaseLess less;
    struct Case {
        const char* a;
        const char* b;
        bool aLess;
        bool bLess;
    };
    const Case cases[] = {
        {"cn", "CN", false, false},
        {"a", "B", true, false},
        {"B", "a", false, true},
        {"cn", "cna", true, false},
        {"", "a", true, false},
        {"\xC3\xA4", "\xC3\x84", false, true}, // non-ASCII letters are not folded
        {"_", "A", true, false},               // letters fold to small ones, which sort after '_'
    };
    for (const Case& c : cases) {
        EXPECT_EQ(less(c.a, c.b), c.aLess) << c.a << " < " << c.b;
        EXPECT_EQ(less(c.b, c.a), c.bLess) << c.b << " < " << c.a;
    }
}

TEST(SchemaNames, RankedNameLessPutsHigherRanksFirst)
{
    RankedNameLess::RankMap ranks = {{"person", 5}, {"top", 1}, {"Person", 9}};
    RankedNameLess less(ranks);
    struct Case {
        const char* a;
        const char* b;
        bool aLess;
    };
    const Case cases[] = {
        {"person", "top", true},    // 5 over 1
        {"top", "person", false},
        {"top", "zebra", true},     // 1 over none
        {"alpha", "top", false},    // a lower rank never goes first, whatever the names
        {"alpha", "beta", true},    // equal ranks: case-blind order
        {"BETA", "alpha", false},
        {"Person", "person", true}, // ranks are looked up exactly
        {"top", "top", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(less(c.a, c.b), c.aLess) << c.a << " < " << c.b;

    Strings names = {"zebra", "top", "Alpha", "person", "beta", "Person"};
    std::sort(names.begin(), names.end(), RankedNameLess(ranks));
    EXPECT_EQ(names, (Strings{"Person", "person", "top", "Alpha", "beta", "zebra"}));
}

} // namespace
