#pragma once
// A node that stands for a place in a directory: an entry or a server. It
// adds the server's shared connection, the host's schema, the node's DN, the
// bound state and the custom search filter that a user may set on an entry
// and that the entries fetched below it inherit.
//
// A custom filter is shared, not copied: the owner and every node that
// inherits it hold the same text, and each keeps it alive, so replacing or
// removing it at the owner never leaves a child with a text that is gone.
//
// Threads: jobs read the DN, connection, schema and filter while they run,
// and set the bound and contents-fetched flags; all of these are guarded.
// Everything else runs on the user-interface thread.

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "base/SmallLock.h"
#include "base/Unknown.h"
#include "ldap/LDAPConnection.h"
#include "ldap/LDAPDN.h"
#include "model/nodes/CDataObject.h"
#include "schema/LDAPSchema.h"

class CLDAPObject : public CDataObject {
public:
    CLDAPObject(const ServerLink& server, const CDataObject* source = nullptr);
    ~CLDAPObject() override;

    arbldap::LDAPConnectionPtr GetConnection() const override;
    // The effective filter as text; empty when there is none.
    std::wstring GetFilterText() const override;
    // Overlay 0 on a node that owns a custom filter shows 2 instead.
    void SetOverlayImage(int image) override;
    // The current server's texts: user DN, schema state, SSL.
    void UpdateDocumentInfo() override;

    // True when the inherited filter exists and equals filter ignoring case.
    virtual bool IsFilterEqual(const std::string& filter) const;
    virtual void RemoveCustomFilter();
    // The filter this node inherits: its parent's effective filter when the
    // parent is an entry or a server; false when there is none.
    virtual bool GetSearchFilter(std::string& filter) const;
    virtual void SetDN(const arbldap::LDAPDN& dn);
    arbldap::LDAPDN GetDN() const;
    // GetDN().GetFirstPart(), without parsing the rest of the DN.
    arbldap::LDAPRDN GetFirstRDN() const;

    // The custom filter, else the owning server profile's filter.
    std::string GetEffectiveFilter() const;
    // The document's filter command: an empty text changes nothing; one
    // equal to the inherited filter removes the node's own; a new one is
    // set and the node refreshed.
    void SetCustomFilter(const std::wstring& filter);
    // The document's remove-filter command: at the node that owns the filter.
    void OnRemoveCustomFilter();
    // The nearest ancestor (below the server) that owns the filter this
    // node uses; null when there is none.
    CLDAPObject* FindFilterOwner() const;
    // Uses the text without owning it (nothing when it is the same text).
    void ShareCustomFilter(const std::shared_ptr<const std::string>& filter);
    // Shares the parent's custom filter, when it has one.
    void InheritCustomFilter(const CLDAPObject& parent);
    bool HasCustomFilter() const;
    bool OwnsCustomFilter() const;
    std::string GetCustomFilter() const;
    std::shared_ptr<const std::string> GetCustomFilterText() const;

    RefPtr<CLDAPSchema> GetSchema() const;
    void SetSchema(const RefPtr<CLDAPSchema>& schema);
    void SetConnection(const arbldap::LDAPConnectionPtr& connection);

    // The node as an LDAP URL: server host and port, the node's DN, the
    // profile's attributes, scope base and the effective filter.
    std::wstring GetURL() const;

    // The document's go-to-DN command: the search dialog, then NavigateToDN.
    void OnGoToDN();
    // Opens the tree down to the DN, from the nearest entry or server.
    void NavigateToDN(const arbldap::LDAPDN& dn);
    // What starts the navigate job for an entry or server and a DN, in place
    // of the navigate job itself (tests). Returns the previous.
    typedef std::function<std::shared_ptr<CLDAPThread>(CLDAPObject& node, const arbldap::LDAPDN& dn)>
        NavigateJobMaker;
    static NavigateJobMaker SetNavigateJobMaker(NavigateJobMaker maker);

    bool IsBound() const;
    void SetBound(bool bound);
    bool IsContentsFetched() const;
    // The contents were fetched or the children loaded (a server: it was opened).
    bool IsAttributesLoaded() const { return IsContentsFetched() || IsChildrenLoaded(); }
    void SetContentsFetched(bool fetched);
    // The node holds a connection of its own (one reached over a referral).
    bool OwnsConnectionReference() const;

protected:
    // The DN moved in, as SetDN but without its copy or the subclasses' part.
    void TakeDN(arbldap::LDAPDN dn);
    void SetOwnsConnectionReference(bool owns);
    // Frees the node's own filter (the node no longer has one).
    bool DropOwnedCustomFilter();
    // The expand flag of a refresh after a filter change.
    bool ExpandAfterFilterChange() const;

private:
    enum : uint32_t {
        kOwnsReference = 1u << 1,
        kContentsFetched = 1u << 2,
        kBound = 1u << 3,
    };
    void SetLdapFlag(uint32_t flag, bool on);

    std::atomic<uint32_t> m_ldapFlags{0};
    mutable SmallLock m_ldapLock;  // connection, schema, filter, DN
    arbldap::LDAPConnectionPtr m_connection;
    RefPtr<CLDAPSchema> m_schema;
    std::shared_ptr<const std::string> m_customFilter;
    bool m_ownsFilter = false;
    // The DN is kept as its text when parsing that text gives the same DN
    // back (nearly always); another is kept whole. Whole, each of a long
    // list of children carried a copy of its parent's parts.
    void StoreDN(arbldap::LDAPDN dn);
    std::string m_dnText;
    std::unique_ptr<arbldap::LDAPDN> m_dnWhole;
};

// The entry or server node of that DN at or below the item (a server and its
// entries), found by descending only where the DN lies; null when the tree
// holds none.
CDataObject* FindItemByDN(const arbldap::LDAPDN& dn, platform::TreeItem from);
