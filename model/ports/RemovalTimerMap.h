#pragma once
// The removal timers of the information nodes: one timer on the tree view per
// node, with ids from 61441 to 61696, mapped to the node they remove (by id,
// so a timer can never reach a node that has gone).
//
// When all 256 ids are in use a further node waits, in order, for the next
// id that comes free and then gets its full delay; no id is ever handed out
// twice. Any thread.

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>

#include "jobs/IJobNode.h"
#include "platform/Messages.h"

class CRemovalTimerMap {
public:
    // Starts the node's timer, or queues the node when no id is free. The id,
    // or -1 when the node waits or no timer could be set.
    int Start(NodeId node, uint32_t delayMs);
    // The node is going: its timer is killed and its id freed (or it leaves
    // the queue).
    void Forget(NodeId node);
    // A removal timer fired: it is killed and its id freed. Returns the node
    // it was for, or kNoNode.
    NodeId Fire(uint32_t timerId);

    // The node's timer id, or -1.
    int GetTimerId(NodeId node) const;
    // The id the next timer gets.
    uint32_t GetNextTimerId() const;
    size_t GetRunningCount() const;
    size_t GetWaitingCount() const;

    // The one map of the program, kept with the node classes.
    static CRemovalTimerMap& Instance();

private:
    struct Waiting {
        NodeId node;
        uint32_t delayMs;
    };

    // The lowest id not in use; the word keeps its value when all are.
    void AllocTimerId();
    bool HasFreeId() const;
    // Under m_lock: starts one; -1 when the tree view has no window.
    int StartLocked(NodeId node, uint32_t delayMs);
    // Under m_lock: hands freed ids to waiting nodes.
    void ServeWaiting();

    mutable std::mutex m_lock;
    std::map<uint32_t, NodeId> m_timers;
    uint32_t m_nextTimerId = platform::kFirstRemovalTimer;
    std::deque<Waiting> m_waiting;
};
