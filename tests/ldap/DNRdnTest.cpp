#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ldap/LDAPDN.h"
#include "ldap/LDAPRDN.h"

using namespace arbldap;

namespace {

std::string Byte(int b) { return std::string(1, static_cast<char>(b)); }

TEST(DNCharacters, SpecialCharsAreExactlyTheSeven)
{
    const std::string seven = ",=+<>#;";
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        EXPECT_EQ(IsDNSpecialChar(c), seven.find(c) != std::string::npos) << b;
    }
}

TEST(DNCharacters, HexDigitsAndPairs)
{
    const std::string hex = "0123456789abcdefABCDEF";
    for (int b = 1; b < 256; ++b) {
        const char c = static_cast<char>(b);
        EXPECT_EQ(IsHexDigit(c), hex.find(c) != std::string::npos) << b;
    }
    EXPECT_FALSE(IsHexDigit('\0'));

    const struct { char a, b; int value; } pairs[] = {
        {'0', '0', 0x00}, {'4', '1', 0x41}, {'2', 'C', 0x2C}, {'2', 'c', 0x2C},
        {'f', 'F', 0xFF}, {'A', '0', 0xA0}, {'0', 'a', 0x0A}, {'9', '9', 0x99},
    };
    for (const auto& p : pairs)
        EXPECT_EQ(HexPairValue(p.a, p.b), p.value) << p.a << p.b;
}

struct ParseCase {
    std::string text, type, value;
};

TEST(RDNParse, TypeAndUnescapedValue)
{
    const ParseCase cases[] = {
        {"cn=printer", "cn", "printer"},
        {"cn=a\\,b", "cn", "a,b"},
        {"cn=\\41bc", "cn", "Abc"},
        {"cn=#41", "cn", "A"},
        {"cn=a\\zz", "cn", "a"},
        {"cn=\"a,b\"", "cn", "a,b"},
        {"cn=a\"b\"c", "cn", "abc"},  // quotes only group
        {"cn=\"#41\"", "cn", "#41"},  // quoted: not the hex form
        {"cn=\\2C\\2c", "cn", ",,"},
        {"cn=\\c3\\a4", "cn", "\xC3\xA4"},
        {"cn=J\xC3\xBCrgen", "cn", "J\xC3\xBCrgen"},
        {"cn=\\ a\\ ", "cn", " a "},
        {"cn=a\\00b", "cn", std::string("a\0b", 3)},
        {"cn=\\,\\=\\+\\<\\>\\#\\;\\\\\\\"", "cn", ",=+<>#;\\\""},
        // a trailing or half escape ends the value where it stands
        {"cn=a\\", "cn", "a"},
        {"cn=ab\\4", "cn", "ab"},
        {"cn=ab\\4g", "cn", "ab"},
        {"cn=a\\xb", "cn", "a"},
        // '#' keeps its hex meaning only at the start of the value
        {"cn=C#", "cn", "C#"},
        {"cn=Room #12", "cn", "Room #12"},
        {"cn=a#41", "cn", "a#41"},
        {"cn=#4142", "cn", "AB"},
        {"cn=#41x", "cn", "Ax"},
        {"cn=#414", "cn", "A"},  // odd digit stops the whole parse
        {"cn=#", "cn", ""},
        {"cn=#zz", "cn", "zz"},
        {"cn=#41#42", "cn", "A#42"},
        // the first '=' divides; the rest is value, untrimmed
        {"cn=", "cn", ""},
        {"=a", "", "a"},
        {"cn=a=b", "cn", "a=b"},
        {"cn = a", "cn ", " a"},
        {"cn=a+sn=b", "cn", "a+sn=b"},
        {"cn=a\\+b", "cn", "a+b"},
        {"1.2.3=x", "1.2.3", "x"},
    };
    for (const ParseCase& c : cases) {
        LDAPRDN rdn;
        rdn.SetText(c.text);
        EXPECT_EQ(rdn.GetText(), c.text);
        EXPECT_EQ(rdn.GetType(), c.type) << c.text;
        EXPECT_EQ(rdn.GetValue(), c.value) << c.text;
    }
}

TEST(RDNParse, TextWithoutEqualsLeavesTypeAndValue)
{
    LDAPRDN rdn;
    rdn.SetText("cn=x");
    rdn.SetText("no equals sign");
    EXPECT_EQ(rdn.GetText(), "no equals sign");
    EXPECT_EQ(rdn.GetType(), "cn");
    EXPECT_EQ(rdn.GetValue(), "x");

    LDAPRDN fresh;
    EXPECT_EQ(fresh.GetText(), "");
    EXPECT_EQ(fresh.GetType(), "");
    EXPECT_EQ(fresh.GetValue(), "");
}

