#include <gtest/gtest.h>

#include "model/profiles/CServerProfile.h"
#include "tests/model/profiles/ProfileFields.h"

using namespace profiletest;

TEST(ServerProfile, NewProfileDefaults)
{
    CServerProfile p;
    EXPECT_EQ(p.GetHostName(), L"localhost");
    EXPECT_EQ(p.GetPort(), 389);
    EXPECT_EQ(p.GetVersion(), 3);
    EXPECT_EQ(p.GetFilter(), "(objectClass=*)");
    EXPECT_EQ(p.GetMonitorDN().GetText(), "cn=monitor");
    EXPECT_EQ(p.GetShowOperationalAttributes(), 1);
    EXPECT_EQ(p.GetOptions().GetTimeLimit(), 30);
    EXPECT_EQ(p.GetOptions().GetSizeLimit(), 1000);
    EXPECT_TRUE(p.GetOptions().GetChaseReferrals());
    EXPECT_EQ(p.GetOptions().GetDeref(), 0);
    EXPECT_FALSE(p.GetOptions().GetUseSSL());
    EXPECT_EQ(p.GetOptions().GetServerControls(), nullptr);
    EXPECT_FALSE(p.IsLoadFailed());
    // Every new profile has a key of its own.
    EXPECT_NE(CServerProfile().GetId(), p.GetId());
}

TEST(ServerProfile, CopyKeepsEveryFieldAndStartsLoadable)
{
    CServerProfile original;
    FillEveryField(original);
    CServerProfile copy(original);
    EXPECT_EQ(Differences(original, copy), "");
    EXPECT_FALSE(copy.IsLoadFailed());

    // Deep copies: changing the original's controls leaves the copy's alone.
    original.GetOptions().GetServerControls()->GetAt(0).SetEnabled(false);
    EXPECT_TRUE(copy.GetOptions().GetServerControls()->GetAt(0).IsEnabled());
}

TEST(ServerProfile, IdentityAndKeyPath)
{
    CServerProfile p;
    p.SetId(0x00112233, 0x66774455, 0xBBAA9988, 0xFFEEDDCC);
    EXPECT_EQ(p.GetKeyPath(false), L"{00112233-4455-6677-8899-AABBCCDDEEFF}");
    EXPECT_EQ(p.GetKeyPath(true), L"Software\\Vellumar\\Arbolite\\Profiles\\{00112233-4455-6677-8899-AABBCCDDEEFF}");

    EXPECT_TRUE(p.SetIdFromString(L"{0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0}"));
    EXPECT_EQ(p.GetKeyPath(false), L"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}");
    EXPECT_FALSE(p.SetIdFromString(L"{not a guid}"));
    EXPECT_EQ(p.GetKeyPath(false), L"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}");
}

TEST(FavoriteList, LookupByNameAndByDN)
{
    CFavoriteList list;
    list.Add(CFavorite("People", "ou=People,dc=example,dc=org"));
    list.Add(CFavorite("Groups", "ou=Groups,dc=example,dc=org"));
    list.Add(CFavorite("People again", "OU=people,DC=Example,DC=org"));

    EXPECT_TRUE(list.Contains("people"));
    EXPECT_TRUE(list.Contains("GROUPS"));
    EXPECT_FALSE(list.Contains("Group"));

    std::string name = "untouched";
    EXPECT_TRUE(list.FindByValue(arbldap::LDAPDN("ou=PEOPLE,dc=example,dc=ORG"), name));
    EXPECT_EQ(name, "People");  // the first match
    name = "untouched";
    EXPECT_FALSE(list.FindByValue(arbldap::LDAPDN("ou=Hosts,dc=example,dc=org"), name));
    EXPECT_FALSE(list.FindByValue(arbldap::LDAPDN("dc=example,dc=org"), name));
    EXPECT_EQ(name, "untouched");
}
