#pragma once
// Builds the NULL-terminated LDAPMod array of a list of attributes or
// modifications; used by the two lists that hand such arrays to the library.

#include <memory>

#include "ldap/LDAPModificationList.h"

namespace arbldap {

template <class List>
LDAPMod** BuildLDAPModArray(const List& items)
{
    // Zero-filled, so a failure part-way frees just what was built.
    std::unique_ptr<LDAPMod*[]> array(new LDAPMod*[items.GetCount() + 1]());
    try {
        size_t i = 0;
        for (const auto& item : items)
            array[i++] = item.ToLDAPMod();
    } catch (...) {
        LDAPModificationList::FreeLDAPModArray(array.release());
        throw;
    }
    return array.release();
}

} // namespace arbldap
