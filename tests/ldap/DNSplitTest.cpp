#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ldap/DNSplit.h"

#include <ldap.h>

using namespace arbldap;

namespace {

using Texts = std::vector<std::string>;

struct SplitCase {
    const char* name;
    std::string dn;
    Texts rdns;
};

TEST(SplitDN, KeepsEachRDNTextAsWritten)
{
    const SplitCase cases[] = {
        {"plain", "cn=printer,ou=devices,o=lab", {"cn=printer", "ou=devices", "o=lab"}},
        {"escaped comma", "cn=a\\,b,o=c", {"cn=a\\,b", "o=c"}},
        {"hex-escaped comma", "cn=a\\2Cb,o=c", {"cn=a\\2Cb", "o=c"}},
        {"escaped quote", "cn=a\\\"b,o=c", {"cn=a\\\"b", "o=c"}},
        {"escaped semicolon", "cn=a\\;b;o=c", {"cn=a\\;b", "o=c"}},
        {"escaped backslash before separator", "cn=a\\\\,o=c", {"cn=a\\\\", "o=c"}},
        {"quoted comma", "cn=\"a,b\",o=c", {"cn=\"a,b\"", "o=c"}},
        {"quoted semicolon and blanks", "cn=\"a;b\" ; o=c", {"cn=\"a;b\"", "o=c"}},
        {"quoted escaped backslash", "cn=\"a\\\\\" , o=c", {"cn=\"a\\\\\"", "o=c"}},
        {"quoted blanks inside", "cn=\" a \",o=c", {"cn=\" a \"", "o=c"}},
        {"multi-valued", "cn=a+sn=b,o=c", {"cn=a+sn=b", "o=c"}},
        {"multi-valued with blanks", "cn=a + sn=b,o=c", {"cn=a + sn=b", "o=c"}},
        {"semicolon separator", "cn=a;o=b", {"cn=a", "o=b"}},
        {"mixed separators", "cn=a, o=b ; c=d", {"cn=a", "o=b", "c=d"}},
        {"UTF-8", "cn=J\xC3\xBCrgen M\xC3\xBCller,o=B\xC3\xA4" "ckerei",
         {"cn=J\xC3\xBCrgen M\xC3\xBCller", "o=B\xC3\xA4" "ckerei"}},
        {"UTF-8 as hex escapes", "cn=\\c3\\a4,o=x", {"cn=\\c3\\a4", "o=x"}},
        {"blanks around separators", " cn=a ,\to=b\r\n", {"cn=a", "o=b"}},
        {"blank inside value kept", "cn=a b,o=c", {"cn=a b", "o=c"}},
        {"escaped trailing blank kept", "cn=a\\ ,o=b", {"cn=a\\ ", "o=b"}},
        {"escaped blank then plain blank", "cn=a\\  ,o=b", {"cn=a\\ ", "o=b"}},
        {"escaped leading blank", "cn=\\ a,o=b", {"cn=\\ a", "o=b"}},
        {"blanks around equals kept", "cn = a,o=b", {"cn = a", "o=b"}},
        {"hash inside value", "cn=C#,o=b", {"cn=C#", "o=b"}},
        {"hash after blank", "cn=Room #12", {"cn=Room #12"}},
        {"hex form", "cn=#41,o=b", {"cn=#41", "o=b"}},
        {"empty value", "cn=,o=b", {"cn=", "o=b"}},
        {"equals in value", "cn=a=b", {"cn=a=b"}},
        {"numeric OID type", "1.2.840.113556.1.4.1=x,dc=example", {"1.2.840.113556.1.4.1=x", "dc=example"}},
        {"hex-escaped zero byte", "cn=a\\00b", {"cn=a\\00b"}},
        {"empty DN", "", {}},
    };
    for (const SplitCase& c : cases) {
        Texts out = {"left over"};
        EXPECT_TRUE(SplitDN(c.dn, out)) << c.name;
        EXPECT_EQ(out, c.rdns) << c.name;
    }
}

TEST(SplitDN, RejectsTextsThatAreNotDNs)
{
    const std::pair<const char*, std::string> cases[] = {
        {"lone backslash at end", "cn=a\\"},
        {"backslash at end of last RDN", "cn=a,o=b\\"},
        {"unterminated quote", "cn=\"a"},
        {"unterminated quote hiding a separator", "cn=\"a,o=b"},
        {"quote inside a value", "cn=a\"b"},
        {"no type", "=a"},
        {"lone comma", ","},
        {"lone semicolon", ";"},
        {"trailing separator", "cn=a,"},
        {"leading separator", ";dc=com"},
        {"empty RDN", "cn=a,,o=b"},
        {"blank RDN", "cn=a, ,o=b"},
        {"only blanks", "   "},
        {"RDN without equals", "cn"},
        {"last RDN without equals", "cn=a,o"},
        {"bad descriptor", "c_n=x"},
        {"descriptor starting with a digit", "1a=x"},
        {"bad OID", "1.2.=x"},
        {"OID. prefix", "OID.1.2.3=x"},
        {"attribute options", "cn;lang-en=x"},
        {"unescaped angle brackets", "cn=<a>"},
        {"odd hex form", "cn=#4"},
        {"hex form with non-hex", "cn=#zz"},
        {"bad escape", "cn=a\\zz"},
        {"half hex escape", "cn=\\4g"},
        {"empty AVA after plus", "cn=a+"},
        {"embedded zero byte", std::string("cn=a\0,o=b", 9)},
        {"zero byte at end", std::string("cn=a\0", 5)},
    };
    for (const auto& c : cases) {
        Texts out = {"left over"};
        EXPECT_FALSE(SplitDN(c.second, out)) << c.first;
        EXPECT_TRUE(out.empty()) << c.first;
    }
}

// The splits skip the library's judgement for plain RDNs: every text called
// plain must be one the library takes as exactly one RDN, and anything with
// a character the library treats specially must not be called plain.
TEST(SplitDN, PlainRDNsAreOnesTheLibraryTakesAsOne)
{
    auto libraryCount = [](const std::string& text) {
        LDAPDN dn = nullptr;
        if (ldap_str2dn(text.c_str(), &dn, LDAP_DN_FORMAT_LDAP) != LDAP_SUCCESS)
            return -1;
        int n = 0;
        while (dn && dn[n]) ++n;
        ldap_dnfree(dn);
        return n;
    };
    const char* const plain[] = {
        "uid=child00001", "cn=John Smith", "mail=ada@example.com", "o=Example-Corp.", "x-attr2=a_b", "C=x", "cn=1",
    };
    for (const char* text : plain) {
        EXPECT_TRUE(IsPlainRDN(text)) << text;
        EXPECT_EQ(libraryCount(text), 1) << text;
        std::string rdn;
        EXPECT_TRUE(SplitOneRDN(text, rdn)) << text;
        EXPECT_EQ(rdn, text);
    }
    const std::string notPlain[] = {
        "cn= a", "cn=a ", " cn=a", "1cn=a", "c_n=a", "c n=a", "cn=", "=a", "cn", "cn=#41", "cn=a=b", "cn=a+sn=b",
        "cn=a\\,b", "cn=\"a\"", "cn=a,o=b", "cn=a;o=b", "cn=<a>", "cn=\xc3\xa9t\xc3\xa9", "1.2.3=a", "cn;x=a",
        std::string("cn=a\0b", 6),
    };
    for (const std::string& text : notPlain)
        EXPECT_FALSE(IsPlainRDN(text)) << text;
    // Not plain, so still judged: the library's verdict stands.
    std::string rdn;
    EXPECT_FALSE(SplitOneRDN("c_n=a", rdn));
    EXPECT_TRUE(SplitOneRDN("cn=a+sn=b", rdn));
    EXPECT_EQ(rdn, "cn=a+sn=b");
}

TEST(SplitDN, VeryLongDNs)
{
    std::string dn;
    Texts expected;
    for (int i = 0; i < 5000; ++i) {
        std::string rdn = "cn=n" + std::to_string(i) + "\\,x";
        expected.push_back(rdn);
        dn += (i ? "," : "") + rdn;
    }
    Texts out;
    ASSERT_TRUE(SplitDN(dn, out));
    EXPECT_EQ(out, expected);

    const std::string longValue = "cn=" + std::string(1 << 20, 'v');
    ASSERT_TRUE(SplitDN(longValue + ",o=b", out));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0], longValue);

    // A huge text ending in a lone backslash is still refused.
    EXPECT_FALSE(SplitDN(std::string(1 << 20, 'a').insert(0, "cn=") + "\\", out));
}

TEST(SplitDN, BlanksAreTheOnesTheLibrarySkips)
{
    for (char c : {' ', '\t', '\r', '\n'})
        EXPECT_TRUE(IsDNBlank(c)) << int(c);
    for (char c : {'\v', '\f', '\0', 'a', '_'})
        EXPECT_FALSE(IsDNBlank(c)) << int(c);
}

} // namespace
