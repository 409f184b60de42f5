#pragma once
// What one copy puts on the clipboard in the program's own format: the
// entry it was made from, further entries and attribute values, the server
// they came from (the schema cache's identity of its host) and whether a
// paste is to move them.

#include <cstdint>
#include <string>
#include <vector>

#include "base/Archive.h"
#include "base/Guid.h"
#include "ldap/LDAPAttributeList.h"
#include "ldap/LDAPDN.h"

class CLDAPObject;

// What a context holds besides its DN.
enum : int {
    kClipboardEntry = 0,            // the entry named by the DN
    kClipboardValues = 1,           // attribute values of the entry named by the DN
    kClipboardEntries = 2,          // the entries of the DN list
    kClipboardEntriesAndValues = 3, // both
};

// The operation word that asks a paste to move.
constexpr uint32_t kClipboardMove = 1;

class CArbClipboardContext {
public:
    typedef std::vector<arbldap::LDAPDN> DNList;

    CArbClipboardContext() = default;
    // Operation 0, the node's DN and its server's identity, empty lists.
    explicit CArbClipboardContext(const CLDAPObject& node);
    CArbClipboardContext(const CArbClipboardContext&) = default;
    CArbClipboardContext& operator=(const CArbClipboardContext&) = default;
    virtual ~CArbClipboardContext() = default;

    uint32_t GetOperation() const { return m_operation; }
    void SetOperation(uint32_t operation) { m_operation = operation; }
    const GUID& GetGuid() const { return m_guid; }
    const arbldap::LDAPDN& GetDN() const { return m_dn; }
    const DNList& GetDNList() const { return m_dnList; }
    const arbldap::LDAPAttributeList& GetAttributes() const { return m_attributes; }
    int GetState() const;

    void AddDN(const arbldap::LDAPDN& dn) { m_dnList.push_back(dn); }
    // Appends to the attribute of exactly that name (case and options
    // count), or adds the attribute with that one value.
    void AddAttributeValue(const std::string& name, const std::string& value);

    // Stores, or loads from, the stream of the clipboard format. A load
    // replaces the context only when the whole stream was read; a damaged
    // one throws CArchiveException and leaves the context as it was.
    void Serialize(CArchive& ar);
    // The plain-text form: the DN, the values, the listed DNs.
    std::string GetText() const;

private:
    void Store(CArchive& ar) const;
    void Load(CArchive& ar);

    uint32_t m_operation = 0;
    GUID m_guid;
    arbldap::LDAPDN m_dn;
    DNList m_dnList;
    arbldap::LDAPAttributeList m_attributes;
};
