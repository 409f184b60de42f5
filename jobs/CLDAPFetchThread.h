#pragma once
// The base of workers that read values from a server without a tree node:
// the attributes of one entry, or the entries one level below a DN. What
// they read is kept for the subclass until the next read or the worker's end.
// Every call here belongs to the worker thread.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "jobs/CLDAPThread.h"
#include "ldap/LDAPConnection.h"
#include "base/StringList.h"

namespace arbldap {
class LDAPEntryResponse;
class LDAPOperationOptions;
} // namespace arbldap


class CLDAPFetchThread : public CLDAPThread {
public:
    // Subclasses set the connection and options in their own constructor.
    CLDAPFetchThread();
    CLDAPFetchThread(arbldap::LDAPConnectionPtr connection, const arbldap::LDAPOperationOptions* options);
    ~CLDAPFetchThread() override;

    // Base-scope search of baseDN; keeps the entry. True when the entry came
    // back. A non-zero result code throws LDAPException with it; a search
    // reference in place of the entry gives false. A cancel abandons the
    // request and leaves through CBreakException.
    bool FetchAttributeValues(const std::string& baseDN, const std::string& filter, const StringList& attributes);
    // The values of the kept entry's first attribute whose name (options
    // included) equals name ignoring ASCII case; true when there are any.
    bool GetFetchedValues(const std::string& name, StringList& values) const;
    // One pair per value of every attribute of the kept entry, or of those
    // named name (ignoring ASCII case) when name is not empty; true when
    // at least one pair was added.
    bool GetAttributeValuePairs(const std::string& name, std::multimap<std::string, std::string>& pairs) const;

    // One-level search below baseDN keeping every entry in arrival order;
    // search references are skipped. True at the search result; false when
    // the queue ended without one. Failures as FetchAttributeValues.
    bool SearchOneLevel(const std::string& baseDN, const std::string& filter, const StringList& attributes);
    // The DNs of the entries SearchOneLevel kept, in order.
    bool GetFoundDNs(StringList& dns) const;

protected:
    void SetConnection(arbldap::LDAPConnectionPtr connection) { m_connection = std::move(connection); }
    const arbldap::LDAPConnectionPtr& GetConnection() const { return m_connection; }
    // Not owned: the subclass keeps them alive as long as the worker.
    void SetOptions(const arbldap::LDAPOperationOptions* options) { m_options = options; }
    const arbldap::LDAPOperationOptions* GetOptions() const { return m_options; }

    const arbldap::LDAPEntryResponse* GetKeptEntry() const { return m_keptEntry.get(); }
    const std::vector<std::unique_ptr<arbldap::LDAPEntryResponse>>& GetEntryResponses() const { return m_entries; }

    // Runs one search over the thread's connection, handing each entry (null
    // when it cannot be read) to onEntry. True at a success result; false when
    // the answers end without one, or at a reference when stopAtReference.
    // Throws LDAPException for any other result.
    bool RunSearch(const std::string& baseDN, int scope, const std::string& filter, const StringList& attributes,
                   bool stopAtReference, const std::function<void(std::unique_ptr<arbldap::LDAPEntryResponse>)>& onEntry);

private:
    // The next response of the current queue at a safe point; null when the
    // queue is done. A cancelled worker abandons the request and breaks.
    std::unique_ptr<arbldap::LDAPResponse> NextResponse();
    void AbandonCurrent();

    arbldap::LDAPConnectionPtr m_connection;
    const arbldap::LDAPOperationOptions* m_options = nullptr;
    std::unique_ptr<arbldap::LDAPEntryResponse> m_keptEntry;
    std::vector<std::unique_ptr<arbldap::LDAPEntryResponse>> m_entries;
};
