// Base64 value files without a server: what counts as base64 text, the
// lines the writer makes, the reader that drops line breaks, and the
// messages of files that cannot be read or written.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "model/values/ValueFiles.h"
#include "platform/ResourceLibrary.h"
#include "tests/support/HeadlessShell.h"
#include "tests/support/TempHome.h"

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string AllBytes()
{
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    return bytes;
}

class ValueFiles : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        ASSERT_TRUE(platform::ResourceLibrary::Current().LoadDefault());
    }

    std::wstring Text(unsigned id)
    {
        std::wstring text;
        platform::ResourceLibrary::Current().LoadWideString(id, text);
        return text;
    }

    platform::HeadlessShell shell;
};

TEST(Base64Text, OnlyTextThatDecodesWholeIsBase64)
{
    struct Case {
        const char* text;
        bool base64;
    } const cases[] = {
        {"", true},
        {"QUJD", true},
        {"QUI=", true},
        {"QQ==", true},
        {"ab+/09Zz", true},
        {"Q===", false},
        {"QUJD=REV", false},
        {"=QUJ", false},
        {"QUJDRA", false},
        {"QUJDR", false},
        {"QUJ*", false},
        {"QUJ\n", false},
        {"QU J", false},
        {"QQ==QUJD", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsBase64Text(c.text), c.base64) << '"' << c.text << '"';
}

TEST(Base64Text, EncodeAndDecodeGiveTheBytesBack)
{
    for (size_t length : {0u, 1u, 2u, 3u, 4u, 255u, 256u}) {
        const std::string bytes = AllBytes().substr(0, length);
        const std::string text = Base64EncodeString(bytes);
        EXPECT_EQ(text.size(), (length + 2) / 3 * 4);
        EXPECT_TRUE(IsBase64Text(text));
        EXPECT_EQ(Base64DecodeString(text), bytes) << length;
    }
    EXPECT_EQ(Base64EncodeString("Arbolite"), "QXJib2xpdGU=");
    EXPECT_EQ(Base64DecodeString("QUJD=REV"), "") << "a text that does not decode whole gives nothing";
    EXPECT_EQ(Base64DecodeString("QUJDR"), "");
}

TEST_F(ValueFiles, LinesAreNeverLongerThanTheLimitAndNoneIsEmpty)
{
    // 255 bytes: 340 characters. Broken lines each end in LF; one unbroken
    // line is written as it is.
    struct Case {
        bool wrap;
        int length;
        std::vector<size_t> lines;
        bool lineEnds;
    } const cases[] = {
        {false, 76, {340}, false},
        {true, 76, {76, 76, 76, 76, 36}, true},
        {true, 68, {68, 68, 68, 68, 68}, true},
        {true, 340, {340}, true},
        {true, 1000, {340}, true},
        {true, 0, {340}, false},
        {true, -5, {340}, false},
    };
    const std::string path = m_home + "/value.b64";
    const std::string bytes = AllBytes().substr(0, 255);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.wrap) + " " + std::to_string(c.length));
        ASSERT_TRUE(SaveBase64TextFile(path, bytes, c.wrap, c.length));
        const std::string written = ReadFile(path);
        std::vector<size_t> lines;
        size_t start = 0;
        for (size_t end; (end = written.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(end - start);
        if (start < written.size())
            lines.push_back(written.size() - start);
        EXPECT_EQ(!written.empty() && written.back() == '\n', c.lineEnds);
        EXPECT_EQ(lines, c.lines);
        std::string text;
        ASSERT_TRUE(LoadBase64TextFile(path, text));
        EXPECT_EQ(text, Base64EncodeString(bytes));
        EXPECT_EQ(Base64DecodeString(text), bytes);
    }
    EXPECT_TRUE(shell.MessageBox().asked.empty());
}

TEST_F(ValueFiles, TheReaderDropsCrAndLf)
{
    const std::string path = m_home + "/crlf.b64";
    std::ofstream(path, std::ios::binary) << "QUJD\r\nREVG\r\n\r\nR0g=\r\n";
    std::string text;
    ASSERT_TRUE(LoadBase64TextFile(path, text));
    EXPECT_EQ(text, "QUJDREVGR0g=");
    EXPECT_EQ(Base64DecodeString(text), "ABCDEFGH");
}

TEST_F(ValueFiles, FilesThatCannotBeReadOrWrittenAreReported)
{
    std::string text = "kept";
    EXPECT_FALSE(LoadBase64TextFile(m_home + "/missing.b64", text));
    EXPECT_EQ(text, "kept");
    EXPECT_FALSE(SaveBase64TextFile(m_home + "/no/such/folder/value.b64", "bytes", true, 76));
    EXPECT_FALSE(ConvertValueText(m_home + "/no/such/folder/value.b64", "bytes", true, 76));
    ASSERT_EQ(shell.MessageBox().asked.size(), 2u) << "the converter leaves the message to its caller";
    EXPECT_EQ(shell.MessageBox().asked[0].text, Text(32775));
    EXPECT_EQ(shell.MessageBox().asked[1].text, Text(32776));
    EXPECT_EQ(shell.MessageBox().asked[1].style & 0xF0, 0x10u);
}

} // namespace
