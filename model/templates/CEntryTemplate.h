#pragma once
// A named pattern for new directory entries: the attribute type of their
// RDN, a description, and attributes with preset values, each marked as
// required or not. Stored as one settings key per template below its
// group's key; see CEntryTemplateGroup.

#include <list>
#include <string>

#include "base/RefPtr.h"
#include "base/StringList.h"
#include "ldap/LDAPEntry.h"
#include "model/templates/CEntryTemplateAttribute.h"

class CLDAPSchema;

class CEntryTemplate {
public:
    typedef std::list<CEntryTemplateAttribute> AttributeList;

    // Each text that is not empty is set.
    CEntryTemplate(const std::wstring& name = std::wstring(), const std::wstring& rdnType = std::wstring(),
                   const std::wstring& description = std::wstring());
    // The entry's attributes, required as the schema says (SetFromEntry).
    CEntryTemplate(const arbldap::LDAPEntry& entry, const CLDAPSchema* schema, const std::wstring& name,
                   const std::wstring& rdnType, const std::wstring& description);
    virtual ~CEntryTemplate() = default;

    const std::wstring& GetName() const { return m_name; }
    void SetName(const std::wstring& name) { m_name = name; }
    const std::wstring& GetRDNType() const { return m_rdnType; }
    void SetRDNType(const std::wstring& type) { m_rdnType = type; }
    const std::wstring& GetDescription() const { return m_description; }
    void SetDescription(const std::wstring& description) { m_description = description; }
    const std::wstring& GetKeyPath() const { return m_keyPath; }
    AttributeList& GetAttributes() { return m_attributes; }
    const AttributeList& GetAttributes() const { return m_attributes; }

    CEntryTemplateAttribute& AddAttribute(const std::string& name, bool must);
    CEntryTemplateAttribute& AddAttribute(const std::string& name, const std::string& value, bool must);
    CEntryTemplateAttribute& AddAttribute(const std::string& name, const StringList& values, bool must);
    // The first attribute of that name ignoring case, or null.
    CEntryTemplateAttribute* FindAttribute(const std::string& name);
    // Replaces the values of the attribute found so; false when there is none.
    bool SetAttributeValues(const std::string& name, const StringList& values);
    // Appends the names of the required attributes.
    void GetMustAttributes(StringList& names) const;
    // Replaces the attributes with the entry's (their keys are deleted);
    // required when the schema says the entry's object classes require it.
    void SetFromEntry(const arbldap::LDAPEntry& entry, const CLDAPSchema* schema);
    // Deletes every attribute's key and empties the list.
    void ClearAttributes();
    // Deletes its key and removes it; false when it is not one of ours.
    bool RemoveAttribute(const CEntryTemplateAttribute* attribute);

    // Writes the template as sub-key "%.5d<name>" of the group key.
    bool Save(const std::wstring& groupKeyPath, int position);
    // Reads the template's key (the name is the group's business). True when
    // "RDNType" and at least one attribute with "Must" were read.
    bool Load(const std::wstring& keyPath);
    void DeleteFromRegistry();

private:
    std::wstring m_name;
    std::wstring m_rdnType;
    std::wstring m_description;
    std::wstring m_keyPath;
    AttributeList m_attributes;
};

// The sub-key name of a template at a position of its group: "%.5d%s".
std::wstring MakeTemplateKeyName(int position, const std::wstring& name);
