#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/RegistryKey.h"
#include "shellcore/ListViewState.h"
#include "tests/support/TempHome.h"

namespace {

class ListViewStateTest : public testsupport::TempHomeTest {
protected:
    void WriteState(const std::wstring& name, uint32_t value)
    {
        platform::RegistryKey key(platform::RegRoot::CurrentUser, false);
        ASSERT_TRUE(key.CreateKey(kListStateKey));
        ASSERT_TRUE(key.Write(name, value));
    }
    bool ReadState(const std::wstring& name, int32_t& value)
    {
        platform::RegistryKey key(platform::RegRoot::CurrentUser, true);
        return key.Open(kListStateKey) && key.Read(name, value);
    }
};

TEST_F(ListViewStateTest, AFreshProfileHasTheDefaultWidthsReportStyleAndNoSortColumn)
{
    EXPECT_EQ(CListViewState::LoadColumnWidths(), (CListViewState::Widths{75, 310, 50, 60}));
    EXPECT_EQ(CListViewState::LoadListStyle(), 1u);
    CListViewState state;
    state.LoadSortState(false);
    EXPECT_EQ(state.GetSortColumn(), -1);
    EXPECT_EQ(state.GetSortOrder(), 0);
}

TEST_F(ListViewStateTest, WidthsAreKeptAsDwordsByColumnNameAndAMissingOneIsItsDefault)
{
    CListViewState::SaveColumnWidths({120, 200, 0, 44});
    EXPECT_EQ(CListViewState::LoadColumnWidths(), (CListViewState::Widths{120, 200, 0, 44}));
    int32_t value = 0;
    ASSERT_TRUE(ReadState(L"Value", value));
    EXPECT_EQ(value, 200);

    platform::RegistryKey key(platform::RegRoot::CurrentUser, false);
    ASSERT_TRUE(key.Open(kListStateKey));
    ASSERT_TRUE(key.DeleteValue(L"Type"));
    EXPECT_EQ(CListViewState::LoadColumnWidths(), (CListViewState::Widths{120, 200, 50, 44}));
    // Defaults the view gives (scaled to its font) fill only what is missing.
    EXPECT_EQ(CListViewState::LoadColumnWidths({100, 413, 67, 80}), (CListViewState::Widths{120, 200, 67, 44}));
}

TEST_F(ListViewStateTest, ColumnClicksSortDescendingFirstThenFlip)
{
    CListViewState state;
    state.ClickColumn(3);
    EXPECT_EQ(state.GetSortColumn(), 3);
    EXPECT_FALSE(state.IsAscending());
    state.ClickColumn(3);
    EXPECT_TRUE(state.IsAscending());
    state.ClickColumn(3);
    EXPECT_FALSE(state.IsAscending());
    state.ClickColumn(3);
    state.ClickColumn(0);
    EXPECT_EQ(state.GetSortColumn(), 0);
    EXPECT_FALSE(state.IsAscending()) << "a new column starts descending";
}

TEST_F(ListViewStateTest, SortStateSurvivesUnlessTheColumnIsToBeForgotten)
{
    struct Case {
        bool forget;
        int32_t storedColumn;
        int expectedColumn;
        int expectedOrder;
    } cases[] = {
        {false, 2, 2, 1},
        {true, -1, -1, 0},  // saved as -1, and not read back at all
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.forget);
        CListViewState state;
        state.ClickColumn(2);
        state.ClickColumn(2);
        state.SaveSortState(c.forget);
        int32_t column = 99, order = 99;
        ASSERT_TRUE(ReadState(L"SortCol", column));
        ASSERT_TRUE(ReadState(L"SortOrder", order));
        EXPECT_EQ(column, c.storedColumn);
        EXPECT_EQ(order, 1) << "the direction is always stored";

        CListViewState again;
        again.LoadSortState(c.forget);
        EXPECT_EQ(again.GetSortColumn(), c.expectedColumn);
        EXPECT_EQ(again.GetSortOrder(), c.expectedOrder);
    }
}

