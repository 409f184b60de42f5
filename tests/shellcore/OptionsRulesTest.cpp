#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/RegistryKey.h"
#include "shellcore/ConfirmationTable.h"
#include "shellcore/OptionsRules.h"
#include "shellcore/RegistryPaths.h"
#include "shellcore/RememberedAnswers.h"
#include "tests/shellcore/ShellcoreTestSupport.h"
#include "tests/support/StoredAnswers.h"
#include "tests/support/TempHome.h"

using platform::RegistryKey;
using platform::RegRoot;

namespace {

TEST(OptionsLists, TimeoutAndIntervalPositions)
{
    struct Case {
        int value, position;
    };
    for (Case c : std::vector<Case>{{10, 0}, {20, 1}, {30, 2}, {60, 3}, {120, 4}, {300, 6}, {0, -1}, {45, -1}})
        EXPECT_EQ(InfoTimeoutPosition(c.value), c.position) << c.value;
    for (Case c : std::vector<Case>{{1, 0}, {2, 1}, {4, 2}, {7, 3}, {14, 4}, {0, -1}, {30, -1}})
        EXPECT_EQ(UpdateIntervalPosition(c.value), c.position) << c.value;

    // Positions without a value of their own keep what was stored.
    struct Back {
        int position, previous, value;
    };
    for (Back b : std::vector<Back>{{0, 45, 10}, {4, 45, 120}, {5, 45, 45}, {6, 45, 300}, {-1, 45, 45}, {7, 45, 45}})
        EXPECT_EQ(InfoTimeoutSeconds(b.position, b.previous), b.value) << b.position;
    // An untouched 30-day interval stays 30 days.
    for (Back b : std::vector<Back>{{0, 30, 1}, {3, 30, 7}, {4, 30, 14}, {-1, 30, 30}, {5, 30, 30}})
        EXPECT_EQ(UpdateIntervalDays(b.position, b.previous), b.value) << b.position;
}

TEST(OptionsLists, ProxyAndNumberRules)
{
    EXPECT_TRUE(ProxyInUse(true, L"proxy", 8080));
    EXPECT_FALSE(ProxyInUse(true, L"", 8080));
    EXPECT_FALSE(ProxyInUse(true, L"proxy", 0));
    EXPECT_FALSE(ProxyInUse(false, L"proxy", 8080));

    struct Case {
        const wchar_t* text;
        bool ok;
        int value;
    } cases[] = {{L"80", true, 80},     {L"65535", true, 65535}, {L" 8080 ", true, 8080}, {L"79", false, 0},
                 {L"65536", false, 0},  {L"", false, 0},        {L"80a", false, 0},     {L"-80", false, 0},
                 {L"99999999999999999999", false, 0}};
    for (const Case& c : cases) {
        int value = 0;
        EXPECT_EQ(ParseNumberInRange(c.text, kMinProxyPort, kMaxProxyPort, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

class ConfirmationTableTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        shelltest::LoadResources();
        RegisterConfirmations();
    }
    static std::wstring Store() { return g_strSettingsKey + g_strConfirmationsKey; }
};

TEST_F(ConfirmationTableTest, TheProgramsConfirmation)
{
    const auto& table = GetConfirmations();
    ASSERT_EQ(table.count(5), 1u);
    EXPECT_EQ(table.at(5).kind, 4u);
    EXPECT_EQ(table.at(5).title, shelltest::ResourceText(207));
    EXPECT_EQ(table.at(5).description, shelltest::ResourceText(193));
    EXPECT_EQ(ConfirmationAnswerTexts(4), (std::vector<unsigned>{148, 151}));
}

TEST_F(ConfirmationTableTest, OnlyRememberedAnswersOneToThreeCount)
{
    for (uint32_t stored : {1u, 2u, 3u, 4u, 0u}) {
        testsupport::StoreRawAnswer(5, stored);
        std::map<uint32_t, int> answers = ReadListedAnswers();
        if (stored >= 1 && stored <= 3)
            EXPECT_EQ(answers, (std::map<uint32_t, int>{{5, static_cast<int>(stored) - 1}})) << stored;
        else
            EXPECT_TRUE(answers.empty()) << stored;
    }
}

TEST_F(ConfirmationTableTest, WritingKeepsTheAnswersOfOtherNumbers)
{
    testsupport::StoreRawAnswer(2, 1);
    testsupport::StoreRawAnswer(3, 2);
    testsupport::StoreRawAnswer(0, 1);
    testsupport::StoreRawAnswer(5, 4);
    WriteListedAnswers({});
    RegistryKey key(RegRoot::CurrentUser, true);
    ASSERT_TRUE(key.Open(Store()));
    EXPECT_FALSE(key.ValueExists(L"5"));
    EXPECT_EQ(ReadRememberedAnswer(2), 1);
    EXPECT_EQ(ReadRememberedAnswer(3), 2);
    EXPECT_EQ(ReadRememberedAnswer(0), 1);

    WriteListedAnswers({{5, 1}});
    EXPECT_EQ(ReadRememberedAnswer(5), 2);
    EXPECT_EQ(ReadRememberedAnswer(2), 1);
}

} // namespace
