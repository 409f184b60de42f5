#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "base/Utf8.h"
#include "base/StringStreamIn.h"
#include "base/Base64.h"
#include "base/ArchiveText.h"
#include "base/StringFormat.h"

namespace {

std::string Encode(const std::string& in)
{
    size_t n = 99;
    char* p = Base64Encode(reinterpret_cast<const unsigned char*>(in.data()), in.size(), &n);
    std::string out(p, n);
    EXPECT_EQ(std::strlen(p), n);
    std::free(p);
    return out;
}

// Decoded bytes, or "<null>" when the decoder refuses the text.
std::string Decode(const std::string& in)
{
    size_t n = 99;
    unsigned char* p = Base64Decode(in.c_str(), in.size(), &n);
    if (!p) return "<null>";
    std::string out(reinterpret_cast<char*>(p), n);
    std::free(p);
    return out;
}

TEST(Base64, EncodeTable)
{
    struct { std::string in, out; } cases[] = {
        {"", ""}, {"a", "YQ=="}, {"ab", "YWI="}, {"abc", "YWJj"}, {"abcd", "YWJjZA=="},
        {std::string("\x00\xFF\xFE", 3), "AP/+"}, {"any carnal pleas", "YW55IGNhcm5hbCBwbGVhcw=="},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Encode(c.in), c.out) << c.in;
}

TEST(Base64, DecodeTable)
{
    struct { std::string in, out; } cases[] = {
        {"YWI=", "ab"},
        {"YQ", "a"},                       // unpadded input is accepted
        {"YQ==", "a"},
        {"Y=", "<null>"},                  // one character before padding
        {"YWJj=", "<null>"},               // padding right after a whole group
        {"YW\r\nJj", "abc"},               // line breaks are skipped
        {"AP/+", std::string("\x00\xFF\xFE", 3)},
        {"AP/ ", std::string("\x00\xFF\xFE", 3)},  // a blank reads as '+'
        {"YWJj\x01YQ==", "abca"},          // bytes outside the alphabet are skipped
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Decode(c.in), c.out) << c.in;
}

TEST(Base64, RoundTripOfEveryByteValueAndLength)
{
    std::string all;
    for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
    for (size_t len = 0; len <= all.size(); len += 7)
        EXPECT_EQ(Decode(Encode(all.substr(0, len))), all.substr(0, len)) << len;
}

TEST(Utf8, ConversionsBothWays)
{
    struct { const char* utf8; std::wstring wide; int utf16Units; } cases[] = {
        {"", L"", 1},
        {"abc", L"abc", 4},
        {"M\xC3\xBCller", L"M\u00FCller", 7},
        {"\xE2\x82\xAC", L"\u20AC", 2},
        {"\xF0\x9F\x98\x80", std::wstring(1, wchar_t(0x1F600)), 3},  // two UTF-16 units
    };
    for (const auto& c : cases) {
        std::wstring w;
        ASSERT_TRUE(Utf8ToCString(c.utf8, w));
        EXPECT_EQ(w, c.wide) << c.utf8;
        EXPECT_EQ(Utf8ToWideLength(c.utf8), c.utf16Units) << c.utf8;
        std::string back;
        ASSERT_TRUE(WideToUtf8String(c.wide.c_str(), back));
        EXPECT_EQ(back, c.utf8);
        EXPECT_EQ(WideToUtf8Length(c.wide.c_str()), static_cast<int>(std::strlen(c.utf8)) + 1);
    }
}

TEST(Utf8, WideToUtf8StringHoldsNoTerminator)
{
    std::string s = "old";
    ASSERT_TRUE(WideToUtf8String(L"abc", s));
    EXPECT_EQ(s.size(), 3u);
    EXPECT_EQ(s, "abc");
    ASSERT_TRUE(WideToUtf8String(L"", s));
    EXPECT_TRUE(s.empty());
    s = "kept";
    EXPECT_FALSE(WideToUtf8String(nullptr, s));
    EXPECT_EQ(s, "kept");
}

TEST(Utf8, InvalidInputBecomesReplacementCharacters)
{
    EXPECT_EQ(Utf8ToWideString("a\xFF" "b"), L"a\uFFFDb");
    EXPECT_EQ(Utf8ToWideString("\xC3"), L"\uFFFD");              // truncated sequence
    EXPECT_EQ(Utf8ToWideString("\xC0\xAF"), L"\uFFFD\uFFFD");    // overlong '/'
    EXPECT_EQ(Utf8ToWideString("\xED\xA0\x80"), L"\uFFFD\uFFFD\uFFFD");  // surrogate
    EXPECT_EQ(WideToUtf8Text(std::wstring(1, wchar_t(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToWideString(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}

TEST(Utf8, BufferFormsNeverOverrun)
{
    wchar_t wbuf[4];
    std::fill(std::begin(wbuf), std::end(wbuf), L'x');
    Utf8ToWide(wbuf, "abcdef", 3);
    EXPECT_STREQ(wbuf, L"ab");
    EXPECT_EQ(wbuf[3], L'x');

    char buf[5];
    std::memset(buf, 'x', sizeof buf);
    WideToUtf8(buf, L"a\u20ACb", 4);  // the euro sign needs 3 bytes: only "a" fits
    EXPECT_STREQ(buf, "a");
    EXPECT_EQ(buf[4], 'x');
}

TEST(FormatString, FormatsAndNeverOverflows)
{
    std::string s;
    FormatString(s, "%s=%d", "cn", 42);
    EXPECT_EQ(s, "cn=42");
    const char* volatile none = nullptr;
    FormatString(s, "%s", none);
    EXPECT_EQ(s, "(null)");
    std::string big(100000, 'z');
    FormatString(s, "[%s|%-300d|%.2f|%%]", big.c_str(), 7, 1e300);
    char tail[1024];
    snprintf(tail, sizeof tail, "|%-300d|%.2f|%%]", 7, 1e300);
    EXPECT_EQ(s, "[" + big + tail);
    FormatString(s, "a%cb", 0);
    EXPECT_EQ(s, "a");  // cut at the first zero byte
}

TEST(Archive, StringsAndGuidsRoundTripAgainstFixedBytes)
{
    CArchive out;
    WriteStdString(out, std::string("a\0b", 3));
    WriteStdString(out, "");
    GUID g;
    GuidFromString(L"{00112233-4455-6677-8899-AABBCCDDEEFF}", g);
    WriteGuid(out, g);
    const std::string expected =
        std::string("\x03\x00\x00\x00" "a\0b" "\x00\x00\x00\x00", 11) +
        std::string("\x33\x22\x11\x00\x55\x44\x77\x66\x88\x99\xAA\xBB\xCC\xDD\xEE\xFF", 16);
    EXPECT_EQ(out.GetBuffer(), expected);

    CArchive in(out.GetBuffer());
    std::string a, b;
    GUID h;
    ReadStdString(in, a);
    ReadStdString(in, b);
    ReadGuid(in, h);
    EXPECT_EQ(a, std::string("a\0b", 3));
    EXPECT_TRUE(b.empty());
    EXPECT_EQ(h, g);
    EXPECT_EQ(in.Remaining(), 0u);
}

TEST(Archive, HostileLengthsFailCleanly)
{
    const std::string inputs[] = {
        std::string("\xFF\xFF\xFF\xFF" "abc", 7),  // 4 GiB claimed, 3 bytes there
        std::string("\x05\x00\x00\x00" "abcd", 8),  // one byte short
        std::string("\x01\x00", 2),                 // short length field
        std::string(),
    };
    for (const auto& bytes : inputs) {
        CArchive in(bytes);
        std::string s = "before";
        EXPECT_THROW(ReadStdString(in, s), CArchiveException);
    }
    CArchive shortGuid(std::string(15, '\0'));
    GUID g;
    EXPECT_THROW(ReadGuid(shortGuid, g), CArchiveException);
}

TEST(StringStreamIn, HandsOutTheStringInPieces)
{
    std::string src = "hello world";
    unsigned char buf[8];
    long n = -1;
    EXPECT_EQ(StringStreamInCallback(&src, buf, 8, &n), 0u);
    EXPECT_EQ(n, 8);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), 8), "hello wo");
    StringStreamInCallback(&src, buf, 8, &n);
    EXPECT_EQ(n, 3);
    StringStreamInCallback(&src, buf, 8, &n);
    EXPECT_EQ(n, 0);
}

TEST(GuidText, WritesTheBracedForm)
{
    GUID g;
    GuidFromString(L"{00112233-4455-6677-8899-AABBCCDDEEFF}", g);
    std::wostringstream os;
    WriteGuidText(os, g);
    EXPECT_EQ(os.str(), L"{00112233-4455-6677-8899-AABBCCDDEEFF}");
}

} // namespace