TEST_F(ListViewStateTest, StoredValuesThatNameNoColumnGiveNoSortColumn)
{
    for (uint32_t stored : {4u, 77u, 0xFFFFFFFEu}) {
        WriteState(L"SortCol", stored);
        WriteState(L"SortOrder", 1);
        CListViewState state;
        state.LoadSortState(false);
        EXPECT_EQ(state.GetSortColumn(), -1) << stored;
    }
    WriteState(L"SortCol", 1);
    WriteState(L"SortOrder", 7);
    CListViewState state;
    state.LoadSortState(false);
    EXPECT_EQ(state.GetSortColumn(), 1);
    EXPECT_FALSE(state.IsAscending()) << "only 1 is ascending";
}

TEST_F(ListViewStateTest, TheListStyleKeepsItsLowTwoBits)
{
    for (uint32_t style : {0u, 1u, 2u, 3u}) {
        CListViewState::SaveListStyle(style);
        EXPECT_EQ(CListViewState::LoadListStyle(), style);
    }
    platform::RegistryKey key(platform::RegRoot::CurrentUser, false);
    ASSERT_TRUE(key.CreateKey(kListStyleSectionKey));
    ASSERT_TRUE(key.Write(L"liststyle", 0x4006u));
    EXPECT_EQ(CListViewState::LoadListStyle(), 2u);
}

// Rows as "kind:text:size", sorted by the rule.
std::vector<std::string> Sorted(std::vector<std::pair<std::string, ListRowKey>> rows, int column, bool ascending)
{
    std::stable_sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) {
        return CompareListRows(a.second, b.second, column, ascending) < 0;
    });
    std::vector<std::string> names;
    for (const auto& r : rows)
        names.push_back(r.first);
    return names;
}

TEST(ListRowOrder, KindsGroupFirstInTheDirectionThenTheColumnDecides)
{
    // Two entries (kind 2) and two attributes (kind 3).
    std::vector<std::pair<std::string, ListRowKey>> rows = {
        {"entry b", ListRowKey(2, L"b", 10)},
        {"attr A", ListRowKey(3, L"A", 3)},
        {"entry a", ListRowKey(2, L"a", -1)},
        {"attr c", ListRowKey(3, L"c", 30)},
    };
    EXPECT_EQ(Sorted(rows, 0, true), (std::vector<std::string>{"entry a", "entry b", "attr A", "attr c"}));
    EXPECT_EQ(Sorted(rows, 0, false), (std::vector<std::string>{"attr c", "attr A", "entry b", "entry a"}));
    // Sizes are signed: not known (-1) is the smallest.
    EXPECT_EQ(Sorted(rows, 3, true), (std::vector<std::string>{"entry a", "entry b", "attr A", "attr c"}));
    EXPECT_EQ(Sorted(rows, 3, false), (std::vector<std::string>{"attr c", "attr A", "entry b", "entry a"}));
    // Another column: only the kinds order.
    EXPECT_EQ(Sorted(rows, 7, true), (std::vector<std::string>{"entry b", "entry a", "attr A", "attr c"}));
}

TEST(ListRowOrder, TextsCompareIgnoringLetterCaseWhateverTheLocale)
{
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        int order;
    } cases[] = {
        {L"Mail", L"mail", 0},
        {L"CN", L"cn", 0},
        {L"apple", L"Banana", -1},
        {L"Zeta", L"alpha", 1},
        {L"objectClass", L"objectclass", 0},
        {L"M\u00FCller", L"M\u00FCller", 0},
    };
    for (const Case& c : cases) {
        int asc = CompareListRows(ListRowKey(3, c.a, 0), ListRowKey(3, c.b, 0), 1, true);
        int desc = CompareListRows(ListRowKey(3, c.a, 0), ListRowKey(3, c.b, 0), 1, false);
        EXPECT_EQ(asc, c.order) << std::string(c.a, c.a + wcslen(c.a));
        EXPECT_EQ(desc, -c.order);
    }
}

} // namespace
