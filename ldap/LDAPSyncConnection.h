#pragma once
// A connection with synchronous operations: each sends its request, reads its
// result and turns anything but success into an exception.

#include <list>
#include <memory>
#include <string>
#include <utility>

#include "ldap/LDAPConnection.h"
#include "ldap/LDAPEntryList.h"
#include "ldap/LDAPUrl.h"

namespace arbldap {

class LDAPAttribute;
class LDAPModificationList;

// Everything a search brought: its entries and its search references, each
// kind in arrival order.
class LDAPSearchResults {
public:
    void AddEntry(const LDAPEntry& entry) { m_entries.Add(entry); }
    void AddEntry(LDAPEntry&& entry) { m_entries.Add(std::move(entry)); }
    void AddReference(const LDAPUrlList& urls) { m_references.push_back(urls); }

    const LDAPEntryList& GetEntries() const { return m_entries; }
    const std::list<LDAPUrlList>& GetReferences() const { return m_references; }

    // A copy of the next entry; once they are all handed out, each call
    // throws LDAPReferralException with the URLs of the next reference; null
    // when both are exhausted.
    std::unique_ptr<LDAPEntry> GetNextEntry();

private:
    LDAPEntryList m_entries;
    std::list<LDAPUrlList> m_references;
    size_t m_nextEntry = 0;
    size_t m_nextReference = 0;
    LDAPEntryList::const_iterator m_entryPosition;
    std::list<LDAPUrlList>::const_iterator m_referencePosition;
};

class LDAPSyncConnection : public LDAPConnection {
public:
    LDAPSyncConnection(const std::string& host, int port) : LDAPConnection(host, port) {}
    static RefPtr<LDAPSyncConnection> Create(const std::string& host, int port);

    // Result 0 returns; 10 throws LDAPReferralException with the result's
    // URLs; any other code throws LDAPException with it.
    void Bind(const std::string& dn, const std::string& password, LDAPOperationOptions* options = nullptr);
    void Delete(const std::string& dn, const LDAPOperationOptions* options = nullptr);
    void Add(const LDAPEntry& entry, const LDAPOperationOptions* options = nullptr);
    void Modify(const std::string& dn, const LDAPModificationList& modifications,
                const LDAPOperationOptions* options = nullptr);
    void Rename(const std::string& dn, const std::string& newRDN, bool deleteOldRDN, const std::string& newParent,
                const LDAPOperationOptions* options = nullptr);
    // The response value (any bytes); responseOID, when given, receives the
    // response name.
    std::string Extended(const std::string& oid, const std::string& value,
                         const LDAPOperationOptions* options = nullptr, std::string* responseOID = nullptr);
    // compareTrue gives true, compareFalse false; every other result, success
    // included, is a failure as above.
    bool Compare(const std::string& dn, const LDAPAttribute& attribute,
                 const LDAPOperationOptions* options = nullptr);
    // Reads up to the final result, which is handled as above.
    std::unique_ptr<LDAPSearchResults> Search(const std::string& base, int scope, const std::string& filter,
                                              const StringList& attributes, bool attributesOnly,
                                              const LDAPOperationOptions* options = nullptr);

protected:
    ~LDAPSyncConnection() override = default;
};

} // namespace arbldap
