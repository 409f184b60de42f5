#pragma once
// An attribute with the change a modify request makes to it: LDAP_MOD_ADD (0),
// LDAP_MOD_DELETE (1) or LDAP_MOD_REPLACE (2).

#include "ldap/LDAPAttribute.h"

namespace arbldap {

class LDAPModification : public LDAPAttribute {
public:
    LDAPModification(const LDAPAttribute& attribute, int operation)
        : LDAPAttribute(attribute), m_operation(operation)
    {
    }

    int GetOperation() const { return m_operation; }

    // The attribute's modification with the operation's bit set; a code other
    // than delete or replace stays an add.
    LDAPMod* ToLDAPMod() const override;

    bool operator==(const LDAPModification& other) const
    {
        return m_operation == other.m_operation && LDAPAttribute::operator==(other);
    }
    bool operator!=(const LDAPModification& other) const { return !(*this == other); }

private:
    int m_operation;
};

} // namespace arbldap
