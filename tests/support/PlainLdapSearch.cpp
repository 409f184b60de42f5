#include "tests/support/PlainLdapSearch.h"

#include <memory>
#include <stdexcept>

#include <ldap.h>

namespace testsupport {

std::vector<PlainEntry> PlainLdapSearch(int port, const std::string& base, int scope, const std::string& filter,
                                        const std::vector<std::string>& attributes)
{
    LDAP* raw = nullptr;
    const std::string url = "ldap://127.0.0.1:" + std::to_string(port);
    if (ldap_initialize(&raw, url.c_str()) != LDAP_SUCCESS)
        throw PlainLdapError(LDAP_PARAM_ERROR, "ldap_initialize failed");
    std::unique_ptr<LDAP, void (*)(LDAP*)> ld(raw, [](LDAP* l) { ldap_unbind_ext_s(l, nullptr, nullptr); });
    int version = LDAP_VERSION3;
    ldap_set_option(ld.get(), LDAP_OPT_PROTOCOL_VERSION, &version);
    ldap_set_option(ld.get(), LDAP_OPT_REFERRALS, LDAP_OPT_OFF);

    std::vector<char*> names;
    for (const std::string& name : attributes)
        names.push_back(const_cast<char*>(name.c_str()));
    names.push_back(nullptr);
    int id = 0;
    int rc = ldap_search_ext(ld.get(), base.c_str(), scope, filter.c_str(), attributes.empty() ? nullptr : names.data(),
                             0, nullptr, nullptr, nullptr, 0, &id);
    if (rc != LDAP_SUCCESS)
        throw PlainLdapError(rc, std::string("ldap_search_ext: ") + ldap_err2string(rc));

    std::vector<PlainEntry> entries;
    for (;;) {
        LDAPMessage* message = nullptr;
        if (ldap_result(ld.get(), id, LDAP_MSG_ONE, nullptr, &message) <= 0 || !message)
            throw PlainLdapError(LDAP_OTHER, "ldap_result failed");
        std::unique_ptr<LDAPMessage, int (*)(LDAPMessage*)> owned(message, ldap_msgfree);
        const int type = ldap_msgtype(message);
        if (type == LDAP_RES_SEARCH_RESULT) {
            int code = 0;
            ldap_parse_result(ld.get(), message, &code, nullptr, nullptr, nullptr, nullptr, 0);
            if (code != LDAP_SUCCESS)
                throw PlainLdapError(code, std::string("search result: ") + ldap_err2string(code));
            return entries;
        }
        if (type != LDAP_RES_SEARCH_ENTRY)
            continue;
        PlainEntry entry;
        char* dn = ldap_get_dn(ld.get(), message);
        entry.dn = dn ? dn : "";
        ldap_memfree(dn);
        BerElement* ber = nullptr;
        for (char* name = ldap_first_attribute(ld.get(), message, &ber); name;
             name = ldap_next_attribute(ld.get(), message, ber)) {
            berval** values = ldap_get_values_len(ld.get(), message, name);
            std::vector<std::string>& kept = entry.values[name];
            for (int i = 0; values && values[i]; ++i)
                kept.emplace_back(values[i]->bv_val, values[i]->bv_len);
            ldap_value_free_len(values);
            ldap_memfree(name);
        }
        if (ber)
            ber_free(ber, 0);
        entries.push_back(std::move(entry));
    }
}

} // namespace testsupport
