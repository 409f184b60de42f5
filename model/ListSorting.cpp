#include "model/ListSorting.h"

#include <cwctype>
#include <memory>
#include <string>

#include "model/CDataObject.h"

int NoCaseTextOrder::operator()(void* a, void* b)
{
    return Key(a).compare(Key(b));
}

const std::wstring& NoCaseTextOrder::Key(void* item)
{
    auto found = m_keys.find(item);
    if (found != m_keys.end())
        return found->second;
    std::wstring key = item ? m_text(item) : std::wstring();
    for (wchar_t& c : key)
        c = static_cast<wchar_t>(std::towlower(c));
    return m_keys.emplace(item, std::move(key)).first->second;
}

void SortListByColumn(int column, bool ascending)
{
    std::shared_ptr<platform::ListPort> list = platform::GetListControl();
    if (!list || list->GetItemCount() < 2)
        return;
    auto node = [](void* item) { return static_cast<CDataObject*>(item); };
    if (column == 3) {
        list->SortItems([&](void* a, void* b) {
            uint32_t x = a ? node(a)->GetSize() : 0;
            uint32_t y = b ? node(b)->GetSize() : 0;
            int order = x == y ? 0 : (x < y ? -1 : 1);
            return ascending ? order : -order;
        });
        return;
    }
    auto order = std::make_shared<NoCaseTextOrder>([column, node](void* item) {
        switch (column) {
        case 1: return node(item)->GetValueText();
        case 2: return node(item)->GetTypeName();
        default: return node(item)->GetCaption();
        }
    });
    list->SortItems([order, ascending](void* a, void* b) {
        int result = (*order)(a, b);
        return ascending ? result : -result;
    });
}
