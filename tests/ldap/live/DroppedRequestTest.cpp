#include <ldap.h>

#include <gtest/gtest.h>

#include "ldap/LDAPException.h"
#include "ldap/LDAPResultQueue.h"
#include "tests/support/LiveSupport.h"

using namespace arbldap;

using namespace live;

namespace {

// Messages the session still holds for requests nobody reads.
int HeldMessages(LDAP* session)
{
    int held = 0;
    for (;;) {
        timeval wait{0, 200000};
        LDAPMessage* message = nullptr;
        int rc = ldap_result(session, LDAP_RES_ANY, LDAP_MSG_ONE, &wait, &message);
        if (message) ldap_msgfree(message);
        if (rc <= 0) return held;
        ++held;
    }
}

TEST(DroppedRequests, AQueueDroppedMidSearchAbandonsItsRequest)
{
    LDAPConnectionPtr connection = Open(MainServer().Port());
    StringList all;
    {
        auto queue = connection->Search("o=lab", 2, "(objectClass=*)", all, false);
        ASSERT_TRUE(queue->GetNextResponse());
        // Dropped here, as on an exception path, with entries still coming.
    }
    auto later = connection->Search("o=lab", 0, "(objectClass=*)", all, false);
    Drain(*later);
    EXPECT_EQ(HeldMessages(connection->GetSession()), 0);
}

TEST(DroppedRequests, ARenameWithoutANewRDNIsRefusedNotSent)
{
    LDAPConnectionPtr connection = Open(MainServer().Port());
    try {
        connection->Rename("cn=printer,ou=devices,o=lab", "", false, "ou=scratch,o=lab");
        FAIL() << "sent a rename without a new RDN";
    } catch (const LDAPException& e) {
        EXPECT_EQ(e.GetResultCode(), 89);  // parameter error
    }
}

} // namespace
