#pragma once
// A modal sheet of pages with OK, Cancel and Apply, as the framework's
// property sheets behave. Pages are CPropertyPage windows made inside
// GetBookCtrl(); any other window may be a page too: it is filled with
// TransferDataToWindow when first shown and applied with Validate and
// TransferDataFromWindow.

#include <vector>

#include <wx/bookctrl.h>
#include <wx/propdlg.h>

class CPropertyPage;

class CPropertySheet : public wxPropertySheetDialog {
public:
    CPropertySheet(wxWindow* parent, const wxString& caption);

    // The page (made in GetBookCtrl()) goes after the others.
    void AddPage(wxWindow* page, const wxString& title);
    size_t GetPageCount() const { return m_pages.size(); }
    wxWindow* GetPage(size_t index) const { return m_pages.at(index); }
    // Makes the page current (as a click on its tab does); false when the
    // current page refuses to be left.
    bool SetActivePage(size_t index);
    wxWindow* GetActivePage() const;

    // Lays the sheet out and sets up its first page (DoModal does this).
    void LayoutAndActivate();
    // wxID_OK or wxID_CANCEL.
    int DoModal();
    // Applies every page set up so far (OK and Apply do this); false when a
    // page refused.
    bool ApplyPages();

private:
    void Activate(wxWindow* page);
    void OnPageChanging(wxBookCtrlEvent& event);
    void OnPageChanged(wxBookCtrlEvent& event);
    void OnOk(wxCommandEvent& event);
    void OnApplyButton(wxCommandEvent& event);
    void OnCancel(wxCommandEvent& event);
    void OnUpdateApply(wxUpdateUIEvent& event);

    std::vector<wxWindow*> m_pages;
    std::vector<bool> m_shown;
    wxWindow* m_active = nullptr;
};
