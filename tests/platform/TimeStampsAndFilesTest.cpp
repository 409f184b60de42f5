#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "platform/FileText.h"
#include "platform/TimeStamps.h"
#include "tests/support/TempHome.h"

namespace {

TEST(TimeStamps, TimeStampsOfFourteenOrEightDigits)
{
    std::time_t t = 0;
    ASSERT_TRUE(platform::ParseTimeStamp(L"20240229133705", t));
    EXPECT_EQ(platform::FormatTimeStamp(t), L"20240229133705");
    ASSERT_TRUE(platform::ParseTimeStamp(L"20240229", t));
    EXPECT_EQ(platform::FormatTimeStamp(t), L"20240229000000");
    for (const wchar_t* bad : {L"202402291337", L"2024022", L"", L"2024O229"})
        EXPECT_FALSE(platform::ParseTimeStamp(bad, t)) << bad;
}

class FileTextTest : public testsupport::TempHomeTest {};

TEST_F(FileTextTest, WholeFilesInAndOut)
{
    const std::string path = m_home + "/value.bin";
    const std::string bytes("\xFF\xD8\x00\x01 photo", 10);
    EXPECT_EQ(platform::WriteStringToFile(bytes, path), 0);
    std::string back = "untouched";
    EXPECT_EQ(platform::ReadFileToString(path, back), 0);
    EXPECT_EQ(back, bytes);
    back = "untouched";
    EXPECT_EQ(platform::ReadFileToString(m_home + "/missing", back), -1);
    EXPECT_EQ(back, "untouched");
    EXPECT_EQ(platform::WriteStringToFile(bytes, m_home + "/no/such/folder/file"), -1);
    // A write that cannot complete is a failure, not a short file passed as success.
    EXPECT_EQ(platform::WriteStringToFile(bytes, "/dev/full"), -1);
}

} // namespace
