#pragma once
// The search dialog's result list: a virtual report list over the rows the
// worker built, shown in arrival order. Rows are never left selected.

#include <deque>
#include <vector>

#include <wx/listctrl.h>

#include "dialogcore/CSearchDlgThread.h"
#include "dialogcore/SearchDialogRules.h"

class CSearchResultList : public wxListCtrl {
public:
    CSearchResultList() = default;

    // Replaces the columns; the rows stay (their cells follow the old columns).
    void SetColumns(const SearchColumns& columns);
    void AppendRows(std::vector<SearchRow>&& rows);
    void ClearRows();
    size_t GetRowCount() const { return m_rows.size(); }
    const SearchRow& GetRow(size_t index) const { return m_rows[index]; }
    // The row whose label lies under a point of the list's item area (the
    // window that the mouse events come to); -1 beside every label.
    long LabelAt(const wxPoint& point);
    // The window that holds the items (and gets their mouse events).
    wxWindow* GetItemArea();

protected:
    wxString OnGetItemText(long item, long column) const override;

private:
    std::deque<SearchRow> m_rows;  // grows without moving what came before
    wxDECLARE_DYNAMIC_CLASS(CSearchResultList);
};
