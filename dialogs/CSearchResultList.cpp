#include "dialogs/CSearchResultList.h"

#include <wx/scrolwin.h>

wxIMPLEMENT_DYNAMIC_CLASS(CSearchResultList, wxListCtrl);

void CSearchResultList::SetColumns(const SearchColumns& columns)
{
    DeleteAllColumns();
    const std::vector<int> widths = columns.Widths(GetClientSize().GetWidth());
    for (size_t i = 0; i < columns.GetCount(); ++i)
        InsertColumn(static_cast<long>(i), wxString(columns.GetHeaders()[i]), wxLIST_FORMAT_LEFT, widths[i]);
    SetItemCount(static_cast<long>(m_rows.size()));
    Refresh();
}

void CSearchResultList::AppendRows(std::vector<SearchRow>&& rows)
{
    if (rows.empty())
        return;
    m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    SetItemCount(static_cast<long>(m_rows.size()));
}

void CSearchResultList::ClearRows()
{
    std::deque<SearchRow>().swap(m_rows);
    SetItemCount(0);
    Refresh();
}

wxWindow* CSearchResultList::GetItemArea()
{
    // The generic list keeps its rows in a child window below the header.
    wxWindow* area = this;
    int height = -1;
    for (wxWindow* child : GetChildren()) {
        if (child->GetSize().GetHeight() > height) {
            height = child->GetSize().GetHeight();
            area = child;
        }
    }
    return area;
}

long CSearchResultList::LabelAt(const wxPoint& point)
{
    int flags = 0;
    const long item = HitTest(point, flags);
    if (item < 0 || !(flags & wxLIST_HITTEST_ONITEMLABEL))
        return -1;
    // Past the last column there is no label, only the row's background.
    int right = 0;
    for (int i = 0; i < GetColumnCount(); ++i)
        right += GetColumnWidth(i);
    auto* scrolled = dynamic_cast<wxScrolledWindow*>(GetItemArea());
    const wxPoint unscrolled = scrolled ? scrolled->CalcUnscrolledPosition(point) : point;
    if (unscrolled.x >= right)
        return -1;
    return item;
}

wxString CSearchResultList::OnGetItemText(long item, long column) const
{
    if (item < 0 || static_cast<size_t>(item) >= m_rows.size())
        return wxString();
    const SearchRow& row = m_rows[static_cast<size_t>(item)];
    if (column < 0 || static_cast<size_t>(column) >= row.cells.size())
        return wxString();
    return wxString(row.cells[static_cast<size_t>(column)]);
}
