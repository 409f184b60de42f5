#pragma once
// The list-control view: a list control that is itself the view, in report
// style with several rows selectable and the selection shown without focus.
// In virtual report style it asks its row source for what it shows.

#include <wx/listctrl.h>

// What a virtual list control shows of a row, kept outside the control.
class IListRowSource {
public:
    virtual wxString RowText(long row, long column) const = 0;
    virtual int RowImage(long row) const = 0;

protected:
    ~IListRowSource() = default;
};

class CListViewBase : public wxListCtrl {
public:
    CListViewBase() = default;

    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& position = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = wxLC_REPORT)
    {
        return wxListCtrl::Create(parent, id, position, size, (style & ~wxLC_EDIT_LABELS) | wxBORDER_THEME);
    }

    void SetRowSource(const IListRowSource* source) { m_source = source; }
    const IListRowSource* GetRowSource() const { return m_source; }

protected:
    wxString OnGetItemText(long row, long column) const override
    {
        return m_source ? m_source->RowText(row, column) : wxString();
    }
    int OnGetItemImage(long row) const override { return m_source ? m_source->RowImage(row) : -1; }
    int OnGetItemColumnImage(long row, long column) const override
    {
        return column == 0 ? OnGetItemImage(row) : -1;
    }

private:
    const IListRowSource* m_source = nullptr;
};
