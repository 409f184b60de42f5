#include "model/nodes/ListSorting.h"

#include <algorithm>
#include <cwctype>
#include <memory>
#include <string>
#include <unordered_map>

#include "model/nodes/CDataObject.h"
#include "platform/ShellPorts.h"

namespace {

CDataObject* Node(void* item)
{
    return static_cast<CDataObject*>(item);
}

} // namespace

std::vector<std::wstring> ItemRanks::FoldTexts(const std::vector<void*>& items,
                                              const std::function<std::wstring(void* item)>& text)
{
    std::vector<std::wstring> keys;
    keys.reserve(items.size());
    for (void* item : items) {
        std::wstring key = item ? text(item) : std::wstring();
        FoldText(key);
        keys.push_back(std::move(key));
    }
    return keys;
}

void ItemRanks::FoldText(std::wstring& text)
{
    for (wchar_t& c : text) {
        if (c < 0x80)
            c = c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + (L'a' - L'A')) : c;
        else
            c = static_cast<wchar_t>(std::towlower(c));
    }
}

void ArrivalOrder::Add(std::wstring text)
{
    ItemRanks::FoldText(text);
    if (m_count++ == 0)
        m_first = text;
    else if (text < m_last)
        m_inOrder = false;
    m_last = std::move(text);
}

void ArrivalOrder::Append(const ArrivalOrder& later)
{
    if (later.m_count == 0)
        return;
    if (m_count == 0)
        m_first = later.m_first;
    else if (later.m_first < m_last)
        m_inOrder = false;
    m_inOrder = m_inOrder && later.m_inOrder;
    m_last = later.m_last;
    m_count += later.m_count;
}

bool ItemRanks::InOrder(const std::vector<void*>& items, const std::vector<std::wstring>& keys)
{
    // Null items rank last whatever their place.
    if (keys.size() != items.size() || std::find(items.begin(), items.end(), nullptr) != items.end())
        return false;
    // Equal neighbours keep their order, so this is the order.
    return std::is_sorted(keys.begin(), keys.end());
}

ItemRanks::ItemRanks(const std::vector<void*>& items, const std::function<std::wstring(void* item)>& text)
    : ItemRanks(items, FoldTexts(items, text))
{
}

ItemRanks::ItemRanks(const std::vector<void*>& items, std::vector<std::wstring> folded)
{
    std::vector<std::pair<std::wstring, size_t>> keys;
    keys.reserve(items.size());
    for (size_t i = 0; i < items.size() && i < folded.size(); ++i)
        keys.emplace_back(std::move(folded[i]), i);
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });

    size_t bits = 4;
    while ((size_t(1) << bits) < 2 * items.size())
        ++bits;
    m_shift = 64 - bits;
    m_table.assign(size_t(1) << bits, std::make_pair(nullptr, 0u));
    for (size_t rank = 0; rank < keys.size(); ++rank) {
        void* item = items[keys[rank].second];
        if (!item)
            continue;
        size_t slot = Slot(item);
        if (!m_table[slot].first)
            m_table[slot] = std::make_pair(item, static_cast<uint32_t>(rank));
    }
}

size_t ItemRanks::Slot(void* item) const
{
    const size_t mask = m_table.size() - 1;
    size_t slot = static_cast<size_t>((reinterpret_cast<uintptr_t>(item) * 0x9E3779B97F4A7C15ull) >> m_shift);
    while (m_table[slot].first && m_table[slot].first != item)
        slot = (slot + 1) & mask;
    return slot;
}

uint32_t ItemRanks::Rank(void* item) const
{
    const std::pair<void*, uint32_t>& entry = m_table[Slot(item)];
    return entry.first ? entry.second : UINT32_MAX;
}

int ItemRanks::operator()(void* a, void* b) const
{
    uint32_t x = Rank(a);
    uint32_t y = Rank(b);
    return x == y ? 0 : (x < y ? -1 : 1);
}

void SortListByColumn(int column, bool ascending)
{
    std::shared_ptr<platform::ListPort> list = platform::GetListControl();
    if (!list || list->GetItemCount() < 2)
        return;
    if (column == 3) {
        list->SortItems([ascending](void* a, void* b) {
            uint32_t x = a ? Node(a)->GetSize() : 0;
            uint32_t y = b ? Node(b)->GetSize() : 0;
            int order = x == y ? 0 : (x < y ? -1 : 1);
            return ascending ? order : -order;
        });
        return;
    }
    std::vector<void*> rows;
    const int count = list->GetItemCount();
    rows.reserve(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row)
        rows.push_back(list->GetItemData(row));
    auto ranks = std::make_shared<ItemRanks>(rows, [column](void* item) {
        switch (column) {
        case 1: return Node(item)->GetValueText();
        case 2: return Node(item)->GetTypeName();
        default: return Node(item)->GetCaption();
        }
    });
    list->SortItems([ranks, ascending](void* a, void* b) {
        int order = (*ranks)(a, b);
        return ascending ? order : -order;
    });
}

void OrderRowsAsTree(CDataObject& parent)
{
    std::shared_ptr<platform::ListPort> list = platform::GetListControl();
    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    if (!list || !tree || !parent.GetTreeItem() || list->GetItemCount() < 2)
        return;
    const std::vector<void*> children = tree->GetChildrenData(parent.GetTreeItem());
    std::unordered_map<void*, size_t> place;
    for (size_t i = 0; i < children.size(); ++i)
        place.emplace(children[i], i);
    const int count = list->GetItemCount();
    for (int row = 0; row < count; ++row)
        place.emplace(list->GetItemData(row), children.size() + static_cast<size_t>(row));
    list->SortItems([&place](void* a, void* b) {
        const size_t x = place[a];
        const size_t y = place[b];
        return x == y ? 0 : (x < y ? -1 : 1);
    });
}

void SortRefilledList(int column, bool ascending)
{
    std::shared_ptr<platform::ListViewPort> view = platform::GetListViewPort();
    if (view && view->SortRefilledRows())
        return;
    SortListByColumn(column, ascending);
}

void SortTreeChildren(platform::TreeItem parent, const ArrivalOrder* arrived)
{
    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    if (!tree || !parent)
        return;
    // Sorted before and nothing inserted or renamed below since: a refresh
    // that kept the children need not name them all again.
    CDataObject* owner = Node(tree->GetItemData(parent));
    if (owner && owner->AreChildrenInOrder())
        return;
    // Only the children watched arriving, in order: no other came in
    // between (the count is asked for alone; the children's data are not
    // needed then).
    if (arrived && arrived->InOrder() && arrived->Count() == tree->GetChildCount(parent)) {
        if (owner)
            owner->SetChildrenInOrder(true);
        return;
    }
    const std::vector<void*> children = tree->GetChildrenData(parent);
    if (children.size() >= 2) {
        std::vector<std::wstring> keys =
            ItemRanks::FoldTexts(children, [](void* item) { return Node(item)->GetDisplayName(); });
        // A sort that changes nothing would still have the control lay out all the children again.
        if (!ItemRanks::InOrder(children, keys)) {
            ItemRanks ranks(children, std::move(keys));
            tree->SortChildren(parent, [&ranks](void* a, void* b) { return ranks(a, b); });
        }
    }
    if (owner)
        owner->SetChildrenInOrder(true);
}
