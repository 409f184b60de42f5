#include "model/entries/CChildInserter.h"

#include <iterator>

#include "jobs/HelperThreads.h"
#include "model/entries/CEntryObject.h"
#include "model/ports/UiThread.h"
#include "platform/FreedMemory.h"

CChildInserter::CChildInserter(Make make, Insert insert)
    : m_make(std::move(make)), m_insert(std::move(insert))
{
    // The nodes made here are freed on the user-interface thread.
    platform::KeepFreedMemoryReturnable();
    try {
        for (int i = 0; i < kMakers; ++i)
            m_makers.emplace_back([this] {
                HelperThreadScope counted;
                MakeNodes();
            });
        m_inserter = std::thread([this] {
            HelperThreadScope counted;
            InsertNodes();
        });
    } catch (...) {
        // The helpers that did start end before the failure goes on.
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_stopping = true;
            m_makersLeft -= kMakers - static_cast<int>(m_makers.size());
        }
        m_changed.notify_all();
        for (std::thread& maker : m_makers)
            maker.join();
        throw;
    }
}

CChildInserter::~CChildInserter()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stopping = true;
    }
    m_changed.notify_all();
    for (std::thread& maker : m_makers)
        maker.join();
    m_inserter.join();
}

void CChildInserter::Queue(Batch batch)
{
    if (batch.empty())
        return;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_queue.emplace_back(m_queued++, std::move(batch));
    }
    m_changed.notify_all();
}

void CChildInserter::Wait()
{
    std::unique_lock<std::mutex> lock(m_lock);
    m_changed.wait(lock, [this] { return m_queue.empty() && m_making == 0 && m_made.empty() && !m_inserting; });
}

void CChildInserter::MakeNodes()
{
    std::unique_lock<std::mutex> lock(m_lock);
    for (;;) {
        m_changed.wait(lock, [this] { return !m_queue.empty() || m_stopping; });
        if (m_queue.empty())
            break;
        const uint64_t number = m_queue.front().first;
        Batch batch = std::move(m_queue.front().second);
        m_queue.pop_front();
        ++m_making;
        lock.unlock();
        Made made;
        try {
            made.nodes.reserve(batch.size());
            for (const ChildSource& source : batch) {
                if (std::unique_ptr<CEntryObject> node = m_make(source)) {
                    made.order.Add(node->GetDisplayName());
                    made.nodes.push_back(std::move(node));
                }
            }
        } catch (...) {
            made = Made();  // a batch goes in whole or not at all
        }
        batch.clear();
        lock.lock();
        // Kept even when empty: the batches after it wait for its number.
        m_made.emplace(number, std::move(made));
        --m_making;
        m_changed.notify_all();
    }
    --m_makersLeft;
    m_changed.notify_all();
}

void CChildInserter::InsertNodes()
{
    std::unique_lock<std::mutex> lock(m_lock);
    for (;;) {
        m_changed.wait(lock, [this] { return m_made.count(m_nextInsert) || m_makersLeft == 0; });
        auto next = m_made.find(m_nextInsert);
        if (next == m_made.end())
            return;  // every maker has stopped and all that was made went in
        Nodes nodes = std::move(next->second.nodes);
        ArrivalOrder order = std::move(next->second.order);
        m_made.erase(next);
        ++m_nextInsert;
        // What was made while the tree was busy goes in together: each
        // insertion lays the tree out once, whatever its size.
        for (next = m_made.find(m_nextInsert);
             next != m_made.end() && nodes.size() + next->second.nodes.size() <= kMaxMergedBatch;
             next = m_made.find(m_nextInsert)) {
            nodes.insert(nodes.end(), std::make_move_iterator(next->second.nodes.begin()),
                         std::make_move_iterator(next->second.nodes.end()));
            order.Append(next->second.order);
            m_made.erase(next);
            ++m_nextInsert;
        }
        if (nodes.empty()) {
            m_changed.notify_all();
            continue;
        }
        m_inserting = true;
        lock.unlock();
        try {
            RunOnUiThread([&] { m_insert(nodes, order); });
        } catch (...) {
            // What the tree could not take is freed with the batch.
        }
        nodes.clear();
        lock.lock();
        m_inserting = false;
        m_changed.notify_all();
    }
}
