#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "ldap/LDAPDN.h"

using namespace arbldap;

namespace {

std::vector<std::string> PartTexts(const LDAPDN& dn)
{
    std::vector<std::string> texts;
    for (const LDAPRDN& p : dn.GetParts()) texts.push_back(p.GetText());
    return texts;
}

void ExpectEmpty(const LDAPDN& dn, const std::string& why)
{
    EXPECT_EQ(dn.GetText(), "") << why;
    EXPECT_EQ(dn.GetPartCount(), 0u) << why;
}

TEST(LDAPDN, SplitsIntoParsedParts)
{
    const LDAPDN dn("cn=printer,ou=devices,o=lab");
    EXPECT_EQ(dn.GetText(), "cn=printer,ou=devices,o=lab");
    ASSERT_EQ(dn.GetPartCount(), 3u);
    EXPECT_EQ(dn.GetPart(0).GetType(), "cn");
    EXPECT_EQ(dn.GetPart(0).GetValue(), "printer");
    EXPECT_EQ(dn.GetPart(1).GetText(), "ou=devices");
    EXPECT_EQ(dn.GetPart(2).GetValue(), "lab");
    EXPECT_EQ(&dn.GetFirstPart(), &dn.GetPart(0));
    EXPECT_THROW(dn.GetPart(3), std::out_of_range);

    const LDAPDN escaped("cn=a\\,b+sn=\\\"c\\\",o=\"x;y\"");
    ASSERT_EQ(escaped.GetPartCount(), 2u);
    EXPECT_EQ(escaped.GetPart(0).GetText(), "cn=a\\,b+sn=\\\"c\\\"");
    EXPECT_EQ(escaped.GetPart(0).GetValue(), "a,b+sn=\"c\"");
    EXPECT_EQ(escaped.GetPart(1).GetValue(), "x;y");
}

TEST(LDAPDN, ConstructorsAgree)
{
    const std::string text = "cn=J\xC3\xBCrgen;o=lab";
    const LDAPDN fromChars(text.c_str()), fromString(text), copy(fromString);
    for (const LDAPDN* dn : {&fromChars, &fromString, &copy}) {
        EXPECT_EQ(dn->GetText(), "cn=J\xC3\xBCrgen,o=lab");  // recomposed with ","
        EXPECT_EQ(PartTexts(*dn), (std::vector<std::string>{"cn=J\xC3\xBCrgen", "o=lab"}));
        EXPECT_EQ(dn->GetFirstPart().GetValue(), "J\xC3\xBCrgen");
    }
    EXPECT_EQ(LDAPDN(" cn=a , o=b ").GetText(), "cn=a,o=b");
}

TEST(LDAPDN, TextsThatAreNotDNsGiveAnEmptyDN)
{
    ExpectEmpty(LDAPDN(), "default");
    ExpectEmpty(LDAPDN(static_cast<const char*>(nullptr)), "null");
    ExpectEmpty(LDAPDN(""), "empty");
    for (const std::string& bad : {std::string("cn=a\\"), std::string("cn=\"a"), std::string("=a"),
                                   std::string(","), std::string("cn=a,"), std::string("cn=a,,o=b"),
                                   std::string("no equals"), std::string("cn=a\0,o=b", 9)})
        ExpectEmpty(LDAPDN(bad), bad);
}

TEST(LDAPDN, FirstPartOfAnEmptyDNIsTheSharedEmptyRDN)
{
    const LDAPDN a, b("");
    EXPECT_EQ(&a.GetFirstPart(), &b.GetFirstPart());
    EXPECT_EQ(a.GetFirstPart().GetText(), "");
    EXPECT_EQ(a.GetFirstPart().GetType(), "");
    EXPECT_EQ(a.GetFirstPart().GetValue(), "");
}

TEST(LDAPDN, ParseAppendsAfterPresentParts)
{
    LDAPDN dn("cn=a");
    dn.Parse("ou=b;o=c");
    EXPECT_EQ(dn.GetText(), "cn=a,ou=b,o=c");
    EXPECT_EQ(dn.GetPartCount(), 3u);

    for (const char* nothing : {static_cast<const char*>(nullptr), "", "cn=a,,o=b", "x"}) {
        dn.Parse(nothing);
        EXPECT_EQ(dn.GetText(), "cn=a,ou=b,o=c");
        EXPECT_EQ(dn.GetPartCount(), 3u);
    }
    dn.Parse(std::string("dc=example"));
    EXPECT_EQ(dn.GetText(), "cn=a,ou=b,o=c,dc=example");
}

TEST(LDAPDN, AssigningATextReplacesTheParts)
{
    LDAPDN dn("cn=a,o=b");
    dn = "cn=x, o=y";
    EXPECT_EQ(dn.GetText(), "cn=x,o=y");
    EXPECT_EQ(PartTexts(dn), (std::vector<std::string>{"cn=x", "o=y"}));

    dn = std::string("dc=z");
    EXPECT_EQ(PartTexts(dn), std::vector<std::string>{"dc=z"});

    // A text that is not a DN stays as the text, without parts.
    dn = "not a dn";
    EXPECT_EQ(dn.GetText(), "not a dn");
    EXPECT_EQ(dn.GetPartCount(), 0u);

    dn = static_cast<const char*>(nullptr);
    ExpectEmpty(dn, "null");
    dn = "cn=a";
    dn = std::string();
    ExpectEmpty(dn, "empty string");
}

TEST(LDAPDN, AssigningAnRDN)
{
    LDAPRDN rdn;
    rdn.SetType("cn");
    rdn.SetValue("a,b");
    rdn.Compose();

    LDAPDN dn("ou=old,o=parts");
    dn = rdn;
    EXPECT_EQ(dn.GetText(), "cn=a\\,b");
    ASSERT_EQ(dn.GetPartCount(), 1u);
    EXPECT_EQ(dn.GetPart(0).GetValue(), "a,b");

    dn = LDAPRDN();
    ExpectEmpty(dn, "empty RDN");
}

TEST(LDAPDN, AppendingTheParentDN)
{
    LDAPRDN rdn;
    rdn.SetText("cn=child");
    LDAPDN dn;
    dn = rdn;
    dn += LDAPDN("ou=people,dc=example");
    EXPECT_EQ(dn.GetText(), "cn=child,ou=people,dc=example");
    EXPECT_EQ(dn, LDAPDN("cn=child,ou=people,dc=example"));

    dn += LDAPDN();
    EXPECT_EQ(dn.GetText(), "cn=child,ou=people,dc=example");

    LDAPDN twice("cn=a,o=b");
    twice += twice;
    EXPECT_EQ(twice.GetText(), "cn=a,o=b,cn=a,o=b");

    LDAPDN empty;
    empty += LDAPDN("o=b");
    EXPECT_EQ(empty.GetText(), "o=b");
}

TEST(LDAPDN, ComposeTextAfterChangingParts)
{
    LDAPDN dn("cn=a,o=b");
    dn.GetParts()[0].SetText("cn=z");
    EXPECT_EQ(dn.GetText(), "cn=a,o=b");
    dn.ComposeText();
    EXPECT_EQ(dn.GetText(), "cn=z,o=b");
    dn.GetParts().clear();
    dn.ComposeText();
    EXPECT_EQ(dn.GetText(), "");
}

TEST(LDAPDN, EqualityComparesPartTextsIgnoringAsciiCase)
{
    const struct { const char* a; const char* b; bool equal; } cases[] = {
        {"CN=a,O=b", "cn=A,o=B", true},
        {"cn=a,o=b", "cn=a, o=b", true},
        {"cn=a,o=b", "cn=a;o=b", true},
        {"cn=a,o=b", "cn=a", false},
        {"cn=a", "cn=a,o=b", false},
        {"cn=a,o=b", "o=b,cn=a", false},
        {"", "", true},
        {"", "cn=a", false},
        {"cn=\xC3\xA4", "cn=\xC3\x84", false},  // only ASCII letters fold
        {"cn=a\\,b", "cn=a\\2Cb", false},       // texts compare, not values
        {"cn=a+sn=b", "cn=a+sn=b", true},
        {"cn=a+sn=b", "sn=b+cn=a", false},
        {"cn=[", "cn={", false},                // '[' and '{' are not a case pair
    };
    for (const auto& c : cases) {
        const LDAPDN a(c.a), b(c.b);
        EXPECT_EQ(a == b, c.equal) << c.a << " | " << c.b;
        EXPECT_EQ(b == a, c.equal) << c.b << " | " << c.a;
        EXPECT_EQ(a != b, !c.equal) << c.a << " | " << c.b;
    }
}

TEST(LDAPDN, EqualityLooksAtWholePartTexts)
{
    LDAPDN a, b;
    a.GetParts().emplace_back(std::string("cn=a\0x", 6), "cn", "a");
    b.GetParts().emplace_back(std::string("cn=a\0y", 6), "cn", "a");
    EXPECT_NE(a, b);
}

TEST(LDAPDN, EndsWith)
{
    const struct { const char* self; const char* other; bool ends; } cases[] = {
        {"o=b", "cn=a,o=b", true},
        {"cn=a,o=b", "o=b", false},
        {"cn=a,o=b", "cn=a,o=b", true},
        {"O=B", "cn=a,o=b", true},
        {"cn=a,o=b", "cn=x,cn=a,o=b", true},
        {"cn=a,o=b", "cn=a,o=b,dc=c", false},  // a tail must be at the end
        {"o=c", "cn=a,o=b", false},
        {"cn=x,o=b", "cn=a,o=b", false},
        {"", "cn=a,o=b", true},
        {"", "", true},
        {"o=b", "", false},
        {"o=b", "cn=a,o=b,", false},  // not a DN: no parts
    };
    for (const auto& c : cases)
        EXPECT_EQ(LDAPDN(c.self).EndsWith(LDAPDN(c.other)), c.ends) << c.self << " in " << c.other;
}

TEST(LDAPDN, SameDNValueComparesTypesAndUnescapedValues)
{
    const struct { const char* a; const char* b; bool same; } cases[] = {
        {"cn=Smith\\, John,o=lab", "cn=Smith\\2C John,o=lab", true},  // as typed, as a server sends it
        {"CN=smith\\2c john,O=LAB", "cn=Smith\\, John,o=lab", true},
        {"cn=a\\2Bb,o=lab", "cn=a\\+b,o=lab", true},
        {"cn=\\C3\\A4,o=lab", "cn=\xC3\xA4,o=lab", true},
        {"cn=a,o=b", "cn=a, o=b", true},
        {"cn=a,o=b", "sn=a,o=b", false},
        {"cn=a\\,b,o=lab", "cn=a\\,c,o=lab", false},
        {"cn=a,o=b", "cn=a", false},
        {"", "", true},
        {"cn=a+sn=b", "cn=a+sn=b", true},
        {"cn=a+sn=b", "cn=a\\+sn=b", false},  // two values are not one value with a '+'
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SameDNValue(LDAPDN(c.a), LDAPDN(c.b)), c.same) << c.a << " | " << c.b;
        EXPECT_EQ(SameDNValue(LDAPDN(c.b), LDAPDN(c.a)), c.same) << c.b << " | " << c.a;
    }
    EXPECT_TRUE(EndsWithDNValue(LDAPDN("ou=people,o=lab"), LDAPDN("cn=Smith\\2C John,OU=People,o=lab")));
    EXPECT_TRUE(EndsWithDNValue(LDAPDN("cn=Smith\\, John,o=lab"), LDAPDN("uid=x,cn=Smith\\2C John,o=lab")));
    EXPECT_FALSE(EndsWithDNValue(LDAPDN("cn=x,o=lab"), LDAPDN("cn=y,o=lab")));
    EXPECT_FALSE(EndsWithDNValue(LDAPDN("cn=a,o=lab"), LDAPDN("o=lab")));
    EXPECT_TRUE(EndsWithDNValue(LDAPDN(""), LDAPDN("o=lab")));
}

} // namespace

