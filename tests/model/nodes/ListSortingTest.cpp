// The order of items by their texts, as the list and tree sorts use it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <string>
#include <vector>

#include "model/nodes/ListSorting.h"
#include "tests/model/nodes/ModelTestSupport.h"

TEST(ItemRanks, OrdersByTextIgnoringCaseAndKeepsEqualTextsInPlace)
{
    // Many items, so that the rank table has collisions to step over.
    std::vector<int> storage(3000);
    std::vector<void*> items;
    std::map<void*, std::wstring> texts;
    for (size_t i = 0; i < storage.size(); ++i) {
        items.push_back(&storage[i]);
        texts[&storage[i]] = (i % 3 == 0 ? L"B" : L"a") + std::to_wstring(i % 7);
    }
    ItemRanks ranks(items, [&](void* item) { return texts[item]; });

    std::vector<void*> sorted = items;
    std::stable_sort(sorted.begin(), sorted.end(), [&](void* a, void* b) { return ranks(a, b) < 0; });
    for (size_t i = 1; i < sorted.size(); ++i) {
        std::wstring x = texts[sorted[i - 1]], y = texts[sorted[i]];
        std::transform(x.begin(), x.end(), x.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
        std::transform(y.begin(), y.end(), y.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
        ASSERT_LE(x, y) << i;
        if (x == y) {
            EXPECT_LT(sorted[i - 1], sorted[i]) << "equal texts keep their order";
        }
    }
    for (void* item : items)
        EXPECT_EQ(ranks(item, item), 0);

    int outsider = 0;
    EXPECT_GT(ranks(&outsider, items[0]), 0) << "an unknown item comes last";
    EXPECT_LT(ranks(items[0], &outsider), 0);
}

TEST(ItemRanks, TellsWhetherItemsStandInOrderAlready)
{
    int a = 0, b = 0, c = 0;
    std::map<void*, std::wstring> texts{{&a, L"alpha"}, {&b, L"Beta"}, {&c, L"beta"}, {nullptr, L""}};
    struct Case {
        std::vector<void*> items;
        bool inOrder;
    } cases[] = {
        {{&a, &b, &c}, true},
        {{&a, &c, &b}, true},  // equal texts keep their given order
        {{&b, &a, &c}, false},
        {{&c, &b, &a}, false},
        {{nullptr, &a, &b}, false},  // a null item ranks last
        {{&a, nullptr}, false},
        {{}, true},
    };
    for (const Case& test : cases) {
        std::vector<std::wstring> keys = ItemRanks::FoldTexts(test.items, [&](void* item) { return texts[item]; });
        EXPECT_EQ(ItemRanks::InOrder(test.items, keys), test.inOrder) << test.items.size();
        if (!test.inOrder || test.items.empty())
            continue;
        // In order means the ranks' sort leaves them where they are.
        ItemRanks ranks(test.items, keys);
        std::vector<void*> sorted = test.items;
        std::sort(sorted.begin(), sorted.end(), [&](void* x, void* y) { return ranks(x, y) < 0; });
        EXPECT_EQ(sorted, test.items);
    }
}

// Texts watched one at a time agree with the order check of the whole list.
TEST(ArrivalOrder, AgreesWithTheOrderCheckOfTheWholeList)
{
    const std::vector<std::vector<std::wstring>> cases = {
        {L"alpha", L"Beta", L"beta", L"gamma"},
        {L"alpha", L"beta", L"Beta"},
        {L"Beta", L"alpha"},
        {L"a", L"b", L"c", L"b", L"d"},   // one step back in the middle
        {L"a", L"b", L"c", L"d", L"C"},   // one step back at the end
        {L"\u00C9cole", L"\u00E9cole", L"zebra"},
        {L"only"},
        {},
    };
    for (const std::vector<std::wstring>& texts : cases) {
        std::vector<int> storage(texts.size());
        std::vector<void*> items;
        std::map<void*, std::wstring> byItem;
        ArrivalOrder arrival;
        for (size_t i = 0; i < texts.size(); ++i) {
            items.push_back(&storage[i]);
            byItem[&storage[i]] = texts[i];
            arrival.Add(texts[i]);
        }
        const std::vector<std::wstring> keys = ItemRanks::FoldTexts(items, [&](void* item) { return byItem[item]; });
        EXPECT_EQ(arrival.InOrder(), ItemRanks::InOrder(items, keys)) << texts.size();
        EXPECT_EQ(arrival.Count(), texts.size());
        // Watched in two, three or more parts and joined, at every cut.
        for (size_t cut = 0; cut <= texts.size(); ++cut)
            for (size_t second = cut; second <= texts.size(); ++second) {
                ArrivalOrder parts[3];
                for (size_t i = 0; i < texts.size(); ++i)
                    parts[i < cut ? 0 : i < second ? 1 : 2].Add(texts[i]);
                ArrivalOrder joined;
                for (const ArrivalOrder& part : parts)
                    joined.Append(part);
                EXPECT_EQ(joined.InOrder(), arrival.InOrder()) << texts.size() << " cut at " << cut << ", " << second;
                EXPECT_EQ(joined.Count(), texts.size());
            }
    }
    // A lost watch stays lost through what is joined after it.
    ArrivalOrder lost;
    lost.Add(L"a");
    lost.Lose();
    ArrivalOrder later;
    later.Add(L"b");
    lost.Append(later);
    EXPECT_FALSE(lost.InOrder());
    ArrivalOrder none;
    none.Lose();
    none.Append(later);
    EXPECT_FALSE(none.InOrder());
}

namespace {

// A node whose display name the test sets, as a rename does.
class NamedNode : public modeltest::TestNode {
public:
    explicit NamedNode(const std::wstring& name) : TestNode(kNodeEntry, name) { SetDisplayName(name); }
    void Rename(const std::wstring& name) { SetDisplayName(name); }
};

std::vector<std::wstring> ChildNames(platform::TreePort& tree, platform::TreeItem parent)
{
    std::vector<std::wstring> names;
    for (void* child : tree.GetChildrenData(parent))
        names.push_back(static_cast<CDataObject*>(child)->GetDisplayName());
    return names;
}

} // namespace

// A sort marks the children as in order, so that a refresh keeping them does
// not name them all again; whatever may change the order takes the mark away.
TEST(SortTreeChildren, ChildrenStayInOrderAfterAnInsertionOrARename)
{
    using modeltest::AddNode;
    modeltest::ModelUi ui;
    auto* parent = AddNode<NamedNode>(platform::kTreeRoot, L"parent");
    const platform::TreeItem item = parent->GetTreeItem();
    for (const wchar_t* name : {L"cn=delta", L"cn=Bravo", L"cn=charlie"})
        AddNode<NamedNode>(item, name);
    EXPECT_FALSE(parent->AreChildrenInOrder());

    SortTreeChildren(item);
    EXPECT_TRUE(parent->AreChildrenInOrder());
    EXPECT_EQ(ChildNames(ui.Tree(), item), (std::vector<std::wstring>{L"cn=Bravo", L"cn=charlie", L"cn=delta"}));

    // Marked and unchanged: the order stands as it is.
    SortTreeChildren(item);
    EXPECT_EQ(ChildNames(ui.Tree(), item), (std::vector<std::wstring>{L"cn=Bravo", L"cn=charlie", L"cn=delta"}));

    // An insertion lands last, out of order.
    AddNode<NamedNode>(item, L"cn=alpha");
    EXPECT_FALSE(parent->AreChildrenInOrder());
    SortTreeChildren(item);
    EXPECT_EQ(ChildNames(ui.Tree(), item),
              (std::vector<std::wstring>{L"cn=alpha", L"cn=Bravo", L"cn=charlie", L"cn=delta"}));
    EXPECT_TRUE(parent->AreChildrenInOrder());

    // A rename moves a child.
    auto* delta = static_cast<NamedNode*>(ui.Tree().GetChildrenData(item).back());
    delta->Rename(L"cn=Able");
    EXPECT_FALSE(parent->AreChildrenInOrder());
    SortTreeChildren(item);
    EXPECT_EQ(ChildNames(ui.Tree(), item),
              (std::vector<std::wstring>{L"cn=Able", L"cn=alpha", L"cn=Bravo", L"cn=charlie"}));

    // Children that arrived in order are marked without a look at their names.
    auto* second = AddNode<NamedNode>(platform::kTreeRoot, L"second");
    ArrivalOrder arrived;
    for (const wchar_t* name : {L"cn=a", L"cn=b"}) {
        AddNode<NamedNode>(second->GetTreeItem(), name);
        arrived.Add(name);
    }
    SortTreeChildren(second->GetTreeItem(), &arrived);
    EXPECT_TRUE(second->AreChildrenInOrder());
}
