#include <gtest/gtest.h>

#include "platform/RegistryKey.h"
#include "shellcore/RegistryPaths.h"
#include "shellcore/SettingsVersion.h"
#include "tests/support/TempHome.h"

using platform::RegistryKey;
using platform::RegRoot;

namespace {

class SettingsVersionTest : public testsupport::TempHomeTest {
protected:
    void Seed(const wchar_t* name, uint32_t value)
    {
        RegistryKey key(RegRoot::CurrentUser, false);
        ASSERT_TRUE(key.CreateKey(g_strSettingsKey));
        ASSERT_TRUE(key.Write(name, value));
    }
    bool Has(const std::wstring& path, const wchar_t* name)
    {
        RegistryKey key(RegRoot::CurrentUser, true);
        return key.Open(path) && key.ValueExists(name);
    }
    uint32_t Stored(const wchar_t* name)
    {
        RegistryKey key(RegRoot::CurrentUser, true);
        uint32_t value = 0;
        if (key.Open(g_strSettingsKey)) key.Read(name, value);
        return value;
    }
};

TEST_F(SettingsVersionTest, FirstStartStampsTheSettings)
{
    EXPECT_TRUE(CheckSettingsVersion(2100, 1033));
    EXPECT_EQ(Stored(L"Build"), 2100u);
    EXPECT_EQ(Stored(L"LangID"), 1033u);
    EXPECT_FALSE(CheckSettingsVersion(2100, 1033));
}

// Which stamps keep the settings and which wipe them.
TEST_F(SettingsVersionTest, OnlyTheSameBuildAndLanguageKeepTheSettings)
{
    struct Case {
        uint32_t storedBuild, storedLanguage, build, language;
        bool reset;
    } cases[] = {
        {2100, 1033, 2100, 1033, false},
        {2099, 1033, 2100, 1033, true},
        {2100, 1031, 2100, 1033, true},
        {0, 1033, 2100, 1033, true},
        {2100, 0, 2100, 1033, true},
        {2100, 1033, 0, 1033, true},
        {2100, 1033, 2100, 0, true},
    };
    for (const Case& c : cases) {
        Seed(L"Build", c.storedBuild);
        Seed(L"LangID", c.storedLanguage);
        Seed(L"liststyle", 3);
        {
            RegistryKey key(RegRoot::CurrentUser, false);
            ASSERT_TRUE(key.CreateKey(g_strSettingsKey + L"RecentItems\\Hosts\\"));
            ASSERT_TRUE(key.Write(L"ldap.example.org", 1u));
        }
        EXPECT_EQ(CheckSettingsVersion(c.build, c.language), c.reset) << c.storedBuild << " " << c.build;
        EXPECT_EQ(Has(g_strSettingsKey, L"liststyle"), !c.reset);
        EXPECT_EQ(Has(g_strSettingsKey + L"RecentItems\\Hosts\\", L"ldap.example.org"), !c.reset);
        EXPECT_EQ(Stored(L"Build"), c.reset ? c.build : c.storedBuild);
    }
}

} // namespace
