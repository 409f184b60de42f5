#include <gtest/gtest.h>

#include <list>
#include <vector>

#include "platform/CStdRegistry.h"
#include "base/StringList.h"
#include "tests/support/TempHome.h"

using platform::RegRoot;

namespace {

const wchar_t* const kTemplates = L"Software\\Vellumar\\Arbolite\\Profiles\\Common Templates\\";

std::vector<std::string> Items(const StringList& l) { return {l.begin(), l.end()}; }

} // namespace

class CStdRegistryTest : public testsupport::TempHomeTest {};

TEST_F(CStdRegistryTest, ByteStringsAreBinaryValues)
{
    CStdRegistry reg(RegRoot::CurrentUser, false);
    ASSERT_TRUE(reg.CreateKey(kTemplates));
    const std::string values[] = {
        std::string(),
        std::string("\0", 1),
        std::string("\xFF\x00\xFF", 3),
        std::string("cn=J\xC3\xBCrgen,o=x"),
        std::string(300, '\0') + "tail",
    };
    for (const std::string& v : values) {
        ASSERT_TRUE(reg.Write(L"val0", v));
        std::string back = "stale";
        ASSERT_TRUE(reg.Read(L"val0", back));
        EXPECT_EQ(back, v);
        EXPECT_EQ(reg.GetLastResult(), 0);
        EXPECT_EQ(reg.GetLastType(), platform::REG_BINARY);
        EXPECT_EQ(reg.GetLastSize(), v.size());
    }
    // Written as bytes, it is not a text.
    std::wstring text;
    EXPECT_FALSE(reg.Read(L"val0", text));
}

TEST_F(CStdRegistryTest, WideStringsAreTextValues)
{
    CStdRegistry reg(RegRoot::CurrentUser, false);
    ASSERT_TRUE(reg.CreateKey(kTemplates));
    const std::wstring texts[] = {L"", L"inetOrgPerson", L"Stra\u00dfe \u65e5\u672c \U0001F600"};
    for (const std::wstring& t : texts) {
        ASSERT_TRUE(reg.Write(L"Description", t));
        std::wstring back = L"stale";
        ASSERT_TRUE(reg.Read(L"Description", back));
        EXPECT_EQ(back, t);  // exactly the text, no terminator kept
        EXPECT_EQ(reg.GetLastType(), platform::REG_SZ);
    }
    // The bytes of a text value are its UTF-8.
    ASSERT_TRUE(reg.Write(L"RDNType", std::wstring(L"\u00e9")));
    std::string bytes;
    ASSERT_TRUE(reg.Read(L"rdntype", bytes));
    EXPECT_EQ(bytes, "\xC3\xA9");
    EXPECT_EQ(reg.GetLastType(), platform::REG_SZ);
    EXPECT_EQ(reg.GetLastSize(), 2u);
    // Other writes of the key class stay reachable.
    ASSERT_TRUE(reg.Write(L"Must", 1u));
    uint32_t must = 0;
    ASSERT_TRUE(reg.Read(L"Must", must));
    EXPECT_EQ(must, 1u);
}

TEST_F(CStdRegistryTest, FailedReadsLeaveTheOutputAlone)
{
    CStdRegistry reg(RegRoot::CurrentUser, false);
    std::string bytes = "untouched";
    std::wstring text = L"untouched";
    EXPECT_FALSE(reg.Read(L"x", bytes));  // not open
    ASSERT_TRUE(reg.CreateKey(kTemplates));
    EXPECT_FALSE(reg.Read(L"missing", bytes));
    EXPECT_EQ(reg.GetLastResult(), platform::ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(reg.Read(L"missing", text));
    EXPECT_EQ(bytes, "untouched");
    EXPECT_EQ(text, L"untouched");
}

TEST_F(CStdRegistryTest, SubKeyNamesAppendedInOrder)
{
    {
        CStdRegistry writer(RegRoot::CurrentUser, false);
        for (const wchar_t* name : {L"00001Person", L"00000Group", L"00002J\u00fcrgen's template"})
            ASSERT_TRUE(writer.CreateKey(std::wstring(kTemplates) + name));
        ASSERT_TRUE(writer.CreateKey(L"Software\\Vellumar\\Arbolite\\Empty"));
    }
    CStdRegistry reg(RegRoot::CurrentUser, true);
    ASSERT_TRUE(reg.Open(kTemplates));

    StringList narrow;
    narrow.Add("kept");
    ASSERT_TRUE(reg.ReadSubKeys(narrow));
    EXPECT_EQ(Items(narrow),
              (std::vector<std::string>{"kept", "00000Group", "00001Person", "00002J\xC3\xBCrgen's template"}));

    std::list<std::wstring> wide{L"kept"};
    ASSERT_TRUE(reg.ReadSubKeys(wide));
    EXPECT_EQ(wide, (std::list<std::wstring>{L"kept", L"00000Group", L"00001Person", L"00002J\u00fcrgen's template"}));

    std::vector<std::wstring> vec;
    ASSERT_TRUE(reg.ReadSubKeys(vec));
    EXPECT_EQ(vec.size(), 3u);

    // No sub-key at all, or no open key: false, lists unchanged.
    ASSERT_TRUE(reg.Open(L"Software\\Vellumar\\Arbolite\\Empty"));
    StringList none;
    EXPECT_FALSE(reg.ReadSubKeys(none));
    EXPECT_TRUE(none.IsEmpty());
    std::list<std::wstring> noneWide{L"kept"};
    EXPECT_FALSE(reg.ReadSubKeys(noneWide));
    EXPECT_EQ(noneWide.size(), 1u);
    reg.Close();
    EXPECT_FALSE(reg.ReadSubKeys(none));
}

TEST_F(CStdRegistryTest, MachineRootReadsThroughTheHelper)
{
    {
        CStdRegistry fill(platform::SettingsStore::Open(m_machineFile, true), false);
        ASSERT_TRUE(fill.CreateKey(L"Software\\Vellumar\\Arbolite\\DefaultSchema\\objectClasses"));
        ASSERT_TRUE(fill.Write(L"a", std::wstring(L"( 2.5.6.0 NAME 'top' )")));
    }
    CStdRegistry reg(RegRoot::LocalMachine, true);
    ASSERT_TRUE(reg.Open(L"Software\\Vellumar\\Arbolite\\DefaultSchema\\"));
    StringList kinds;
    ASSERT_TRUE(reg.ReadSubKeys(kinds));
    EXPECT_EQ(Items(kinds), std::vector<std::string>{"objectClasses"});
    ASSERT_TRUE(reg.Open(L"Software\\Vellumar\\Arbolite\\DefaultSchema\\objectclasses"));
    std::wstring def;
    ASSERT_TRUE(reg.Read(L"A", def));
    EXPECT_EQ(def, L"( 2.5.6.0 NAME 'top' )");
    EXPECT_FALSE(reg.Write(L"b", std::string("x")));
}
