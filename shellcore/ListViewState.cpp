#include "shellcore/ListViewState.h"

#include "platform/RegistryKey.h"

const wchar_t* const kListStateKey = L"Software\\Vellumar\\Arbolite\\Settings\\LVState";
const wchar_t* const kListStyleSectionKey = L"Software\\Vellumar\\Arbolite\\Settings";

const CListViewState::Widths CListViewState::kDefaultWidths = {75, 310, 50, 60};
const wchar_t* const CListViewState::kWidthNames[kColumnCount] = {L"Name", L"Value", L"Type", L"Size"};

namespace {

const wchar_t kSortColumnValue[] = L"SortCol";
const wchar_t kSortOrderValue[] = L"SortOrder";
const wchar_t kListStyleValue[] = L"liststyle";

bool ValidColumn(int column)
{
    return column >= 0 && column < CListViewState::kColumnCount;
}

} // namespace

void CListViewState::SetSort(int column, bool ascending)
{
    m_sortColumn = ValidColumn(column) ? column : -1;
    m_ascending = ascending;
}

void CListViewState::LoadSortState(bool forgetSortColumn)
{
    SetSort(-1, false);
    if (forgetSortColumn)
        return;
    platform::RegistryKey key(platform::RegRoot::CurrentUser, true);
    if (!key.Open(kListStateKey))
        return;
    int32_t column = -1;
    int32_t order = 0;
    if (!key.Read(kSortColumnValue, column))
        column = -1;
    if (!key.Read(kSortOrderValue, order))
        order = 0;
    SetSort(column, order == 1);
}

void CListViewState::SaveSortState(bool forgetSortColumn) const
{
    platform::RegistryKey key(platform::RegRoot::CurrentUser, false);
    if (!key.CreateKey(kListStateKey))
        return;
    key.Write(kSortColumnValue, static_cast<uint32_t>(forgetSortColumn ? -1 : m_sortColumn));
    key.Write(kSortOrderValue, static_cast<uint32_t>(GetSortOrder()));
}

void CListViewState::ClickColumn(int column)
{
    if (!ValidColumn(column))
        return;
    if (column == m_sortColumn)
        m_ascending = !m_ascending;
    else
        SetSort(column, false);
}

CListViewState::Widths CListViewState::LoadColumnWidths(const Widths& defaults)
{
    Widths widths = defaults;
    platform::RegistryKey key(platform::RegRoot::CurrentUser, true);
    if (!key.Open(kListStateKey))
        return widths;
    for (int i = 0; i < kColumnCount; ++i) {
        int32_t width = 0;
        if (key.Read(kWidthNames[i], width))
            widths[i] = width;
    }
    return widths;
}

void CListViewState::SaveColumnWidths(const Widths& widths)
{
    platform::RegistryKey key(platform::RegRoot::CurrentUser, false);
    if (!key.CreateKey(kListStateKey))
        return;
    for (int i = 0; i < kColumnCount; ++i)
        key.Write(kWidthNames[i], static_cast<uint32_t>(widths[i]));
}

uint32_t CListViewState::LoadListStyle()
{
    platform::RegistryKey key(platform::RegRoot::CurrentUser, true);
    uint32_t style = kReport;
    if (!key.Open(kListStyleSectionKey) || !key.Read(kListStyleValue, style))
        style = kReport;
    return style & kStyleMask;
}

void CListViewState::SaveListStyle(uint32_t style)
{
    platform::RegistryKey key(platform::RegRoot::CurrentUser, false);
    if (key.CreateKey(kListStyleSectionKey))
        key.Write(kListStyleValue, style & kStyleMask);
}

std::wstring FoldListText(const std::wstring& text)
{
    std::wstring folded = text;
    for (wchar_t& c : folded)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return folded;
}

ListRowKey::ListRowKey(int kind_, const std::wstring& text, int64_t size_)
    : kind(kind_), folded(FoldListText(text)), size(size_)
{
}

int CompareListRows(const ListRowKey& a, const ListRowKey& b, int column, bool ascending)
{
    const ListRowKey& first = ascending ? a : b;
    const ListRowKey& second = ascending ? b : a;
    if (first.kind != second.kind)
        return first.kind < second.kind ? -1 : 1;
    switch (column) {
    case 0:
    case 1:
    case 2: {
        int order = first.folded.compare(second.folded);
        return order < 0 ? -1 : (order > 0 ? 1 : 0);
    }
    case 3:
        return first.size == second.size ? 0 : (first.size < second.size ? -1 : 1);
    default:
        return 0;
    }
}
