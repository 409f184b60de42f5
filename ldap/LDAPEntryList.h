#pragma once
// Entries kept in the order they were added, each a deep copy or moved in.

#include <cstddef>
#include <list>
#include <utility>

#include "ldap/LDAPEntry.h"

namespace arbldap {

class LDAPEntryList {
public:
    typedef std::list<LDAPEntry>::iterator iterator;
    typedef std::list<LDAPEntry>::const_iterator const_iterator;

    LDAPEntryList() = default;
    LDAPEntryList(const LDAPEntryList&) = default;
    LDAPEntryList(LDAPEntryList&&) = default;
    LDAPEntryList& operator=(const LDAPEntryList&) = default;
    LDAPEntryList& operator=(LDAPEntryList&&) = default;
    ~LDAPEntryList() = default;

    void Add(const LDAPEntry& entry) { m_entries.push_back(entry); }
    void Add(LDAPEntry&& entry) { m_entries.push_back(std::move(entry)); }
    size_t GetCount() const { return m_entries.size(); }
    bool IsEmpty() const { return m_entries.empty(); }
    void Clear() { m_entries.clear(); }

    iterator Begin() { return m_entries.begin(); }
    iterator End() { return m_entries.end(); }
    const_iterator Begin() const { return m_entries.begin(); }
    const_iterator End() const { return m_entries.end(); }
    iterator begin() { return m_entries.begin(); }
    iterator end() { return m_entries.end(); }
    const_iterator begin() const { return m_entries.begin(); }
    const_iterator end() const { return m_entries.end(); }

private:
    std::list<LDAPEntry> m_entries;
};

} // namespace arbldap
