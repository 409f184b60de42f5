#include <gtest/gtest.h>

#include <ldap.h>

#include <chrono>
#include <future>
#include <thread>

#include "ldap/LDAPException.h"
#include "tests/support/LiveSupport.h"

using namespace arbldap;

namespace live {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A cancel is seen within one poll slice; the bound only tells a wait that
// ended from one that missed the cancel, on a machine however loaded.
const milliseconds kPromptly = std::chrono::seconds(5);
// A connect to a host that never answers cannot be interrupted.
const milliseconds kNetworkTimeout = std::chrono::seconds(kLDAPNetworkTimeoutSeconds);

// As many referral URLs to the port on 127.0.0.1 as asked, each with a DN of its own.
LDAPUrlList UrlsTo(int port, int count)
{
    LDAPUrlList urls;
    for (int i = 0; i < count; ++i)
        urls.Add(LDAPUrl("ldap://127.0.0.1:" + std::to_string(port) + "/cn=url" + std::to_string(i) + ",o=lab"));
    return urls;
}

long long Milliseconds(Clock::duration d)
{
    return std::chrono::duration_cast<milliseconds>(d).count();
}

LDAPOperationOptions WithCredentials()
{
    LDAPOperationOptions options;
    options.SetRebindCredentials(
        std::make_shared<LDAPBindCredentials>(testsupport::kAdminDN, testsupport::kAdminPassword));
    return options;
}

// Cancels the queue from another thread after a pause; tells when it did.
std::future<Clock::time_point> CancelLater(LDAPResultQueue& queue, milliseconds pause)
{
    return std::async(std::launch::async, [&queue, pause] {
        std::this_thread::sleep_for(pause);
        Clock::time_point now = Clock::now();
        queue.Cancel();
        return now;
    });
}

TEST(Cancel, AWaitingReaderStopsSoonAfterTheCancel)
{
    SilentServer silent;
    LDAPConnectionPtr connection = Open(silent.Port());
    std::unique_ptr<LDAPResultQueue> queue = connection->Bind("", "");
    EXPECT_FALSE(queue->IsCancelled());
    Clock::time_point start = Clock::now();
    std::future<Clock::time_point> cancelled = CancelLater(*queue, milliseconds(150));
    EXPECT_THROW(queue->GetNextResponse(), CBreakException);
    Clock::time_point stopped = Clock::now();
    Clock::time_point cancelledAt = cancelled.get();
    EXPECT_GE(stopped - start, milliseconds(150));  // it did wait for the server
    EXPECT_LT(Milliseconds(stopped - cancelledAt), kPromptly.count());
    EXPECT_TRUE(queue->IsCancelled());
    // Every later read stops at once.
    EXPECT_THROW(queue->GetNextResponse(), CBreakException);
}

TEST(Cancel, ACancelledQueueDoesNotWait)
{
    LDAPConnectionPtr connection = Open(MainServer().Port());
    std::unique_ptr<LDAPResultQueue> queue = connection->Search("o=lab", 2, "", StringList(), false);
    queue->Cancel();
    EXPECT_THROW(queue->GetNextResponse(), CBreakException);
}

TEST(Cancel, TheCancelRunsAlongTheChain)
{
    LDAPConnectionPtr connection = Open(MainServer().Port());
    std::vector<std::unique_ptr<LDAPResultQueue>> queues;
    for (int i = 0; i < 4; ++i)
        queues.push_back(connection->Search("o=lab", 0, "", StringList(), false));
    queues[0]->SetNext(queues[1].get());
    queues[1]->SetNext(queues[2].get());
    queues[2]->SetNext(queues[0].get());  // a chain that closes on itself still ends
    EXPECT_EQ(queues[0]->GetNext(), queues[1].get());
    queues[1]->Cancel();
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(queues[i]->IsCancelled());
        EXPECT_THROW(queues[i]->GetNextResponse(), CBreakException);
    }
    EXPECT_FALSE(queues[3]->IsCancelled());
    EXPECT_EQ(Drain(*queues[3]), (std::vector<std::string>{"entry o=lab", "result 0"}));
}

TEST(Cancel, BindingOnAReferredServerStopsOnCancel)
{
    SilentServer silent;
    LDAPConnectionPtr connection = Open(MainServer().Port());
    LDAPUrlList urls;
    urls.Add(LDAPUrl("ldap://127.0.0.1:" + std::to_string(silent.Port()) + "/o=lab"));
    std::atomic<bool> cancel{false};
    auto canceller = std::async(std::launch::async, [&] {
        std::this_thread::sleep_for(milliseconds(150));
        cancel = true;
        return Clock::now();
    });
    int used = -1;
    EXPECT_THROW(connection->ConnectToReferral(urls, used, nullptr, nullptr, &cancel), CBreakException);
    EXPECT_LT(Milliseconds(Clock::now() - canceller.get()), kPromptly.count());
    EXPECT_EQ(used, -1);
}

