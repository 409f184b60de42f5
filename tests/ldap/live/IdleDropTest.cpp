#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <iterator>
#include <vector>
#include <poll.h>
#include <sys/socket.h>

#include "ldap/LDAPException.h"
#include "ldap/LDAPModificationList.h"
#include "ldap/ReadAhead.h"
#include "tests/support/LiveSupport.h"

using namespace arbldap;

namespace live {
namespace {

const char* const kIdleAdmin = "cn=admin,o=elsewhere";
const char* const kIdleBase = "o=elsewhere";

// Waits until the peer has closed the socket; false when it has not within
// the limit.
bool WaitForPeerClose(int fd, std::chrono::seconds limit)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        char byte;
        if (poll(&p, 1, 100) > 0 && recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) <= 0)
            return true;
    }
    return false;
}

int CodeOf(const std::function<void()>& operation)
{
    try {
        operation();
        return 0;
    } catch (const LDAPException& e) {
        return e.GetResultCode();
    }
}

// The server closes sessions that stay idle. The next request is written to
// the dead socket: it must fail with 81 (not end the process with SIGPIPE),
// and binding again reconnects, also when that failed request was a bind.
TEST(IdleDrop, TheRequestAfterTheServerDroppedTheSessionFailsWith81AndABindReconnects)
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
        EXPECT_EQ(CodeOf([&] { cases[i].request(connection); }), 81);
        EXPECT_EQ(CodeOf([&] { connection.Bind(kIdleAdmin, "secret"); }), 0);
        // The new connection reads through a buffer of its own.
        EXPECT_TRUE(SessionReadsAreBuffered(connection.GetSession()));
        std::string identity;
        EXPECT_EQ(CodeOf([&] { identity = connection.Extended("1.3.6.1.4.1.4203.1.11.3", ""); }), 0);
        EXPECT_EQ(identity, std::string("dn:") + kIdleAdmin);
    }
}

}  // namespace
}  // namespace live
