#pragma once
// One attribute of an entry template: its name and preset values, whether
// the template's object classes require it, and the settings key it was
// read from or last written under.

#include <cstdint>
#include <string>

#include "base/StringList.h"
#include "ldap/LDAPAttribute.h"

class CEntryTemplateAttribute : public arbldap::LDAPAttribute {
public:
    explicit CEntryTemplateAttribute(bool must = false) : m_must(must) {}
    CEntryTemplateAttribute(const std::string& name, bool must);
    CEntryTemplateAttribute(const std::string& name, const std::string& value, bool must)
        : LDAPAttribute(name, value), m_must(must) {}
    CEntryTemplateAttribute(const std::string& name, const StringList& values, bool must)
        : LDAPAttribute(name, values), m_must(must) {}

    bool GetMust() const { return m_must; }
    void SetMust(bool must) { m_must = must; }
    const std::wstring& GetKeyPath() const { return m_keyPath; }

    // Writes "Must" and one binary "val%d" per value into a sub-key named
    // after the attribute below the template's key, creating both as needed.
    bool Save(const std::wstring& templateKeyPath);
    // Reads the key at keyPath: "Must", then "val0", "val1" ... up to the
    // first one missing; empty values are not taken. True when "Must" was read.
    bool Load(const std::wstring& keyPath);
    // Deletes the key the attribute was read from or written to.
    void DeleteFromRegistry();

private:
    bool m_must = false;
    std::wstring m_keyPath;
};
