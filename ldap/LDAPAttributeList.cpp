#include "ldap/LDAPAttributeList.h"

#include <ostream>

#include "ldap/LDAPModArray.h"
#include "platform/Archive.h"

void LDAPAttributeList::AddValue(const std::string& name, const std::string& value)
{
    for (LDAPAttribute& attribute : m_attributes) {
        if (attribute.GetName() == name) {
            attribute.AddValue(value);
            return;
        }
    }
    m_attributes.emplace_back(name, value);
}

LDAPMod** LDAPAttributeList::ToLDAPModArray() const
{
    return BuildLDAPModArray(*this);
}

std::wostream& DumpAttributeList(std::wostream& os, const LDAPAttributeList& list)
{
    for (const LDAPAttribute& attribute : list)
        DumpAttribute(os, attribute) << L"; ";
    return os;
}

CArchive& WriteAttributeList(CArchive& ar, const LDAPAttributeList& list)
{
    ar.WriteUInt32(static_cast<uint32_t>(list.GetCount()));
    for (const LDAPAttribute& attribute : list)
        WriteAttribute(ar, attribute);
    return ar;
}

CArchive& ReadAttributeList(CArchive& ar, LDAPAttributeList& list)
{
    // An attribute takes at least its name length and its value count.
    uint32_t n = ar.ReadCount(8);
    list.Clear();
    for (uint32_t i = 0; i < n; ++i) {
        LDAPAttribute attribute;
        ReadAttribute(ar, attribute);
        list.Add(std::move(attribute));
    }
    return ar;
}
