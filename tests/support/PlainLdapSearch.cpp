#include "tests/support/PlainLdapSearch.h"

#include <functional>
#include <memory>
#include <stdexcept>

#include <ldap.h>

namespace testsupport {

namespace {

typedef std::unique_ptr<LDAP, void (*)(LDAP*)> Session;

// An anonymous version 3 session with the search sent; its message id.
Session StartSearch(int port, const std::string& base, int scope, const std::string& filter,
                    const std::vector<std::string>& attributes, int& id)
{
    LDAP* raw = nullptr;
    const std::string url = "ldap://127.0.0.1:" + std::to_string(port);
    if (ldap_initialize(&raw, url.c_str()) != LDAP_SUCCESS)
        throw PlainLdapError(LDAP_PARAM_ERROR, "ldap_initialize failed");
    Session ld(raw, [](LDAP* l) { ldap_unbind_ext_s(l, nullptr, nullptr); });
    int version = LDAP_VERSION3;
    ldap_set_option(ld.get(), LDAP_OPT_PROTOCOL_VERSION, &version);
    ldap_set_option(ld.get(), LDAP_OPT_REFERRALS, LDAP_OPT_OFF);
    std::vector<char*> names;
    for (const std::string& name : attributes)
        names.push_back(const_cast<char*>(name.c_str()));
    names.push_back(nullptr);
    int rc = ldap_search_ext(ld.get(), base.c_str(), scope, filter.c_str(), attributes.empty() ? nullptr : names.data(),
                             0, nullptr, nullptr, nullptr, 0, &id);
    if (rc != LDAP_SUCCESS)
        throw PlainLdapError(rc, std::string("ldap_search_ext: ") + ldap_err2string(rc));
    return ld;
}

// Hands each entry to onEntry until the search result; throws on a failure.
void ReadResults(LDAP* ld, int id, const std::function<void(LDAPMessage*)>& onEntry)
{
    for (;;) {
        LDAPMessage* message = nullptr;
        if (ldap_result(ld, id, LDAP_MSG_ONE, nullptr, &message) <= 0 || !message)
            throw PlainLdapError(LDAP_OTHER, "ldap_result failed");
        std::unique_ptr<LDAPMessage, int (*)(LDAPMessage*)> owned(message, ldap_msgfree);
        const int type = ldap_msgtype(message);
        if (type == LDAP_RES_SEARCH_RESULT) {
            int code = 0;
            ldap_parse_result(ld, message, &code, nullptr, nullptr, nullptr, nullptr, 0);
            if (code != LDAP_SUCCESS)
                throw PlainLdapError(code, std::string("search result: ") + ldap_err2string(code));
            return;
        }
        if (type == LDAP_RES_SEARCH_ENTRY)
            onEntry(message);
    }
}

// Each attribute of the entry with its values.
void ForEachAttribute(LDAP* ld, LDAPMessage* entry, const std::function<void(const char*, berval**)>& onAttribute)
{
    BerElement* ber = nullptr;
    for (char* name = ldap_first_attribute(ld, entry, &ber); name; name = ldap_next_attribute(ld, entry, ber)) {
        berval** values = ldap_get_values_len(ld, entry, name);
        onAttribute(name, values);
        ldap_value_free_len(values);
        ldap_memfree(name);
    }
    if (ber)
        ber_free(ber, 0);
}

} // namespace

std::vector<PlainEntry> PlainLdapSearch(int port, const std::string& base, int scope, const std::string& filter,
                                        const std::vector<std::string>& attributes)
{
    int id = 0;
    Session ld = StartSearch(port, base, scope, filter, attributes, id);
    std::vector<PlainEntry> entries;
    ReadResults(ld.get(), id, [&](LDAPMessage* message) {
        PlainEntry entry;
        char* dn = ldap_get_dn(ld.get(), message);
        entry.dn = dn ? dn : "";
        ldap_memfree(dn);
        ForEachAttribute(ld.get(), message, [&](const char* name, berval** values) {
            std::vector<std::string>& kept = entry.values[name];
            for (int i = 0; values && values[i]; ++i)
                kept.emplace_back(values[i]->bv_val, values[i]->bv_len);
        });
        entries.push_back(std::move(entry));
    });
    return entries;
}

size_t PlainLdapRead(int port, const std::string& base, int scope, const std::string& filter,
                     const std::vector<std::string>& attributes, size_t* values)
{
    int id = 0;
    Session ld = StartSearch(port, base, scope, filter, attributes, id);
    size_t entries = 0, read = 0;
    ReadResults(ld.get(), id, [&](LDAPMessage* message) {
        char* dn = ldap_get_dn(ld.get(), message);
        ldap_memfree(dn);
        ForEachAttribute(ld.get(), message, [&](const char*, berval** got) {
            for (int i = 0; got && got[i]; ++i)
                ++read;
        });
        ++entries;
    });
    if (values)
        *values = read;
    return entries;
}

} // namespace testsupport
