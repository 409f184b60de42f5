#include <ldap.h>

#include "ldap/LDAPUrl.h"

#include <cstring>
#include <memory>

#include "ldap/LDAPException.h"
#include "ldap/LDAPRDN.h"

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
    case 3: return "children";  // the parser reads it, so it must print back
    default: return "";
    }
}

bool IsUrlChar(char c)
{
    // Unreserved characters, sub-delimiters, ':', '@' and '/': what a URL
    // part may hold as it is. '?', '%', blanks and 8-bit bytes are not.
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           (c != '\0' && std::strchr("-._~!$&'()*+,;=:@/", c));
}

// text with every byte outside the URL set, and each byte of also, as %XX.
std::string Encoded(const std::string& text, const char* also = "")
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (IsUrlChar(c) && !std::strchr(also, c)) {
            out += c;
        } else {
            unsigned char b = static_cast<unsigned char>(c);
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 0x0F];
        }
    }
    return out;
}

// The port exactly as the URL text writes it (percent-decoded, as the
// library reads it), or empty when it writes none. The library maps port 0
// to the default and lets larger numbers wrap, so the text must be seen.
std::string WrittenPort(const char* url)
{
    std::string text = url;
    size_t start = text.find("://");
    if (start == std::string::npos)
        return std::string();
    start += 3;
    // Host and port end where the DN, the fields or an enclosing '>' begin.
    std::string hostPort = text.substr(start, text.find_first_of("/?>", start) - start);
    bool bracketed = !hostPort.empty() && hostPort.front() == '[';
    size_t colon = bracketed ? hostPort.find("]:") : hostPort.find(':');
    if (colon == std::string::npos)
        return std::string();
    std::string raw = hostPort.substr(colon + (bracketed ? 2 : 1));
    std::string port;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '%' && i + 2 < raw.size() && IsHexDigit(raw[i + 1]) && IsHexDigit(raw[i + 2])) {
            port += static_cast<char>(HexPairValue(raw[i + 1], raw[i + 2]));
            i += 2;
        } else {
            port += raw[i];
        }
    }
    return port;
}

bool IsPortNumber(const std::string& text)
{
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
        if (value > 65535)
            return false;
    }
    return value >= 1;
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
    bool local = desc->lud_scheme && std::strcmp(desc->lud_scheme, "ldapi") == 0;
    std::string port = local ? std::string() : WrittenPort(url);
    if (!port.empty() && !IsPortNumber(port))
        throw LDAPException(LDAP_URL_ERR_BADURL);

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
    std::string text = m_secure ? "ldaps://" : "ldap://";
    // An IPv6 address goes in brackets, where its ':' are no port separator;
    // a host given in its brackets already keeps them.
    bool bracketed = m_host.size() > 1 && m_host.front() == '[' && m_host.back() == ']';
    if (bracketed)
        text += "[" + Encoded(m_host.substr(1, m_host.size() - 2)) + "]";
    else if (m_host.find(':') != std::string::npos)
        text += "[" + Encoded(m_host) + "]";
    else
        text += Encoded(m_host, "/");
    // A port the parser would refuse is left out: the scheme's default stands.
    if (m_port >= 1 && m_port <= 65535)
        text += ":" + std::to_string(m_port);
    text += "/" + Encoded(m_dn) + "?";
    bool first = true;
    for (const std::string& name : m_attributes) {
        if (!first) text += ',';
        text += Encoded(name, ",");
        first = false;
    }
    text += '?';
    text += ScopeWord(m_scope);
    text += '?';
    text += Encoded(m_filter);
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
