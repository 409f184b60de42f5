#include "tests/support/ChildrenDirectory.h"

#include <cstdio>

namespace testsupport {

const char* const kChildrenBase = "ou=children,o=bench";

std::string ChildName(size_t i)
{
    char name[32];
    std::snprintf(name, sizeof name, "child%06zu", i);
    return name;
}

std::string ChildrenLdif(size_t count)
{
    std::string ldif = "dn: o=bench\nobjectClass: organization\no: bench\n\n"
                       "dn: ou=children,o=bench\nobjectClass: organizationalUnit\nou: children\n\n";
    ldif.reserve(ldif.size() + count * 90);
    for (size_t i = 0; i < count; ++i) {
        const std::string name = ChildName(i);
        ldif += "dn: cn=" + name + "," + kChildrenBase + "\nobjectClass: device\ncn: " + name + "\n\n";
    }
    return ldif;
}

std::string PeopleLdif(size_t count)
{
    std::string ldif = "dn: o=bench\nobjectClass: organization\no: bench\n\n"
                       "dn: ou=children,o=bench\nobjectClass: organizationalUnit\nou: children\n\n";
    ldif.reserve(ldif.size() + count * 150);
    for (size_t i = 0; i < count; ++i) {
        const std::string name = ChildName(i);
        ldif += "dn: cn=" + name + "," + kChildrenBase + "\nobjectClass: inetOrgPerson\ncn: " + name + "\nsn: " +
                name + "\nmail: " + name + "@example.org\n\n";
    }
    return ldif;
}

} // namespace testsupport
