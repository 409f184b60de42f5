#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/HeadlessControls.h"

using platform::HeadlessList;
using platform::ListItem;

namespace {

ListItem Row(const std::wstring& text, void* data = nullptr)
{
    ListItem item;
    item.text = text;
    item.data = data;
    return item;
}

std::wstring Names(const HeadlessList& l)
{
    std::wstring out;
    for (int i = 0; i < l.GetItemCount(); ++i)
        out += (i ? L"," : L"") + l.GetItemText(i, 0);
    return out;
}

} // namespace

TEST(HeadlessList, InsertPositions)
{
    struct Case {
        int row;
        int wantIndex;
        const wchar_t* wantNames;
    };
    const Case cases[] = {
        {-1, 3, L"a,b,c,new"}, {3, 3, L"a,b,c,new"}, {99, 3, L"a,b,c,new"},
        {0, 0, L"new,a,b,c"},  {1, 1, L"a,new,b,c"},
    };
    for (const Case& c : cases) {
        HeadlessList l;
        for (const wchar_t* n : {L"a", L"b", L"c"})
            l.InsertItem(-1, Row(n));
        EXPECT_EQ(l.InsertItem(c.row, Row(L"new")), c.wantIndex) << c.row;
        EXPECT_EQ(Names(l), c.wantNames) << c.row;
    }
}

TEST(HeadlessList, ColumnTexts)
{
    HeadlessList l;
    l.InsertItem(-1, Row(L"cn"));
    EXPECT_TRUE(l.SetItemText(0, 1, L"John"));
    EXPECT_TRUE(l.SetItemText(0, 3, L"4"));
    EXPECT_EQ(l.RowText(0), L"cn|John||4");
    EXPECT_EQ(l.GetItemText(0, 2), L"");
    EXPECT_EQ(l.GetItemText(0, 9), L"");
    EXPECT_FALSE(l.SetItemText(0, -1, L"x"));
    EXPECT_FALSE(l.SetItemText(1, 0, L"x"));
    EXPECT_EQ(l.GetItemText(1, 0), L"");
}

TEST(HeadlessList, StatesSelectionAndFocus)
{
    HeadlessList l;
    for (int i = 0; i < 4; ++i)
        l.InsertItem(-1, Row(std::to_wstring(i)));
    l.SetItemState(1, platform::kListSelected, platform::kListSelected);
    l.SetItemState(3, platform::kListSelected | platform::kListFocused,
                   platform::kListSelected | platform::kListFocused);
    EXPECT_EQ(l.GetSelectedRows(), (std::vector<int>{1, 3}));
    l.SetItemState(0, platform::kListFocused, platform::kListFocused);
    EXPECT_EQ(l.GetItemState(3, platform::kListFocused), 0u) << "only one row holds the focus";
    EXPECT_EQ(l.GetItemState(3, platform::kListSelected), platform::kListSelected);

    // Row -1 is every row: the usual way to clear the selection.
    EXPECT_TRUE(l.SetItemState(-1, 0, platform::kListSelected));
    EXPECT_TRUE(l.GetSelectedRows().empty());
    EXPECT_EQ(l.GetItemState(0, platform::kListFocused), platform::kListFocused) << "outside the mask";

    // Overlay and state image live in their own bits.
    l.SetItemState(2, platform::ListOverlayState(1), platform::kListOverlayMask);
    EXPECT_EQ(l.GetItemState(2, platform::kListOverlayMask), 0x100u);
    l.SetItemState(2, 0x1F00, 0xFF00);
    EXPECT_EQ(l.GetItemState(2, platform::kListOverlayMask), 0xF00u);
    EXPECT_EQ(l.GetItemState(2, platform::kListStateImageMask), 0x1000u);
    l.SetItemState(2, platform::ListOverlayState(0), platform::kListOverlayMask);
    EXPECT_EQ(l.GetItemState(2, 0xFFFF), 0x1000u);

    // The insert record's state goes through its mask.
    ListItem item = Row(L"new");
    item.state = platform::kListSelected | platform::kListFocused;
    item.stateMask = platform::kListSelected;
    int row = l.InsertItem(0, item);
    EXPECT_EQ(l.GetItemState(row, 0xFFFF), platform::kListSelected);
    EXPECT_EQ(l.GetItemState(42, 0xFFFF), 0u);
    EXPECT_FALSE(l.SetItemState(42, 0, 0xFFFF));
}

TEST(HeadlessList, FindByDataAndDelete)
{
    HeadlessList l;
    int n[3] = {};
    l.InsertItem(-1, Row(L"a", &n[0]));
    l.InsertItem(-1, Row(L"b", &n[1]));
    l.InsertItem(-1, Row(L"a again", &n[0]));
    EXPECT_EQ(l.FindItemByData(&n[0]), 0);
    EXPECT_EQ(l.FindItemByData(&n[0], 0), 2) << "the search starts after start";
    EXPECT_EQ(l.FindItemByData(&n[0], 2), -1);
    EXPECT_EQ(l.FindItemByData(&n[2]), -1);
    EXPECT_TRUE(l.DeleteItem(0));
    EXPECT_EQ(l.FindItemByData(&n[1]), 0);
    EXPECT_EQ(l.FindItemByData(&n[0]), 1);
    EXPECT_FALSE(l.DeleteItem(5));
    EXPECT_TRUE(l.SetItemData(0, &n[2]));
    EXPECT_EQ(l.GetItemData(0), &n[2]);
    l.DeleteAllItems();
    EXPECT_EQ(l.GetItemCount(), 0);
    EXPECT_EQ(l.FindItemByData(&n[1]), -1);
}

TEST(HeadlessList, SortByItemDataIsStable)
{
    HeadlessList l;
    int keys[] = {2, 1, 2, 0};
    const wchar_t* names[] = {L"first two", L"one", L"second two", L"zero"};
    for (int i = 0; i < 4; ++i)
        l.InsertItem(-1, Row(names[i], &keys[i]));
    l.SortItems([](void* a, void* b) { return *static_cast<int*>(a) - *static_cast<int*>(b); });
    EXPECT_EQ(Names(l), L"zero,one,first two,second two");
}

TEST(HeadlessList, RedrawEnsureVisibleImages)
{
    HeadlessList l;
    for (int i = 0; i < 3; ++i)
        l.InsertItem(-1, Row(L"r"));
    l.RedrawItems(1, 1);
    l.RedrawItems(0, 2);
    EXPECT_EQ(l.Redraws(), (std::vector<std::pair<int, int>>{{1, 1}, {0, 2}}));
    l.ClearRedraws();
    EXPECT_TRUE(l.Redraws().empty());

    EXPECT_TRUE(l.EnsureVisible(2));
    EXPECT_EQ(l.LastEnsuredVisible(), 2);
    l.DeleteItem(0);
    EXPECT_EQ(l.LastEnsuredVisible(), 1) << "the row moved up";
    l.DeleteItem(1);
    EXPECT_EQ(l.LastEnsuredVisible(), -1);
    EXPECT_FALSE(l.EnsureVisible(7));

    EXPECT_TRUE(l.SetItemImage(0, 16));
    EXPECT_EQ(l.GetItemImage(0), 16);
    EXPECT_EQ(l.GetItemImage(3), -1);

    l.LockUpdates();
    l.LockUpdates();
    l.UnlockUpdates();
    EXPECT_EQ(l.UpdateLockDepth(), 1);
    l.UnlockUpdates();
    EXPECT_EQ(l.UpdateLockDepth(), 0);
}
