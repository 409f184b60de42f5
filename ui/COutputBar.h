#pragma once
// The docking output window: a tab window with one tab ("Output") holding
// the output list. The main frame docks it at the bottom and shows or
// hides it.

#include <wx/aui/auibook.h>
#include <wx/panel.h>

class COutputList;

class COutputBar : public wxPanel {
public:
    COutputBar();
    // False when one of its windows cannot be made.
    bool Create(wxWindow* parent, wxWindowID id);

    COutputList* GetList() const { return m_list; }

private:
    wxAuiNotebook* m_tabs = nullptr;
    COutputList* m_list = nullptr;
};
