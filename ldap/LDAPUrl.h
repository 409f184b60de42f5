#pragma once
// One LDAP URL split into its fields: referral targets returned by servers and
// the URLs of directory entries shown to the user.

#include <list>
#include <string>

#include "base/StringList.h"

namespace arbldap {

class LDAPUrl {
public:
    // Parses URL text. Text that is not an LDAP URL throws LDAPException 82;
    // a URL the library cannot parse throws LDAPException with the parser's
    // code (LDAP_URL_ERR_*, e.g. 8 for a bad scope), and so does a port
    // outside 1 to 65535 (5, a bad URL).
    explicit LDAPUrl(const char* url);
    explicit LDAPUrl(const std::string& url) : LDAPUrl(url.c_str()) {}
    // Sets the fields, then builds the URL text with ToString.
    LDAPUrl(const std::string& host, int port, const std::string& dn,
            const StringList& attributes, int scope, const std::string& filter);

    LDAPUrl(const LDAPUrl&) = default;
    LDAPUrl(LDAPUrl&&) = default;
    LDAPUrl& operator=(const LDAPUrl&) = default;
    LDAPUrl& operator=(LDAPUrl&&) = default;
    ~LDAPUrl() = default;

    // Rebuilds the URL text from the fields and returns it: text that parses
    // back to the same fields. The scheme is "ldaps" for a URL parsed from an
    // ldaps one, else "ldap"; an IPv6 host is put in brackets; DN, attribute
    // names and filter are percent-encoded where they hold '?', '%' or bytes
    // a URL cannot carry. A port outside 1 to 65535 is left out, and an
    // unknown scope gives an empty scope word.
    const std::string& ToString();
    const std::string& GetURL() const { return m_url; }

    const std::string& GetHost() const { return m_host; }
    int GetPort() const { return m_port; }
    const std::string& GetDN() const { return m_dn; }
    const std::string& GetFilter() const { return m_filter; }
    const StringList& GetAttributes() const { return m_attributes; }
    int GetScope() const { return m_scope; }
    // The parsed text named a filter of its own (GetFilter then holds it;
    // otherwise it holds the default "(objectClass=*)").
    bool HasFilter() const { return m_hasFilter; }
    // The parsed text's scheme was "ldaps".
    bool IsSecure() const { return m_secure; }

    // The writers leave the URL text as it is; call ToString to rebuild it.
    void SetHost(const std::string& host) { m_host = host; }
    void SetPort(int port) { m_port = port; }
    void SetDN(const std::string& dn) { m_dn = dn; }
    void SetFilter(const std::string& filter)
    {
        m_filter = filter;
        m_hasFilter = !filter.empty();
    }
    void SetAttributes(const StringList& attributes) { m_attributes = attributes; }
    void SetScope(int scope) { m_scope = scope; }

private:
    int m_port = 0;
    int m_scope = 0;
    bool m_hasFilter = false;
    bool m_secure = false;
    std::string m_host;
    std::string m_dn;
    std::string m_filter;
    StringList m_attributes;
    std::string m_url;
};

// The URLs of one referral, in the server's order.
class LDAPUrlList {
public:
    typedef std::list<LDAPUrl>::iterator iterator;
    typedef std::list<LDAPUrl>::const_iterator const_iterator;

    LDAPUrlList() = default;
    // Parses each text of a NULL-terminated array in order; null gives an
    // empty list. The first text that does not parse throws.
    explicit LDAPUrlList(const char* const* urls);
    LDAPUrlList(const LDAPUrlList&) = default;
    LDAPUrlList(LDAPUrlList&&) = default;
    LDAPUrlList& operator=(const LDAPUrlList&) = default;
    LDAPUrlList& operator=(LDAPUrlList&&) = default;
    ~LDAPUrlList() = default;

    void Add(const LDAPUrl& url) { m_urls.push_back(url); }
    size_t GetCount() const { return m_urls.size(); }
    bool IsEmpty() const { return m_urls.empty(); }

    iterator begin() { return m_urls.begin(); }
    iterator end() { return m_urls.end(); }
    const_iterator begin() const { return m_urls.begin(); }
    const_iterator end() const { return m_urls.end(); }

private:
    std::list<LDAPUrl> m_urls;
};

} // namespace arbldap
