#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "base/StringList.h"
#include "base/Archive.h"

namespace {

std::vector<std::string> Items(const StringList& l) { return {l.begin(), l.end()}; }

StringList Of(std::initializer_list<std::string> items)
{
    StringList l;
    for (const auto& s : items) l.Add(s);
    return l;
}

TEST(StringList, ArraysBothWays)
{
    EXPECT_TRUE(StringList(nullptr).IsEmpty());
    EXPECT_EQ(StringList().ToCharArray(), nullptr);
    StringList::FreeCharArray(nullptr);

    const char* src[] = {"cn", "", "mail", nullptr};
    StringList l(const_cast<char**>(src));
    EXPECT_EQ(Items(l), (std::vector<std::string>{"cn", "", "mail"}));
    l.AssignFromArray(const_cast<char**>(src));  // appends
    EXPECT_EQ(l.GetCount(), 6u);

    StringList bin = Of({std::string("a\0b", 3), "xyz"});
    char** arr = bin.ToCharArray();
    ASSERT_NE(arr, nullptr);
    EXPECT_STREQ(arr[0], "a");  // reads only up to the embedded zero
    EXPECT_STREQ(arr[1], "xyz");
    EXPECT_EQ(arr[2], nullptr);
    StringList::FreeCharArray(arr);
}

TEST(StringList, ContainsAndRemoveFoldAsciiCaseOnly)
{
    StringList l = Of({"cn", "mail", "CN", "\xC3\xA4"});
    EXPECT_TRUE(l.Contains("CN"));
    EXPECT_FALSE(l.Contains("Mail"));
    EXPECT_TRUE(l.Contains("Mail", true));
    EXPECT_FALSE(l.Contains("\xC3\x84", true));  // non-ASCII letters are not folded

    EXPECT_TRUE(l.Remove("Cn"));  // only the first match goes
    EXPECT_EQ(Items(l), (std::vector<std::string>{"mail", "CN", "\xC3\xA4"}));
    EXPECT_FALSE(l.Remove("sn"));
    EXPECT_FALSE(StringList().Remove("x"));
}

TEST(StringList, AppendUniqueSortsAndKeepsCaseVariants)
{
    StringList l = Of({"a", "c"});
    l.AppendUnique(Of({"b", "a"}));
    EXPECT_EQ(Items(l), (std::vector<std::string>{"a", "b", "c"}));
    StringList m = Of({"a", "A", "a", "b"});
    m.SortUnique();
    EXPECT_EQ(Items(m), (std::vector<std::string>{"A", "a", "b"}));
}

TEST(StringList, ChainingAssignAndBack)
{
    StringList l;
    std::string s = "two";
    l.AddString("one").AddString(s).AddString(std::string("three"));
    EXPECT_EQ(l.Back(), "three");
    StringList m = Of({"x"});
    m.Assign(l);
    EXPECT_EQ(m, l);
    m.Append(Of({"four"}));
    EXPECT_EQ(m.GetCount(), 4u);
}

TEST(StringList, Dump)
{
    std::wostringstream a, b;
    Of({"x", "y"}).Dump(a);
    EXPECT_EQ(a.str(), L"x, y, ");
    StringList().Dump(b);
    EXPECT_EQ(b.str(), L"empty StringList");
}

TEST(StringList, ArchiveRoundTripAndFixedBytes)
{
    StringList l = Of({std::string("\0\xFF", 2), "cn"});
    CArchive out;
    WriteStringList(out, l);
    EXPECT_EQ(out.GetBuffer(), std::string("\x02\0\0\0" "\x02\0\0\0" "\0\xFF" "\x02\0\0\0" "cn", 16));
    CArchive in(out.GetBuffer());
    StringList back = Of({"old"});
    ReadStringList(in, back);
    EXPECT_EQ(back, l);
}

TEST(StringList, DamagedArchivesFailCleanly)
{
    // A huge count with nothing behind it, and a count of two with one string.
    for (const std::string& bytes : {std::string("\xFF\xFF\xFF\x7F", 4),
                                     std::string("\x02\0\0\0" "\x01\0\0\0" "a" "\x05\0\0\0", 13)}) {
        CArchive in(bytes);
        StringList l;
        EXPECT_THROW(ReadStringList(in, l), CArchiveException);
        EXPECT_LE(l.GetCount(), 1u);
    }
}

} // namespace