// Each connect to a host that never answers lasts a network time-out and
// sees no cancel meanwhile. Once cancelled, a referral connect goes to no
// further URL and makes no further bind.
TEST(Cancel, ACancelledReferralConnectGoesToNoFurtherServer)
{
    SilentServer blackHole(SilentServer::Mode::NeverConnect);
    LDAPConnectionPtr connection = Open(MainServer().Port());
    LDAPOperationOptions options = WithCredentials();
    struct Case { const char* what; milliseconds cancelAfter; milliseconds bound; };
    const Case cases[] = {
        {"cancelled before the first URL", milliseconds(0), kPromptly},
        {"cancelled during the first connect", milliseconds(300), kNetworkTimeout * 3 / 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::atomic<bool> cancel{c.cancelAfter.count() == 0};
        auto canceller = std::async(std::launch::async, [&] {
            std::this_thread::sleep_for(c.cancelAfter);
            cancel = true;
            return Clock::now();
        });
        int used = -1;
        EXPECT_THROW(connection->ConnectToReferral(UrlsTo(blackHole.Port(), 2), used, &options, nullptr, &cancel),
                     CBreakException);
        EXPECT_LT(Milliseconds(Clock::now() - canceller.get()), c.bound.count());
        EXPECT_EQ(used, -1);
    }
}

// Sessions do not hang on a server that never accepts: connecting is bounded.
TEST(Cancel, SessionsBoundTheirConnectAndChaseNothingThemselves)
{
    LDAPConnectionPtr connection = Open(MainServer().Port());
    timeval* timeout = nullptr;
    ASSERT_EQ(ldap_get_option(connection->GetSession(), LDAP_OPT_NETWORK_TIMEOUT, &timeout), LDAP_OPT_SUCCESS);
    ASSERT_NE(timeout, nullptr);
    EXPECT_EQ(timeout->tv_sec, kLDAPNetworkTimeoutSeconds);
    ldap_memfree(timeout);
    int referrals = -1;
    ASSERT_EQ(ldap_get_option(connection->GetSession(), LDAP_OPT_REFERRALS, &referrals), LDAP_OPT_SUCCESS);
    EXPECT_EQ(referrals, 0);
}

TEST(Abandon, AChasedSearchReleasesItsReferredConnections)
{
    int before = SettledMainServerConnections();
    LDAPConnectionPtr connection = Open(MainServer().Port());
    EXPECT_EQ(ResultCode(*connection->Bind("", "")), 0);
    // Left unread; its message id on this session equals the referred
    // search's id on its own session.
    std::unique_ptr<LDAPResultQueue> other = connection->Search("ou=people,o=lab", 1, "", StringList(), false);

    LDAPOperationOptions chase;
    chase.SetChaseReferrals(true);
    std::unique_ptr<LDAPResultQueue> queue =
        connection->Search("ou=filtered,o=lab", 2, "(objectClass=*)", StringList(), false, &chase);
    LDAPConnectionPtr over;
    bool referredEntry = false;
    while (!referredEntry) {
        std::unique_ptr<LDAPResponse> response = queue->GetNextResponse(&over);
        ASSERT_NE(response, nullptr);
        referredEntry = Describe(*response) == "entry cn=Carol Remote,ou=people,o=other";
    }
    EXPECT_EQ(over->GetPort(), MainServer().Port2());
    EXPECT_EQ(queue->GetPendingCount(), 2u);
    over.reset();
    EXPECT_EQ(MainServerConnections(), before + 2);

    connection->Abandon(queue.get());
    EXPECT_EQ(queue->GetPendingCount(), 0u);
    EXPECT_EQ(queue->GetNextResponse(), nullptr);
    EXPECT_EQ(WaitForMainServerConnections(before + 1), before + 1);
    connection->Abandon(nullptr);

    // The other search on the main session was not abandoned in passing.
    Watchdog guard(*other, std::chrono::seconds(30));
    std::vector<std::string> seen;
    EXPECT_NO_THROW(seen = Drain(*other));
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen.back(), "result 0");
}

TEST(Abandon, AnAbandonedSearchIsNotAnsweredAnyMore)
{
    LDAPConnectionPtr connection = Open(MainServer().Port());
    std::unique_ptr<LDAPResultQueue> queue = connection->Search("o=lab", 2, "", StringList(), false);
    connection->Abandon(queue.get());
    EXPECT_EQ(queue->GetNextResponse(), nullptr);
    // The session goes on serving.
    EXPECT_EQ(Drain(*connection->Search("o=lab", 0, "", StringList(), false)),
              (std::vector<std::string>{"entry o=lab", "result 0"}));
}

}  // namespace
}  // namespace live
