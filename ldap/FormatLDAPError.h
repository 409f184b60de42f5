#pragma once
// The user-visible text of a failed LDAP operation.

#include <string>

#include "ldap/LDAPException.h"

namespace arbldap {

// "[ERROR <code>] <text>".
std::wstring FormatLDAPError(LDAPException e);

} // namespace arbldap
