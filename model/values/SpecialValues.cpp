#include "model/values/SpecialValues.h"

#include "base/NoCase.h"

bool IsLinkAttributeName(const std::string& baseName)
{
    static const char* const kNames[] = {"jpegphoto",  "photo",     "mail",           "audio",
                                         "labeleduri", "labeledurl", "memberurl",     "usercertificate",
                                         "cacertificate", "nsdirectoryurl"};
    for (const char* name : kNames) {
        if (EqualNoCase(baseName, name))
            return true;
    }
    return false;
}

bool IsLinkSyntax(const std::string& syntaxOid)
{
    return syntaxOid == "1.3.6.1.4.1.1466.115.121.1.12";
}
