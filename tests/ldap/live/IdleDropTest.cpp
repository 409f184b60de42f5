#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <iterator>
#include <vector>
#include <algorithm>
#include <set>
#include <sys/socket.h>

#include "ldap/LDAPEntry.h"
#include "ldap/LDAPException.h"
#include "ldap/LDAPModificationList.h"
#include "ldap/ReadAhead.h"
#include "tests/support/LiveSupport.h"

using namespace arbldap;

namespace live {
namespace {

const char* const kIdleAdmin = "cn=admin,o=elsewhere";
const char* const kIdleBase = "o=elsewhere";

int CodeOf(const std::function<void()>& operation)
{
    try {
        operation();
        return 0;
    } catch (const LDAPException& e) {
        return e.GetResultCode();
    }
}

// The server closes sessions that stay idle. The next request goes out on a
// new connection, bound as the last one was (for a bind: just connected),
// instead of being written to the dead socket; the new connection reads
// through a buffer of its own.
TEST(IdleDrop, TheRequestAfterTheServerDroppedTheSessionGoesOutOnANewConnectionBoundAsBefore)
{
    StringList none;
    LDAPModificationList changes;
    changes.Add(LDAPModification(LDAPAttribute("description", "x"), 2));
    struct Case {
        const char* name;
        std::function<void(LDAPSyncConnection&)> request;
    };
    const Case cases[] = {
        {"sync search", [&](LDAPSyncConnection& c) { c.Search(kIdleBase, 0, "", none, false); }},
        {"queued search",
         [&](LDAPSyncConnection& c) { Drain(*c.LDAPConnection::Search(kIdleBase, 2, "", none, false)); }},
        {"sync modify", [&](LDAPSyncConnection& c) { c.Modify(kIdleBase, changes); }},
        {"queued compare",
         [&](LDAPSyncConnection& c) { Drain(*c.LDAPConnection::Compare(kIdleBase, LDAPAttribute("o", "x"))); }},
        {"extended", [&](LDAPSyncConnection& c) { c.Extended("1.3.6.1.4.1.4203.1.11.3", ""); }},
        {"bind", [&](LDAPSyncConnection& c) { c.Bind(kIdleAdmin, "secret"); }},
    };

    // All sessions go idle together, so that the wait is paid once.
    std::vector<RefPtr<LDAPSyncConnection>> connections;
    for (size_t i = 0; i < std::size(cases); ++i) {
        connections.push_back(OpenSync(SlapdServer::Idle().Port()));
        connections.back()->Bind(kIdleAdmin, "secret");
    }
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        ASSERT_TRUE(WaitForPeerClose(SessionSocket(*connections[i]), std::chrono::seconds(60)));
    }

    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        LDAPSyncConnection& connection = *connections[i];
        EXPECT_EQ(CodeOf([&] { cases[i].request(connection); }), 0);
        EXPECT_TRUE(SessionReadsAreBuffered(connection.GetSession()));
        std::string identity;
        EXPECT_EQ(CodeOf([&] { identity = connection.Extended("1.3.6.1.4.1.4203.1.11.3", ""); }), 0);
        EXPECT_EQ(identity, std::string("dn:") + kIdleAdmin);
    }
}

std::set<std::string> DNsBelow(LDAPConnection& connection, const std::string& base)
{
    std::set<std::string> dns;
    StringList none;
    none.Add("1.1");
    for (const LDAPEntry& entry : Entries(*connection.Search(base, 2, "", none, false)))
        dns.insert(entry.GetDN());
    return dns;
}

// A bound session never shows what anonymous users see, however its
// connection went: closed by the idle server, or broken under a request
// (which reports the break).
TEST(IdleDrop, ABoundSessionBindsAgainBeforeItReadsOnANewConnection)
{
    const std::string hidden = "cn=Dave Far,ou=people,o=elsewhere";
    LDAPConnectionPtr anonymous = Open(SlapdServer::Idle().Port());
    ASSERT_EQ(DNsBelow(*anonymous, kIdleBase).count(hidden), 0u) << "the entry is hidden from anonymous users";

    LDAPConnectionPtr connection = Open(SlapdServer::Idle().Port());
    ASSERT_EQ(ResultCode(*connection->Bind(kIdleAdmin, "secret")), 0);
    EXPECT_EQ(DNsBelow(*connection, kIdleBase).count(hidden), 1u);

    // After the server closed the idle connection, and after the connection
    // broke under a request: each read either reports the loss (81) or sees
    // what the bound user sees, and the session recovers by the next read.
    auto expectBoundView = [&] {
        for (int read = 0; read < 2; ++read) {
            SCOPED_TRACE(read);
            std::set<std::string> dns;
            int code = CodeOf([&] { dns = DNsBelow(*connection, kIdleBase); });
            EXPECT_TRUE(code == kLDAPServerDown || code == 0) << code;
            if (code == 0 || read == 1) {
                EXPECT_EQ(code, 0);
                EXPECT_EQ(dns.count(hidden), 1u) << "the anonymous view";
            }
        }
    };
    ASSERT_TRUE(WaitForPeerClose(SessionSocket(*connection), std::chrono::seconds(60)));
    expectBoundView();

    StringList none;
    std::unique_ptr<LDAPResultQueue> broken = connection->Search(kIdleBase, 2, "", none, false);
    shutdown(SessionSocket(*connection), SHUT_RDWR);
    std::vector<std::string> seen;
    int code = CodeOf([&] { seen = Drain(*broken); });
    EXPECT_TRUE(code == kLDAPServerDown || std::count(seen.begin(), seen.end(), "entry " + hidden) == 1)
        << code;
    expectBoundView();
}

}  // namespace
}  // namespace live
