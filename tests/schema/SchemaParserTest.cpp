#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "schema/SchemaDescriptions.h"
#include "tests/schema/SchemaTestHelpers.h"

namespace {

using schematest::Kind;
using schematest::Make;
using schematest::ParseAs;

const unsigned kAll = kSchemaAllowAll;

template <typename Description>
struct Case {
    const char* name;
    const char* text;
    unsigned flags;
    Description expected;
};

using AT = AttributeTypeDescription;
using OC = ObjectClassDescription;
using MR = MatchingRuleDescription;
using MRU = MatchingRuleUseDescription;
using SYN = SyntaxDescription;

TEST(ParseAttributeType, FieldsOfWellFormedAndLenientTexts)
{
    const Case<AT> cases[] = {
        {"two names and a superior", "( 2.5.4.3 NAME ( 'cn' 'commonName' ) SUP name )", kAll,
         Make<AT>([](AT& d) { d.oid = "2.5.4.3"; d.names = {"cn", "commonName"}; d.sup = "name"; })},
        {"every option", "( 2.5.18.1 NAME 'createTimestamp' DESC 'RFC4512: time which object was created' "
                         "OBSOLETE SUP a EQUALITY generalizedTimeMatch ORDERING generalizedTimeOrderingMatch "
                         "SUBSTR caseIgnoreSubstringsMatch SYNTAX 1.3.6.1.4.1.1466.115.121.1.24 SINGLE-VALUE "
                         "COLLECTIVE NO-USER-MODIFICATION USAGE directoryOperation )", 0,
         Make<AT>([](AT& d) {
             d.oid = "2.5.18.1"; d.names = {"createTimestamp"}; d.desc = "RFC4512: time which object was created";
             d.obsolete = true; d.sup = "a"; d.equality = "generalizedTimeMatch";
             d.ordering = "generalizedTimeOrderingMatch"; d.substr = "caseIgnoreSubstringsMatch";
             d.syntax = "1.3.6.1.4.1.1466.115.121.1.24"; d.singleValue = true; d.collective = true;
             d.noUserModification = true; d.usage = kUsageDirectoryOperation;
         })},
        {"options in any order", "( 1.2 USAGE dSAOperation SINGLE-VALUE DESC 'd' NAME 'n' )", 0,
         Make<AT>([](AT& d) { d.oid = "1.2"; d.names = {"n"}; d.desc = "d"; d.singleValue = true; d.usage = 3; })},
        {"NOTES stands for DESC", "( 2.5.4.3 NAME 'cn' NOTES 'x' )", kAll,
         Make<AT>([](AT& d) { d.oid = "2.5.4.3"; d.names = {"cn"}; d.desc = "x"; })},
        {"syntax length", "( 1.2 SYNTAX 1.3.6.1.4.1.1466.115.121.1.15{32768} )", 0,
         Make<AT>([](AT& d) { d.oid = "1.2"; d.syntax = "1.3.6.1.4.1.1466.115.121.1.15"; d.syntaxLength = 32768; })},
        {"quoted syntax with length", "( 1.2.3 SYNTAX '1.3.6.1.4.1.1466.115.121.1.15{64}' )", kAll,
         Make<AT>([](AT& d) { d.oid = "1.2.3"; d.syntax = "1.3.6.1.4.1.1466.115.121.1.15"; d.syntaxLength = 64; })},
        {"empty length braces", "( 1.2 SYNTAX 1.3{} )", 0,
         Make<AT>([](AT& d) { d.oid = "1.2"; d.syntax = "1.3"; })},
        {"huge length is capped", "( 1.2 SYNTAX 1.3{99999999999999999999} )", 0,
         Make<AT>([](AT& d) { d.oid = "1.2"; d.syntax = "1.3"; d.syntaxLength = 2147483647; })},
        {"syntax name", "( 1.2.3 SYNTAX DirectoryString )", kSchemaAllowSyntaxNames,
         Make<AT>([](AT& d) { d.oid = "1.2.3"; d.syntax = "1.3.6.1.4.1.1466.115.121.1.15"; })},
        {"quoted syntax name", "( 1.2.3 SYNTAX 'ORName' SINGLE-VALUE )", kAll,
         Make<AT>([](AT& d) { d.oid = "1.2.3"; d.syntax = "1.2.840.113556.1.4.1221"; d.singleValue = true; })},
        {"repeated SYNTAX replaces", "( 1.2 SYNTAX 1.3{5} SYNTAX 1.4 )", kSchemaAllowSyntaxRepeat,
         Make<AT>([](AT& d) { d.oid = "1.2"; d.syntax = "1.4"; })},
        {"usage ignores case", "( 1.2.3 USAGE DSAOPERATION )", kAll,
         Make<AT>([](AT& d) { d.oid = "1.2.3"; d.usage = kUsageDSAOperation; })},
        {"usage distributedOperation", "( 1.2.3 USAGE distributedoperation )", kAll,
         Make<AT>([](AT& d) { d.oid = "1.2.3"; d.usage = kUsageDistributedOperation; })},
        {"usage userApplications", "( 1.2.3 USAGE userApplications )", kAll,
         Make<AT>([](AT& d) { d.oid = "1.2.3"; d.usage = kUsageUserApplications; })},
        {"no OID", "( NAME 'foo' SUP top )", kAll,
         Make<AT>([](AT& d) { d.names = {"foo"}; d.sup = "top"; })},
        {"descriptor as OID", "( fooOID NAME 'foo' )", kAll,
         Make<AT>([](AT& d) { d.oid = "fooOID"; d.names = {"foo"}; })},
        {"extension first, no OID", "( X-ORIGIN 'x' )", kAll,
         Make<AT>([](AT& d) { d.extensions = {{"X-ORIGIN", {"x"}}}; })},
        {"quoted OID is dropped", "( '1.2.3' NAME 'q' )", kAll,
         Make<AT>([](AT& d) { d.names = {"q"}; })},
        {"extensions keep order, case and repeats",
         "( 1.2 X-ORIGIN 'RFC 4519' X-SCHEMA-FILE ( 'core.ldif' 'more' ) X-Origin ( ) X-ORIGIN 'again' )", kAll,
         Make<AT>([](AT& d) {
             d.oid = "1.2";
             d.extensions = {{"X-ORIGIN", {"RFC 4519"}}, {"X-SCHEMA-FILE", {"core.ldif", "more"}},
                             {"X-Origin", {}}, {"X-ORIGIN", {"again"}}};
         })},
        {"escapes in quoted strings", "( 1.2 NAME 'o\\27reilly' DESC 'it\\27s C:\\5Cdir \\5c \\41 end\\' )", kAll,
         Make<AT>([](AT& d) { d.oid = "1.2"; d.names = {"o'reilly"}; d.desc = "it's C:\\dir \\ \\41 end\\"; })},
        {"empty quoted strings", "( 1.2 NAME '' DESC '' )", kAll,
         Make<AT>([](AT& d) { d.oid = "1.2"; d.names = {""}; d.desc = ""; })},
        {"empty name list", "( 1.2 NAME ( ) )", kAll, Make<AT>([](AT& d) { d.oid = "1.2"; })},
        {"UTF-8 text", "( 1.2 DESC 'Gr\xC3\xB6\xC3\x9F" "e' )", kAll,
         Make<AT>([](AT& d) { d.oid = "1.2"; d.desc = "Gr\xC3\xB6\xC3\x9F" "e"; })},
        {"tabs, line feeds, no blanks", "(\t1.2\nNAME('a''b')SUP\tx\n)", kAll,
         Make<AT>([](AT& d) { d.oid = "1.2"; d.names = {"a", "b"}; d.sup = "x"; })},
        {"OID touching a keyword", "( 1.2NAME 'x' )", kAll,
         Make<AT>([](AT& d) { d.oid = "1.2"; d.names = {"x"}; })},
        {"text after the closing parenthesis is not read", "( 1.2 ) trailing ( garbage", kAll,
         Make<AT>([](AT& d) { d.oid = "1.2"; })},
    };
    for (const auto& c : cases) {
        int code = -1;
        const char* pos = nullptr;
        auto d = ParseAttributeTypeDescription(c.text, &code, &pos, c.flags);
        ASSERT_TRUE(d) << c.name << ": code " << code << " at " << pos;
        EXPECT_EQ(*d, c.expected) << c.name << ": got " << PrintAttributeTypeDescription(*d);
    }
}

TEST(ParseObjectClass, FieldsOfWellFormedAndLenientTexts)
{
    const Case<OC> cases[] = {
        {"person", "( 2.5.6.6 NAME 'person' DESC 'RFC2256: a person' SUP top STRUCTURAL "
                   "MUST ( sn $ cn ) MAY ( userPassword $ telephoneNumber $ seeAlso $ description ) )", 0,
         Make<OC>([](OC& d) {
             d.oid = "2.5.6.6"; d.names = {"person"}; d.desc = "RFC2256: a person"; d.sup = {"top"};
             d.must = {"sn", "cn"}; d.may = {"userPassword", "telephoneNumber", "seeAlso", "description"};
         })},
        {"kind defaults to structural", "( 1.2 )", 0, Make<OC>([](OC& d) { d.oid = "1.2"; })},
        {"abstract", "( 2.5.6.0 NAME 'top' ABSTRACT MUST objectClass )", 0,
         Make<OC>([](OC& d) { d.oid = "2.5.6.0"; d.names = {"top"}; d.kind = kClassAbstract; d.must = {"objectClass"}; })},
        {"auxiliary and obsolete", "( 1.2 OBSOLETE AUXILIARY )", 0,
         Make<OC>([](OC& d) { d.oid = "1.2"; d.obsolete = true; d.kind = kClassAuxiliary; })},
        {"no OID", "( NAME 'foo' SUP top )", kAll,
         Make<OC>([](OC& d) { d.names = {"foo"}; d.sup = {"top"}; })},
        {"any flag tolerates a missing OID", "( NAME 'foo' )", kSchemaAllowSyntaxNames,
         Make<OC>([](OC& d) { d.names = {"foo"}; })},
        {"descriptor as OID", "( fooOID NAME 'foo' )", kAll,
         Make<OC>([](OC& d) { d.oid = "fooOID"; d.names = {"foo"}; })},
        {"quoted superiors", "( 1.2 SUP ( 'top' $ 'a b' ) )", kAll,
         Make<OC>([](OC& d) { d.oid = "1.2"; d.sup = {"top", "a b"}; })},
        {"one quoted superior", "( 1.2 SUP 'top' )", kAll,
         Make<OC>([](OC& d) { d.oid = "1.2"; d.sup = {"top"}; })},
        {"dollar lists without blanks", "( 1.2 MAY (a$b$c) MUST(x))", 0,
         Make<OC>([](OC& d) { d.oid = "1.2"; d.may = {"a", "b", "c"}; d.must = {"x"}; })},
        {"NOTES and extension", "( 1.2 NOTES 'n' X-ORIGIN 'RFC' )", kAll,
         Make<OC>([](OC& d) { d.oid = "1.2"; d.desc = "n"; d.extensions = {{"X-ORIGIN", {"RFC"}}}; })},
    };
    for (const auto& c : cases) {
        int code = -1;
        const char* pos = nullptr;
        auto d = ParseObjectClassDescription(c.text, &code, &pos, c.flags);
        ASSERT_TRUE(d) << c.name << ": code " << code << " at " << pos;
        EXPECT_EQ(*d, c.expected) << c.name << ": got " << PrintObjectClassDescription(*d);
    }
}

TEST(ParseMatchingRule, FieldsOfWellFormedAndLenientTexts)
{
    const Case<MR> cases[] = {
        {"plain", "( 2.5.13.2 NAME 'caseIgnoreMatch' SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 )", 0,
         Make<MR>([](MR& d) { d.oid = "2.5.13.2"; d.names = {"caseIgnoreMatch"}; d.syntax = "1.3.6.1.4.1.1466.115.121.1.15"; })},
        {"obsolete with description", "( 1.2 DESC 'old' OBSOLETE SYNTAX 1.3 )", 0,
         Make<MR>([](MR& d) { d.oid = "1.2"; d.desc = "old"; d.obsolete = true; d.syntax = "1.3"; })},
        {"quoted OIDs", "( '2.5.13.2' NAME 'x' SYNTAX '1.3.6' )", kSchemaAllowQuotedOid,
         Make<MR>([](MR& d) { d.oid = "2.5.13.2"; d.names = {"x"}; d.syntax = "1.3.6"; })},
        {"a descriptor in place of the OID is dropped", "( fooOID NAME 'foo' )", kAll,
         Make<MR>([](MR& d) { d.names = {"foo"}; })},
        {"no OID", "( NAME 'foo' SYNTAX 1.2 )", kSchemaAllowNoOid,
         Make<MR>([](MR& d) { d.names = {"foo"}; d.syntax = "1.2"; })},
    };
    for (const auto& c : cases) {
        int code = -1;
        const char* pos = nullptr;
        auto d = ParseMatchingRuleDescription(c.text, &code, &pos, c.flags);
        ASSERT_TRUE(d) << c.name << ": code " << code << " at " << pos;
        EXPECT_EQ(*d, c.expected) << c.name << ": got " << PrintMatchingRuleDescription(*d);
    }
}

TEST(ParseMatchingRuleUse, FieldsOfWellFormedAndLenientTexts)
{
    const Case<MRU> cases[] = {
        {"applies list", "( 2.5.13.0 NAME 'objectIdentifierMatch' APPLIES ( supportedControl $ supportedExtension ) )", 0,
         Make<MRU>([](MRU& d) { d.oid = "2.5.13.0"; d.names = {"objectIdentifierMatch"}; d.applies = {"supportedControl", "supportedExtension"}; })},
        {"no APPLIES", "( 2.5.13.0 )", 0, Make<MRU>([](MRU& d) { d.oid = "2.5.13.0"; })},
        {"obsolete, quoted OID and item", "( '2.5.13.1' OBSOLETE APPLIES 'member' )", kAll,
         Make<MRU>([](MRU& d) { d.oid = "2.5.13.1"; d.obsolete = true; d.applies = {"member"}; })},
    };
    for (const auto& c : cases) {
        int code = -1;
        const char* pos = nullptr;
        auto d = ParseMatchingRuleUseDescription(c.text, &code, &pos, c.flags);
        ASSERT_TRUE(d) << c.name << ": code " << code << " at " << pos;
        EXPECT_EQ(*d, c.expected) << c.name << ": got " << PrintMatchingRuleUseDescription(*d);
    }
}

TEST(ParseSyntax, FieldsOfWellFormedTexts)
{
    const Case<SYN> cases[] = {
        {"description only", "( 1.3.6.1.4.1.1466.115.121.1.15 DESC 'Directory String' )", 0,
         Make<SYN>([](SYN& d) { d.oid = "1.3.6.1.4.1.1466.115.121.1.15"; d.desc = "Directory String"; })},
        {"names and extension", "( 1.3.6.1.4.1.1466.115.121.1.5 NAME 'binary' DESC 'Binary' X-NOT-HUMAN-READABLE 'TRUE' )", 0,
         Make<SYN>([](SYN& d) {
             d.oid = "1.3.6.1.4.1.1466.115.121.1.5"; d.names = {"binary"}; d.desc = "Binary";
             d.extensions = {{"X-NOT-HUMAN-READABLE", {"TRUE"}}};
         })},
    };
    for (const auto& c : cases) {
        int code = -1;
        const char* pos = nullptr;
        auto d = ParseSyntaxDescription(c.text, &code, &pos);
        ASSERT_TRUE(d) << c.name << ": code " << code << " at " << pos;
        EXPECT_EQ(*d, c.expected) << c.name << ": got " << PrintSyntaxDescription(*d);
    }
}

struct FailureCase {
    const char* name;
    Kind kind;
    const char* text;
    unsigned flags;
    int code;
    int offset; // where parsing stopped; -1: not checked
};

TEST(ParseDescriptions, BadTextsFailWithTheirCode)
{
    const int kEndOfText = -2; // stands for the length of the text
    const FailureCase cases[] = {
        // Opening parenthesis.
        {"empty text", Kind::AttributeType, "", kAll, kSchemaNoLeftParen, 0},
        {"blank before the parenthesis", Kind::AttributeType, " ( 1.2 )", kAll, kSchemaNoLeftParen, 0},
        {"no parenthesis", Kind::ObjectClass, "1.2 NAME 'x' )", kAll, kSchemaNoLeftParen, 0},
        {"garbage", Kind::MatchingRule, "\x01\xff\xfe garbage", kAll, kSchemaNoLeftParen, 0},
        // Closing parenthesis.
        {"unclosed", Kind::AttributeType, "( 1.2.3 NAME 'cn'", kAll, kSchemaNoRightParen, kEndOfText},
        {"only the opening parenthesis", Kind::ObjectClass, "(", kAll, kSchemaNoRightParen, kEndOfText},
        {"nothing at all, strict", Kind::AttributeType, "( )", 0, kSchemaExpectingDigit, 2},
        {"inner list closed, outer not", Kind::ObjectClass, "( 1.2 SUP ( a $ b )", kAll, kSchemaNoRightParen, kEndOfText},
        {"syntax unclosed", Kind::Syntax, "( 1.2 DESC 'x'", 0, kSchemaNoRightParen, kEndOfText},
        // Unexpected tokens.
        {"keywords keep their case", Kind::AttributeType, "( 1.2.3 name 'cn' )", kAll, kSchemaUnexpectedToken, 12},
        {"carriage return is no whitespace", Kind::AttributeType, "( 1.2.3\rNAME 'cn' )", kAll, kSchemaUnexpectedToken, 12},
        {"quoted word where a keyword belongs", Kind::AttributeType, "( 1.2.3 'x' )", kAll, kSchemaUnexpectedToken, 11},
        {"parenthesis where a keyword belongs", Kind::ObjectClass, "( 1.2 ( )", kAll, kSchemaUnexpectedToken, 7},
        {"dollar where a keyword belongs", Kind::ObjectClass, "( 1.2 $ )", kAll, kSchemaUnexpectedToken, 7},
        {"unknown keyword", Kind::MatchingRule, "( 1.2 SUP x )", kAll, kSchemaUnexpectedToken, 9},
        {"lower-case extension", Kind::AttributeType, "( 1.2 x-origin 'a' )", kAll, kSchemaUnexpectedToken, -1},
        {"OBSOLETE is no syntax keyword", Kind::Syntax, "( 1.2 OBSOLETE )", 0, kSchemaUnexpectedToken, -1},
        {"DESC without a quoted string", Kind::AttributeType, "( 1.2 DESC x )", kAll, kSchemaUnexpectedToken, -1},
        {"DESC with an unterminated string", Kind::ObjectClass, "( 1.2 DESC 'x )", kAll, kSchemaUnexpectedToken, kEndOfText},
        {"list as a single superior", Kind::AttributeType, "( 1.2 SUP ( a $ b ) )", kAll, kSchemaUnexpectedToken, -1},
        {"quoted single OID", Kind::AttributeType, "( 1.2 EQUALITY 'caseIgnoreMatch' )", kAll, kSchemaUnexpectedToken, -1},
        {"unknown usage", Kind::AttributeType, "( 1.2 USAGE bogus )", kAll, kSchemaUnexpectedToken, -1},
        {"quoted usage", Kind::AttributeType, "( 1.2 USAGE 'directoryOperation' )", kAll, kSchemaUnexpectedToken, -1},
        {"length without closing brace", Kind::AttributeType, "( 1.2 SYNTAX 1.3{64 )", 0, kSchemaUnexpectedToken, -1},
        {"quoted syntax without closing quote", Kind::AttributeType, "( 1.2 SYNTAX '1.3 )", kAll, kSchemaUnexpectedToken, -1},
        {"items need the dollar sign", Kind::ObjectClass, "( 1.2.3 MUST ( cn sn ) )", kAll, kSchemaUnexpectedToken, -1},
        {"empty OID list", Kind::ObjectClass, "( 1.2 SUP ( ) )", kAll, kSchemaUnexpectedToken, -1},
        {"OID list ending in a dollar", Kind::ObjectClass, "( 1.2 MAY ( a $ ) )", kAll, kSchemaUnexpectedToken, -1},
        {"MUST takes no quoted item in a list", Kind::ObjectClass, "( 1.2 MUST ( 'cn' ) )", kAll, kSchemaUnexpectedToken, -1},
        {"list unclosed at the end", Kind::MatchingRuleUse, "( 1.2 APPLIES ( a $ b", kAll, kSchemaUnexpectedToken, kEndOfText},
        {"extension list with a bare word", Kind::AttributeType, "( 1.2 X-A ( 'a' b ) )", kAll, kSchemaUnexpectedToken, -1},
        {"quoted matching-rule OID not allowed", Kind::MatchingRule, "( 1.2 SYNTAX '1.3' )", kSchemaAllowNoOid, kSchemaExpectingDigit, -1},
        {"quoted matching-rule OID not closed", Kind::MatchingRule, "( 1.2 SYNTAX '1.3 )", kAll, kSchemaUnexpectedToken, -1},
        // Digits.
        {"no OID, strict", Kind::AttributeType, "( NAME 'x' )", 0, kSchemaExpectingDigit, 2},
        {"descriptor OID, strict", Kind::MatchingRuleUse, "( fooOID )", 0, kSchemaExpectingDigit, 2},
        {"syntaxes never tolerate a missing OID", Kind::Syntax, "( DESC 'x' )", 0, kSchemaExpectingDigit, 2},
        {"object class without any flag", Kind::ObjectClass, "( NAME 'x' )", 0, kSchemaExpectingDigit, 2},
        {"syntax name in small letters", Kind::AttributeType, "( 1.2.3 SYNTAX directorystring )", kSchemaAllowSyntaxNames, kSchemaExpectingDigit, -1},
        {"syntax name without the flag", Kind::AttributeType, "( 1.2.3 SYNTAX DirectoryString )", kSchemaAllowNoOid, kSchemaExpectingDigit, -1},
        {"unknown syntax name", Kind::AttributeType, "( 1.2.3 SYNTAX Nothing )", kAll, kSchemaExpectingDigit, -1},
        {"matching-rule syntax not numeric", Kind::MatchingRule, "( 1.2 SYNTAX abc )", kAll, kSchemaExpectingDigit, -1},
        {"OID with a double dot", Kind::Syntax, "( 1..2 )", 0, kSchemaExpectingDigit, 4},
        // Names.
        {"bare NAME", Kind::AttributeType, "( 1.2 NAME cn )", kAll, kSchemaExpectingName, -1},
        {"bare word inside NAME list", Kind::ObjectClass, "( 1.2 NAME ( 'a' b ) )", kAll, kSchemaExpectingName, -1},
        {"unterminated NAME", Kind::AttributeType, "( 1.2 NAME 'cn )", kAll, kSchemaExpectingName, kEndOfText},
        {"NAME list unclosed", Kind::Syntax, "( 1.2 NAME ( 'a'", 0, kSchemaExpectingName, kEndOfText},
        {"extension without values", Kind::MatchingRule, "( 1.2 X-A )", kAll, kSchemaExpectingName, -1},
        {"MUST with a quoted item", Kind::ObjectClass, "( 1.2 MUST 'cn' )", kAll, kSchemaExpectingName, -1},
        {"SUP with a dollar", Kind::ObjectClass, "( 1.2 SUP $ )", kAll, kSchemaExpectingName, -1},
        {"APPLIES quoted without any flag", Kind::MatchingRuleUse, "( 1.2 APPLIES 'a' )", 0, kSchemaExpectingName, -1},
        // Duplicates.
        {"NOTES then DESC", Kind::AttributeType, "( 2.5.4.3 NAME 'cn' NOTES 'x' DESC 'y' )", kAll, kSchemaDuplicateOption, -1},
        {"NAME twice", Kind::Syntax, "( 1.2 NAME 'a' NAME 'b' )", 0, kSchemaDuplicateOption, -1},
        {"two kinds", Kind::ObjectClass, "( 1.2 ABSTRACT AUXILIARY )", kAll, kSchemaDuplicateOption, -1},
        {"MAY twice", Kind::ObjectClass, "( 1.2 MAY a MAY b )", kAll, kSchemaDuplicateOption, -1},
        {"SYNTAX twice, strict", Kind::AttributeType, "( 1.2 SYNTAX 1.3 SYNTAX 1.4 )", kSchemaAllowNoOid, kSchemaDuplicateOption, -1},
        {"flag twice", Kind::AttributeType, "( 1.2 SINGLE-VALUE SINGLE-VALUE )", kAll, kSchemaDuplicateOption, -1},
        {"OBSOLETE twice", Kind::MatchingRuleUse, "( 1.2 OBSOLETE OBSOLETE )", kAll, kSchemaDuplicateOption, -1},
        {"matching-rule SYNTAX twice", Kind::MatchingRule, "( 1.2 SYNTAX 1.3 SYNTAX 1.4 )", kAll, kSchemaDuplicateOption, -1},
    };
    for (const FailureCase& c : cases) {
        schematest::ParseOutcome r = ParseAs(c.kind, c.text, c.flags);
        EXPECT_FALSE(r.ok) << c.name << " parsed as " << r.printed;
        EXPECT_EQ(r.code, c.code) << c.name << " (" << KindName(c.kind) << ")";
        ASSERT_NE(r.errorPos, nullptr) << c.name;
        size_t length = std::strlen(c.text);
        ASSERT_GE(r.errorPos, c.text) << c.name;
        ASSERT_LE(r.errorPos, c.text + length) << c.name;
        if (c.offset == kEndOfText) {
            EXPECT_EQ(r.errorPos - c.text, static_cast<long>(length)) << c.name;
        } else if (c.offset >= 0) {
            EXPECT_EQ(r.errorPos - c.text, c.offset) << c.name;
        }
    }
}

TEST(ParseDescriptions, NullTextAndNullOutputs)
{
    const Kind kinds[] = {Kind::AttributeType, Kind::ObjectClass, Kind::MatchingRule, Kind::MatchingRuleUse, Kind::Syntax};
    for (Kind k : kinds) {
        schematest::ParseOutcome r = ParseAs(k, nullptr);
        EXPECT_FALSE(r.ok) << KindName(k);
        EXPECT_EQ(r.code, kSchemaNoText) << KindName(k);
        ASSERT_NE(r.errorPos, nullptr) << KindName(k);
        EXPECT_STREQ(r.errorPos, "") << KindName(k);
    }
    // The outputs are optional.
    EXPECT_FALSE(ParseAttributeTypeDescription(nullptr, nullptr, nullptr, kAll));
    EXPECT_FALSE(ParseObjectClassDescription("x", nullptr, nullptr, kAll));
    EXPECT_TRUE(ParseSyntaxDescription("( 1.2 )", nullptr, nullptr));
}

TEST(ParseDescriptions, SuccessLeavesTheOutputsAlone)
{
    int code = 1234;
    const char* pos = "untouched";
    ASSERT_TRUE(ParseObjectClassDescription("( 1.2 )", &code, &pos, kAll));
    EXPECT_EQ(code, 1234);
    EXPECT_STREQ(pos, "untouched");
}

TEST(SchemaErrorText, EveryCodeAndBeyond)
{
    const std::pair<int, const char*> cases[] = {
        {0, "Success"}, {1, "Out of memory"}, {2, "Unexpected token"}, {3, "Missing opening parenthesis"},
        {4, "Missing closing parenthesis"}, {5, "Expecting digit"}, {6, "Expecting a name"},
        {7, "Bad description"}, {8, "Bad superiors"}, {9, "Duplicate option"}, {10, "Unexpected end of data"},
        {11, "Unknown error"}, {-1, "Unknown error"}, {1000, "Unknown error"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(SchemaErrorText(c.first), c.second) << c.first;
}

TEST(SyntaxNameToOid, TheTwelveNamesExactly)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Address", "1.3.6.1.4.1.1466.115.121.1.43"},
        {"Boolean", "1.3.6.1.4.1.1466.115.121.1.7"},
        {"DirectoryString", "1.3.6.1.4.1.1466.115.121.1.15"},
        {"Direphone-Number", "1.3.6.1.4.1.1466.115.121.1.50"},
        {"DN", "1.3.6.1.4.1.1466.115.121.1.12"},
        {"DNAddress", "1.3.6.1.4.1.1466.115.121.1.12"},
        {"GeneralizedTime", "1.3.6.1.4.1.1466.115.121.1.24"},
        {"INTEGER", "1.3.6.1.4.1.1466.115.121.1.27"},
        {"NumericString", "1.3.6.1.4.1.1466.115.121.1.36"},
        {"OctetString", "1.3.6.1.4.1.1466.115.121.1.40"},
        {"OID", "1.3.6.1.4.1.1466.115.121.1.38"},
        {"ORName", "1.2.840.113556.1.4.1221"},
    };
    for (const auto& c : cases) {
        ASSERT_NE(SyntaxNameToOid(c.first), nullptr) << c.first;
        EXPECT_STREQ(SyntaxNameToOid(c.first), c.second) << c.first;
        // The parser maps the same names.
        std::string text = std::string("( 1.2 SYNTAX ") + c.first + " )";
        auto d = ParseAttributeTypeDescription(text.c_str(), nullptr, nullptr, kSchemaAllowSyntaxNames);
        ASSERT_TRUE(d) << c.first;
        EXPECT_EQ(d->syntax, std::string(c.second)) << c.first;
    }
    for (const char* other : {"dn", "Integer", "Directory String", "", "1.2.3"})
        EXPECT_EQ(SyntaxNameToOid(other), nullptr) << other;
    EXPECT_EQ(SyntaxNameToOid(nullptr), nullptr);
}

TEST(DescriptionDisplayName, FirstNameElseOid)
{
    EXPECT_EQ(DescriptionDisplayName(Make<AT>([](AT& d) { d.oid = "2.5.4.3"; d.names = {"cn", "commonName"}; })), "cn");
    EXPECT_EQ(DescriptionDisplayName(Make<OC>([](OC& d) { d.oid = "2.5.6.6"; })), "2.5.6.6");
    EXPECT_EQ(DescriptionDisplayName(SYN()), "");
}

} // namespace