TEST(RDNParse, ParseRestartsTheValue)
{
    LDAPRDN rdn;
    rdn.SetText("cn=long value");
    rdn.SetText("sn=\\4");  // stops at once: nothing from before may remain
    EXPECT_EQ(rdn.GetType(), "sn");
    EXPECT_EQ(rdn.GetValue(), "");
}

struct ComposeCase {
    std::string value, text;
};

TEST(RDNCompose, EscapesOnlyWhatMustBe)
{
    const ComposeCase cases[] = {
        {" a,b ", "cn=\\ a\\,b\\ "},
        {"#a", "cn=\\#a"},
        {"a#", "cn=a\\#"},
        {" ", "cn=\\ "},  // first and last at once: still one backslash
        {"  ", "cn=\\ \\ "},
        {"a b", "cn=a b"},
        {"a\\b", "cn=a\\\\b"},
        {"a\"b", "cn=a\\\"b"},
        {",=+<>#;", "cn=\\,\\=\\+\\<\\>\\#\\;"},
        {"", "cn="},
        {"J\xC3\xBCrgen", "cn=J\xC3\xBCrgen"},
        {"41", "cn=41"},
        {std::string("a\0b", 3), "cn=a\\00b"},
        {"\tx\n", "cn=\\09x\\0A"},  // a DN parser would drop these blanks
        {"a\tb", "cn=a\tb"},
    };
    for (const ComposeCase& c : cases) {
        LDAPRDN rdn;
        rdn.SetType("cn");
        rdn.SetValue(c.value);
        rdn.Compose();
        EXPECT_EQ(rdn.GetText(), c.text);
        EXPECT_EQ(rdn.GetType(), "cn");
        EXPECT_EQ(rdn.GetValue(), c.value);
    }
}

std::vector<std::string> RoundTripValues()
{
    std::vector<std::string> values = {
        "printer", "a,b", " lead", "trail ", " both ", "   ", "#start", "mid#dle", "end#",
        "C#", "Room #12", "a\\b", "\\", "\\\\", "\"", "\"quoted\"", "a+sn=b", "=", "<tag>",
        ",=+<>#;\\\"", "\\2C", "#41", "41", "J\xC3\xBCrgen M\xC3\xBCller", "\xE6\x97\xA5\xE6\x9C\xAC",
        "\xF0\x9F\x98\x80", std::string("\0", 1), std::string("a\0b", 3), "\t", "\r\n", "a\nb",
        std::string(1000, ','),
    };
    // every byte alone, at the start, in the middle and at the end
    for (int b = 0; b < 256; ++b) {
        values.push_back(Byte(b));
        values.push_back(Byte(b) + "x");
        values.push_back("x" + Byte(b) + "y");
        values.push_back("x" + Byte(b));
    }
    return values;
}

TEST(RDNCompose, ParseGivesTheValueBack)
{
    for (const std::string& v : RoundTripValues()) {
        LDAPRDN out;
        out.SetType("cn");
        out.SetValue(v);
        out.Compose();
        LDAPRDN in;
        in.SetText(out.GetText());
        EXPECT_EQ(in.GetType(), "cn") << out.GetText();
        EXPECT_EQ(in.GetValue(), v) << out.GetText();
    }
}

TEST(RDNCompose, ComposedRDNSurvivesADNText)
{
    // Composed, put in front of a parent DN, split and parsed again.
    for (const std::string& v : RoundTripValues()) {
        LDAPRDN rdn;
        rdn.SetType("cn");
        rdn.SetValue(v);
        rdn.Compose();
        const LDAPDN dn(rdn.GetText() + ",o=parent");
        ASSERT_EQ(dn.GetPartCount(), 2u) << rdn.GetText();
        EXPECT_EQ(dn.GetPart(0).GetText(), rdn.GetText());
        EXPECT_EQ(dn.GetPart(0).GetValue(), v) << rdn.GetText();
        EXPECT_EQ(dn.GetPart(1).GetText(), "o=parent");
    }
}

TEST(RDN, CopiesCarryAllThreeStrings)
{
    LDAPRDN a("cn=a\\,b", "cn", "a,b");
    LDAPRDN b(a);
    LDAPRDN c;
    c = a;
    for (const LDAPRDN* r : {&b, &c}) {
        EXPECT_EQ(r->GetText(), "cn=a\\,b");
        EXPECT_EQ(r->GetType(), "cn");
        EXPECT_EQ(r->GetValue(), "a,b");
    }
}

} // namespace
