#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "model/CServerProfile.h"
#include "model/ProfileKeys.h"
#include "platform/RegistryKey.h"
#include "tests/support/TempHome.h"
#include "tools/DemoDirectory.h"

namespace {

int CountLines(const std::string& text, const std::string& start)
{
    int n = 0;
    for (size_t pos = 0; (pos = text.find("\n" + start, pos)) != std::string::npos; ++pos) ++n;
    return n + (text.rfind(start, 0) == 0 ? 1 : 0);
}

TEST(DemoDirectory, ServesPeopleAndGroupsToAnyone)
{
    std::string port;
    {
        DemoDirectory directory;
        port = std::to_string(directory.Port());
        std::string people = slapd::Run("ldapsearch -x -LLL -H ldap://127.0.0.1:" + port +
                                        " -b ou=people,dc=example,dc=org '(objectClass=inetOrgPerson)' cn");
        EXPECT_EQ(CountLines(people, "dn: uid="), 8) << people;
        std::string groups = slapd::Run("ldapsearch -x -LLL -H ldap://127.0.0.1:" + port +
                                        " -b ou=groups,dc=example,dc=org '(cn=scientists)' member");
        EXPECT_EQ(CountLines(groups, "member: "), 5) << groups;
        EXPECT_TRUE(slapd::CanConnect(directory.Port()));
    }
    EXPECT_FALSE(slapd::CanConnect(std::stoi(port)));
}

class DemoProfileTest : public testsupport::TempHomeTest {};

TEST_F(DemoProfileTest, OneProfileRewrittenWithEachPort)
{
    ASSERT_TRUE(WriteDemoProfile(40001));
    ASSERT_TRUE(WriteDemoProfile(40002));

    platform::RegistryKey key(platform::RegRoot::CurrentUser, true);
    ASSERT_TRUE(key.Open(kProfilesKey));
    std::vector<std::wstring> profiles;
    key.ReadSubKeys(profiles);
    ASSERT_EQ(profiles.size(), 1u);

    CServerProfile profile;
    ASSERT_TRUE(profile.SetIdFromString(profiles[0]));
    ASSERT_TRUE(profile.LoadProfile());
    EXPECT_EQ(profile.GetProfileName(), L"Demo directory");
    EXPECT_EQ(profile.GetHostName(), L"127.0.0.1");
    EXPECT_EQ(profile.GetPort(), 40002);
    EXPECT_EQ(profile.GetBaseDN().GetText(), "dc=example,dc=org");
    EXPECT_EQ(profile.GetAnonymousBind(), 1);
    EXPECT_EQ(profile.GetFavorites().GetCount(), 2u);
}

// The launcher runs the program with the directory up and stops it after.
TEST_F(DemoProfileTest, LauncherStopsTheDirectoryWhenTheProgramEnds)
{
    std::string command = std::string(ARB_DEMO_PROGRAM) + " sh -c 'exit 7'";
    FILE* p = popen(command.c_str(), "r");
    ASSERT_NE(p, nullptr);
    char line[512] = {};
    ASSERT_NE(fgets(line, sizeof line, p), nullptr);
    int status = pclose(p);
    EXPECT_EQ(WEXITSTATUS(status), 7);

    int port = 0;
    ASSERT_EQ(std::sscanf(line, "Demonstration directory: ldap://127.0.0.1:%d/", &port), 1) << line;
    EXPECT_FALSE(slapd::CanConnect(port));
    CServerProfile profile;
    ASSERT_TRUE(profile.SetIdFromString(kDemoProfileGuid));
    ASSERT_TRUE(profile.LoadProfile());
    EXPECT_EQ(profile.GetPort(), port);
}

} // namespace
