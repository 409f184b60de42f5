#pragma once
// The changes of one modify request, in the order they are to be applied.

#include <cstddef>
#include <list>

#include "ldap/LDAPModification.h"

namespace arbldap {

class LDAPModificationList {
public:
    typedef std::list<LDAPModification>::iterator iterator;
    typedef std::list<LDAPModification>::const_iterator const_iterator;

    LDAPModificationList() = default;
    LDAPModificationList(const LDAPModificationList&) = default;
    LDAPModificationList(LDAPModificationList&&) = default;
    LDAPModificationList& operator=(const LDAPModificationList&) = default;
    LDAPModificationList& operator=(LDAPModificationList&&) = default;
    ~LDAPModificationList() = default;

    void Add(const LDAPModification& modification) { m_modifications.push_back(modification); }
    void Clear() { m_modifications.clear(); }

    size_t GetCount() const { return m_modifications.size(); }
    bool IsEmpty() const { return m_modifications.empty(); }

    iterator Begin() { return m_modifications.begin(); }
    iterator End() { return m_modifications.end(); }
    const_iterator Begin() const { return m_modifications.begin(); }
    const_iterator End() const { return m_modifications.end(); }
    iterator begin() { return m_modifications.begin(); }
    iterator end() { return m_modifications.end(); }
    const_iterator begin() const { return m_modifications.begin(); }
    const_iterator end() const { return m_modifications.end(); }

    // One LDAPMod per modification in order, then a null entry (just the null
    // entry for an empty list). Free with FreeLDAPModArray.
    LDAPMod** ToLDAPModArray() const;
    // Frees each modification with LDAPAttribute::FreeLDAPMod, then the array;
    // also frees the arrays of LDAPAttributeList::ToLDAPModArray.
    static void FreeLDAPModArray(LDAPMod** array);

private:
    std::list<LDAPModification> m_modifications;
};

} // namespace arbldap
