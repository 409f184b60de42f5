#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/support/HeadlessControls.h"

using platform::HeadlessTree;
using platform::kTreeRoot;
using platform::TreeExpand;
using platform::TreeInsert;
using platform::TreeInsertAt;
using platform::TreeItem;

namespace {

TreeItem Add(HeadlessTree& t, TreeItem parent, const std::wstring& text, void* data = nullptr,
             TreeInsertAt at = TreeInsertAt::Last)
{
    TreeInsert ins;
    ins.parent = parent;
    ins.text = text;
    ins.data = data;
    ins.at = at;
    return t.InsertItem(ins);
}

// root
//   server
//     ou=a
//       cn=x
//     ou=b
struct SmallTree {
    HeadlessTree t;
    int nodes[5] = {};
    TreeItem root, server, a, x, b;
    SmallTree()
    {
        root = Add(t, kTreeRoot, L"root", &nodes[0]);
        server = Add(t, root, L"server", &nodes[1]);
        a = Add(t, server, L"ou=a", &nodes[2]);
        x = Add(t, a, L"cn=x", &nodes[3]);
        b = Add(t, server, L"ou=b", &nodes[4]);
    }
};

} // namespace

TEST(HeadlessTree, InsertAndWalk)
{
    SmallTree s;
    HeadlessTree& t = s.t;
    EXPECT_EQ(t.Dump(), L"root\n  server\n    ou=a\n      cn=x\n    ou=b\n");
    EXPECT_EQ(t.GetRootItem(), s.root);
    EXPECT_EQ(t.GetChildItem(kTreeRoot), s.root);
    EXPECT_FALSE(t.GetParentItem(s.root)) << "a top-level item has no parent item";
    EXPECT_EQ(t.GetParentItem(s.x), s.a);
    EXPECT_EQ(t.GetChildItem(s.server), s.a);
    EXPECT_EQ(t.GetNextSiblingItem(s.a), s.b);
    EXPECT_FALSE(t.GetNextSiblingItem(s.b));
    EXPECT_FALSE(t.GetChildItem(s.b));
    EXPECT_TRUE(t.ItemHasChildren(s.a));
    EXPECT_FALSE(t.ItemHasChildren(s.b));
    EXPECT_EQ(t.GetItemData(s.x), &s.nodes[3]);
    EXPECT_EQ(t.GetCount(), 5u);

    TreeItem first = Add(t, s.server, L"ou=first", nullptr, TreeInsertAt::First);
    EXPECT_EQ(t.GetChildItem(s.server), first);
    EXPECT_EQ(t.GetNextSiblingItem(first), s.a);
    EXPECT_FALSE(Add(t, TreeItem{987654}, L"orphan")) << "insert under an unknown parent";
}

TEST(HeadlessTree, InsertRecordFieldsArrive)
{
    HeadlessTree t;
    int node = 0;
    TreeInsert ins;
    ins.text = L"server";
    ins.image = 8;
    ins.selectedImage = 21;
    ins.children = 1;
    ins.data = &node;
    TreeItem item = t.InsertItem(ins);
    int image = -1, selected = -1;
    ASSERT_TRUE(t.GetItemImage(item, image, selected));
    EXPECT_EQ(image, 8);
    EXPECT_EQ(selected, 21);
    EXPECT_EQ(t.GetChildIndicator(item), 1);
    EXPECT_FALSE(t.ItemHasChildren(item)) << "the indicator is not a child item";
    EXPECT_EQ(t.GetItemData(item), &node);
    EXPECT_TRUE(t.SetItemImage(item, 9, 22));
    EXPECT_TRUE(t.SetChildIndicator(item, 0));
    EXPECT_TRUE(t.GetItemImage(item, image, selected));
    EXPECT_EQ(image * 100 + selected, 922);
    EXPECT_EQ(t.GetChildIndicator(item), 0);
}

