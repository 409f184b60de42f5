#include "model/CChildInserter.h"

#include <iterator>

#include "model/CEntryObject.h"
#include "model/UiThread.h"

CChildInserter::CChildInserter(Make make, Insert insert)
    : m_make(std::move(make)), m_insert(std::move(insert)), m_maker([this] { MakeNodes(); }),
      m_inserter([this] { InsertNodes(); })
{
}

CChildInserter::~CChildInserter()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_maker.join();
    m_inserter.join();
}

void CChildInserter::Queue(Batch batch)
{
    if (batch.empty())
        return;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_queue.push_back(std::move(batch));
    }
    m_changed.notify_all();
}

void CChildInserter::Wait()
{
    std::unique_lock<std::mutex> lock(m_lock);
    m_changed.wait(lock, [this] { return m_queue.empty() && !m_making && m_made.empty() && !m_inserting; });
}

void CChildInserter::MakeNodes()
{
    std::unique_lock<std::mutex> lock(m_lock);
    for (;;) {
        m_changed.wait(lock, [this] { return !m_queue.empty() || m_stopping; });
        if (m_queue.empty())
            break;
        Batch batch = std::move(m_queue.front());
        m_queue.pop_front();
        m_making = true;
        lock.unlock();
        Nodes nodes;
        try {
            nodes.reserve(batch.size());
            for (const ChildSource& source : batch) {
                if (std::unique_ptr<CEntryObject> node = m_make(source))
                    nodes.push_back(std::move(node));
            }
        } catch (...) {
            nodes.clear();  // a batch goes in whole or not at all
        }
        lock.lock();
        if (!nodes.empty())
            m_made.push_back(std::move(nodes));
        m_making = false;
        m_changed.notify_all();
    }
    m_madeAll = true;
    m_changed.notify_all();
}

void CChildInserter::InsertNodes()
{
    std::unique_lock<std::mutex> lock(m_lock);
    for (;;) {
        m_changed.wait(lock, [this] { return !m_made.empty() || m_madeAll; });
        if (m_made.empty())
            return;
        Nodes nodes = std::move(m_made.front());
        m_made.pop_front();
        // What was made while the tree was busy goes in together: each
        // insertion lays the tree out once, whatever its size.
        while (!m_made.empty() && nodes.size() + m_made.front().size() <= kMaxMergedBatch) {
            Nodes& next = m_made.front();
            nodes.insert(nodes.end(), std::make_move_iterator(next.begin()), std::make_move_iterator(next.end()));
            m_made.pop_front();
        }
        m_inserting = true;
        lock.unlock();
        try {
            RunOnUiThread([&] { m_insert(nodes); });
        } catch (...) {
            // What the tree could not take is freed with the batch.
        }
        nodes.clear();
        lock.lock();
        m_inserting = false;
        m_changed.notify_all();
    }
}
