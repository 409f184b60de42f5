#pragma once
// An attribute of a directory entry: its name (options such as ";binary"
// included) and its values as byte strings, text or binary alike.

#include "ldap/SdkTypes.h"

#include <cstddef>
#include <iosfwd>
#include <string>

#include "base/StringList.h"
#include "ldap/LDAPValueList.h"

class CArchive;

namespace arbldap {

class LDAPAttribute {
public:
    LDAPAttribute() = default;
    LDAPAttribute(const LDAPAttribute&) = default;
    LDAPAttribute(LDAPAttribute&&) = default;
    LDAPAttribute(const std::string& name, const std::string& value);
    LDAPAttribute(const std::string& name, const StringList& values);
    // Each zero-terminated string of a NULL-terminated array becomes a value;
    // a null array gives none.
    LDAPAttribute(const char* name, char** values);
    // Each berval of a NULL-terminated array gives exactly its bytes; a null
    // array gives none.
    LDAPAttribute(const char* name, berval** values);
    LDAPAttribute& operator=(const LDAPAttribute&) = default;
    LDAPAttribute& operator=(LDAPAttribute&&) = default;
    virtual ~LDAPAttribute() = default;

    std::string GetName() const { return std::string(m_values.Name()); }
    void SetName(const std::string& name) { m_values.SetName(name); }
    // The name up to the first ';'.
    std::string GetBaseName() const;

    const LDAPValueList& GetValues() const { return m_values; }
    size_t GetValueCount() const { return m_values.GetCount(); }
    void AddValue(const std::string& value) { m_values.Add(value); }
    // -1 for a null berval, else 0.
    int AddBerValue(const berval* value);
    int SetValues(const StringList& values);
    // A null array leaves the values as they are.
    int SetValues(char** values);
    int SetBerValues(berval** values);

    // NULL-terminated array of newly allocated bervals (each value's bytes plus
    // a zero byte); null when there are no values. Free with FreeBerValArray.
    berval** ToBerValArray() const;
    static void FreeBerValArray(berval** array);

    // An add modification with binary values; free with FreeLDAPMod.
    virtual LDAPMod* ToLDAPMod() const;
    static void FreeLDAPMod(LDAPMod* mod);

    // True when a value is to be shown as binary rather than text.
    bool IsNotPrintable() const;

    bool operator==(const LDAPAttribute& other) const
    {
        return m_values.Name() == other.m_values.Name() && m_values == other.m_values;
    }
    bool operator!=(const LDAPAttribute& other) const { return !(*this == other); }

private:
    friend class LDAPAttributeList;  // reads an entry's attributes into one shared buffer
    explicit LDAPAttribute(LDAPValueList&& values) : m_values(std::move(values)) {}

    LDAPValueList m_values;  // with the name
};

// The name and a line end, then each value indented by three blanks on its own
// line, or "NOT_PRINTABLE" in place of the values.
std::wostream& DumpAttribute(std::wostream& os, const LDAPAttribute& attribute);

CArchive& WriteAttribute(CArchive& ar, const LDAPAttribute& attribute);
// A damaged archive throws CArchiveException and leaves the attribute as it was.
CArchive& ReadAttribute(CArchive& ar, LDAPAttribute& attribute);

} // namespace arbldap
