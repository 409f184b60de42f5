#include "ldap/LDAPModificationList.h"

#include "ldap/LDAPModArray.h"

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
