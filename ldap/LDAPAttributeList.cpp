#include "ldap/LDAPAttributeList.h"

#include <ldap.h>

#include <memory>

#include <ostream>

#include "ldap/LDAPConnection.h"
#include "ldap/LDAPException.h"
#include "ldap/LDAPModArray.h"
#include "base/Archive.h"

namespace arbldap {

namespace {

struct BerElementFree {
    void operator()(BerElement* ber) const { ber_free(ber, 0); }
};
struct BerMemFree {
    void operator()(berval* values) const { ber_memfree(values); }
};

std::string_view View(const berval& value)
{
    return std::string_view(value.bv_val, value.bv_len);
}

}  // namespace

LDAPAttributeList::LDAPAttributeList(LDAPMessage* entry, const LDAPConnection& connection)
{
    LDAP* session = connection.GetSession();
    if (session && entry)
        Read(session, entry, nullptr);
}

void LDAPAttributeList::Read(LDAP* session, LDAPMessage* entry, std::string* dn)
{
    // One pass over the message: the DN, then each attribute with its values
    // as views into the message, which stays valid until the end. Looking
    // the values up by name would scan the entry again for each attribute.
    BerElement* rawBer = nullptr;
    berval dnValue{};
    int rc = ldap_get_dn_ber(session, entry, &rawBer, &dnValue);
    std::unique_ptr<BerElement, BerElementFree> ber(rawBer);
    if (rc != LDAP_SUCCESS)
        throw LDAPException(rc);

    // Kept per thread: its vectors keep their room from entry to entry.
    thread_local LDAPValueList::Packer packer;
    struct Reset {
        LDAPValueList::Packer& packer;
        ~Reset() { packer.Clear(); }
    } reset{packer};
    packer.Clear();

    berval name{};
    berval* rawValues = nullptr;
    while ((rc = ldap_get_attribute_ber(session, entry, ber.get(), &name, &rawValues)) == LDAP_SUCCESS &&
           name.bv_val) {
        std::unique_ptr<berval, BerMemFree> values(rawValues);
        rawValues = nullptr;
        packer.AddName(View(name));
        for (const berval* value = values.get(); value && value->bv_val; ++value)
            packer.AddValue(View(*value));
    }
    if (rc != LDAP_SUCCESS)
        throw LDAPException(rc);

    packer.Pack();
    m_attributes.reserve(m_attributes.size() + packer.GetCount());
    for (size_t i = 0; i < packer.GetCount(); ++i)
        m_attributes.push_back(LDAPAttribute(packer.Get(i)));
    if (dn)
        dn->assign(dnValue.bv_val, dnValue.bv_len);
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
