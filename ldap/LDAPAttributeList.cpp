#include "ldap/LDAPAttributeList.h"

#include <ldap.h>

#include <memory>

#include <ostream>

#include "ldap/LDAPConnection.h"
#include "ldap/LDAPModArray.h"
#include "base/Archive.h"

namespace arbldap {

namespace {

struct BerElementFree {
    void operator()(BerElement* ber) const { ber_free(ber, 0); }
};
struct NameFree {
    void operator()(char* name) const { ldap_memfree(name); }
};
struct ValuesFree {
    void operator()(berval** values) const { ldap_value_free_len(values); }
};

}  // namespace

LDAPAttributeList::LDAPAttributeList(LDAPMessage* entry, const LDAPConnection& connection)
{
    LDAP* session = connection.GetSession();
    if (!session || !entry)
        return;
    BerElement* rawBer = nullptr;
    std::unique_ptr<char, NameFree> name(ldap_first_attribute(session, entry, &rawBer));
    std::unique_ptr<BerElement, BerElementFree> ber(rawBer);
    while (name) {
        std::unique_ptr<berval*, ValuesFree> values(ldap_get_values_len(session, entry, name.get()));
        m_attributes.emplace_back(name.get(), values.get());
        name.reset(ldap_next_attribute(session, entry, ber.get()));
    }
}

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

} // namespace arbldap
