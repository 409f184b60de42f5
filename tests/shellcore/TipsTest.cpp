#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/time.h>

#include <string>
#include <vector>

#include "platform/RegistryKey.h"
#include "shellcore/TipOfTheDay.h"
#include "shellcore/TipsFile.h"
#include "tests/shellcore/ShellcoreTestSupport.h"
#include "tests/support/TempHome.h"

namespace {

using shelltest::WriteFile;

// The tips read one after the other from a fresh reader at offset 0.
std::vector<std::string> ReadTips(const std::string& path, size_t count)
{
    CTipsFile file;
    EXPECT_TRUE(file.Open(path));
    std::vector<std::string> tips;
    for (size_t i = 0; i < count; ++i) {
        std::string tip;
        if (file.ReadNextTip(tip) != CTipsFile::Result::Tip)
            break;
        tips.push_back(tip);
    }
    return tips;
}

TEST(TipsFile, CommentsBlankAndIndentedLinesAreNoTipsAndTheEndWrapsToTheFirst)
{
    testsupport::TempFolder dir;
    std::string path = dir.Path() + "/Tips.tip";
    WriteFile(path, "; comment\nfirst tip\n\n  indented\n\tindented too\nsecond tip\n;last comment");
    std::vector<std::string> expected = {"first tip\n", "second tip\n", "first tip\n", "second tip\n"};
    EXPECT_EQ(ReadTips(path, 4), expected);
}

TEST(TipsFile, ALastLineWithoutLineEndIsATipAndWrapsAfterIt)
{
    testsupport::TempFolder dir;
    std::string path = dir.Path() + "/Tips.tip";
    WriteFile(path, "one\ntwo");
    std::vector<std::string> expected = {"one\n", "two", "one\n"};
    EXPECT_EQ(ReadTips(path, 3), expected);
}

TEST(TipsFile, ALineOfMoreThan999CharactersGivesSeveralTips)
{
    testsupport::TempFolder dir;
    std::string path = dir.Path() + "/Tips.tip";
    WriteFile(path, std::string(1500, 'a') + "\nshort\n");
    std::vector<std::string> tips = ReadTips(path, 3);
    ASSERT_EQ(tips.size(), 3u);
    EXPECT_EQ(tips[0], std::string(999, 'a'));
    EXPECT_EQ(tips[1], std::string(501, 'a') + "\n");
    EXPECT_EQ(tips[2], "short\n");
}

TEST(TipsFile, AFileWithoutTipsEndsTheSearchInsteadOfLoopingForEver)
{
    testsupport::TempFolder dir;
    struct Case {
        const char* name;
        std::string content;
        long start;
    } cases[] = {
        {"empty", "", 0},
        {"comments only", "; one\n; two\n\n   \n", 0},
        {"from the middle", "; one\n; two\n\n   \n", 7},
        {"from beyond the end", "; one\n", 4000},
    };
    for (const Case& c : cases) {
        std::string path = dir.Path() + "/none.tip";
        WriteFile(path, c.content);
        CTipsFile file;
        ASSERT_TRUE(file.Open(path)) << c.name;
        file.Seek(c.start);
        std::string tip = "untouched";
        EXPECT_EQ(file.ReadNextTip(tip), CTipsFile::Result::NoTip) << c.name;
        EXPECT_EQ(tip, "untouched") << c.name;
    }
}

TEST(TipsFile, APositionBeyondTheEndWrapsToTheFirstTip)
{
    testsupport::TempFolder dir;
    std::string path = dir.Path() + "/Tips.tip";
    WriteFile(path, "only tip\n");
    CTipsFile file;
    ASSERT_TRUE(file.Open(path));
    ASSERT_TRUE(file.Seek(5000));
    std::string tip;
    EXPECT_EQ(file.ReadNextTip(tip), CTipsFile::Result::Tip);
    EXPECT_EQ(tip, "only tip\n");
}

class TipOfTheDayTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        shelltest::LoadResources();
        m_path = m_home + "/Tips.tip";
        WriteFile(m_path, "; tips\nfirst\nsecond\nthird\n");
    }

    uint32_t ReadProfile(const wchar_t* name)
    {
        platform::RegistryKey key(platform::RegRoot::CurrentUser, true);
        uint32_t value = 0xFFFFFFFF;
        if (key.Open(kTipSectionKey))
            key.Read(name, value);
        return value;
    }

    std::string m_path;
};

TEST_F(TipOfTheDayTest, EachShowingContinuesWhereTheLastOneStopped)
{
    {
        CTipOfTheDay tips(m_path);
        ASSERT_TRUE(tips.IsFileOpen());
        EXPECT_EQ(tips.GetTip(), L"first\n");
        tips.NextTip();
        EXPECT_EQ(tips.GetTip(), L"second\n");
    }
    {
        CTipOfTheDay tips(m_path);
        EXPECT_EQ(tips.GetTip(), L"third\n");
        tips.NextTip();
        EXPECT_EQ(tips.GetTip(), L"first\n");
    }
}

TEST_F(TipOfTheDayTest, ANewerFileStartsAgainFromItsFirstTip)
{
    {
        CTipOfTheDay tips(m_path);
        tips.NextTip();
    }
    WriteFile(m_path, "new one\nnew two\n");
    // The stamp has a resolution of one second: set the time apart.
    struct timeval times[2] = {{2000000000, 0}, {2000000000, 0}};
    ASSERT_EQ(utimes(m_path.c_str(), times), 0);
    CTipOfTheDay tips(m_path);
    EXPECT_EQ(tips.GetTip(), L"new one\n");
}

TEST_F(TipOfTheDayTest, TheStartUpSwitchIsStoredOnOk)
{
    EXPECT_TRUE(CTipOfTheDay::ReadShowAtStartup()) << "missing value: tips at start-up";
    {
        CTipOfTheDay tips(m_path);
        EXPECT_TRUE(tips.GetShowAtStartup());
        tips.SetShowAtStartup(false);
        tips.StoreStartupSwitch();
    }
    EXPECT_EQ(ReadProfile(L"StartUp"), 1u);
    EXPECT_FALSE(CTipOfTheDay::ReadShowAtStartup());
    {
        CTipOfTheDay tips(m_path);
        EXPECT_FALSE(tips.GetShowAtStartup());
        tips.SetShowAtStartup(true);
        tips.StoreStartupSwitch();
    }
    EXPECT_EQ(ReadProfile(L"StartUp"), 0u);
}

TEST_F(TipOfTheDayTest, WithoutTheFileTheTipIsTheMissingFileText)
{
    CTipOfTheDay tips(m_home + "/absent.tip");
    EXPECT_FALSE(tips.IsFileOpen());
    EXPECT_EQ(tips.GetTip(), shelltest::ResourceText(kStrTipsFileMissing));
    tips.NextTip();
    EXPECT_EQ(tips.GetTip(), shelltest::ResourceText(kStrTipsFileMissing));
}

TEST(ShippedTips, TheProgramsTipsFileHoldsTips)
{
    std::string path = FindTipsFile();
    CTipsFile file;
    ASSERT_TRUE(file.Open(path)) << path;
    std::string first, tip;
    ASSERT_EQ(file.ReadNextTip(first), CTipsFile::Result::Tip);
    int count = 1;
    while (file.ReadNextTip(tip) == CTipsFile::Result::Tip && tip != first)
        ++count;
    EXPECT_GT(count, 1);
}

} // namespace
