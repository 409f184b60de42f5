#pragma once
// Hands batches of new child nodes to the user-interface thread from a
// helper thread of its own, so that a fetching worker goes on reading the
// server's answers while the tree takes in what it has read so far. Batches
// are inserted in the order they were queued.

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class CEntryObject;

class CChildInserter {
public:
    typedef std::vector<std::unique_ptr<CEntryObject>> Batch;
    // Runs on the user-interface thread with each batch; what it leaves in
    // the batch is freed afterwards.
    typedef std::function<void(Batch& batch)> Insert;

    explicit CChildInserter(Insert insert);
    // Inserts what is still queued, then ends the helper thread.
    ~CChildInserter();
    CChildInserter(const CChildInserter&) = delete;
    CChildInserter& operator=(const CChildInserter&) = delete;

    void Queue(Batch batch);
    // Returns once every batch queued so far has been inserted.
    void Wait();

private:
    void Run();

    Insert m_insert;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<Batch> m_queue;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread;
};
