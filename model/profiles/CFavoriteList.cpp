#include "model/profiles/CFavoriteList.h"

#include "base/NoCase.h"

using namespace arbldap;

bool CFavoriteList::Contains(const std::string& name) const
{
    for (const CFavorite& f : m_favorites)
        if (EqualNoCase(f.GetText(), name)) return true;
    return false;
}

bool CFavoriteList::FindByValue(const LDAPDN& dn, std::string& name) const
{
    for (const CFavorite& f : m_favorites) {
        if (SameDNValue(LDAPDN(f.GetValue()), dn)) {
            name = f.GetText();
            return true;
        }
    }
    return false;
}
