#include <gtest/gtest.h>

#include <string>

#include "schema/SchemaDescriptions.h"
#include "tests/schema/SchemaTestHelpers.h"

namespace {

using schematest::Kind;
using schematest::Make;

using AT = AttributeTypeDescription;
using OC = ObjectClassDescription;
using MR = MatchingRuleDescription;
using MRU = MatchingRuleUseDescription;
using SYN = SyntaxDescription;

TEST(PrintAttributeType, Layout)
{
    const std::pair<AT, const char*> cases[] = {
        {Make<AT>([](AT& d) { d.oid = "2.5.4.3"; d.names = {"cn", "commonName"}; d.sup = "name"; }),
         "( 2.5.4.3 NAME ( 'cn' 'commonName' ) SUP name )"},
        {Make<AT>([](AT& d) {
             d.oid = "2.5.18.1"; d.names = {"createTimestamp"}; d.desc = "time"; d.obsolete = true; d.sup = "s";
             d.equality = "e"; d.ordering = "o"; d.substr = "u"; d.syntax = "1.3.6.1.4.1.1466.115.121.1.24";
             d.singleValue = true; d.collective = true; d.noUserModification = true;
             d.usage = kUsageDirectoryOperation;
         }),
         "( 2.5.18.1 NAME 'createTimestamp' DESC 'time' OBSOLETE SUP s EQUALITY e ORDERING o SUBSTR u "
         "SYNTAX 1.3.6.1.4.1.1466.115.121.1.24 SINGLE-VALUE COLLECTIVE NO-USER-MODIFICATION "
         "USAGE directoryOperation )"},
        {Make<AT>([](AT& d) { d.oid = "1.2"; d.syntax = "1.3.6.1.4.1.1466.115.121.1.15"; d.syntaxLength = 32768; }),
         "( 1.2 SYNTAX 1.3.6.1.4.1.1466.115.121.1.15{32768} )"},
        {Make<AT>([](AT& d) { d.oid = "1.2"; d.usage = kUsageDistributedOperation; }),
         "( 1.2 USAGE distributedOperation )"},
        {Make<AT>([](AT& d) { d.oid = "1.2"; d.usage = kUsageDSAOperation; }), "( 1.2 USAGE dSAOperation )"},
        {Make<AT>([](AT& d) { d.oid = "1.2"; d.usage = 9; }), "( 1.2 USAGE UNKNOWN )"},
        {Make<AT>([](AT& d) { d.names = {"noOid"}; }), "( NAME 'noOid' )"},
        {AT(), "( )"},
        {Make<AT>([](AT& d) {
             d.oid = "1.2"; d.names = {"x"};
             d.extensions = {{"X-ORIGIN", {"RFC 4519"}}, {"X-MORE", {"a", "b"}}, {"X-NONE", {}}};
         }),
         "( 1.2 NAME 'x' X-ORIGIN 'RFC 4519' X-MORE ( 'a' 'b' ) X-NONE ( ) )"},
        {Make<AT>([](AT& d) { d.oid = "1.2"; d.names = {"o'reilly"}; d.desc = "it's C:\\dir, \\27 kept"; }),
         "( 1.2 NAME 'o\\27reilly' DESC 'it\\27s C:\\5Cdir, \\5C27 kept' )"},
        {Make<AT>([](AT& d) { d.oid = "1.2"; d.desc = ""; }), "( 1.2 DESC '' )"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PrintAttributeTypeDescription(c.first), c.second);
}

TEST(PrintObjectClass, Layout)
{
    const std::pair<OC, const char*> cases[] = {
        {Make<OC>([](OC& d) {
             d.oid = "2.5.6.6"; d.names = {"person"}; d.desc = "RFC2256: a person"; d.sup = {"top"};
             d.must = {"sn", "cn"}; d.may = {"description"};
         }),
         "( 2.5.6.6 NAME 'person' DESC 'RFC2256: a person' SUP top STRUCTURAL MUST (sn $ cn ) MAY description )"},
        {Make<OC>([](OC& d) { d.oid = "2.5.6.0"; d.kind = kClassAbstract; d.obsolete = true; }),
         "( 2.5.6.0 OBSOLETE ABSTRACT )"},
        {Make<OC>([](OC& d) { d.oid = "1.2"; d.kind = kClassAuxiliary; d.sup = {"a", "b", "c"}; }),
         "( 1.2 SUP (a $ b $ c ) AUXILIARY )"},
        {Make<OC>([](OC& d) { d.oid = "1.2"; d.kind = 7; }), "( 1.2 KIND-UNKNOWN )"},
        {Make<OC>([](OC& d) { d.names = {"a", "b"}; }), "( NAME ( 'a' 'b' ) STRUCTURAL )"},
        // Superiors that were quoted items stay quoted when they would not
        // read back as one word.
        {Make<OC>([](OC& d) { d.oid = "1.2"; d.sup = {"a b", "", "it's"}; }),
         "( 1.2 SUP ('a b' $ '' $ 'it\\27s' ) STRUCTURAL )"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PrintObjectClassDescription(c.first), c.second);
}

TEST(PrintOtherKinds, Layout)
{
    EXPECT_EQ(PrintMatchingRuleDescription(Make<MR>([](MR& d) {
                  d.oid = "2.5.13.2"; d.names = {"caseIgnoreMatch"}; d.desc = "d"; d.obsolete = true;
                  d.syntax = "1.3.6.1.4.1.1466.115.121.1.15";
              })),
              "( 2.5.13.2 NAME 'caseIgnoreMatch' DESC 'd' OBSOLETE SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 )");
    EXPECT_EQ(PrintMatchingRuleDescription(Make<MR>([](MR& d) { d.oid = "1.2"; })), "( 1.2 )");
    EXPECT_EQ(PrintMatchingRuleUseDescription(Make<MRU>([](MRU& d) {
                  d.oid = "2.5.13.0"; d.names = {"objectIdentifierMatch"}; d.applies = {"a", "b"};
              })),
              "( 2.5.13.0 NAME 'objectIdentifierMatch' APPLIES (a $ b ) )");
    EXPECT_EQ(PrintMatchingRuleUseDescription(Make<MRU>([](MRU& d) { d.oid = "1.2"; d.obsolete = true; d.applies = {"x"}; })),
              "( 1.2 OBSOLETE APPLIES x )");
    // Syntaxes keep their names.
    EXPECT_EQ(PrintSyntaxDescription(Make<SYN>([](SYN& d) {
                  d.oid = "1.3.6.1.4.1.1466.115.121.1.5"; d.names = {"binary"}; d.desc = "Binary";
                  d.extensions = {{"X-NOT-HUMAN-READABLE", {"TRUE"}}};
              })),
              "( 1.3.6.1.4.1.1466.115.121.1.5 NAME 'binary' DESC 'Binary' X-NOT-HUMAN-READABLE 'TRUE' )");
}

struct RoundTripCase {
    Kind kind;
    const char* text;
};

TEST(SchemaRoundTrip, TableOfDefinitions)
{
    const RoundTripCase cases[] = {
        {Kind::AttributeType, "( 2.5.4.3 NAME ( 'cn' 'commonName' ) DESC 'RFC4519: common name(s) for which the entity is known by' SUP name )"},
        {Kind::AttributeType, "( 2.5.4.0 NAME 'objectClass' EQUALITY objectIdentifierMatch SYNTAX 1.3.6.1.4.1.1466.115.121.1.38 )"},
        {Kind::AttributeType, "( 2.5.18.1 NAME 'createTimestamp' EQUALITY generalizedTimeMatch ORDERING generalizedTimeOrderingMatch "
                              "SYNTAX 1.3.6.1.4.1.1466.115.121.1.24 SINGLE-VALUE NO-USER-MODIFICATION USAGE directoryOperation )"},
        {Kind::AttributeType, "( 1.2 OBSOLETE COLLECTIVE USAGE dSAOperation X-ORIGIN ( 'a' 'b' ) X-ORIGIN 'c' )"},
        {Kind::AttributeType, "( 1.2 NAME 'q' DESC 'a quote \\27, a backslash \\5C and \\5C27 literally' )"},
        {Kind::AttributeType, "( 1.2 DESC 'lone \\ backslash and \\41' )"},
        {Kind::AttributeType, "( 1.2 NOTES 'notes' SYNTAX 'DirectoryString' )"},
        {Kind::AttributeType, "( 1.2 SYNTAX '1.3.6.1.4.1.1466.115.121.1.15{64}' )"},
        {Kind::AttributeType, "( fooOID NAME 'foo' SUP bar )"},
        {Kind::AttributeType, "( NAME 'noOid' )"},
        {Kind::AttributeType, "(\t1.2\nNAME('a''b')SUP\tx\n)"},
        {Kind::AttributeType, "( 1.2 NAME '' DESC '' X-E ( ) )"},
        {Kind::ObjectClass, "( 2.5.6.6 NAME 'person' DESC 'RFC2256: a person' SUP top STRUCTURAL MUST ( sn $ cn ) "
                            "MAY ( userPassword $ telephoneNumber $ seeAlso $ description ) )"},
        {Kind::ObjectClass, "( 2.5.6.0 NAME 'top' ABSTRACT MUST objectClass )"},
        {Kind::ObjectClass, "( 1.2 OBSOLETE SUP ( a $ 'b c' $ '' ) AUXILIARY X-ORIGIN 'x' )"},
        {Kind::ObjectClass, "( fooOID NAME 'foo' )"},
        {Kind::ObjectClass, "( NAME 'foo' SUP top )"},
        {Kind::MatchingRule, "( 2.5.13.2 NAME 'caseIgnoreMatch' SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 )"},
        {Kind::MatchingRule, "( '2.5.13.3' NAME 'q' OBSOLETE SYNTAX '1.3' X-A 'b' )"},
        {Kind::MatchingRuleUse, "( 2.5.13.0 NAME 'objectIdentifierMatch' APPLIES ( supportedControl $ supportedExtension ) )"},
        {Kind::MatchingRuleUse, "( 2.5.13.1 OBSOLETE APPLIES ( 'a b' $ c ) )"},
        // Without an OID and nothing else: the print is "( )", which reads back.
        {Kind::MatchingRule, "( foo )"},
        {Kind::MatchingRuleUse, "( 'foo' )"},
        {Kind::AttributeType, "( )"},
        {Kind::ObjectClass, "( )"},
        {Kind::Syntax, "( 1.3.6.1.4.1.1466.115.121.1.15 DESC 'Directory String' )"},
        {Kind::Syntax, "( 1.3.6.1.4.1.1466.115.121.1.5 NAME ( 'binary' 'bin' ) DESC 'Binary' X-NOT-HUMAN-READABLE 'TRUE' )"},
    };
    for (const RoundTripCase& c : cases)
        EXPECT_EQ(schematest::RoundTripFailure(c.kind, c.text), "") << KindName(c.kind) << ": " << c.text;
}

// Records built by hand with awkward texts read back from their print.
TEST(SchemaRoundTrip, AwkwardTextsSurvive)
{
    const char* const texts[] = {"'", "\\", "\\27", "\\5C", "''", "a'b\\c", "\xE2\x82\xAC uro", "(", ")", "$", " ", "\t"};
    for (const char* t : texts) {
        AT at = Make<AT>([t](AT& d) {
            d.oid = "1.2"; d.names = {t, "x"}; d.desc = t; d.extensions = {{"X-T", {t}}};
        });
        std::string printed = PrintAttributeTypeDescription(at);
        auto back = ParseAttributeTypeDescription(printed.c_str(), nullptr, nullptr, kSchemaAllowAll);
        ASSERT_TRUE(back) << printed;
        EXPECT_EQ(*back, at) << printed;

        OC oc = Make<OC>([t](OC& d) { d.oid = "1.2"; d.sup = {t, "top"}; d.desc = t; });
        printed = PrintObjectClassDescription(oc);
        auto backOc = ParseObjectClassDescription(printed.c_str(), nullptr, nullptr, kSchemaAllowAll);
        ASSERT_TRUE(backOc) << printed;
        EXPECT_EQ(*backOc, oc) << printed;
    }
}

} // namespace
