// The books of the extent and icon list boxes: widths and extent through
// adds, deletes and suspended updates; tab stops; records written through
// field masks; the radio-like mode.

#include <gtest/gtest.h>

#include "dialogcore/ExtentListWidths.h"
#include "dialogcore/IconListItems.h"

namespace {

TEST(ExtentListWidths, FollowsAddsDeletesAndSuspendedUpdates)
{
    ExtentListWidths widths;
    struct Step {
        char op;  // 'a' add at index, 'd' delete index, 's' suspend, 'r' resume
        size_t index;
        int width;
        bool sent;
        int extent;
        std::vector<int> all;
    } steps[] = {
        {'a', 0, 40, true, 40, {40}},
        {'a', 1, 90, true, 90, {40, 90}},
        {'a', 0, 60, true, 90, {60, 40, 90}},
        {'d', 2, 0, true, 60, {60, 40}},       // the widest went: the next widest
        {'d', 1, 0, true, 60, {60}},
        {'d', 5, 0, false, 60, {60}},          // no such item
        {'s', 0, 0, false, 60, {60}},
        {'a', 1, 200, false, 60, {60}},        // suspended: not measured
        {'d', 0, 0, false, 60, {60}},
        {'r', 0, 0, false, 60, {60}},          // resuming re-measures nothing by itself
        {'a', 1, 20, true, 60, {60, 20}},
        {'d', 0, 0, true, 20, {20}},
        {'d', 0, 0, true, 0, {}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(1, step.op) + std::to_string(step.index));
        bool sent = false;
        switch (step.op) {
        case 'a': sent = widths.Inserted(step.index, step.width); break;
        case 'd': sent = widths.Deleted(step.index); break;
        case 's': widths.SuspendExtentUpdates(); break;
        case 'r': widths.ResumeExtentUpdates(); break;
        }
        EXPECT_EQ(sent, step.sent);
        EXPECT_EQ(widths.GetExtent(), step.extent);
        EXPECT_EQ(widths.GetWidths(), step.all);
    }
}

TEST(ExtentListWidths, AFullRemeasureAddsTheMarginAndSplitsLines)
{
    ExtentListWidths widths;
    widths.SetExtraMargin(16);
    widths.Remeasured({30, 70, 50});
    EXPECT_EQ(widths.GetLargest(), 70);
    EXPECT_EQ(widths.GetExtent(), 86);
    // An item added afterwards sends the largest width without the margin.
    widths.Inserted(3, 80);
    EXPECT_EQ(widths.GetExtent(), 80);
    EXPECT_EQ(ExtentListWidths::SplitLines(L"  NONE \n\n\t Choose this \n "),
              (std::vector<std::wstring>{L"NONE", L"Choose this"}));
    EXPECT_EQ(ExtentListWidths::ItemWidth(100), 106);
}

TEST(ExtentListWidths, TabStopsTurnFromDialogUnitsIntoPixels)
{
    // 52 letters 364 pixels wide: (364 / 26 + 1) / 2 = 7.
    EXPECT_EQ(ExtentListWidths::AverageCharWidth(364), 7);
    EXPECT_EQ(ExtentListWidths::AverageCharWidth(0), 0);
    EXPECT_EQ(ExtentListWidths::TabStopsToPixels({2, 16, 100, 0}, 7), (std::vector<int>{4, 28, 175, 0}));
    EXPECT_EQ(ExtentListWidths::TabStopsToPixels({5}, 6), (std::vector<int>{8}));
}

TEST(IconListItems, RecordsAreWrittenThroughTheirMasks)
{
    IconListItems items;
    items.InsertBare(0);
    EXPECT_EQ(items.GetValue(0), -1);
    EXPECT_EQ(items.GetCheck(0), -1);
    EXPECT_TRUE(items.IsEnabled(0));
    IconListItem fields{7, 3, 1, 99, 1};
    EXPECT_TRUE(items.Update(0, kIconFieldImage, fields));
    ASSERT_NE(items.Record(0), nullptr);
    EXPECT_EQ(items.GetImage(0), 3);
    EXPECT_EQ(items.GetValue(0), 0);  // a new record starts zeroed
    EXPECT_EQ(items.GetCheck(0), 0);
    EXPECT_TRUE(items.IsEnabled(0));
    items.Update(0, kIconFieldValue | kIconFieldFlags, fields);
    EXPECT_EQ(items.GetValue(0), 7);
    EXPECT_FALSE(items.IsEnabled(0));
    EXPECT_EQ(items.Record(0)->reserved, 0);  // never written
    EXPECT_FALSE(items.Update(1, kIconFieldValue, fields));

    items.Insert(1, 1);
    items.Insert(0, 0);
    EXPECT_EQ(items.GetCheck(2), 1);
    EXPECT_EQ(items.Move(2, 0), 0u);
    EXPECT_EQ(items.GetCheck(0), 1);
    EXPECT_EQ(items.GetValue(2), 7);  // the record moved with its item
}

TEST(IconListItems, RadioModeChecksOnlyTheCurrentEnabledItem)
{
    IconListItems items;
    items.SetRadioMode(true);
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(items.GetCheck(items.Insert(i, 1)), 0);  // added unchecked
    IconListItem disabled;
    disabled.flags = kIconItemDisabled;
    items.Update(3, kIconFieldFlags, disabled);

    struct Step {
        int select;
        int current;
        std::vector<int> checks;
        std::vector<size_t> changed;
    } steps[] = {
        {1, 1, {0, 1, 0, 0}, {1}},
        {2, 2, {0, 0, 1, 0}, {1, 2}},
        {3, 2, {0, 0, 1, 0}, {}},  // disabled: nothing changes
        {7, 2, {0, 0, 1, 0}, {}},  // no such item
        {-1, 2, {0, 0, 1, 0}, {}},
        {0, 0, {1, 0, 0, 0}, {0, 2}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.select);
        EXPECT_EQ(items.SelectExclusive(step.select), step.changed);
        EXPECT_EQ(items.GetCurrentItem(), step.current);
        for (size_t i = 0; i < 4; ++i) EXPECT_EQ(items.GetCheck(i), step.checks[i]) << i;
    }
    items.Delete(0);
    EXPECT_EQ(items.GetCurrentItem(), -1);
    items.SetRadioMode(false);
    EXPECT_TRUE(items.SelectExclusive(0).empty());
}

} // namespace
