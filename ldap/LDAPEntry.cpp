#include "ldap/LDAPEntry.h"

#include <ldap.h>

#include <ostream>

#include "ldap/LDAPConnection.h"
#include "ldap/LDAPException.h"
#include "base/Utf8.h"
#include "base/NoCase.h"

namespace arbldap {

LDAPEntry::LDAPEntry(const std::string& dn, LDAPAttributeList* attributes)
    : m_attributes(attributes ? attributes : new LDAPAttributeList), m_dn(dn)
{
}

LDAPEntry::LDAPEntry(const LDAPEntry& other)
    : m_attributes(std::make_unique<LDAPAttributeList>(*other.m_attributes)), m_dn(other.m_dn)
{
}

namespace {

std::string DNOf(LDAPMessage* entry, const LDAPConnection& connection)
{
    LDAP* session = connection.GetSession();
    char* dn = session && entry ? ldap_get_dn(session, entry) : nullptr;
    if (!dn)
        throw LDAPException(connection);
    std::string text(dn);
    ldap_memfree(dn);
    return text;
}

}  // namespace

LDAPEntry::LDAPEntry(LDAPMessage* entry, const LDAPConnection& connection)
    : m_attributes(std::make_unique<LDAPAttributeList>(entry, connection)), m_dn(DNOf(entry, connection))
{
}

LDAPEntry& LDAPEntry::operator=(const LDAPEntry& other)
{
    if (this != &other) {
        auto attributes = std::make_unique<LDAPAttributeList>(*other.m_attributes);
        m_dn = other.m_dn;
        m_attributes = std::move(attributes);
    }
    return *this;
}

void LDAPEntry::SetAttributes(LDAPAttributeList* attributes)
{
    if (attributes == m_attributes.get())
        return;
    m_attributes.reset(attributes ? attributes : new LDAPAttributeList);
}

void LDAPEntry::SetAttributes(const LDAPAttributeList& attributes)
{
    // Copy before dropping: the argument may be this entry's own list.
    m_attributes = std::make_unique<LDAPAttributeList>(attributes);
}

const StringList& LDAPEntry::GetObjectClasses() const
{
    static const StringList none;
    static const std::string objectClass = "objectclass";
    for (const LDAPAttribute& attribute : *m_attributes) {
        const std::string& name = attribute.GetName();
        if (name.size() == objectClass.size() && StrICmp(name.c_str(), objectClass.c_str()) == 0)
            return attribute.GetValues();
    }
    return none;
}

size_t LDAPEntry::GetValuesSize() const
{
    size_t total = 0;
    for (const LDAPAttribute& attribute : *m_attributes)
        for (const std::string& value : attribute.GetValues())
            total += value.size();
    return total;
}

void LDAPEntry::Dump(std::wostream& os) const
{
    os << L"DN: " << Utf8ToWideString(m_dn) << L": ";
    DumpAttributeList(os, *m_attributes);
}

} // namespace arbldap
