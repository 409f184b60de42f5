#include "model/entries/CTeamMemberObject.h"

#include "schema/SchemaCache.h"

CTeamMemberObject::CTeamMemberObject(const ServerLink& server, const arbldap::LDAPDN& dn)
    : CEntryObject(arbldap::LDAPConnectionPtr(), dn, server, false, false)
{
    SetSchema(GetBuiltInSchema());
}

void CTeamMemberObject::Refresh(intptr_t)
{
    UpdateViews();
}
