#include "model/CChildInserter.h"

#include <iterator>

#include "model/CEntryObject.h"
#include "model/UiThread.h"

CChildInserter::CChildInserter(Make make, Insert insert)
    : m_make(std::move(make)), m_insert(std::move(insert)), m_thread([this] { Run(); })
{
}

CChildInserter::~CChildInserter()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
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
    m_changed.wait(lock, [this] { return m_queue.empty() && !m_busy; });
}

void CChildInserter::Run()
{
    std::unique_lock<std::mutex> lock(m_lock);
    for (;;) {
        m_changed.wait(lock, [this] { return !m_queue.empty() || m_stopping; });
        if (m_queue.empty())
            return;
        Batch batch = std::move(m_queue.front());
        m_queue.pop_front();
        // Batches that queued up while the tree was busy go in together: each
        // insertion lays the tree out once, whatever its size.
        while (!m_queue.empty() && batch.size() + m_queue.front().size() <= kMaxMergedBatch) {
            Batch& next = m_queue.front();
            batch.insert(batch.end(), std::make_move_iterator(next.begin()), std::make_move_iterator(next.end()));
            m_queue.pop_front();
        }
        m_busy = true;
        lock.unlock();
        try {
            Nodes nodes;
            nodes.reserve(batch.size());
            for (const ChildSource& source : batch) {
                if (std::unique_ptr<CEntryObject> node = m_make(source))
                    nodes.push_back(std::move(node));
            }
            if (!nodes.empty())
                RunOnUiThread([&] { m_insert(nodes); });
        } catch (...) {
            // What the tree could not take is freed with the batch.
        }
        lock.lock();
        m_busy = false;
        m_changed.notify_all();
    }
}
