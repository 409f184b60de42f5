#pragma once
// Turns the entries a fetching worker reads into child nodes and hands them
// to the user-interface thread, on a helper thread of its own: the worker
// goes on reading the server's answers while the nodes are made and the tree
// takes in what was read so far. Batches are inserted in the order they
// were queued; batches that queued up meanwhile are inserted together.

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ldap/LDAPConnection.h"

class CEntryObject;

// One child to make: its DN text, the connection it came over (null: the
// job's own) and whether it is a naming context.
struct ChildSource {
    std::string dn;
    arbldap::LDAPConnectionPtr connection;
    bool namingContext = false;
};

class CChildInserter {
public:
    // Queued batches are joined up to this many children per insertion.
    static constexpr size_t kMaxMergedBatch = 4096;

    typedef std::vector<ChildSource> Batch;
    typedef std::vector<std::unique_ptr<CEntryObject>> Nodes;
    // On the helper thread: the node for a source, or null for none.
    typedef std::function<std::unique_ptr<CEntryObject>(const ChildSource& source)> Make;
    // On the user-interface thread, with the nodes of one batch; what it
    // leaves in the vector is freed afterwards.
    typedef std::function<void(Nodes& nodes)> Insert;

    CChildInserter(Make make, Insert insert);
    // Inserts what is still queued, then ends the helper thread.
    ~CChildInserter();
    CChildInserter(const CChildInserter&) = delete;
    CChildInserter& operator=(const CChildInserter&) = delete;

    void Queue(Batch batch);
    // Returns once every batch queued so far has been inserted.
    void Wait();

private:
    void Run();

    Make m_make;
    Insert m_insert;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<Batch> m_queue;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread;
};
