// The main window's layout kept in the workspace state below the settings key.

#include <gtest/gtest.h>

#include <string>

#include "dialogcore/MainFrameLayout.h"
#include "dialogcore/WindowPlacementText.h"
#include "platform/RegistryKey.h"
#include "shellcore/RegistryPaths.h"
#include "tests/support/TempHome.h"

namespace {

class MainFrameLayoutTest : public testsupport::TempHomeTest {
protected:
    platform::RegistryKey& Section()
    {
        EXPECT_TRUE(m_key.CreateKey(g_strSettingsKey + L"MainFrame"));
        return m_key;
    }
    platform::RegistryKey m_key{platform::RegRoot::CurrentUser, false};
};

TEST_F(MainFrameLayoutTest, NothingKeptGivesNothing)
{
    MainFrameLayout layout = LoadMainFrameLayout();
    EXPECT_FALSE(layout.splitterPosition);
    EXPECT_FALSE(layout.outputBarShown);
}

TEST_F(MainFrameLayoutTest, ComesBackAsSavedBesideThePlacementBelowTheSettingsKey)
{
    ASSERT_TRUE(SaveMainFrameLayout({312, true}));
    ASSERT_TRUE(WriteWindowPlacementText(kMainFrameSection, L"10,20,910,720,1,0"));
    MainFrameLayout layout = LoadMainFrameLayout();
    EXPECT_EQ(layout.splitterPosition, 312);
    EXPECT_EQ(layout.outputBarShown, true);

    uint32_t splitter = 0, outputBar = 0;
    std::wstring placement;
    ASSERT_TRUE(Section().Read(L"Splitter", splitter));
    EXPECT_EQ(splitter, 312u);
    ASSERT_TRUE(Section().Read(L"OutputBar", outputBar));
    EXPECT_EQ(outputBar, 1u);
    ASSERT_TRUE(Section().Read(L"WindowPlacement", placement));
    EXPECT_EQ(placement, L"10,20,910,720,1,0");

    // A hidden bar is kept too; a value not given stays as it was.
    ASSERT_TRUE(SaveMainFrameLayout({std::nullopt, false}));
    layout = LoadMainFrameLayout();
    EXPECT_EQ(layout.splitterPosition, 312);
    EXPECT_EQ(layout.outputBarShown, false);
}

TEST_F(MainFrameLayoutTest, UnusableValuesAreLeftOut)
{
    struct Case {
        const char* what;
        void (*write)(platform::RegistryKey& key);
    };
    const Case cases[] = {
        {"negative", [](platform::RegistryKey& key) { key.Write(L"Splitter", static_cast<uint32_t>(-40)); }},
        {"wider than any screen", [](platform::RegistryKey& key) { key.Write(L"Splitter", 5000000u); }},
        {"text", [](platform::RegistryKey& key) {
             key.Write(L"Splitter", std::wstring(L"300"));
             key.Write(L"OutputBar", std::wstring(L"1"));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.write(Section());
        MainFrameLayout layout = LoadMainFrameLayout();
        EXPECT_FALSE(layout.splitterPosition);
        EXPECT_FALSE(layout.outputBarShown);
    }
}

} // namespace
