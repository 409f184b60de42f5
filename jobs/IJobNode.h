#pragma once
// What a worker needs of the tree node it works for. The node classes of the
// directory model implement it; the LDAP layer knows nodes only through it.
//
// Jobs call these from their worker thread (and a cancelling thread), so
// every operation must be safe to call from any thread: flags are atomics,
// texts are guarded, and view changes go through the tree and list ports.

#include <cstdint>
#include <memory>
#include <string>

#include "ldap/LDAPConnection.h"
#include "platform/ControlPorts.h"

class CLDAPThread;
class CRefCountedEvent;

// Node kinds as GetType returns them.
enum : int {
    kNodeRoot = 0,
    kNodeServer = 1,
    kNodeEntry = 2,
    kNodeAttribute = 3,
    kNodeError = 4,
    kNodeInformation = 5,
    kNodeTeamMember = 6,
};

// A node's id: given when the node is made and never again for the life of
// the process, so a stale id names nobody. 0 names no node.
typedef uint64_t NodeId;
constexpr NodeId kNoNode = 0;

class IJobNode {
public:
    // What messages posted for the node carry: the receiver looks the id up
    // and skips a node that has gone meanwhile.
    virtual NodeId GetNodeId() const = 0;
    virtual int GetType() const = 0;
    // The session the node's work runs on; null for the root node.
    virtual arbldap::LDAPConnectionPtr GetConnection() const = 0;

    // Busy: a job runs for the node (at most one at a time).
    virtual bool IsBusy() const = 0;
    virtual void SetBusy() = 0;
    virtual void ResetBusy() = 0;
    virtual bool IsChildrenLoaded() const = 0;
    virtual void SetChildrenLoaded(bool loaded) = 0;

    // Aborting: an abort job is stopping the node's job.
    virtual bool IsAborting() const = 0;
    virtual void SetAborting() = 0;
    virtual void ResetAbort() = 0;
    // Forgets that an abort job was started, so the next job can be aborted too.
    virtual void ClearAbortRequested() = 0;
    // Starts one CAbortThread for the running job, unless one was already
    // started for it or the node is aborting. Returns at once.
    virtual void Abort() = 0;

    // Overlay image of the node's tree item: 1 marks a running job, 0 none.
    virtual void SetOverlayImage(int image) = 0;
    virtual void SetStatusText(const std::wstring& text) = 0;
    // Back to the idle message.
    virtual void ResetStatusText() = 0;

    // The job last started for the node. The node keeps it weakly (the job
    // owns itself), so this is null once the job has gone.
    virtual std::shared_ptr<CLDAPThread> GetJob() const = 0;
    // Null clears it.
    virtual void SetJob(const std::shared_ptr<CLDAPThread>& job) = 0;

    // The event the node shares with its jobs. The node does not count a
    // reference of its own: the jobs do, and the one whose release ends the
    // event clears the node's pointer (both under the jobs' event lock).
    virtual CRefCountedEvent* GetEvent() const = 0;
    virtual void SetEvent(CRefCountedEvent* event) = 0;

    // Adds an information node below this one and logs the text (the detail
    // instead, when there is one).
    virtual void ReportInformation(const std::wstring& text, const std::wstring& detail) = 0;
    // Shows or hides the expand button of the node's tree item after its
    // children changed.
    virtual void UpdateChildIndicator() = 0;

    // The node's tree item (null before it is inserted).
    virtual platform::TreeItem GetTreeItem() const = 0;
    // The pointer the views hold as the node's item data.
    virtual void* GetItemData() = 0;

protected:
    ~IJobNode() = default;
};
