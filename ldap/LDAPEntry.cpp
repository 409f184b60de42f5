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
    : m_attributes(std::make_unique<LDAPAttributeList>(other.GetAttributes())), m_dn(other.m_dn)
{
}

LDAPEntry::LDAPEntry(LDAPEntry&& other) noexcept
    : m_attributes(std::move(other.m_attributes)), m_dn(std::move(other.m_dn))
{
    other.m_dn.clear();
}

LDAPEntry::LDAPEntry(LDAPMessage* entry, const LDAPConnection& connection)
    : m_attributes(std::make_unique<LDAPAttributeList>())
{
    LDAP* session = connection.GetSession();
    if (!session || !entry)
        throw LDAPException(connection);
    m_attributes->Read(session, entry, &m_dn);
}

LDAPEntry& LDAPEntry::operator=(const LDAPEntry& other)
{
    if (this != &other) {
        auto attributes = std::make_unique<LDAPAttributeList>(other.GetAttributes());
        m_dn = other.m_dn;
        m_attributes = std::move(attributes);
    }
    return *this;
}

LDAPEntry& LDAPEntry::operator=(LDAPEntry&& other) noexcept
{
    if (this != &other) {
        m_attributes = std::move(other.m_attributes);
        m_dn = std::move(other.m_dn);
        other.m_dn.clear();
    }
    return *this;
}

namespace {

const LDAPAttributeList& NoAttributes()
{
    static const LDAPAttributeList none;
    return none;
}

}  // namespace

LDAPAttributeList& LDAPEntry::GetAttributes()
{
    if (!m_attributes)
        m_attributes = std::make_unique<LDAPAttributeList>();
    return *m_attributes;
}

const LDAPAttributeList& LDAPEntry::GetAttributes() const
{
    return m_attributes ? *m_attributes : NoAttributes();
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

const LDAPValueList& LDAPEntry::GetObjectClasses() const
{
    static const LDAPValueList none;
    static const std::string objectClass = "objectclass";
    for (const LDAPAttribute& attribute : GetAttributes()) {
        const std::string name = attribute.GetName();
        if (name.size() == objectClass.size() && StrICmp(name.c_str(), objectClass.c_str()) == 0)
            return attribute.GetValues();
    }
    return none;
}

size_t LDAPEntry::GetValuesSize() const
{
    size_t total = 0;
    for (const LDAPAttribute& attribute : GetAttributes())
        for (std::string_view value : attribute.GetValues())
            total += value.size();
    return total;
}

void LDAPEntry::Dump(std::wostream& os) const
{
    os << L"DN: " << Utf8ToWideString(m_dn) << L": ";
    DumpAttributeList(os, GetAttributes());
}

} // namespace arbldap
