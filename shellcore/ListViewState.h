#pragma once
// What the attribute list keeps across runs, without its window: the four
// column widths and the sort column and direction below the settings key's
// sub-key "LVState", and the view style "liststyle" in the profile section
// "Settings"; plus the rule that orders two rows.
//
// Unreadable or missing values give the defaults; nothing is reported.

#include <array>
#include <cstdint>
#include <string>

// The settings key's sub-key of the list state, below the user root.
extern const wchar_t* const kListStateKey;
// The profile section that holds "liststyle".
extern const wchar_t* const kListStyleSectionKey;

class CListViewState {
public:
    static constexpr int kColumnCount = 4;
    typedef std::array<int32_t, kColumnCount> Widths;
    // Name, Value, Type, Size, in pixels of the 8-point dialog font they
    // were drawn for (the view scales them to the desktop's font).
    static const Widths kDefaultWidths;
    // The value names of the widths, in column order.
    static const wchar_t* const kWidthNames[kColumnCount];

    // Low two bits of the view style.
    enum Style { kIcon = 0, kReport = 1, kSmallIcon = 2, kList = 3 };
    static constexpr uint32_t kStyleMask = 3;

    // No sort column, descending.
    CListViewState() = default;

    // "SortCol" and "SortOrder", read only when the key exists and the
    // column is not to be forgotten; otherwise none and descending. A stored
    // column that names none of the four counts as none.
    void LoadSortState(bool forgetSortColumn);
    // "SortCol" (-1 when forgotten) and "SortOrder" (always); the key is
    // made when missing.
    void SaveSortState(bool forgetSortColumn) const;

    // A click on a column header: the sort column's click flips the
    // direction, any other column becomes the sort column, descending.
    void ClickColumn(int column);

    int GetSortColumn() const { return m_sortColumn; }
    bool IsAscending() const { return m_ascending; }
    // 1 ascending, 0 descending, as stored.
    int GetSortOrder() const { return m_ascending ? 1 : 0; }
    void SetSort(int column, bool ascending);

    // The four widths as stored; a missing key or value gives that column's
    // default.
    static Widths LoadColumnWidths(const Widths& defaults = kDefaultWidths);
    static void SaveColumnWidths(const Widths& widths);

    // "liststyle" of the section, low two bits; 1 (report) when missing.
    static uint32_t LoadListStyle();
    static void SaveListStyle(uint32_t style);

private:
    int m_sortColumn = -1;
    bool m_ascending = false;
};

// What one row is compared by: its node's kind, the text of the sorted
// column (Name, Value or Type) folded once, and the size (negative: not
// known).
struct ListRowKey {
    ListRowKey() = default;
    ListRowKey(int kind, const std::wstring& text, int64_t size);
    int kind = 0;
    std::wstring folded;
    int64_t size = -1;
};

// Rows of different kinds are grouped by kind, in the direction's order;
// within a kind columns 0 to 2 compare their texts ignoring case and column
// 3 the sizes; any other column finds all rows equal. <0, 0, >0.
int CompareListRows(const ListRowKey& a, const ListRowKey& b, int column, bool ascending);
// The text as the rows compare it: letters folded as the C locale folds
// them (A to Z), whatever the user's locale.
std::wstring FoldListText(const std::wstring& text);
