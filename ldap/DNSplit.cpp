#include "ldap/DNSplit.h"

#include <ldap.h>

#include <memory>

#include "base/StringList.h"

namespace arbldap {

namespace {

using LibraryDN = LDAPAVA***;

struct LibraryDNFree {
    void operator()(LibraryDN dn) const { ldap_dnfree(dn); }
};

// Number of RDNs the client library finds in dn, or -1 when it rejects it.
long LibraryRDNCount(const std::string& dn)
{
    LibraryDN raw = nullptr;
    int rc = ldap_str2dn(dn.c_str(), &raw, LDAP_DN_FORMAT_LDAP);
    std::unique_ptr<LDAPAVA**, LibraryDNFree> parsed(raw);
    if (rc != LDAP_SUCCESS)
        return -1;
    long n = 0;
    if (parsed)
        while (parsed.get()[n]) ++n;
    return n;
}

// Cuts dn into RDN texts; false on a structural fault.
bool Cut(const std::string& dn, std::vector<std::string>& out, size_t maxParts = std::string::npos)
{
    const size_t n = dn.size();
    size_t i = 0;
    for (;;) {
        while (i < n && IsDNBlank(dn[i])) ++i;
        const size_t start = i;
        size_t end = i;  // one past the last byte that is not a droppable blank
        bool quoted = false;
        bool hasEquals = false;
        for (; i < n; ++i) {
            const char c = dn[i];
            if (c == '\\') {
                if (i + 1 >= n) return false;
                ++i;
                end = i + 1;
            } else if (c == '"') {
                quoted = !quoted;
                end = i + 1;
            } else if (quoted) {
                end = i + 1;
            } else if (c == ',' || c == ';') {
                break;
            } else {
                if (c == '=') hasEquals = true;
                if (!IsDNBlank(c)) end = i + 1;
            }
        }
        if (quoted || end == start || !hasEquals)
            return false;
        out.emplace_back(dn, start, end - start);
        if (i >= n || out.size() == maxParts)
            return true;
        ++i;  // a separator must be followed by another RDN
    }
}

bool IsAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Every RDN is plain: the library's parse is known without asking it.
bool AllPlain(const std::vector<std::string>& rdns)
{
    for (const std::string& rdn : rdns)
        if (!IsPlainRDN(rdn)) return false;
    return true;
}

} // namespace

bool IsPlainRDN(const std::string& rdn)
{
    const size_t equals = rdn.find('=');
    if (equals == 0 || equals == std::string::npos || equals + 1 >= rdn.size() || !IsAlpha(rdn[0]))
        return false;
    for (size_t i = 1; i < equals; ++i)
        if (!IsAlpha(rdn[i]) && !IsDigit(rdn[i]) && rdn[i] != '-') return false;
    if (rdn[equals + 1] == ' ' || rdn.back() == ' ')
        return false;
    for (size_t i = equals + 1; i < rdn.size(); ++i) {
        const char c = rdn[i];
        if (!IsAlpha(c) && !IsDigit(c) && c != ' ' && c != '_' && c != '.' && c != '@' && c != '-') return false;
    }
    return true;
}

bool IsDNBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool SplitDN(const std::string& dn, std::vector<std::string>& rdns)
{
    rdns.clear();
    if (dn.empty())
        return true;
    // The library reads a zero-terminated text; what follows a zero would
    // silently vanish from the DN.
    if (dn.find('\0') != std::string::npos)
        return false;

    std::vector<std::string> parts;
    if (!Cut(dn, parts))
        return false;
    // Both must see the same RDNs; where they differ the text is too odd to trust.
    if (!AllPlain(parts) && LibraryRDNCount(dn) != static_cast<long>(parts.size()))
        return false;
    rdns = std::move(parts);
    return true;
}

bool SplitOneRDN(const std::string& text, std::string& rdn)
{
    if (text.empty() || text.find('\0') != std::string::npos)
        return false;
    std::vector<std::string> parts;
    if (!Cut(text, parts) || parts.size() != 1 || (!IsPlainRDN(parts.front()) && LibraryRDNCount(text) != 1))
        return false;
    rdn = std::move(parts.front());
    return true;
}

bool CutFirstRDN(const std::string& dn, std::string& rdn)
{
    rdn.clear();
    std::vector<std::string> parts;
    if (!Cut(dn, parts, 1) || parts.empty())
        return false;
    rdn = std::move(parts.front());
    return true;
}

} // namespace arbldap

namespace arbldap {

bool SplitDNToList(const std::string& dn, StringList& list)
{
    list.Clear();
    std::vector<std::string> rdns;
    if (!SplitDN(dn, rdns)) return false;
    for (std::string& rdn : rdns) list.Add(std::move(rdn));
    return !list.IsEmpty();
}

} // namespace arbldap
