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
    // One pass over the message: the DN, then each attribute, a sequence of
    // its name and the set of its values, each value read where it lies.
    // (Looking values up by name scans the entry again for every attribute;
    // ldap_get_attribute_ber counts each attribute's values, then allocates
    // an array for them.) The message stays valid until the end.
    BerElement* rawBer = nullptr;
    berval dnValue{};
    int rc = ldap_get_dn_ber(session, entry, &rawBer, &dnValue);
    std::unique_ptr<BerElement, BerElementFree> ber(rawBer);
    if (rc != LDAP_SUCCESS)
        throw LDAPException(rc);

    // Kept per thread: its room stays from entry to entry.
    thread_local LDAPValueList::Packer packer;
    struct Reset {
        LDAPValueList::Packer& packer;
        ~Reset() { packer.Clear(); }
    } reset{packer};
    packer.Clear();

    for (;;) {
        ber_len_t left = 0;
        if (ber_get_option(ber.get(), LBER_OPT_BER_REMAINING_BYTES, &left) != LBER_OPT_SUCCESS)
            throw LDAPException(LDAP_DECODING_ERROR);
        if (left == 0)
            break;
        ber_len_t length = 0;
        berval name{};
        if (ber_skip_tag(ber.get(), &length) != LBER_SEQUENCE ||
            ber_get_stringbv(ber.get(), &name, LBER_BV_NOTERM) == LBER_DEFAULT)
            throw LDAPException(LDAP_DECODING_ERROR);
        // The attribute's encoding is longer than its packed name and values.
        packer.AddName(View(name), length);
        char* last = nullptr;
        for (ber_tag_t tag = ber_first_element(ber.get(), &length, &last); tag != LBER_DEFAULT;
             tag = ber_next_element(ber.get(), &length, last)) {
            berval value{};
            if (ber_get_stringbv(ber.get(), &value, LBER_BV_NOTERM) == LBER_DEFAULT)
                throw LDAPException(LDAP_DECODING_ERROR);
            packer.AddValue(View(value));
        }
        if (!last)  // no set of values
            throw LDAPException(LDAP_DECODING_ERROR);
    }

    m_attributes.reserve(m_attributes.size() + packer.GetCount());
    packer.Pack([this](LDAPValueList&& values) { m_attributes.push_back(LDAPAttribute(std::move(values))); });
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
