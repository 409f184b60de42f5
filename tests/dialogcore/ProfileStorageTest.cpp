// A page saves the profile it edits only when the profile is stored already.

#include <gtest/gtest.h>

#include "dialogcore/ProfileStorage.h"
#include "model/CServerProfile.h"
#include "tests/support/TempHome.h"

namespace {

class ProfileStorageTest : public testsupport::TempHomeTest {};

TEST_F(ProfileStorageTest, ANewProfileIsLeftToItsMakerAStoredOneIsSaved)
{
    CServerProfile profile;
    profile.SetProfileName(L"new");
    profile.SetMonitorDN(arbldap::LDAPDN("cn=elsewhere"));
    EXPECT_FALSE(IsProfileStored(profile));
    EXPECT_TRUE(SaveProfileIfStored(profile));
    EXPECT_FALSE(IsProfileStored(profile)) << "a profile nobody stored was written";

    ASSERT_TRUE(profile.SaveProfile());
    EXPECT_TRUE(IsProfileStored(profile));
    profile.SetMonitorDN(arbldap::LDAPDN("cn=monitor,cn=changed"));
    EXPECT_TRUE(SaveProfileIfStored(profile));
    CServerProfile loaded;
    loaded.SetIdFromString(profile.GetKeyPath(false));
    ASSERT_TRUE(loaded.LoadProfile());
    EXPECT_EQ(loaded.GetMonitorDN().GetText(), "cn=monitor,cn=changed");
}

} // namespace
