// The saved placement of resizable windows: its text and its place in the
// user's settings.

#include <gtest/gtest.h>

#include "dialogcore/WindowPlacementText.h"
#include "platform/RegistryKey.h"
#include "tests/support/TempHome.h"

namespace {

TEST(WindowPlacementText, SixNumbersOrNothing)
{
    struct Case {
        const wchar_t* text;
        bool ok;
        WindowPlacementRecord expected;
    };
    const Case cases[] = {
        {L"120,80,620,480,1,0", true, {{120, 80, 620, 480}, 1, 0}},
        {L"-1200,-8,-100,700,3,2", true, {{-1200, -8, -100, 700}, 3, 2}},
        {L"10, 20, 30, 40, 1, 0", true, {{10, 20, 30, 40}, 1, 0}},
        {L"10,20,30,40,1,0,99", true, {{10, 20, 30, 40}, 1, 0}},
        {L"120,80,620", false, {}},
        {L"", false, {}},
        {L"a,b,c,d,e,f", false, {}},
        {L"10;20;30;40;1;0", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        WindowPlacementRecord p{{1, 2, 3, 4}, 5, 6};
        EXPECT_EQ(ParseWindowPlacement(c.text, p), c.ok);
        if (c.ok)
            EXPECT_EQ(p, c.expected);
        else
            EXPECT_EQ(p, (WindowPlacementRecord{{1, 2, 3, 4}, 5, 6}));  // untouched
    }
    EXPECT_EQ(FormatWindowPlacement({{120, 80, 620, 480}, 3, 0}), L"120,80,620,480,3,0");
    EXPECT_EQ(FormatWindowPlacement({{-5, -6, 7, 8}, 1, 2}), L"-5,-6,7,8,1,2");
}

class WindowStateStoreTest : public testsupport::TempHomeTest {};

TEST_F(WindowStateStoreTest, EachWindowHasItsSectionBelowTheProgramsKey)
{
    EXPECT_EQ(ReadWindowPlacementText(L"SchemaViewer"), L"");
    EXPECT_EQ(ReadActivePage(L"PluginManager", 0), 0);
    ASSERT_TRUE(WriteWindowPlacementText(L"SchemaViewer", L"1,2,3,4,1,0"));
    ASSERT_TRUE(WriteActivePage(L"PluginManager", 2));
    EXPECT_EQ(ReadWindowPlacementText(L"schemaviewer"), L"1,2,3,4,1,0");
    EXPECT_EQ(ReadActivePage(L"PluginManager", 0), 2);

    // A string and an integer, where the framework's profile functions put them.
    platform::RegistryKey key(platform::RegRoot::CurrentUser, true);
    ASSERT_TRUE(key.Open(L"Software\\Vellumar\\Arbolite\\SchemaViewer"));
    std::wstring text;
    EXPECT_TRUE(key.Read(L"WindowPlacement", text));
    ASSERT_TRUE(key.Open(L"Software\\Vellumar\\Arbolite\\PluginManager"));
    uint32_t page = 0;
    EXPECT_TRUE(key.Read(L"ActivePage", page));
    EXPECT_EQ(page, 2u);
}

} // namespace
