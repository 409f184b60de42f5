// Cancelling a chain of result queues while its owner relinks it. Nothing
// is sent: the queues only hold their requests.

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "ldap/LDAPConnection.h"
#include "ldap/LDAPRequest.h"
#include "ldap/LDAPResultQueue.h"

using namespace arbldap;

namespace {

std::unique_ptr<LDAPResultQueue> UnsentQueue(LDAPConnection* connection)
{
    return std::make_unique<LDAPResultQueue>(
        std::make_unique<LDAPSearchRequest>("o=lab", 0, "", StringList(), false, connection, nullptr));
}

// The owner links a fresh queue behind the first one, unlinks it and
// deletes it, over and over, while another thread cancels the chain. The
// sanitizer builds see a walk that touches a deleted queue.
TEST(ResultQueueChain, ACancelNeverReachesAQueueThatWasUnlinkedAndDeleted)
{
    LDAPConnectionPtr connection = LDAPConnection::Create("127.0.0.1", 1);
    std::unique_ptr<LDAPResultQueue> head = UnsentQueue(connection.get());
    std::atomic<bool> stop{false};
    std::atomic<long> walks{0};
    std::thread canceller([&] {
        while (!stop) {
            head->Cancel();
            ++walks;
        }
    });
    while (walks == 0)
        std::this_thread::yield();
    for (int i = 0; i < 2000 || walks < 2000; ++i) {
        std::unique_ptr<LDAPResultQueue> inner = UnsentQueue(connection.get());
        head->SetNext(inner.get());
        head->SetNext(nullptr);
        inner.reset();
    }
    stop = true;
    canceller.join();
    EXPECT_TRUE(head->IsCancelled());
    EXPECT_EQ(head->GetNext(), nullptr);
}

}  // namespace
