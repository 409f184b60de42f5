#pragma once
// Before a node's subtree is reloaded or removed, every job below it must
// stop and no new one may start there. The walk aborts every busy node below
// the job's node, sets their job-block flag, and looks again every 200 ms
// until none below is busy. The job's own node is never marked.
//
// The tree is read and the nodes are touched on the user-interface thread,
// the only thread that deletes nodes, so no node can go while it is looked
// at; the worker only waits between the looks. A look goes through the job
// node's children in timed slices, so that a node of a million children does
// not hold the event loop; a slice that finds its starting child gone starts
// the look again.

#include <memory>

#include "jobs/CLDAPOperationThread.h"
#include "platform/ControlPorts.h"

class CDataObject;

class CTreeWalkThread : public CLDAPOperationThread {
public:
    // The node's status text becomes "waiting"; block value 1.
    CTreeWalkThread(CDataObject* node, std::unique_ptr<CProgressDlg> progress);

    // Marks the subtree, then marks it again every 200 ms until nothing
    // below the node is busy. A cancel ends it between two looks.
    void Walk();
    // Below item, deepest first: busy nodes are aborted (once per job) and
    // every node gets the block value. User-interface thread.
    void MarkSubtree(platform::TreeItem item);
    // Whether a node below item is busy. User-interface thread.
    bool IsSubtreeBusy(platform::TreeItem item) const;

    bool GetBlockValue() const { return m_block; }

protected:
    void SetBlockValue(bool block) { m_block = block; }
    // The job's node while it lives (null once it has gone).
    CDataObject* Node() const;

private:
    // The child's subtree, then the child: aborted when busy, given the block value.
    void MarkChild(platform::TreePort& tree, platform::TreeItem child);
    // One look over the node's children from next on, until the slice's time
    // is up; next becomes the child the following slice starts at (null when
    // the look is over). Whether a node looked at is busy is added to busy.
    // False when the node has gone.
    bool LookAtSlice(platform::TreeItem& next, bool& busy);

    bool m_block = true;
};
