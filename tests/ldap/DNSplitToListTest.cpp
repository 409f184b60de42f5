#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/StringList.h"
#include "ldap/DNSplit.h"

namespace {

TEST(DNSplit, SplitDNToListKeepsTypes)
{
    StringList list;
    EXPECT_TRUE(arbldap::SplitDNToList("cn=Smith\\, John,ou=people,o=lab", list));
    EXPECT_EQ(std::vector<std::string>(list.begin(), list.end()),
              (std::vector<std::string>{"cn=Smith\\, John", "ou=people", "o=lab"}));
    EXPECT_FALSE(arbldap::SplitDNToList("not a dn", list));
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_FALSE(arbldap::SplitDNToList("", list));
}

} // namespace
