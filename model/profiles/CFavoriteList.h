#pragma once
// A server's favourites in the order they were added; duplicates allowed.

#include <string>
#include <vector>

#include "ldap/LDAPDN.h"
#include "model/profiles/CFavorite.h"

class CFavoriteList {
public:
    typedef std::vector<CFavorite>::const_iterator const_iterator;

    void Add(const CFavorite& favorite) { m_favorites.push_back(favorite); }
    void Clear() { m_favorites.clear(); }
    void Assign(const CFavoriteList& other) { m_favorites = other.m_favorites; }

    const_iterator Begin() const { return m_favorites.begin(); }
    const_iterator End() const { return m_favorites.end(); }
    const_iterator begin() const { return m_favorites.begin(); }
    const_iterator end() const { return m_favorites.end(); }
    size_t GetCount() const { return m_favorites.size(); }

    // A favourite of that name, ignoring ASCII case.
    bool Contains(const std::string& name) const;
    // The name of the first favourite whose DN names the same entry as dn
    // (SameDNValue); false, with name untouched, when there is none.
    bool FindByValue(const arbldap::LDAPDN& dn, std::string& name) const;

    bool operator==(const CFavoriteList& other) const { return m_favorites == other.m_favorites; }
    bool operator!=(const CFavoriteList& other) const { return !(*this == other); }

private:
    std::vector<CFavorite> m_favorites;
};
