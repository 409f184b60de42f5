#include <gtest/gtest.h>

#include <ldap.h>

#include <memory>
#include <string>
#include <vector>

#include "ldap/LDAPException.h"
#include "ldap/LDAPUrl.h"

using namespace arbldap;

namespace {

using Names = std::vector<std::string>;

Names Items(const StringList& l) { return {l.begin(), l.end()}; }

StringList Of(const Names& items)
{
    StringList l;
    for (const auto& s : items) l.Add(s);
    return l;
}

const char* const kAllObjects = "(objectClass=*)";

TEST(LDAPUrl, Parse)
{
    struct Case {
        const char* url;
        const char* host;
        int port;
        const char* dn;
        Names attributes;
        int scope;
        const char* filter;
    };
    const Case cases[] = {
        // Without a "/" after the host; the scope is the library's default (base).
        {"ldap://srv", "srv", 389, "", {}, 0, kAllObjects},
        {"ldap://srv/", "srv", 389, "", {}, 0, kAllObjects},
        {"ldaps://srv", "srv", 636, "", {}, 0, kAllObjects},
        {"LDAPS://SRV", "SRV", 636, "", {}, 0, kAllObjects},
        {"ldap://srv:1389/o=lab", "srv", 1389, "o=lab", {}, 0, kAllObjects},
        {"ldaps://srv:1636/o=lab", "srv", 1636, "o=lab", {}, 0, kAllObjects},
        {"ldap://srv:1/", "srv", 1, "", {}, 0, kAllObjects},
        {"ldap://srv:65535/", "srv", 65535, "", {}, 0, kAllObjects},
        {"ldap://srv:01389/", "srv", 1389, "", {}, 0, kAllObjects},
        // ldapi has no default port in the library: the fallback gives 389.
        {"ldapi://%2Fvar%2Frun%2Fslapd/", "/var/run/slapd", 389, "", {}, 0, kAllObjects},
        {"ldap:///o=lab", "", 389, "o=lab", {}, 0, kAllObjects},
        {"ldap://[::1]:389/o=lab", "::1", 389, "o=lab", {}, 0, kAllObjects},
        {"ldap://[::1]/", "::1", 389, "", {}, 0, kAllObjects},
        // DN escapes: percent-decoded once, the DN's own backslash kept.
        {"ldap://srv/cn=a%5C%2Cb,o=lab", "srv", 389, "cn=a\\,b,o=lab", {}, 0, kAllObjects},
        {"ldap://srv/cn=a\\,b,o=lab", "srv", 389, "cn=a\\,b,o=lab", {}, 0, kAllObjects},
        {"ldap://srv/o%3Dlab", "srv", 389, "o=lab", {}, 0, kAllObjects},
        {"ldap://srv/cn=M%C3%BCller,o=lab", "srv", 389, "cn=M\xC3\xBCller,o=lab", {}, 0, kAllObjects},
        {"ldap://srv/o=lab?cn,mail", "srv", 389, "o=lab", {"cn", "mail"}, 0, kAllObjects},
        {"ldap://srv/o=lab?cn,,sn", "srv", 389, "o=lab", {"cn", "sn"}, 0, kAllObjects},
        {"ldap://srv/o=lab?cn", "srv", 389, "o=lab", {"cn"}, 0, kAllObjects},
        {"ldap://srv/o=lab??base", "srv", 389, "o=lab", {}, 0, kAllObjects},
        {"ldap://srv/o=lab??one", "srv", 389, "o=lab", {}, 1, kAllObjects},
        {"ldap://srv/o=lab??sub", "srv", 389, "o=lab", {}, 2, kAllObjects},
        {"ldap://srv/o=lab??children", "srv", 389, "o=lab", {}, 3, kAllObjects},
        {"ldap://srv/o=lab??\?(cn=x)", "srv", 389, "o=lab", {}, 0, "(cn=x)"},
        {"ldap://srv/o=lab?cn?sub?(objectClass=person)", "srv", 389, "o=lab", {"cn"}, 2, "(objectClass=person)"},
        {"ldap://srv/o=lab??\?(cn=a%20b)", "srv", 389, "o=lab", {}, 0, "(cn=a b)"},
        {"ldap://srv/o=lab?cn?one?(cn=what%3F)", "srv", 389, "o=lab", {"cn"}, 1, "(cn=what?)"},
        {"ldap://srv/o=lab?cn??", "srv", 389, "o=lab", {"cn"}, 0, kAllObjects},
        // Extensions are the library's business; a non-critical one is ignored.
        {"ldap://srv/o=lab?cn?sub?(x)?e-x", "srv", 389, "o=lab", {"cn"}, 2, "(x)"},
        {"<ldap://srv/o=lab>", "srv", 389, "o=lab", {}, 0, kAllObjects},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        LDAPUrl url(c.url);
        EXPECT_EQ(url.GetHost(), c.host);
        EXPECT_EQ(url.GetPort(), c.port);
        EXPECT_EQ(url.GetDN(), c.dn);
        EXPECT_EQ(Items(url.GetAttributes()), c.attributes);
        EXPECT_EQ(url.GetScope(), c.scope);
        EXPECT_EQ(url.GetFilter(), c.filter);
        EXPECT_EQ(url.GetURL(), c.url);  // the text exactly as given
        EXPECT_EQ(LDAPUrl(std::string(c.url)).GetDN(), c.dn);
    }
}

// A chased search keeps its own filter unless the URL names one, so the URL
// must tell a filter it was given from the default it stands in for.
TEST(LDAPUrl, KnowsWhetherTheTextNamedAFilterAndTheScheme)
{
    struct Case { const char* url; bool hasFilter; bool secure; };
    const Case cases[] = {
        {"ldap://srv", false, false},
        {"ldap://srv/o=lab??sub", false, false},
        {"ldap://srv/o=lab???", false, false},
        {"ldap://srv/o=lab??sub?(cn=Carol*)", true, false},
        {"ldap://srv/o=lab??\?(objectClass=*)", true, false},  // explicit, though equal to the default
        {"ldaps://srv/o=lab", false, true},
        {"LDAPS://srv:1636/o=lab??one?(cn=x)", true, true},
        {"ldapi://%2Fvar%2Frun%2Fslapd/", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        LDAPUrl url(c.url);
        EXPECT_EQ(url.HasFilter(), c.hasFilter);
        EXPECT_EQ(url.IsSecure(), c.secure);
        EXPECT_EQ(LDAPUrl(url).HasFilter(), c.hasFilter);  // copies keep both
    }

    LDAPUrl built("srv", 389, "o=lab", StringList(), 2, "");
    EXPECT_FALSE(built.HasFilter());
    built.SetFilter("(sn=x)");
    EXPECT_TRUE(built.HasFilter());
    EXPECT_TRUE(LDAPUrl("srv", 389, "o=lab", StringList(), 2, "(cn=y)").HasFilter());
}

TEST(LDAPUrl, RejectsText)
{
    struct Case { const char* url; int code; };
    const Case cases[] = {
        // Not an LDAP URL at all: local error.
        {"http://srv/", 82},
        {"srv", 82},
        {"", 82},
        {"cldap://srv/", 82},
        {"/o=lab", 82},
        // An LDAP URL the library cannot parse: the parser's own code.
        {"ldap://srv/o=lab??bogus", 8},  // LDAP_URL_ERR_BADSCOPE
        {"ldap://srv:abc/", 5},  // LDAP_URL_ERR_BADURL
        {"ldap://[::1/", 5},
        {"ldap://srv/o=lab?cn?one?(cn=x)?ext?more", 5},
        {"<ldap://srv/", 4},  // LDAP_URL_ERR_BADENCLOSURE
        // Ports outside 1 to 65535, which the library would take as the
        // default port or wrap around.
        {"ldap://srv:0/", 5},
        {"ldaps://srv:0/", 5},
        {"ldap://[::1]:0/", 5},
        {"ldap://srv:65536/", 5},
        {"ldap://srv:-1/", 5},
        {"ldap://srv:+389/", 5},
        {"ldap://srv:4294967685/", 5},
        {"ldap://srv:99999999999999999999/", 5},
        {"ldap://srv:%30/", 5},
        {"<ldap://srv:0>", 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        try {
            LDAPUrl url(c.url);
            ADD_FAILURE() << "parsed as host " << url.GetHost();
        } catch (const LDAPException& e) {
            EXPECT_EQ(e.GetResultCode(), c.code);
            EXPECT_EQ(e.GetResultText(), GetLDAPErrorText(c.code));
            EXPECT_EQ(e.GetMessage(), "");
        }
    }
    try {
        LDAPUrl url(static_cast<const char*>(nullptr));
        ADD_FAILURE();
    } catch (const LDAPException& e) {
        EXPECT_EQ(e.GetResultCode(), 82);
    }
}

TEST(LDAPUrl, PrintFromFields)
{
    struct Case {
        const char* host;
        int port;
        const char* dn;
        Names attributes;
        int scope;
        const char* filter;
        const char* expected;
    };
    const Case cases[] = {
        {"srv", 389, "o=lab", {"cn", "mail"}, 2, "(objectClass=*)", "ldap://srv:389/o=lab?cn,mail?sub?(objectClass=*)"},
        {"srv", 389, "o=lab", {}, 2, "(objectClass=*)", "ldap://srv:389/o=lab??sub?(objectClass=*)"},
        {"srv", 389, "o=lab", {"cn"}, 0, "(cn=x)", "ldap://srv:389/o=lab?cn?base?(cn=x)"},
        {"srv", 1389, "o=lab", {}, 1, "(cn=x)", "ldap://srv:1389/o=lab??one?(cn=x)"},
        {"srv", 389, "o=lab", {}, 3, "(cn=x)", "ldap://srv:389/o=lab??children?(cn=x)"},
        {"srv", 389, "o=lab", {}, -1, "(cn=x)", "ldap://srv:389/o=lab??\?(cn=x)"},
        // A port no URL can hold is left out.
        {"", 0, "", {}, 0, "", "ldap:///??base?"},
        {"srv", 70000, "", {}, 0, "", "ldap://srv/??base?"},
        // '?', '%', blanks, backslashes and 8-bit bytes are percent-encoded;
        // '%' in the fields is no format.
        {"srv", 389, "cn=a b,o=lab", {"cn"}, 2, "(cn=50%s)", "ldap://srv:389/cn=a%20b,o=lab?cn?sub?(cn=50%25s)"},
        {"srv", 389, "cn=what?,o=lab", {}, 0, "(|(cn=?)(sn=*))", "ldap://srv:389/cn=what%3F,o=lab??base?(%7C(cn=%3F)(sn=*))"},
        {"srv", 389, "cn=M\xC3\xBCller", {}, 0, "", "ldap://srv:389/cn=M%C3%BCller??base?"},
        {"::1", 636, "cn=a\\,b", {}, 0, "(cn=?)", "ldap://[::1]:636/cn=a%5C,b??base?(cn=%3F)"},
        {"[::1]", 389, "", {}, 0, "", "ldap://[::1]:389/??base?"},
        {"fe80::1%eth0", 389, "", {}, 0, "", "ldap://[fe80::1%25eth0]:389/??base?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        LDAPUrl url(c.host, c.port, c.dn, Of(c.attributes), c.scope, c.filter);
        EXPECT_EQ(url.GetURL(), c.expected);
        EXPECT_EQ(url.ToString(), c.expected);
        EXPECT_EQ(url.GetHost(), c.host);
        EXPECT_EQ(url.GetPort(), c.port);
        EXPECT_EQ(url.GetDN(), c.dn);
        EXPECT_EQ(Items(url.GetAttributes()), c.attributes);
        EXPECT_EQ(url.GetScope(), c.scope);
        EXPECT_EQ(url.GetFilter(), c.filter);
    }
}

TEST(LDAPUrl, WritersLeaveTheTextUntilToString)
{
    LDAPUrl url("ldap://srv");
    url.SetHost("other");
    url.SetPort(1389);
    url.SetDN("o=lab");
    url.SetAttributes(Of({"cn", "sn"}));
    url.SetScope(1);
    url.SetFilter("(cn=x)");
    EXPECT_EQ(url.GetURL(), "ldap://srv");
    EXPECT_EQ(url.GetHost(), "other");
    EXPECT_EQ(url.GetPort(), 1389);
    EXPECT_EQ(url.GetDN(), "o=lab");
    EXPECT_EQ(Items(url.GetAttributes()), (Names{"cn", "sn"}));
    EXPECT_EQ(url.GetScope(), 1);
    EXPECT_EQ(url.GetFilter(), "(cn=x)");

    const std::string& text = url.ToString();
    EXPECT_EQ(text, "ldap://other:1389/o=lab?cn,sn?one?(cn=x)");
    EXPECT_EQ(url.GetURL(), text);
}

TEST(LDAPUrl, ParsedUrlPrintsWithItsDefaults)
{
    LDAPUrl url("ldaps://srv");
    EXPECT_EQ(url.ToString(), "ldaps://srv:636/??base?(objectClass=*)");
}

std::unique_ptr<LDAPUrl> ParsedOrNull(const std::string& text)
{
    try {
        return std::make_unique<LDAPUrl>(text);
    } catch (const LDAPException& e) {
        ADD_FAILURE() << "does not parse (" << e.GetResultCode() << "): " << text;
        return nullptr;
    }
}

void ExpectSameFields(const LDAPUrl& a, const LDAPUrl& b)
{
    EXPECT_EQ(a.GetHost(), b.GetHost());
    EXPECT_EQ(a.GetPort(), b.GetPort());
    EXPECT_EQ(a.IsSecure(), b.IsSecure());
    EXPECT_EQ(a.GetDN(), b.GetDN());
    EXPECT_EQ(Items(a.GetAttributes()), Items(b.GetAttributes()));
    EXPECT_EQ(a.GetScope(), b.GetScope());
    EXPECT_EQ(a.GetFilter(), b.GetFilter());
}

// URL -> parse -> ToString -> parse gives the same fields, and printing
// again gives the same text.
TEST(LDAPUrl, PrintedTextParsesBackToTheSameFields)
{
    const char* const urls[] = {
        "ldap://srv",
        "ldap://srv:1389/ou=people,o=lab?cn,mail?one?(sn=x)",
        "ldaps://srv/o=lab??sub",
        "LDAPS://srv:1636/o=lab",
        "ldap://192.0.2.7:389/o=lab",
        "ldap://[::1]/o=lab",
        "ldaps://[2001:db8::7]:1636/o=lab??sub?(cn=x)",
        "ldap://[fe80::1%25eth0]:389/",
        "ldap://srv/o=lab??children",
        "ldap:///o=lab",
        // DNs with what a URL cannot carry as it is.
        "ldap://srv/cn=what%3F,o=lab",
        "ldap://srv/cn=50%25,o=lab",
        "ldap://srv/cn=a%20b%5C,c,o=lab",
        "ldap://srv/cn=a\\,b,o=lab",
        "ldap://srv/cn=M%C3%BCller,o=lab",
        "ldap://srv/cn=M\xC3\xBCller,o=lab",
        "ldap://srv/cn=%23hash%3Cangle%3E%22quote%22,o=lab",
        "ldap://srv/cn=a%2Fb,o=lab",
        "ldap://srv/cn=x%3Fy??sub?(cn=x%3Fy)",
        "ldap://srv/o=lab??sub?(%7C(cn=50%25)(sn=a%20b))",
        "ldap://srv/o=lab?cn?sub?(x)?e-x",
        "<ldap://srv:389/o=lab>",
    };
    for (const char* text : urls) {
        SCOPED_TRACE(text);
        LDAPUrl parsed(text);
        LDAPUrl printed = parsed;
        std::string once = printed.ToString();
        std::unique_ptr<LDAPUrl> again = ParsedOrNull(once);
        if (!again)
            continue;
        ExpectSameFields(*again, parsed);
        EXPECT_EQ(again->ToString(), once);
    }
}

// Fields set by hand print as text that reads back to them.
TEST(LDAPUrl, BuiltTextParsesBackToTheSameFields)
{
    struct Case { const char* host; const char* dn; Names attributes; int scope; const char* filter; };
    const Case cases[] = {
        {"srv", "ou=people,o=lab", {"cn", "mail"}, 1, "(sn=x)"},
        {"::1", "o=lab", {}, 2, "(cn=x)"},
        {"[::1]", "o=lab", {}, 0, "(cn=x)"},
        {"fe80::1%eth0", "o=lab", {}, 0, "(cn=x)"},
        {"srv", "cn=what?,o=lab", {"cn"}, 0, "(cn=what?)"},
        {"srv", "cn=100%,o=lab", {}, 3, "(cn=100%)"},
        {"srv", "cn=Smith\\, John,ou=people,o=lab", {}, 0, "(cn=Smith, John)"},
        {"srv", "cn=M\xC3\xBCller,o=lab", {}, 0, "(cn=M\xC3\xBCller)"},
        {"srv", "cn=#tag <x> \"y\" {z} |w| ^v^ `u`,o=lab", {}, 0, "(|(cn=a)(cn=b))"},
        {"srv", "cn=tab\there\nnewline,o=lab", {}, 0, "(cn=*)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dn);
        LDAPUrl built(c.host, 1389, c.dn, Of(c.attributes), c.scope, c.filter);
        std::unique_ptr<LDAPUrl> parsed = ParsedOrNull(built.GetURL());
        if (!parsed)
            continue;
        EXPECT_EQ(parsed->GetHost(), std::string(c.host) == "[::1]" ? "::1" : c.host);
        EXPECT_EQ(parsed->GetPort(), 1389);
        EXPECT_EQ(parsed->GetDN(), c.dn);
        EXPECT_EQ(Items(parsed->GetAttributes()), c.attributes);
        EXPECT_EQ(parsed->GetScope(), c.scope);
        EXPECT_EQ(parsed->GetFilter(), c.filter);
    }
}

TEST(LDAPUrl, CopiesAreIndependent)
{
    auto original = std::make_unique<LDAPUrl>("ldap://srv/o=lab?cn");
    LDAPUrl copy(*original);
    LDAPUrl assigned("ldap://x");
    assigned = *original;
    original->SetHost("changed");
    original->SetAttributes(StringList());
    original->ToString();
    original.reset();
    for (const LDAPUrl* u : {&copy, &assigned}) {
        EXPECT_EQ(u->GetHost(), "srv");
        EXPECT_EQ(Items(u->GetAttributes()), (Names{"cn"}));
        EXPECT_EQ(u->GetURL(), "ldap://srv/o=lab?cn");
    }
}

TEST(LDAPUrlList, FromArrayKeepsTheServersOrder)
{
    const char* texts[] = {"ldap://one/o=a", "ldaps://two/o=b", "ldap://three:1389/o=c", nullptr};
    LDAPUrlList list(texts);
    ASSERT_EQ(list.GetCount(), 3u);
    std::vector<std::string> hosts;
    std::vector<int> ports;
    for (const LDAPUrl& u : list) {
        hosts.push_back(u.GetHost());
        ports.push_back(u.GetPort());
    }
    EXPECT_EQ(hosts, (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(ports, (std::vector<int>{389, 636, 1389}));

    EXPECT_TRUE(LDAPUrlList(nullptr).IsEmpty());
    const char* none[] = {nullptr};
    EXPECT_TRUE(LDAPUrlList(none).IsEmpty());

    // The library hands referrals over as char**.
    char a[] = "ldap://srv/";
    char* mutableTexts[] = {a, nullptr};
    EXPECT_EQ(LDAPUrlList(mutableTexts).GetCount(), 1u);
}

TEST(LDAPUrlList, ParseFailurePropagates)
{
    const char* texts[] = {"ldap://one/", "http://two/", "ldap://three/", nullptr};
    try {
        LDAPUrlList list(texts);
        ADD_FAILURE();
    } catch (const LDAPException& e) {
        EXPECT_EQ(e.GetResultCode(), 82);
    }
    const char* badScope[] = {"ldap://one/", "ldap://two/o=x??wide", nullptr};
    EXPECT_THROW(LDAPUrlList{badScope}, LDAPException);
}

TEST(LDAPUrlList, CopiesAreIndependent)
{
    const char* texts[] = {"ldap://one/", "ldap://two/", nullptr};
    auto original = std::make_unique<LDAPUrlList>(texts);
    LDAPUrlList copy(*original);
    LDAPUrlList assigned;
    assigned = *original;
    original->begin()->SetHost("changed");
    original->Add(LDAPUrl("ldap://three/"));
    original.reset();
    for (const LDAPUrlList* l : {&copy, &assigned}) {
        ASSERT_EQ(l->GetCount(), 2u);
        EXPECT_EQ(l->begin()->GetHost(), "one");
    }
}

}  // namespace
