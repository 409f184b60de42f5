// A server that accepts a connection and never answers: every request ends
// after its time limit and the network time-out, and the connection closes.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "ldap/FormatLDAPError.h"
#include "ldap/LDAPException.h"
#include "tests/support/LiveSupport.h"

using namespace arbldap;

namespace live {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

const auto kNetworkTimeout = 1s;
const int kTimeLimitSeconds = 1;
// Far above what the two add up to, far below a wait for ever.
const auto kGuard = 10s;

// The code the queue's first read ends with; -1 when the guard had to cancel it.
int FirstReadCode(LDAPResultQueue& queue)
{
    Watchdog guard(queue, kGuard);
    try {
        queue.GetNextResponse();
        return 0;
    } catch (const LDAPException& e) {
        return e.GetResultCode();
    } catch (const CBreakException&) {
        return -1;
    }
}

TEST(TimeLimit, ARequestTheServerNeverAnswersEndsWith85AndClosesTheConnection)
{
    NetworkTimeoutScope shortTimeout(kNetworkTimeout);
    SilentServer silent;
    LDAPOperationOptions options;
    options.SetTimeLimit(kTimeLimitSeconds);
    struct Case {
        const char* name;
        std::function<std::unique_ptr<LDAPResultQueue>(LDAPConnection&)> send;
    };
    const Case cases[] = {
        {"bind", [&](LDAPConnection& c) { return c.Bind("cn=admin,o=lab", "secret", &options); }},
        {"search", [&](LDAPConnection& c) { return c.Search("o=lab", 2, "", StringList(), false, &options); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LDAPConnectionPtr connection = Open(silent.Port());
        Clock::time_point start = Clock::now();
        std::unique_ptr<LDAPResultQueue> queue = c.send(*connection);
        EXPECT_EQ(FirstReadCode(*queue), kLDAPTimeout);
        Clock::duration took = Clock::now() - start;
        EXPECT_GE(took, std::chrono::seconds(kTimeLimitSeconds) + kNetworkTimeout - 100ms);
        EXPECT_LT(took, std::chrono::seconds(kTimeLimitSeconds) + kNetworkTimeout + 3s);
        EXPECT_EQ(FormatLDAPError(LDAPException(kLDAPTimeout)).rfind(L"[ERROR 85] ", 0), 0u);
        // Closed on both ends.
        EXPECT_EQ(SessionSocket(*connection), -1);
        EXPECT_EQ(silent.WaitForOpenConnections(0, 5s), 0);
    }
}

// Without a time limit the server may take its time; the reader still stops
// on a cancel.
TEST(TimeLimit, NoTimeLimitWaitsUntilCancelled)
{
    NetworkTimeoutScope shortTimeout(kNetworkTimeout);
    SilentServer silent;
    LDAPConnectionPtr connection = Open(silent.Port());
    LDAPOperationOptions unlimited;
    std::unique_ptr<LDAPResultQueue> queue = connection->Search("o=lab", 2, "", StringList(), false, &unlimited);
    Watchdog guard(*queue, 2 * kNetworkTimeout + 1s);
    EXPECT_THROW(queue->GetNextResponse(), CBreakException);
    EXPECT_EQ(silent.OpenConnections(), 1);
}

// A bind has no time limit of its own on the server: without one in the
// profile it still ends after the network time-out.
TEST(TimeLimit, ABindWithoutTimeLimitEndsAfterTheNetworkTimeout)
{
    NetworkTimeoutScope shortTimeout(kNetworkTimeout);
    SilentServer silent;
    LDAPOperationOptions unlimited;
    LDAPConnectionPtr connection = Open(silent.Port());
    Clock::time_point start = Clock::now();
    std::unique_ptr<LDAPResultQueue> queue = connection->Bind("cn=admin,o=lab", "secret", &unlimited);
    EXPECT_EQ(FirstReadCode(*queue), kLDAPTimeout);
    Clock::duration took = Clock::now() - start;
    EXPECT_GE(took, kNetworkTimeout - 100ms);
    EXPECT_LT(took, kNetworkTimeout + 3s);
    EXPECT_EQ(SessionSocket(*connection), -1);
    EXPECT_EQ(silent.WaitForOpenConnections(0, 5s), 0);
}

// A bind given up (the user stopped it) leaves the session's identity
// unknown and the server possibly never answering: its connection closes.
TEST(TimeLimit, AnAbandonedBindClosesItsConnection)
{
    SilentServer silent;
    LDAPConnectionPtr connection = Open(silent.Port());
    std::unique_ptr<LDAPResultQueue> queue = connection->Bind("cn=admin,o=lab", "secret");
    EXPECT_EQ(silent.WaitForOpenConnections(1, 5s), 1);
    queue->Cancel();
    EXPECT_THROW(queue->GetNextResponse(), CBreakException);
    connection->Abandon(queue.get());
    EXPECT_EQ(silent.WaitForOpenConnections(0, 5s), 0);
    EXPECT_EQ(SessionSocket(*connection), -1);
}

}  // namespace
}  // namespace live

namespace live {
namespace {

// Dead hosts along a referral's URLs share one network time-out rather than
// adding theirs up.
TEST(TimeLimit, ConnectsAlongAReferralsURLsShareOneNetworkTimeout)
{
    NetworkTimeoutScope shortTimeout(kNetworkTimeout);
    SilentServer blackHole(SilentServer::Mode::NeverConnect);
    LDAPConnectionPtr connection = Open(MainServer().Port());
    LDAPUrlList urls;
    for (int i = 0; i < 3; ++i)
        urls.Add(LDAPUrl("ldap://127.0.0.1:" + std::to_string(blackHole.Port()) + "/cn=url" + std::to_string(i) +
                         ",o=lab"));
    int used = -1;
    int error = 0;
    Clock::time_point start = Clock::now();
    EXPECT_EQ(connection->ConnectToReferral(urls, used, nullptr, &error), nullptr);
    Clock::duration took = Clock::now() - start;
    EXPECT_LT(took, kNetworkTimeout + 900ms);
    EXPECT_EQ(used, -1);
    EXPECT_NE(error, 0);
}

}  // namespace
}  // namespace live
