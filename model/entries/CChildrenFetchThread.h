#pragma once
// The node job that lists the entries one level below an entry or server
// node and reads the node's own attributes. Child nodes are inserted into
// the tree as their entries arrive; entries that arrive over a followed
// referral become nodes bound to the referral's connection. A node without
// a DN (the root DSE) gets its naming contexts as children instead.
//
// The child search asks for no attributes ("1.1"); a server that answers it
// with noSuchAttribute and no entries is asked once more for "objectclass".
//
// New child nodes go to the tree as they arrive, in small batches: at most
// kChildBatchMs after the previous batch while entries stream in, at once
// after a pause, and whatever is left when the search ends (or fails). So the
// user-interface thread is not woken once for each of thousands of entries,
// and the worker reads on while the nodes are made and the tree takes them
// in (CChildInserter).

#include <chrono>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "base/StringList.h"
#include "base/Unknown.h"
#include "jobs/CLDAPOperationThread.h"
#include "model/entries/CChildInserter.h"
#include "model/nodes/ListSorting.h"
#include "ldap/LDAPAttributeList.h"
#include "ldap/LDAPDN.h"
#include "schema/LDAPSchema.h"

namespace arbldap {
class LDAPEntry;
class LDAPResultQueue;
class LDAPEntryResponse;
} // namespace arbldap

class CEntryObject;
class CServerObject;

// Strings: searching, reading attributes, no entries found.
constexpr unsigned kStrSearchingChildren = 475;
constexpr unsigned kStrReadingAttributes = 476;
constexpr unsigned kStrNoEntries = 477;

constexpr int kChildBatchMs = 20;
constexpr size_t kChildBatchSize = 512;

class CChildrenFetchThread : public CLDAPOperationThread {
public:
    // On the user-interface thread. server: the node's server (its profile
    // gives the attributes to read), null for a node without one. mode 0
    // fetches children and attributes; any other reads the attributes only.
    CChildrenFetchThread(CEntryObject* node, CServerObject* server, int mode);
    ~CChildrenFetchThread() override;

    void DoWork() override;
    void OnError(arbldap::LDAPException error) override;
    bool CheckResult(int resultCode) override;

    // One child node for a search entry; connection is the referral's it
    // came over, or null for the job's own.
    virtual void OnEntry(const arbldap::LDAPEntry& entry, const arbldap::LDAPConnectionPtr& connection);
    // Reads the node's attributes and finishes the node.
    virtual void OnSearchDone();

    // One base search of dn; the entry's attributes (kept until the next
    // read), or null when there is no entry or the job was cancelled.
    const arbldap::LDAPAttributeList* ReadEntryAttributes(const arbldap::LDAPDN& dn, bool operational);
    // One-level search below the empty DN, for a root DSE without naming
    // contexts.
    void FetchRootChildren();
    bool IsSubschemaDN(const std::string& dn) const;

    int GetScope() const { return m_scope; }
    int GetEntryCount() const { return m_entryCount; }
    int GetResultCode() const { return m_resultCode; }
    bool HasRetried() const { return m_retry; }

private:
    // The node, or a break when it has gone.
    CEntryObject& Node();
    // One search loop: entries to OnEntry, the result's response returned.
    // thenAttributes: the node's attribute reads are sent as soon as the
    // result is in, so the server answers them while the tree takes the
    // last children.
    std::unique_ptr<arbldap::LDAPResponse> RunChildSearch(const arbldap::LDAPDN& base, int scope,
                                                          const StringList& attributes, bool thenAttributes = false);
    // The base search of dn for its attributes, sent.
    std::unique_ptr<arbldap::LDAPResultQueue> SendAttributeRead(const arbldap::LDAPDN& dn, bool operational);
    // Sends the reads of the base's attributes that are not sent yet; the
    // first that cannot be sent stops it, and ReadEntryAttributes fails with
    // that failure, as it would have sending the read itself.
    void StartAttributeReads();
    void DropAttributeReads();
    // Queues a child to make and insert below the node.
    void InsertChild(ChildSource source);
    // Hands the queued children to the inserter.
    void FlushChildren();
    // Flushes and waits until the tree has them all.
    void WaitForChildren();
    // On the inserter's thread: the node for an entry, or null (the base
    // itself, an empty DN, a job without its node).
    std::unique_ptr<CEntryObject> MakeChild(const ChildSource& source);
    // On the user-interface thread; the tree owns what it takes.
    void InsertNodes(std::vector<std::unique_ptr<CEntryObject>>& nodes, const ArrivalOrder& order);

    arbldap::LDAPDN m_baseDN;
    int m_scope = 1;
    std::string m_filter;
    // The node's custom filter, which its new children share.
    std::shared_ptr<const std::string> m_parentFilter;
    StringList m_attributes;
    StringList m_extraOperational;
    CServerObject* m_server = nullptr;
    RefPtr<CLDAPSchema> m_schema;
    int m_mode = 0;
    bool m_firstChild = false;
    // The children's names as the tree took them in (user-interface thread).
    ArrivalOrder m_arrival;
    bool m_retry = false;
    int m_entryCount = 0;
    int m_resultCode = 0;
    std::unique_ptr<arbldap::LDAPResponse> m_attributeEntry;
    // Reads of the base's attributes sent ahead, [0] user, [1] operational;
    // worker only, dropped (abandoned) when the work ends.
    std::unique_ptr<arbldap::LDAPResultQueue> m_attributeReads[2];
    // Why a read could not be sent ahead: the read itself fails with it.
    std::exception_ptr m_attributeReadFailure;
    std::vector<ChildSource> m_pendingChildren;
    std::chrono::steady_clock::time_point m_lastFlush;
    // Last: it inserts into the node through this job until it is destroyed.
    std::unique_ptr<CChildInserter> m_inserter;
};
