#pragma once
// Opens the tree down to a DN: first through the tree items that exist along
// the way, then level by level from the server, one entry node per level
// below the deepest node reached; at the end the deepest node is selected
// with its contents and attributes. Only nodes on the path are made. When
// the DN cannot be reached, an information node tells where the walk
// stopped.
//
// One node at a time carries the job's busy state, overlay and status text:
// the current node. Existing items are walked on the user-interface thread.

#include <memory>
#include <mutex>
#include <string>

#include "ldap/LDAPDN.h"
#include "jobs/IJobNode.h"
#include "ldap/LDAPOperationOptions.h"
#include "model/entries/CChildrenFetchThread.h"
#include "platform/ControlPorts.h"

class CDataObject;
class CLDAPObject;

class CNavigateThread : public CChildrenFetchThread {
public:
    // start: the entry or server node the command came from.
    CNavigateThread(CEntryObject& start, arbldap::LDAPDN target);
    ~CNavigateThread() override;

    void DoWork() override;
    void OnError(arbldap::LDAPException error) override;
    // A code from 1 to 96 is reported on the node the walk ended at.
    bool CheckResult(int resultCode) override;
    void OnEntry(const arbldap::LDAPEntry& entry, const arbldap::LDAPConnectionPtr& connection) override;
    void OnSearchDone() override;
    void OnFinish() override;

    // Moves the job's busy state to node (null: lets go of the current one).
    bool SetCurrentNode(CEntryObject* node);
    CEntryObject* GetCurrentNode() const { return m_current; }
    const arbldap::LDAPDN& GetCurrentDN() const { return m_currentDN; }

private:
    // Where the level searches start; null when a busy node blocks the path.
    // User-interface thread.
    CEntryObject* FindStartNode();
    void WalkExistingItems(platform::TreeItem item);
    void FindNamingContextNode();
    // One RDN of the target more.
    void NextLevel();
    void SetCurrentDN(const arbldap::LDAPDN& dn);
    CEntryObject* ReadTargetDirectly();
    void LoadNodeAttributes(CEntryObject& node);
    void Finish();
    // Inserts a new entry node below parent on the user-interface thread;
    // null when it could not be placed.
    CEntryObject* InsertEntry(const arbldap::LDAPDN& dn, const arbldap::LDAPConnectionPtr& connection,
                              CDataObject& parent);
    bool IsStartOrFree(const CDataObject& node);

    arbldap::LDAPDN m_target;
    arbldap::LDAPDN m_currentDN;
    const std::string m_filter = "(objectclass=*)";
    int m_levelEntries = 0;
    size_t m_level = 0;
    bool m_failed = false;
    bool m_namingContext = false;
    CEntryObject* m_current = nullptr;
    CEntryObject* m_previous = nullptr;
    CEntryObject* const m_start;
    CServerObject* m_server = nullptr;
    // The node the walk ended at, for the result check after it.
    NodeId m_lastNode = kNoNode;
    // The tree's selected node when the walk began (a value's DN starts at
    // the server while its entry is the one shown): the target is selected at
    // the end only while that node still is.
    NodeId m_selectedAtStart = kNoNode;
    std::unique_ptr<arbldap::LDAPOperationOptions> m_options;
    std::mutex m_lock;
};