TEST(HeadlessTree, DeleteRemovesTheSubtreeAndHandlesStayDead)
{
    SmallTree s;
    HeadlessTree& t = s.t;
    t.SelectItem(s.x);
    ASSERT_TRUE(t.DeleteItem(s.a));
    EXPECT_FALSE(t.ItemExists(s.a));
    EXPECT_FALSE(t.ItemExists(s.x)) << "children go with their parent";
    EXPECT_TRUE(t.ItemExists(s.b));
    EXPECT_FALSE(t.GetSelectedItem()) << "the selection went with the subtree";
    EXPECT_EQ(s.nodes[2], 0) << "item data is not the control's to free";
    EXPECT_EQ(t.GetChildItem(s.server), s.b);
    TreeItem again = Add(t, s.server, L"ou=a");
    EXPECT_NE(again, s.a) << "handles are never reused";
    EXPECT_NE(again, s.x);

    // Every call on a dead handle fails softly.
    const TreeItem dead = s.x;
    int image = 0, selected = 0;
    const std::pair<const char*, std::function<bool()>> calls[] = {
        {"DeleteItem", [&] { return t.DeleteItem(dead); }},
        {"SetItemText", [&] { return t.SetItemText(dead, L"t"); }},
        {"SetItemData", [&] { return t.SetItemData(dead, nullptr); }},
        {"GetItemImage", [&] { return t.GetItemImage(dead, image, selected); }},
        {"SetItemImage", [&] { return t.SetItemImage(dead, 1, 1); }},
        {"SetItemOverlay", [&] { return t.SetItemOverlay(dead, 1); }},
        {"SetChildIndicator", [&] { return t.SetChildIndicator(dead, 1); }},
        {"Expand", [&] { return t.Expand(dead, TreeExpand::Expand); }},
        {"SelectItem", [&] { return t.SelectItem(dead); }},
        {"EnsureVisible", [&] { return t.EnsureVisible(dead); }},
        {"SortChildren", [&] { return t.SortChildren(dead); }},
    };
    for (const auto& c : calls)
        EXPECT_FALSE(c.second()) << c.first;
    EXPECT_EQ(t.GetItemText(dead), L"");
    EXPECT_EQ(t.GetItemData(dead), nullptr);
    EXPECT_FALSE(t.GetParentItem(dead));
    EXPECT_FALSE(t.GetNextSiblingItem(dead));
    EXPECT_FALSE(t.IsExpanded(dead));

    t.DeleteAllItems();
    EXPECT_EQ(t.GetCount(), 0u);
    EXPECT_FALSE(t.GetRootItem());
}

TEST(HeadlessTree, TextCallbackAsksTheProviderUntilATextIsSet)
{
    HeadlessTree t;
    std::wstring caption = L"first caption";
    t.SetTextProvider([&](void* data) { return *static_cast<std::wstring*>(data); });
    TreeInsert ins;
    ins.textCallback = true;
    ins.data = &caption;
    TreeItem item = t.InsertItem(ins);
    EXPECT_EQ(t.GetItemText(item), L"first caption");
    caption = L"changed";
    EXPECT_EQ(t.GetItemText(item), L"changed");
    t.SetItemText(item, L"ou=fixed");
    caption = L"ignored now";
    EXPECT_EQ(t.GetItemText(item), L"ou=fixed");
}

