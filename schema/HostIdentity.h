#pragma once
// Which server a connection's host text names, so that the schema cache meets
// a server again whether it was reached by name, by another name or by
// address: the IPv4 addresses and the names the resolver knows for the text.
//
// Each host text is resolved once per run (CHostResolutionCache): the lookups
// block, and the cache asks for an identity on every schema request. A host
// without any IPv4 address (IPv6 only, or unknown to the resolver) is known
// by its name for the run; only identities with an address can be written to
// the cache file and met again in a later run.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "platform/HostLookup.h"
#include "schema/SchemaNames.h"

class CHostResolutionCache;

class CHostIdentity {
public:
    // Words in network order, ascending by the word's value.
    typedef std::set<uint32_t> AddressSet;
    // Names met ignoring ASCII case.
    typedef std::set<std::string, NoCaseLess> NameSet;

    CHostIdentity() = default;
    // Empty sets, then Resolve through the run's cache.
    explicit CHostIdentity(const std::string& host);
    CHostIdentity(const std::string& host, CHostResolutionCache& cache);

    // Adds what the resolver knows of the host text to both sets.
    void Resolve(const std::string& host);
    void Resolve(const std::string& host, CHostResolutionCache& cache);

    // True when the other identity has an address that this one has.
    bool SharesAddress(const CHostIdentity& other) const;
    // The match for the schema cache: a shared address or, when neither side
    // has any address, a shared name.
    bool IsSameHost(const CHostIdentity& other) const;
    // True when some name ends with text, ignoring ASCII case.
    bool HasNameEndingWith(const std::string& text) const;
    bool HasAddress() const { return !m_addresses.empty(); }

    const AddressSet& GetAddresses() const { return m_addresses; }
    const NameSet& GetNames() const { return m_names; }
    // For records read back from the cache file, which hold addresses only.
    void AddAddress(uint32_t address) { m_addresses.insert(address); }
    void AddName(const std::string& name) { m_names.insert(name); }

    bool operator==(const CHostIdentity& o) const;
    bool operator!=(const CHostIdentity& o) const { return !(*this == o); }

private:
    friend class CHostResolutionCache;
    void Merge(const CHostIdentity& other);

    AddressSet m_addresses;
    NameSet m_names;
};

// The answers of the resolver for the run, one per host text (ignoring ASCII
// case). Safe for any number of threads; a text that several threads ask for
// at once is resolved once, while other texts go on in parallel.
class CHostResolutionCache {
public:
    // Null: the system resolver.
    explicit CHostResolutionCache(std::shared_ptr<platform::IHostResolver> resolver = nullptr);

    CHostIdentity Lookup(const std::string& host);

    // The program's cache.
    static CHostResolutionCache& ForRun();

private:
    struct Entry {
        std::mutex lock;
        bool resolved = false;
        CHostIdentity identity;
    };

    CHostIdentity ResolveNow(const std::string& host);

    std::shared_ptr<platform::IHostResolver> m_resolver;
    std::mutex m_lock;
    std::map<std::string, std::shared_ptr<Entry>> m_entries;
};
