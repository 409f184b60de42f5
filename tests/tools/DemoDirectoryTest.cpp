#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "model/profiles/CServerProfile.h"
#include "model/profiles/ProfileKeys.h"
#include "platform/RegistryKey.h"
#include "tests/support/SilentServer.h"
#include "tests/support/SlapdServer.h"
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
        // Its own port, unless another demonstration (or anybody) holds it.
        EXPECT_EQ(directory.PreferredPort(), 38900);
        EXPECT_GE(directory.Port(), 38900);
        EXPECT_LT(directory.Port(), 38900 + kDemoPortRange);
        port = std::to_string(directory.Port());
        std::string people = slapd::Run("ldapsearch -x -LLL -H ldap://127.0.0.1:" + port +
                                        " -b ou=people,dc=example,dc=org '(objectClass=inetOrgPerson)' cn");
        EXPECT_EQ(CountLines(people, "dn: uid="), 8) << people;
        std::string groups = slapd::Run("ldapsearch -x -LLL -H ldap://127.0.0.1:" + port +
                                        " -b ou=groups,dc=example,dc=org '(cn=scientists)' member");
        EXPECT_EQ(CountLines(groups, "member: "), 5) << groups;
        // The server properties' monitor page reads these.
        std::string monitor = slapd::Run("ldapsearch -x -LLL -H ldap://127.0.0.1:" + port +
                                         " -b cn=monitor -s base '(objectClass=*)' cn monitoredInfo");
        EXPECT_NE(monitor.find("dn: cn=Monitor"), std::string::npos) << monitor;
        EXPECT_NE(monitor.find("monitoredInfo: OpenLDAP"), std::string::npos) << monitor;
        EXPECT_TRUE(slapd::CanConnect(directory.Port()));
    }
    EXPECT_FALSE(slapd::CanConnect(std::stoi(port)));
}

// A port held by somebody else moves the directory to the next free one, and
// the note says where; a free port gives no note.
TEST(DemoDirectory, ATakenPortMovesItToTheNextFreeOne)
{
    struct Case {
        const char* what;
        std::vector<int> taken;  // offsets from the preferred port
        int expected;            // offset of the port it listens on
    };
    const Case cases[] = {
        {"free", {}, 0},
        {"taken", {0}, 1},
        {"taken with its neighbour", {0, 1}, 2},
        {"only the neighbour taken", {1}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int first = testsupport::FreePortRun(4);
        std::vector<std::unique_ptr<testsupport::SilentServer>> holders;
        for (int offset : c.taken)
            holders.push_back(std::make_unique<testsupport::SilentServer>(testsupport::SilentServer::Mode::Hang,
                                                                          first + offset));
        DemoDirectory directory(first);
        EXPECT_EQ(directory.Port(), first + c.expected);
        EXPECT_TRUE(slapd::CanConnect(directory.Port()));
        std::string people = slapd::Run("ldapsearch -x -LLL -H ldap://127.0.0.1:" + std::to_string(directory.Port()) +
                                        " -b ou=people,dc=example,dc=org -s one '(uid=ada)' uid");
        EXPECT_NE(people.find("uid: ada"), std::string::npos) << people;
        const std::string note = directory.MovedPortNote();
        if (c.expected == 0) {
            EXPECT_EQ(note, "");
            continue;
        }
        EXPECT_NE(note.find("Port " + std::to_string(first) + " was taken"), std::string::npos) << note;
        EXPECT_NE(note.find("ldap://127.0.0.1:" + std::to_string(first + c.expected) + "/"), std::string::npos)
            << note;
    }
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
    // A port of its own: the fixed one is the other demonstration test's.
    std::string command = "ARBOLITE_DEMO_PORT=" + std::to_string(testsupport::FreePort()) + " " +
                          ARB_DEMO_PROGRAM + " sh -c 'exit 7'";
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

// Its port taken, the launcher says so and hands the note to the program.
TEST_F(DemoProfileTest, TheLauncherTellsTheProgramThatItsPortWasTaken)
{
    const int first = testsupport::FreePortRun(2);
    testsupport::SilentServer holder(testsupport::SilentServer::Mode::Hang, first);
    std::string command = "ARBOLITE_DEMO_PORT=" + std::to_string(first) + " " + ARB_DEMO_PROGRAM +
                          " sh -c 'echo \"program: $ARBOLITE_START_NOTE\"'";
    FILE* p = popen(command.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string output;
    char line[1024];
    while (fgets(line, sizeof line, p))
        output += line;
    EXPECT_EQ(WEXITSTATUS(pclose(p)), 0);

    const std::string moved = "ldap://127.0.0.1:" + std::to_string(first + 1) + "/";
    EXPECT_EQ(output.rfind("Demonstration directory: " + moved, 0), 0u) << output;
    size_t said = output.find("\nPort " + std::to_string(first) + " was taken");
    size_t told = output.find("\nprogram: Port " + std::to_string(first) + " was taken");
    EXPECT_NE(said, std::string::npos) << output;
    ASSERT_NE(told, std::string::npos) << output;
    EXPECT_NE(output.find(moved, told), std::string::npos) << output;
    CServerProfile profile;
    ASSERT_TRUE(profile.SetIdFromString(kDemoProfileGuid));
    ASSERT_TRUE(profile.LoadProfile());
    EXPECT_EQ(profile.GetPort(), first + 1);
}

} // namespace
