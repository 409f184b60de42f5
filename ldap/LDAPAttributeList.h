#pragma once
// The attributes of an entry, in the order they were added (a search entry
// keeps the server's order).

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

#include "ldap/LDAPAttribute.h"

class CArchive;

namespace arbldap {

class LDAPConnection;

class LDAPAttributeList {
public:
    typedef std::vector<LDAPAttribute>::iterator iterator;
    typedef std::vector<LDAPAttribute>::const_iterator const_iterator;

    LDAPAttributeList() = default;
    LDAPAttributeList(const LDAPAttributeList&) = default;
    // The attributes of a search-entry message read on the connection, in
    // the server's order, every value byte for byte. A message that cannot
    // be decoded throws LDAPException.
    LDAPAttributeList(LDAPMessage* entry, const LDAPConnection& connection);
    LDAPAttributeList(LDAPAttributeList&&) = default;
    LDAPAttributeList& operator=(const LDAPAttributeList&) = default;
    LDAPAttributeList& operator=(LDAPAttributeList&&) = default;
    ~LDAPAttributeList() = default;

    void Add(const LDAPAttribute& attribute) { m_attributes.push_back(attribute); }
    void Add(LDAPAttribute&& attribute) { m_attributes.push_back(std::move(attribute)); }
    // Appends the value to the first attribute of exactly that name (case and
    // options count), or appends a new attribute holding it.
    void AddValue(const std::string& name, const std::string& value);

    size_t GetCount() const { return m_attributes.size(); }
    bool IsEmpty() const { return m_attributes.empty(); }
    void Clear() { m_attributes.clear(); }

    iterator Begin() { return m_attributes.begin(); }
    iterator End() { return m_attributes.end(); }
    const_iterator Begin() const { return m_attributes.begin(); }
    const_iterator End() const { return m_attributes.end(); }
    iterator begin() { return m_attributes.begin(); }
    iterator end() { return m_attributes.end(); }
    const_iterator begin() const { return m_attributes.begin(); }
    const_iterator end() const { return m_attributes.end(); }

    // The add request's form: one add modification per attribute and a null
    // entry. Free with LDAPModificationList::FreeLDAPModArray.
    LDAPMod** ToLDAPModArray() const;

    bool operator==(const LDAPAttributeList& other) const { return m_attributes == other.m_attributes; }
    bool operator!=(const LDAPAttributeList& other) const { return !(*this == other); }

private:
    friend class LDAPEntry;
    // Appends the attributes of the message, read in one walk that also
    // reads its DN into dn (when given); they share one buffer.
    void Read(LDAP* session, LDAPMessage* entry, std::string* dn);

    std::vector<LDAPAttribute> m_attributes;
};

// Each attribute through DumpAttribute, followed by "; ".
std::wostream& DumpAttributeList(std::wostream& os, const LDAPAttributeList& list);

CArchive& WriteAttributeList(CArchive& ar, const LDAPAttributeList& list);
// Empties the list, then appends each stored attribute; a damaged archive
// throws CArchiveException and leaves the attributes read so far.
CArchive& ReadAttributeList(CArchive& ar, LDAPAttributeList& list);

} // namespace arbldap
