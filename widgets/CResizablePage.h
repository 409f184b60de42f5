#pragma once
// A property page whose controls follow their anchors when the sheet gives
// it a new size. The subclass registers its anchors in OnInitDialog, which
// runs once at the end of Create, with the page at its template size.

#include <wx/panel.h>

#include "widgets/CResizableLayout.h"

class CResizablePage : public wxPanel, public CResizableLayout {
public:
    CResizablePage() = default;

    // From the resource library's dialog template, as a child of the sheet's book.
    bool Create(wxWindow* book, unsigned templateId);
    // An empty page whose subclass makes its controls in OnInitDialog.
    bool Create(wxWindow* book, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize);

    bool IsInitialized() const { return m_initialized; }

protected:
    virtual bool OnInitDialog();
    wxWindow* GetLayoutWindow() override { return this; }

private:
    bool FinishCreate();
    void OnSize(wxSizeEvent& event);

    bool m_initialized = false;
};
