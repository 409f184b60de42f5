#include "ldap/LDAPModification.h"

#include <ldap.h>

namespace arbldap {

LDAPMod* LDAPModification::ToLDAPMod() const
{
    LDAPMod* mod = LDAPAttribute::ToLDAPMod();
    if (m_operation == LDAP_MOD_DELETE)
        mod->mod_op |= LDAP_MOD_DELETE;
    else if (m_operation == LDAP_MOD_REPLACE)
        mod->mod_op |= LDAP_MOD_REPLACE;
    return mod;
}

} // namespace arbldap
