#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/TextFunctions.h"

namespace {

std::vector<std::string> Pieces(const char* text, char separator)
{
    StringList list;
    list.Add("left over");
    SplitString(text, list, separator);
    return std::vector<std::string>(list.begin(), list.end());
}

TEST(TextFunctions, SplitStringKeepsEmptyPiecesButNeedsASeparator)
{
    EXPECT_EQ(Pieces("a-b", '-'), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Pieces("a-", '-'), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(Pieces("-a--b", '-'), (std::vector<std::string>{"", "a", "", "b"}));
    EXPECT_TRUE(Pieces("ab", '-').empty());
    EXPECT_TRUE(Pieces(nullptr, '-').empty());
    EXPECT_TRUE(Pieces("", '-').empty());
}

TEST(TextFunctions, NumbersAndSafeNames)
{
    EXPECT_EQ(IntToString(-42), L"-42");
    struct Case {
        const wchar_t* text;
        int value;
    } cases[] = {{L"17", 17}, {L"  -8x", -8}, {L"+3", 3}, {L"x12", 0}, {L"", 0}, {L"99999999999", 2147483647},
                 {L"-99999999999", -2147483647 - 1}};
    for (const Case& c : cases) EXPECT_EQ(StringToInt(c.text), c.value) << c.text;
    EXPECT_EQ(MakeSafeFileName(L"cn=a.b\\c/d:e*f?g\"h<i>j|k"), L"cn=a_b_c_d_e_f_g_h_i_j_k");

    StringList utf8;
    ToUtf8StringList({L"M\u00FCller", L"x"}, utf8);
    EXPECT_EQ(utf8.GetCount(), 2u);
    EXPECT_EQ(*utf8.begin(), "M\xC3\xBCller");
}

} // namespace
