#pragma once
// Every node gets an id when it is made that no other node gets for the life
// of the process. Whatever must name a node beyond the call it is in (posted
// messages, removal timers) names it by id, and the receiver looks the id up
// here: a node that has gone meanwhile is simply not found.
//
// Nodes are deleted on the user-interface thread only, so a node found there
// stays alive until the caller returns to the message loop.

#include <cstddef>

#include "jobs/IJobNode.h"

class CDataObject;

namespace NodeRegistry {

// Gives the node a new id and records it.
NodeId Add(CDataObject* node);
// Forgets the id; Find does not see it from here on.
void Remove(NodeId id);
// Called with each node Remove forgets (a node is freed), on the thread that
// frees it; null for none.
typedef void (*RemovalObserver)(const CDataObject* node);
void SetRemovalObserver(RemovalObserver observer);
// The living node with that id, or null.
CDataObject* Find(NodeId id);
size_t Count();

}  // namespace NodeRegistry
