#include "ldap/FormatLDAPError.h"

#include "base/Utf8.h"

namespace arbldap {

std::wstring FormatLDAPError(LDAPException e)
{
    return L"[ERROR " + std::to_wstring(e.GetResultCode()) + L"] " + Utf8ToWideString(e.GetResultText());
}

} // namespace arbldap
