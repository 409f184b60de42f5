#include "schema/HostIdentity.h"

#include <algorithm>
#include <vector>

#include "base/NoCase.h"

namespace {

std::string FoldKey(const std::string& text)
{
    std::string f(text);
    for (char& c : f)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return f;
}

} // namespace

CHostIdentity::CHostIdentity(const std::string& host)
{
    Resolve(host);
}

CHostIdentity::CHostIdentity(const std::string& host, CHostResolutionCache& cache)
{
    Resolve(host, cache);
}

void CHostIdentity::Resolve(const std::string& host)
{
    Resolve(host, CHostResolutionCache::ForRun());
}

void CHostIdentity::Resolve(const std::string& host, CHostResolutionCache& cache)
{
    Merge(cache.Lookup(host));
}

void CHostIdentity::Merge(const CHostIdentity& other)
{
    m_addresses.insert(other.m_addresses.begin(), other.m_addresses.end());
    m_names.insert(other.m_names.begin(), other.m_names.end());
}

bool CHostIdentity::SharesAddress(const CHostIdentity& other) const
{
    for (uint32_t a : other.m_addresses)
        if (m_addresses.count(a)) return true;
    return false;
}

bool CHostIdentity::IsSameHost(const CHostIdentity& other) const
{
    if (SharesAddress(other)) return true;
    if (HasAddress() || other.HasAddress()) return false;
    for (const std::string& n : other.m_names)
        if (m_names.count(n)) return true;
    return false;
}

bool CHostIdentity::HasNameEndingWith(const std::string& text) const
{
    for (const std::string& n : m_names)
        if (n.size() >= text.size() && StrICmp(n.c_str() + (n.size() - text.size()), text.c_str()) == 0) return true;
    return false;
}

bool CHostIdentity::operator==(const CHostIdentity& o) const
{
    return m_addresses == o.m_addresses && std::equal(m_names.begin(), m_names.end(), o.m_names.begin(), o.m_names.end());
}

CHostResolutionCache::CHostResolutionCache(std::shared_ptr<platform::IHostResolver> resolver)
    : m_resolver(resolver ? std::move(resolver) : std::make_shared<platform::SystemHostResolver>())
{
}

CHostResolutionCache& CHostResolutionCache::ForRun()
{
    static CHostResolutionCache cache;
    return cache;
}

CHostIdentity CHostResolutionCache::Lookup(const std::string& host)
{
    std::shared_ptr<Entry> entry;
    {
        std::lock_guard<std::mutex> g(m_lock);
        std::shared_ptr<Entry>& slot = m_entries[FoldKey(host)];
        if (!slot) slot = std::make_shared<Entry>();
        entry = slot;
    }
    // Only askers of the same text wait for each other.
    std::lock_guard<std::mutex> g(entry->lock);
    if (!entry->resolved) {
        entry->identity = ResolveNow(host);
        entry->resolved = true;
    }
    return entry->identity;
}

CHostIdentity CHostResolutionCache::ResolveNow(const std::string& host)
{
    CHostIdentity id;
    std::string canonical;
    if (platform::ParseIPv6Literal(host, canonical)) {
        // No IPv4 address to be had: the address text, in one spelling, is its name.
        id.m_names.insert(canonical);
        return id;
    }
    std::string name = host;
    uint32_t literal = 0;
    bool dotted = platform::ParseIPv4Literal(host, literal);
    if (dotted) {
        id.m_addresses.insert(literal);
        std::string official;
        if (m_resolver->ReverseIPv4(literal, official)) name = official;
    }
    id.m_names.insert(name);
    // A dotted text that found no name would only resolve to itself.
    if (!dotted || name != host) {
        std::vector<uint32_t> addresses;
        if (m_resolver->ResolveIPv4(name, addresses)) id.m_addresses.insert(addresses.begin(), addresses.end());
    }
    return id;
}
