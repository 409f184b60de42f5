#pragma once
// A dialog whose controls follow their anchors when it is resized, with a
// size grip, its opening size as the minimum, and optionally its placement
// kept in a section of the user's settings.
//
// A dialog derives from it and, in its own OnInitDialog after the base's,
// registers its controls and asks for what it wants:
//
//     bool CSearchDlg::OnInitDialog()
//     {
//         CResizableDialog::OnInitDialog();
//         AddAnchoredChildren({{kIdcFilter, AnchorTopLeft, AnchorTopRight},
//                              {kIdcResults, AnchorTopLeft, AnchorBottomRight},
//                              {wxID_CANCEL, AnchorBottomRight}});
//         EnableSaveRestore(L"SearchDlg");
//         return true;
//     }
//
// The window comes from the resource library's dialog template (controls at
// fixed places, no sizer) or is built by the subclass before its anchors are
// registered. OnInitDialog runs once, at the end of Create.

#include <string>

#include <wx/dialog.h>

#include "widgets/CResizableGrip.h"
#include "widgets/CResizableLayout.h"
#include "widgets/CResizableMinMax.h"
#include "widgets/CResizableState.h"

class CResizableDialog : public wxDialog,
                         public CResizableLayout,
                         public CResizableGrip,
                         public CResizableMinMax,
                         public CResizableState {
public:
    CResizableDialog() = default;
    // Remembers the template and parent; Create or DoModal makes the window.
    CResizableDialog(unsigned templateId, wxWindow* parent);
    ~CResizableDialog() override;

    // From the template given to the constructor.
    bool Create();
    // From the resource library's dialog template.
    bool Create(wxWindow* parent, unsigned templateId);
    // An empty dialog whose subclass makes its controls in OnInitDialog.
    bool Create(wxWindow* parent, wxWindowID id, const wxString& title, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = wxDEFAULT_DIALOG_STYLE);

    // Makes the window when needed and runs it modally; -1 when it cannot be made.
    int DoModal();

    // Keeps the placement in the section: restores it now, saves it when
    // the window is destroyed.
    void EnableSaveRestore(const std::wstring& section, bool rectOnly = false);

    bool IsInitialized() const { return m_initialized; }

protected:
    // The base sets the minimum size to the current size and places the grip.
    virtual bool OnInitDialog();
    wxWindow* GetLayoutWindow() override { return this; }

private:
    bool FinishCreate();
    void FitClientToTemplate();
    void OnSize(wxSizeEvent& event);
    void OnMove(wxMoveEvent& event);
    void SaveState();

    unsigned m_templateId = 0;
    wxWindow* m_parent = nullptr;
    bool m_saveRestore = false;
    bool m_rectOnly = false;
    std::wstring m_section;
    bool m_initialized = false;
    bool m_saved = false;
};
