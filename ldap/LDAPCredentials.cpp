#include "ldap/LDAPCredentials.h"

namespace arbldap {

LDAPBindCredentials::LDAPBindCredentials(const std::string& dn, const std::string& password)
{
    if (!dn.empty())
        m_auth = std::make_unique<LDAPSimpleAuth>(dn, password);
}

} // namespace arbldap