// A child's DN built on its parent's parsed RDNs is the DN a full parse of
// the text gives, whether or not the text ends in the parent's own text.
TEST(LDAPDN, ChildOfParentGivesTheFullParse)
{
    const LDAPDN parent("ou=many,dc=example,dc=com");
    const char* const texts[] = {
        "uid=child00001,ou=many,dc=example,dc=com",
        "uid=child 1 ,ou=many,dc=example,dc=com",      // blanks around the separator
        "cn=a+sn=b,ou=many,dc=example,dc=com",         // multi-valued RDN
        "cn=\"x,y\",ou=many,dc=example,dc=com",        // quoted separator
        "cn=a\\,ou=many,dc=example,dc=com",            // escaped: one RDN swallows the parent's first
        "cn=a\\\\,ou=many,dc=example,dc=com",          // an escaped backslash, then a real separator
        "cn=a,ou=x,ou=many,dc=example,dc=com",         // a grandchild
        "uid=child,OU=many,dc=example,dc=com",         // the parent written otherwise
        "uid=child;ou=many,dc=example,dc=com",         // the older separator
        ",ou=many,dc=example,dc=com",                  // no RDN before the parent
        "novalue,ou=many,dc=example,dc=com",           // not an RDN
        "ou=many,dc=example,dc=com",                   // the parent itself
        "dc=com",
        "",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        const LDAPDN full(text);
        const LDAPDN child = LDAPDN::ChildOf(text, parent);
        EXPECT_EQ(child.GetText(), full.GetText());
        EXPECT_EQ(PartTexts(child), PartTexts(full));
        for (size_t i = 0; i < full.GetPartCount() && i < child.GetPartCount(); ++i) {
            EXPECT_EQ(child.GetPart(i).GetType(), full.GetPart(i).GetType());
            EXPECT_EQ(child.GetPart(i).GetValue(), full.GetPart(i).GetValue());
        }
    }
    // Under an empty parent every text is parsed whole.
    EXPECT_EQ(PartTexts(LDAPDN::ChildOf("cn=a,o=b", LDAPDN())), PartTexts(LDAPDN("cn=a,o=b")));
}

