#pragma once
// A search straight through libldap, beside the program's own layers: what
// the server returns, read the plainest way (ldap_search_ext, ldap_result,
// ldap_get_dn, ldap_get_values_len), to hold the program's results against.

#include <cstddef>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace testsupport {

struct PlainEntry {
    std::string dn;
    std::map<std::string, std::vector<std::string>> values;  // by attribute name as sent
};

// A failed plain search, with the library's code.
class PlainLdapError : public std::runtime_error {
public:
    PlainLdapError(int code, const std::string& what) : std::runtime_error(what), code(code) {}
    int code;
};

// An anonymous version 3 search on 127.0.0.1:port; scope 0 base, 1 one
// level, 2 subtree; no attributes asks for all. Search references are not
// followed (their entries are not the server's own). Throws PlainLdapError
// on any failure.
std::vector<PlainEntry> PlainLdapSearch(int port, const std::string& base, int scope, const std::string& filter,
                                        const std::vector<std::string>& attributes);

// The same search reading every DN and value without keeping them (as a
// benchmark's plain side); the number of entries, and of values in *values.
size_t PlainLdapRead(int port, const std::string& base, int scope, const std::string& filter,
                     const std::vector<std::string>& attributes, size_t* values = nullptr);

} // namespace testsupport
