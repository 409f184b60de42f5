#pragma once
// Before a node's subtree is reloaded or removed, every job below it must
// stop and no new one may start there. The walk aborts every busy node below
// the job's node, sets their job-block flag, and looks again every 200 ms
// until none below is busy. The job's own node is never marked.
//
// The tree is read and the nodes are touched on the user-interface thread,
// the only thread that deletes nodes, so no node can go while it is looked
// at; the worker only waits between the looks.

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
    bool m_block = true;
};
