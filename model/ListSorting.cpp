#include "model/ListSorting.h"

#include <cwctype>
#include <memory>
#include <string>

#include "model/CDataObject.h"
#include "platform/ControlPorts.h"

namespace {

int CompareNoCase(const std::wstring& a, const std::wstring& b)
{
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        wint_t x = std::towlower(a[i]);
        wint_t y = std::towlower(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int CompareNodes(const CDataObject& a, const CDataObject& b, int column)
{
    switch (column) {
    case 1: return CompareNoCase(a.GetValueText(), b.GetValueText());
    case 2: return CompareNoCase(a.GetTypeName(), b.GetTypeName());
    case 3: {
        uint32_t x = a.GetSize();
        uint32_t y = b.GetSize();
        return x == y ? 0 : (x < y ? -1 : 1);
    }
    default: return CompareNoCase(a.GetCaption(), b.GetCaption());
    }
}

} // namespace

void SortListByColumn(int column, bool ascending)
{
    std::shared_ptr<platform::ListPort> list = platform::GetListControl();
    if (!list || list->GetItemCount() < 2)
        return;
    list->SortItems([column, ascending](void* a, void* b) {
        if (!a || !b)
            return a == b ? 0 : (a ? 1 : -1);
        int order = CompareNodes(*static_cast<CDataObject*>(a), *static_cast<CDataObject*>(b), column);
        return ascending ? order : -order;
    });
}

int CompareDisplayNames(void* a, void* b)
{
    std::wstring x = a ? static_cast<CDataObject*>(a)->GetDisplayName() : std::wstring();
    std::wstring y = b ? static_cast<CDataObject*>(b)->GetDisplayName() : std::wstring();
    return CompareNoCase(x, y);
}
