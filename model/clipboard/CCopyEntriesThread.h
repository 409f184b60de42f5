#pragma once
// Copies or moves whole subtrees, described by a clipboard content, below a
// target node, on a worker with its own progress window. The entries are
// read from the target's server, or from the source server given (then
// they are created on the target's server and, on a move, deleted there).
// Each source entry is read with all its attributes and added below the
// target under its own RDN, its children one level at a time below the copy;
// a move deletes each source entry after its subtree. The content's
// attribute values are added to the target entry (and, on a move, removed
// from their entry). A failing step is logged and the user decides once
// whether to go on past failures.
//
// Nothing that was not copied is ever deleted: a move leaves every source
// entry whose copy, or whose subtree's copy, failed. A target inside what is
// to be copied is refused before anything is written.

#include <atomic>
#include <memory>
#include <string>

#include "jobs/CLDAPOperationThread.h"
#include "jobs/IJobNode.h"
#include "ldap/LDAPAttributeList.h"
#include "ldap/LDAPEntryList.h"
#include "model/clipboard/CArbClipboardContext.h"

class CLDAPObject;
class CServerObject;

class CCopyEntriesThread : public CLDAPOperationThread {
public:
    // On the user-interface thread: the job's progress window, a copy of the
    // content, the target node's connection and DN; with a source server,
    // that server's connection for what is read and deleted.
    CCopyEntriesThread(CLDAPObject& target, const CArbClipboardContext& content, CServerObject* source = nullptr);
    ~CCopyEntriesThread() override;

    void DoWork() override;
    void OnError(arbldap::LDAPException) override {}
    bool CheckResult(int resultCode) override { return resultCode == 0; }
    // Then, unless cancelled, the nodes that changed are read again.
    void OnFinish() override;

    // The attributes without "objectGUID" (which a server of Active
    // Directory's kind makes itself).
    static arbldap::LDAPAttributeList FilterAttributes(const arbldap::LDAPAttributeList& attributes);

private:
    // One subtree: source is copied below targetParent (top) or, below the
    // top, was copied already (copied tells whether that worked) and
    // targetParent is its copy. True when it and everything below it were
    // copied (and, on a move, deleted).
    bool CopySubtree(const std::string& source, const std::string& targetParent, bool top, bool copied);
    // The entries of the current search; false when it ended with a code
    // other than 0.
    bool FetchEntries(arbldap::LDAPEntryList& entries);
    // Searches base or one level below dn into entries. Failures are
    // logged and asked about; false when the list is not complete.
    bool Search(const std::string& dn, int scope, arbldap::LDAPEntryList& entries);
    bool CreateEntry(const arbldap::LDAPEntry& entry, const std::string& targetParent);
    bool DeleteEntry(const std::string& dn);
    void CopyAttributes();
    // Whether to go on past a failure: asked once; No ends the job.
    bool AskContinue();
    // The code of the one result of the request.
    int RunRequest(std::unique_ptr<arbldap::LDAPResultQueue> queue);
    // Logs the failure of a step and asks; No throws with the code.
    bool StepFailed(unsigned stringId, const std::string& dn, int resultCode);
    // A target inside what is to be copied: the refusal is reported.
    bool IsTargetRefused();
    // Reads again the nodes whose children changed (user-interface thread).
    void RefreshNodes();
    // Where the sources are read and deleted.
    const arbldap::LDAPConnectionPtr& SourceConnection() const;

    std::unique_ptr<CArbClipboardContext> m_content;
    std::string m_targetDN;
    NodeId m_targetId = kNoNode;
    NodeId m_serverId = kNoNode;
    // The source server's connection and node when it is not the target's.
    arbldap::LDAPConnectionPtr m_source;
    NodeId m_sourceServerId = kNoNode;
    bool m_move = false;
    bool m_continue = false;
    bool m_activeDirectory = false;
    // Something was written on the server.
    std::atomic<bool> m_changed{false};
};
