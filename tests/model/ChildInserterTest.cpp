#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "model/CChildInserter.h"
#include "model/CEntryObject.h"

namespace {

// Batches queued while the tree is busy are joined, never beyond the limit,
// and every child is inserted once, in the order it was queued.
TEST(ChildInserter, BatchesQueuedMeanwhileGoInTogetherInOrder)
{
    std::mutex lock;
    std::condition_variable changed;
    bool released = false;
    std::vector<std::string> inserted;
    std::vector<size_t> sizes;
    {
        CChildInserter inserter(
            [](const ChildSource& source) {
                return std::make_unique<CEntryObject>(arbldap::LDAPConnectionPtr(), arbldap::LDAPDN(source.dn),
                                                      nullptr, false, false);
            },
            [&](CChildInserter::Nodes& nodes) {
                std::unique_lock<std::mutex> guard(lock);
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
            std::lock_guard<std::mutex> guard(lock);
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

} // namespace
