#pragma once
// A directory entry: its DN text and its attributes.

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>

#include "ldap/LDAPAttributeList.h"

namespace arbldap {

class LDAPConnection;

class LDAPEntry {
public:
    // Takes ownership of attributes; null gives an empty list.
    explicit LDAPEntry(const std::string& dn, LDAPAttributeList* attributes = nullptr);
    LDAPEntry(const LDAPEntry& other);
    // Leaves other with no DN and no attributes.
    LDAPEntry(LDAPEntry&& other) noexcept;
    // The DN and attributes of a search-entry message read on the connection,
    // in one walk of the message. Without a session or a message this throws
    // LDAPException from the session's state; a message that cannot be
    // decoded throws LDAPException with the library's code.
    LDAPEntry(LDAPMessage* entry, const LDAPConnection& connection);
    LDAPEntry& operator=(const LDAPEntry& other);
    LDAPEntry& operator=(LDAPEntry&& other) noexcept;
    ~LDAPEntry() = default;

    std::string GetDN() const { return m_dn; }
    void SetDN(const std::string& dn) { m_dn = dn; }

    LDAPAttributeList& GetAttributes();
    const LDAPAttributeList& GetAttributes() const;
    // Drops the old list and takes ownership of this one; null gives an empty list.
    void SetAttributes(LDAPAttributeList* attributes);
    // Drops the old list and keeps a copy of this one.
    void SetAttributes(const LDAPAttributeList& attributes);

    // The values of the first attribute named "objectclass" in any ASCII case
    // (options make it another attribute), else an empty list.
    const LDAPValueList& GetObjectClasses() const;
    // Bytes of all values of all attributes.
    size_t GetValuesSize() const;

    // "DN: ", the DN, ": ", then the attributes as DumpAttributeList writes them.
    void Dump(std::wostream& os) const;

private:
    std::unique_ptr<LDAPAttributeList> m_attributes;  // null only once moved from: no attributes
    std::string m_dn;
};

} // namespace arbldap
