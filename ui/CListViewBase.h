#pragma once
// The list-control view: a list control that is itself the view, in report
// style with several rows selectable and the selection shown without focus.

#include <wx/listctrl.h>

class CListViewBase : public wxListCtrl {
public:
    CListViewBase() = default;

    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& position = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = wxLC_REPORT)
    {
        return wxListCtrl::Create(parent, id, position, size, (style & ~wxLC_EDIT_LABELS) | wxBORDER_THEME);
    }
};
