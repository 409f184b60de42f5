#include "ldap/LDAPCredentials.h"

LDAPBindCredentials::LDAPBindCredentials(const std::string& dn, const std::string& password)
{
    if (!dn.empty())
        m_auth = std::make_unique<LDAPSimpleAuth>(dn, password);
}
