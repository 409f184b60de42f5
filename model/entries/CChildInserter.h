#pragma once
// Turns the entries a fetching worker reads into child nodes and hands them
// to the user-interface thread, on helper threads of its own: the worker
// goes on reading the server's answers while two helpers make the nodes
// and a third waits for the tree to take in what was made so far. Batches
// are inserted in the order they were queued, whichever helper made them;
// what was made while the tree was busy goes in together.

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ldap/LDAPConnection.h"
#include "model/nodes/ListSorting.h"

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
    // Made nodes are joined up to this many per insertion.
    static constexpr size_t kMaxMergedBatch = 4096;
    // Helpers making nodes side by side: making is slower than reading.
    static constexpr int kMakers = 2;

    typedef std::vector<ChildSource> Batch;
    typedef std::vector<std::unique_ptr<CEntryObject>> Nodes;
    // On the helper thread: the node for a source, or null for none.
    typedef std::function<std::unique_ptr<CEntryObject>(const ChildSource& source)> Make;
    // On the user-interface thread, with the nodes of one batch and the
    // order of their display names (watched on the helper, where the new
    // nodes are at hand); what it leaves in the vector is freed afterwards.
    typedef std::function<void(Nodes& nodes, const ArrivalOrder& order)> Insert;

    CChildInserter(Make make, Insert insert);
    // Inserts what is still queued, then ends the helper threads.
    ~CChildInserter();
    CChildInserter(const CChildInserter&) = delete;
    CChildInserter& operator=(const CChildInserter&) = delete;

    void Queue(Batch batch);
    // Returns once every batch queued so far has been inserted.
    void Wait();

private:
    void MakeNodes();
    void InsertNodes();

    Make m_make;
    Insert m_insert;
    std::mutex m_lock;
    std::condition_variable m_changed;
    // Batches are numbered as they are queued and inserted by number.
    std::deque<std::pair<uint64_t, Batch>> m_queue;  // to make
    struct Made {
        Nodes nodes;
        ArrivalOrder order;
    };
    std::map<uint64_t, Made> m_made;                 // to insert (possibly empty)
    uint64_t m_queued = 0;      // the next batch's number
    uint64_t m_nextInsert = 0;  // the number of the batch the tree takes next
    int m_making = 0;           // batches being made
    bool m_inserting = false;
    bool m_stopping = false;
    int m_makersLeft = kMakers;
    std::vector<std::thread> m_makers;
    std::thread m_inserter;
};
