#pragma once
// Ordering the rows of the list view and the children of a tree item by the
// nodes' texts. User-interface thread.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ControlPorts.h"

// Column 0 the name, 1 the value, 2 the type (texts ignoring case), 3 the
// size (unknown sizes last).
void SortListByColumn(int column, bool ascending);
// After a node refilled the list: the list view's own order when it keeps
// one, else SortListByColumn(column, ascending).
void SortRefilledList(int column, bool ascending);
class CDataObject;
// The list's rows of parent's child items in the tree's order, before the
// other rows (its values), which keep theirs: the order a refill gives.
void OrderRowsAsTree(CDataObject& parent);
class ArrivalOrder;
// The children of a tree item by their display names, ignoring case. When
// arrived saw every child come, in order, nothing is compared again.
void SortTreeChildren(platform::TreeItem parent, const ArrivalOrder* arrived = nullptr);

// Texts seen one at a time as their items arrive: whether they came in the
// order a sort by them gives.
class ArrivalOrder {
public:
    void Add(std::wstring text);
    // What another watch saw, as if it came after what this one saw.
    void Append(const ArrivalOrder& later);
    // Something came unwatched: the order is not known any more.
    void Lose() { m_inOrder = false; }
    bool InOrder() const { return m_inOrder; }
    size_t Count() const { return m_count; }

private:
    std::wstring m_first;  // folded, as the texts are compared
    std::wstring m_last;
    bool m_inOrder = true;
    size_t m_count = 0;
};

// The order of a set of items by one text of each, ignoring case; items of
// equal texts keep their given order. Each text is fetched once, and the
// controls' sorts compare two items by a look-up of their ranks.
class ItemRanks {
public:
    ItemRanks(const std::vector<void*>& items, const std::function<std::wstring(void* item)>& text);
    // keys: the items' texts as FoldTexts gives them.
    ItemRanks(const std::vector<void*>& items, std::vector<std::wstring> keys);
    // <0, 0, >0 as a comes before, with or after b; unknown items come last.
    int operator()(void* a, void* b) const;

    // A text as the order compares it (lower case).
    static void FoldText(std::wstring& text);
    // The texts as the order compares them (lower case; empty for a null item).
    static std::vector<std::wstring> FoldTexts(const std::vector<void*>& items,
                                               const std::function<std::wstring(void* item)>& text);
    // True when the items, none null, stand in their order already.
    static bool InOrder(const std::vector<void*>& items, const std::vector<std::wstring>& keys);

private:
    uint32_t Rank(void* item) const;
    size_t Slot(void* item) const;

    std::vector<std::pair<void*, uint32_t>> m_table;  // open addressing, null: free
    size_t m_shift = 0;
};
