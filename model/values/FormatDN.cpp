#include "model/values/FormatDN.h"

std::string FormatDN(const arbldap::LDAPDN& dn)
{
    std::string text;
    for (const arbldap::LDAPRDN& part : dn.GetParts()) {
        if (!text.empty())
            text += ',';
        if (!part.GetText().empty()) {
            text += part.GetText();
        } else {
            arbldap::LDAPRDN composed = part;
            composed.Compose();
            text += composed.GetText();
        }
    }
    return text;
}
