#include "ldap/LDAPModificationList.h"

#include "ldap/LDAPModArray.h"

namespace arbldap {

LDAPMod** LDAPModificationList::ToLDAPModArray() const
{
    return BuildLDAPModArray(*this);
}

void LDAPModificationList::FreeLDAPModArray(LDAPMod** array)
{
    if (!array)
        return;
    for (LDAPMod** p = array; *p; ++p)
        LDAPAttribute::FreeLDAPMod(*p);
    delete[] array;
}

} // namespace arbldap
