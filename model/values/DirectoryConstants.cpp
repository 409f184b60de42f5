#include "model/values/DirectoryConstants.h"

#include <mutex>

std::string g_defaultFilter;
StringList g_specialValueAttributes;
StringList g_dnSyntaxOids;

void FillDirectoryConstants()
{
    static std::once_flag once;
    std::call_once(once, [] {
        g_defaultFilter = "(objectclass=*)";
        for (const char* name : {"jpegphoto", "photo", "mail", "audio", "labeleduri", "labeledurl", "memberurl",
                                 "usercertificate", "cacertificate", "nsdirectoryurl"})
            g_specialValueAttributes.Add(name);
        g_dnSyntaxOids.Add("1.3.6.1.4.1.1466.115.121.1.12");
    });
}
