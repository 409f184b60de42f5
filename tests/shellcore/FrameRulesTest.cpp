#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shellcore/CommandTextMap.h"
#include "shellcore/FrameCommands.h"
#include "shellcore/FrameMenuSource.h"
#include "shellcore/StatusProgress.h"
#include "shellcore/TextFormat.h"

namespace {

TEST(StatusProgress, PercentOfTheTotalNeverDividesByZero)
{
    struct Case {
        int64_t counter, total;
        int expected;
    } cases[] = {
        {0, 10, 0}, {1, 3, 33}, {2, 3, 66}, {3, 3, 100}, {5, 0, 0}, {0, 0, 0}, {7, -4, 0},
        {4000000000LL, 8000000000LL, 50},          // beyond 32 bits
        {INT64_MAX / 2, INT64_MAX, 49},            // counter x 100 beyond 64 bits
        {12, 10, 100},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProgressPercent(c.counter, c.total), c.expected) << c.counter << "/" << c.total;
    EXPECT_EQ(ProgressRange(0), 1);
    EXPECT_EQ(ProgressRange(-3), 1);
    EXPECT_EQ(ProgressRange(250), 250);
}

TEST(StatusProgress, TheBarSitsRightOfTheTextAndTakesItsShareOfWhatIsLeft)
{
    PaneRect pane{0, 0, 400, 20};
    struct Case {
        const char* name;
        int textWidth;
        bool hasText;
        int size;
        PaneRect expected;
    } cases[] = {
        {"size 100 fills the pane right of the text", 90, true, 100, {100, 2, 400, 18}},
        {"size 40 of what is left", 90, true, 40, {100, 2, 220, 18}},
        {"size 0 is a bar of no width at its left edge", 90, true, 0, {100, 2, 100, 18}},
        {"no text: from the pane's left edge", 90, false, 50, {0, 2, 200, 18}},
        {"sizes beyond 100 are 100", 90, true, 250, {100, 2, 400, 18}},
        {"a text wider than the pane leaves no bar", 500, true, 40, {510, 2, 510, 18}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProgressBarRect(pane, c.textWidth, 5, c.hasText, c.size), c.expected) << c.name;
}

std::vector<std::wstring> Texts(size_t n)
{
    std::vector<std::wstring> t;
    for (size_t i = 0; i < n; ++i)
        t.push_back(L"item " + std::to_wstring(i));
    return t;
}

TEST(CommandRanges, ListsLongerThanTheirRangeAreCutNeverSpilledIntoTheNext)
{
    struct Case {
        const char* name;
        CommandRange range;
        size_t capacity;
    } cases[] = {
        {"favourites", kFavoriteCommands, 512},
        {"templates", kTemplateCommands, 512},
        {"history back", kHistoryBackCommands, 201},
        {"history forward", kHistoryForwardCommands, 201},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.range.Capacity(), c.capacity) << c.name;
        platform::PopupMenu menu;
        menu.AppendItem(1, L"old");
        EXPECT_EQ(FillRangeMenu(menu, c.range, Texts(c.capacity + 40)), c.capacity) << c.name;
        ASSERT_EQ(menu.Items().size(), c.capacity) << c.name;
        EXPECT_EQ(menu.Items().front().command, c.range.first) << c.name;
        EXPECT_EQ(menu.Items().back().command, c.range.last) << c.name;
        EXPECT_EQ(menu.Items().back().text, L"item " + std::to_wstring(c.capacity - 1)) << c.name;
        EXPECT_EQ(FillRangeMenu(menu, c.range, Texts(3)), 3u) << c.name;
        EXPECT_EQ(menu.Items().size(), 3u) << c.name;
    }
    // The ranges follow each other without a gap or an overlap.
    EXPECT_EQ(kFavoriteCommands.last + 1, kTemplateCommands.first);
    EXPECT_EQ(kTemplateCommands.last + 1, kHistoryBackCommands.first);
    EXPECT_EQ(kHistoryBackCommands.last + 1, kHistoryForwardCommands.first);
}

TEST(CommandRanges, TemplateCommandsCountTheServersTemplatesFirst)
{
    struct Case {
        uint32_t command;
        size_t server, global;
        TemplateChoice expected;
    } cases[] = {
        {4096, 2, 3, {true, false, 0}},
        {4097, 2, 3, {true, false, 1}},
        {4098, 2, 3, {true, true, 0}},
        {4100, 2, 3, {true, true, 2}},
        {4101, 2, 3, {false, false, 0}},
        {4096, 0, 1, {true, true, 0}},
        {4095, 2, 3, {false, false, 0}},
        {4608, 600, 0, {false, false, 0}},
    };
    for (const Case& c : cases) {
        TemplateChoice got = ChooseTemplate(c.command, c.server, c.global);
        EXPECT_EQ(got.found, c.expected.found) << c.command;
        EXPECT_EQ(got.global, c.expected.global) << c.command;
        EXPECT_EQ(got.index, c.expected.index) << c.command;
    }
}

TEST(CommandRanges, HiddenCommands)
{
    for (uint32_t id : {32849u, 32850u, 32852u, 32854u, 32856u, 32857u, 32858u, 32876u, 32878u, 32908u, 32909u})
        EXPECT_TRUE(IsHiddenToolbarCommand(id)) << id;
    for (uint32_t id : {32854u, 32908u, 32909u, 32878u})
        EXPECT_TRUE(IsHiddenMenuCommand(id)) << id;
    for (uint32_t id : {32849u, 32850u, 32922u})
        EXPECT_FALSE(IsHiddenMenuCommand(id)) << id;
    EXPECT_FALSE(IsHiddenToolbarCommand(32922));
}

TEST(HistoryItems, Texts)
{
    struct Case {
        const char* name;
        HistoryEntryText entry;
        std::wstring expected;
    } cases[] = {
        {"no server", {false, false, L"cn", L"x", false, L""}, L"(none)"},
        {"root DSE", {true, true, L"", L"", false, L"Home"}, L"RootDSE"},
        {"first RDN", {true, false, L"ou", L"People", false, L"Home"}, L"ou=People"},
        {"the server's own DN", {true, false, L"dc", L"example", true, L"Home"}, L"dc=example (Home)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuildHistoryItemText(c.entry, L"(none)"), c.expected) << c.name;
}

TEST(CommandTexts, StoredTrimmedAndReplaced)
{
    CCommandTextMap map;
    std::wstring text = L"untouched";
    EXPECT_FALSE(map.Lookup(32922, text));
    EXPECT_EQ(text, L"untouched");
    map.Store(32922, L"  (cn=a*)\t\n");
    ASSERT_TRUE(map.Lookup(32922, text));
    EXPECT_EQ(text, L"(cn=a*)");
    map.Store(32922, L"   ");
    ASSERT_TRUE(map.Lookup(32922, text));
    EXPECT_EQ(text, L"");
}

TEST(TextFormat, ArgumentsTakeTheirPlacesAndFormatsCannotReachMemory)
{
    struct Case {
        const char* name;
        std::wstring format;
        std::wstring expected;
    } cases[] = {
        {"text and number", L"%s has %d items", L"tree has 12 items"},
        {"percent sign", L"%d%%", L"tree%"},
        {"widths and lengths are ignored", L"[%-10s|%ld]", L"[tree|12]"},
        {"more specifiers than arguments", L"%s %s %s %n", L"tree 12  %n"},
        {"a trailing percent", L"50%", L"50%"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatText(c.format, {L"tree", 12}), c.expected) << c.name;
}

} // namespace
