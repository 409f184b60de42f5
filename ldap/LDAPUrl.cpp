#include <ldap.h>

#include "ldap/LDAPUrl.h"

#include <cstring>
#include <memory>

#include "ldap/LDAPException.h"

namespace arbldap {

namespace {

struct UrlDescDeleter {
    void operator()(LDAPURLDesc* desc) const { ldap_free_urldesc(desc); }
};

const char* ScopeWord(int scope)
{
    switch (scope) {
    case 0: return "base";
    case 1: return "one";
    case 2: return "sub";
    default: return "";
    }
}

}  // namespace

LDAPUrl::LDAPUrl(const char* url)
{
    if (!url || !ldap_is_ldap_url(url))
        throw LDAPException(kLDAPLocalError);

    // The library accepts "ldap://host" without a trailing "/", so no retry
    // with an appended "/" is needed. Its "bad parameter" code (2) only means
    // a null argument here, which appending "/" could never cure.
    LDAPURLDesc* raw = nullptr;
    int rc = ldap_url_parse(url, &raw);
    std::unique_ptr<LDAPURLDesc, UrlDescDeleter> desc(raw);
    if (rc != LDAP_URL_SUCCESS)
        throw LDAPException(rc);

    if (desc->lud_host)
        m_host = desc->lud_host;
    m_secure = desc->lud_scheme && std::strcmp(desc->lud_scheme, "ldaps") == 0;
    if (desc->lud_port != 0)
        m_port = desc->lud_port;
    else
        m_port = m_secure ? 636 : 389;
    if (desc->lud_dn)
        m_dn = desc->lud_dn;
    m_attributes.AssignFromArray(desc->lud_attrs);
    m_scope = desc->lud_scope;
    m_hasFilter = desc->lud_filter && *desc->lud_filter;
    m_filter = m_hasFilter ? desc->lud_filter : "(objectClass=*)";
    m_url = url;
}

LDAPUrl::LDAPUrl(const std::string& host, int port, const std::string& dn,
                 const StringList& attributes, int scope, const std::string& filter)
    : m_port(port), m_scope(scope), m_hasFilter(!filter.empty()), m_host(host), m_dn(dn), m_filter(filter),
      m_attributes(attributes)
{
    ToString();
}

const std::string& LDAPUrl::ToString()
{
    // Plain concatenation: host, DN and filter may hold '%' and any length.
    std::string text = "ldap://" + m_host + ":" + std::to_string(m_port) + "/" + m_dn + "?";
    bool first = true;
    for (const std::string& name : m_attributes) {
        if (!first) text += ',';
        text += name;
        first = false;
    }
    text += '?';
    text += ScopeWord(m_scope);
    text += '?';
    text += m_filter;
    m_url = std::move(text);
    return m_url;
}

LDAPUrlList::LDAPUrlList(const char* const* urls)
{
    if (!urls) return;
    for (const char* const* p = urls; *p; ++p)
        m_urls.emplace_back(*p);
}

} // namespace arbldap
