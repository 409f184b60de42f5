#include "bench/BenchSupport.h"

#include <algorithm>
#include <cstdio>

namespace bench {

const char* const kChildrenBase = "ou=children,o=bench";

double Millis(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

std::string ChildrenLdif(size_t children)
{
    std::string ldif = "dn: o=bench\nobjectClass: organization\no: bench\n\n"
                       "dn: ou=children,o=bench\nobjectClass: organizationalUnit\nou: children\n"
                       "description: the parent of the benchmark's children\n\n";
    ldif.reserve(ldif.size() + children * 90);
    char name[32];
    for (size_t i = 0; i < children; ++i) {
        std::snprintf(name, sizeof name, "child%06zu", i);
        ldif += std::string("dn: cn=") + name + "," + kChildrenBase + "\nobjectClass: device\ncn: " + name + "\n\n";
    }
    return ldif;
}

} // namespace bench
