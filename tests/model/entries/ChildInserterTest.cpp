#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "model/entries/CChildInserter.h"
#include "model/entries/CEntryObject.h"

namespace {

// Nodes made while the tree is busy are inserted together, never more than
// the limit at once, and every child is inserted once, in the order it was
// queued.
TEST(ChildInserter, BatchesQueuedMeanwhileGoInTogetherInOrder)
{
    std::mutex lock;
    std::condition_variable changed;
    bool released = false;
    size_t made = 0;
    std::vector<std::string> inserted;
    std::vector<size_t> sizes;
    {
        CChildInserter inserter(
            [&](const ChildSource& source) {
                {
                    std::lock_guard<std::mutex> guard(lock);
                    ++made;
                }
                changed.notify_all();
                return std::make_unique<CEntryObject>(arbldap::LDAPConnectionPtr(), arbldap::LDAPDN(source.dn),
                                                      nullptr, false, false);
            },
            [&](CChildInserter::Nodes& nodes, const ArrivalOrder& order) {
                std::unique_lock<std::mutex> guard(lock);
                EXPECT_EQ(order.Count(), nodes.size());
                changed.wait(guard, [&] { return released; });  // the first insertion holds the tree
                sizes.push_back(nodes.size());
                for (auto& node : nodes) inserted.push_back(node->GetDN().GetText());
            });
        size_t next = 0;
        auto batch = [&](size_t count) {
            CChildInserter::Batch b;
            for (size_t i = 0; i < count; ++i) b.push_back(ChildSource{"cn=c" + std::to_string(next++), nullptr});
            return b;
        };
        inserter.Queue(batch(3));
        for (int i = 0; i < 12; ++i) inserter.Queue(batch(1000));
        {
            std::unique_lock<std::mutex> guard(lock);
            changed.wait(guard, [&] { return made == next; });
            released = true;
        }
        changed.notify_all();
        inserter.Queue(batch(5));
    }  // the destructor inserts what is left
    ASSERT_EQ(inserted.size(), 3u + 12000u + 5u);
    for (size_t i = 0; i < inserted.size(); ++i) ASSERT_EQ(inserted[i], "cn=c" + std::to_string(i));
    for (size_t size : sizes) EXPECT_LE(size, CChildInserter::kMaxMergedBatch);
    EXPECT_LT(sizes.size(), 13u);
}

// Batches made side by side, some slowly and some yielding no node at all,
// still go in in the order they were queued, and none holds up the next.
TEST(ChildInserter, BatchesMadeSideBySideGoInInQueueOrder)
{
    std::mutex lock;
    std::vector<std::string> inserted;
    ArrivalOrder arrived;
    size_t next = 0;
    {
        CChildInserter inserter(
            [](const ChildSource& source) -> std::unique_ptr<CEntryObject> {
                const size_t n = std::stoul(source.dn.substr(4));
                if ((n / 10) % 3 == 0)
                    std::this_thread::sleep_for(std::chrono::microseconds(200));  // a slow batch
                if ((n / 10) % 7 == 5)
                    return nullptr;  // a batch of nothing
                return std::make_unique<CEntryObject>(arbldap::LDAPConnectionPtr(), arbldap::LDAPDN(source.dn),
                                                      nullptr, false, false);
            },
            [&](CChildInserter::Nodes& nodes, const ArrivalOrder& order) {
                std::lock_guard<std::mutex> guard(lock);
                arrived.Append(order);
                for (auto& node : nodes) inserted.push_back(node->GetDN().GetText());
            });
        for (int b = 0; b < 60; ++b) {
            CChildInserter::Batch batch;
            for (int i = 0; i < 10; ++i) batch.push_back(ChildSource{"cn=c" + std::to_string(next++), nullptr});
            inserter.Queue(std::move(batch));
        }
        inserter.Wait();
        std::lock_guard<std::mutex> guard(lock);
        std::vector<std::string> expected;
        for (size_t n = 0; n < next; ++n)
            if ((n / 10) % 7 != 5) expected.push_back("cn=c" + std::to_string(n));
        EXPECT_EQ(inserted, expected);
        // The names watched batch by batch on the helpers, joined in queue
        // order: "cn=c10" comes before "cn=c2", so the watch saw steps back.
        EXPECT_EQ(arrived.Count(), expected.size());
        EXPECT_FALSE(arrived.InOrder());
    }
}

} // namespace
