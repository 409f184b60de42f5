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
        {"ldap://srv:0/", "srv", 389, "", {}, 0, kAllObjects},
        {"ldaps://srv:0/", "srv", 636, "", {}, 0, kAllObjects},
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
        {"srv", 389, "o=lab", {}, 3, "(cn=x)", "ldap://srv:389/o=lab??\?(cn=x)"},
        {"srv", 389, "o=lab", {}, -1, "(cn=x)", "ldap://srv:389/o=lab??\?(cn=x)"},
        {"", 0, "", {}, 0, "", "ldap://:0/??base?"},
        // Nothing is percent-encoded, and '%' in the fields is no format.
        {"srv", 389, "cn=a b,o=lab", {"cn"}, 2, "(cn=50%s)", "ldap://srv:389/cn=a b,o=lab?cn?sub?(cn=50%s)"},
        {"::1", 636, "cn=a\\,b", {}, 0, "(cn=?)", "ldap://::1:636/cn=a\\,b??base?(cn=?)"},
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
    EXPECT_EQ(url.ToString(), "ldap://srv:636/??base?(objectClass=*)");
}

TEST(LDAPUrl, PrintedTextParsesBackToTheSameFields)
{
    LDAPUrl built("srv", 1389, "ou=people,o=lab", Of({"cn", "mail"}), 1, "(sn=x)");
    LDAPUrl parsed(built.GetURL().c_str());
    EXPECT_EQ(parsed.GetHost(), built.GetHost());
    EXPECT_EQ(parsed.GetPort(), built.GetPort());
    EXPECT_EQ(parsed.GetDN(), built.GetDN());
    EXPECT_EQ(Items(parsed.GetAttributes()), Items(built.GetAttributes()));
    EXPECT_EQ(parsed.GetScope(), built.GetScope());
    EXPECT_EQ(parsed.GetFilter(), built.GetFilter());
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
