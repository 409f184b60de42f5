#pragma once
// A directory of one parent entry with many children (cn=child000000, ...),
// for the tests and benchmarks that open a node with a long list of children.

#include <cstddef>
#include <string>

namespace testsupport {

// The parent of the children.
extern const char* const kChildrenBase;
// The naming value of child i: "child000042".
std::string ChildName(size_t i);
// LDIF of o=bench, the parent and count children.
std::string ChildrenLdif(size_t count);
// LDIF of o=bench, the parent and count people (inetOrgPerson with cn, sn
// and mail) below it.
std::string PeopleLdif(size_t count);

} // namespace testsupport
