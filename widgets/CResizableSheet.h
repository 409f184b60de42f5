#pragma once
// A property sheet whose tab control grows with the window and whose buttons
// follow the bottom-right corner, with a size grip, its opening size as the
// minimum, and optionally its placement and active page kept in a section of
// the user's settings.
//
//     CResizableSheet sheet;
//     sheet.Create(parent, caption);
//     auto* page = new CMyPage;             // a CResizablePage or any panel
//     page->Create(sheet.GetBookCtrl(), kIddMyPage);
//     sheet.AddPage(page, title);
//     sheet.EnableSaveRestore(L"MySheet", false, true);
//     sheet.DoModal();
//
// The sheet is laid out around its largest page when it is first shown
// (OnInitDialog); the tab control sizes the pages inside it.

#include <string>

#include <wx/dialog.h>

#include "widgets/CResizableGrip.h"
#include "widgets/CResizableLayout.h"
#include "widgets/CResizableMinMax.h"
#include "widgets/CResizableState.h"

class wxNotebook;

class CResizableSheet : public wxDialog,
                        public CResizableLayout,
                        public CResizableGrip,
                        public CResizableMinMax,
                        public CResizableState {
public:
    CResizableSheet() = default;
    ~CResizableSheet() override;

    // buttons: any of wxOK, wxCANCEL, wxAPPLY, wxHELP.
    bool Create(wxWindow* parent, const wxString& caption, long buttons = wxOK | wxCANCEL);

    wxNotebook* GetBookCtrl() const { return m_book; }
    // The page must have been made as a child of GetBookCtrl().
    bool AddPage(wxWindow* page, const wxString& title);
    int GetPageCount() const;
    // The zero-based index of the page shown; -1 without pages.
    int GetActiveIndex() const;
    // False, with the page unchanged, for an index the sheet does not have.
    bool SetActivePage(int index);

    // Keeps the placement (and, with keepActivePage, the page shown) in the
    // section: restores them now (or at the first show when the pages are not
    // there yet), saves them when the window is destroyed.
    void EnableSaveRestore(const std::wstring& section, bool rectOnly = false, bool keepActivePage = false);
    void SaveActivePage();
    void LoadActivePage();

    int DoModal() { return ShowModal(); }
    bool Show(bool show = true) override;
    int ShowModal() override;

    bool IsInitialized() const { return m_initialized; }

protected:
    // Sizes the sheet around its largest page and anchors the tab control
    // and the buttons; the minimum size is the size it opens at.
    virtual bool OnInitDialog();
    wxWindow* GetLayoutWindow() override { return this; }

private:
    void InitOnce();
    void RestoreState();
    void OnSize(wxSizeEvent& event);
    void OnMove(wxMoveEvent& event);

    wxNotebook* m_book = nullptr;
    long m_buttons = 0;
    bool m_saveRestore = false;
    bool m_rectOnly = false;
    bool m_keepActivePage = false;
    std::wstring m_section;
    bool m_initialized = false;
    bool m_saved = false;
};