// Texts of every kind the splitter knows: the leaf cut alone is the full
// parse's first part, and a parsed DN gives itself back from its text.
const char* const kKindsOfDN[] = {
    "uid=child00001,ou=many,dc=example,dc=com",
    "uid=child 1 , ou=many,dc=example,dc=com",
    "cn=a+sn=b,ou=many",
    "cn=\"x,y\",ou=many",
    "cn=a\\,b,ou=many",
    "cn=a\\\\,ou=many",
    "uid=child;ou=many",
    "cn=J\xC3\xBCrgen,o=t",
    "cn=#04024869,o=t",
    "cn=only",
    "",
    ",ou=many",
    "novalue,ou=many",
};

TEST(LDAPDN, FirstPartOfTheTextIsTheFullParsesFirstPart)
{
    for (const char* text : kKindsOfDN) {
        SCOPED_TRACE(text);
        const LDAPDN full(text);
        const LDAPRDN leaf = LDAPDN::FirstPartOf(full.GetText());
        EXPECT_EQ(leaf.GetText(), full.GetFirstPart().GetText());
        EXPECT_EQ(leaf.GetType(), full.GetFirstPart().GetType());
        EXPECT_EQ(leaf.GetValue(), full.GetFirstPart().GetValue());
    }
}

TEST(LDAPDN, AParsedDNIsParsedFromItsText)
{
    for (const char* text : kKindsOfDN) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(LDAPDN(text).IsParsedFromText());
    }
}

TEST(LDAPDN, ADNWhosePartsItsTextDoesNotGiveIsNotParsedFromIt)
{
    LDAPDN notADN;
    notADN = "novalue,ou=many";  // kept as the text, without parts
    EXPECT_FALSE(notADN.IsParsedFromText());

    LDAPDN changed("cn=a,ou=many");
    changed.GetParts()[0].SetValue("b");  // the value no longer matches the text
    EXPECT_FALSE(changed.IsParsedFromText());

    LDAPDN stored;
    stored = LDAPRDN("cn=a", "cn", "a");
    EXPECT_TRUE(stored.IsParsedFromText());
    stored.GetParts()[0] = LDAPRDN("cn=a", "sn", "a");  // a type the text does not give
    EXPECT_FALSE(stored.IsParsedFromText());
}