TEST(HeadlessTree, SelectExpandCollapse)
{
    SmallTree s;
    HeadlessTree& t = s.t;
    EXPECT_FALSE(t.GetSelectedItem());
    ASSERT_TRUE(t.SelectItem(s.x));
    EXPECT_EQ(t.GetSelectedItem(), s.x);
    EXPECT_TRUE(t.IsExpanded(s.a) && t.IsExpanded(s.server) && t.IsExpanded(s.root))
        << "selecting reveals the item";
    EXPECT_FALSE(t.IsExpanded(s.x));

    t.Expand(s.server, TreeExpand::Collapse);
    EXPECT_FALSE(t.IsExpanded(s.server));
    EXPECT_EQ(t.GetSelectedItem(), s.server) << "collapsing over the selection selects the collapsed item";

    t.Expand(s.b, TreeExpand::Toggle);
    EXPECT_TRUE(t.IsExpanded(s.b));
    t.Expand(s.b, TreeExpand::Toggle);
    EXPECT_FALSE(t.IsExpanded(s.b));
    t.Expand(s.b, TreeExpand::Collapse);
    EXPECT_EQ(t.GetSelectedItem(), s.server) << "collapsing elsewhere leaves the selection alone";

    EXPECT_TRUE(t.EnsureVisible(s.x));
    EXPECT_EQ(t.LastEnsuredVisible(), s.x);
    EXPECT_TRUE(t.IsExpanded(s.server));
    EXPECT_TRUE(t.SelectItem(TreeItem()));
    EXPECT_FALSE(t.GetSelectedItem());
}

TEST(HeadlessTree, OverlayRange)
{
    SmallTree s;
    const std::pair<int, bool> cases[] = {{0, true}, {1, true}, {15, true}, {16, false}, {-1, false}};
    for (const auto& c : cases) {
        s.t.SetItemOverlay(s.a, 0);
        EXPECT_EQ(s.t.SetItemOverlay(s.a, c.first), c.second) << c.first;
        EXPECT_EQ(s.t.GetItemOverlay(s.a), c.second ? c.first : 0) << c.first;
    }
}

TEST(HeadlessTree, SortChildrenOneLevel)
{
    HeadlessTree t;
    TreeItem server = Add(t, kTreeRoot, L"server");
    int keys[] = {3, 1, 2, 1};
    const wchar_t* names[] = {L"cn=Bravo", L"cn=alpha", L"cn=Charlie", L"CN=ALPHA"};
    for (int i = 0; i < 4; ++i)
        Add(t, server, names[i], &keys[i]);
    TreeItem deep = Add(t, t.GetChildItem(server), L"z");
    Add(t, t.GetChildItem(server), L"a");

    t.SortChildren(server);
    // Case is ignored and equal texts keep their order.
    EXPECT_EQ(t.Dump(), L"server\n  cn=alpha\n  CN=ALPHA\n  cn=Bravo\n    z\n    a\n  cn=Charlie\n");
    EXPECT_EQ(t.GetChildItem(t.GetNextSiblingItem(t.GetNextSiblingItem(t.GetChildItem(server)))), deep)
        << "grandchildren are not sorted";

    t.SortChildren(server, [](void* a, void* b) { return *static_cast<int*>(b) - *static_cast<int*>(a); });
    std::wstring order;
    for (TreeItem c : t.GetChildren(server))
        order += std::to_wstring(*static_cast<int*>(t.GetItemData(c)));
    EXPECT_EQ(order, L"3211");

    EXPECT_TRUE(t.SortChildren(kTreeRoot)) << "the top level can be sorted too";
}

TEST(HeadlessTree, UpdateLockNestsAndRepaintsAreCounted)
{
    HeadlessTree t;
    {
        platform::ScopedUpdateLock outer(t);
        platform::ScopedUpdateLock inner(t);
        EXPECT_EQ(t.UpdateLockDepth(), 2);
    }
    EXPECT_EQ(t.UpdateLockDepth(), 0);
    t.UnlockUpdates();
    EXPECT_EQ(t.UpdateLockDepth(), 0) << "an unbalanced unlock is harmless";
    t.UpdateWindow();
    t.UpdateWindow();
    EXPECT_EQ(t.UpdateWindowCount(), 2);
}

TEST(HeadlessTree, DumpShowsState)
{
    SmallTree s;
    s.t.SetItemOverlay(s.a, 1);
    s.t.SetChildIndicator(s.b, 1);
    s.t.SelectItem(s.a);
    EXPECT_EQ(s.t.Dump(), L"root [+]\n  server [+]\n    ou=a <1> *\n      cn=x\n    ou=b (1)\n");
}
