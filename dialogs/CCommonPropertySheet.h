#pragma once
// The program's property sheet: a book of pages with OK, Cancel and Apply.
// Pages derived from CPropertyPage take part in the page protocol (see
// there); other windows are shown as they are. OK and Apply apply every
// page that has been shown, in order, and stop at the first that refuses.

#include <vector>

#include <wx/bookctrl.h>
#include <wx/propdlg.h>

class CPropertyPage;

// The buttons under the pages.
enum class SheetButtons { OkCancelApply, OkCancel };

class CCommonPropertySheet : public wxPropertySheetDialog {
public:
    // startPage: the page shown first.
    CCommonPropertySheet(wxWindow* parent, const wxString& caption, int startPage = 0,
                         SheetButtons buttons = SheetButtons::OkCancelApply);

    // The parent for the pages' windows.
    wxWindow* GetBook() const;
    // Adds a window made in GetBook(); a CPropertyPage joins the protocol.
    void AddPage(wxWindow* page, const wxString& title);
    void AddPage(CPropertyPage* page);
    int GetPageCount() const;
    wxWindow* GetPageWindow(int index) const;

    // Lays the sheet out and runs it; the start page is activated once the
    // sheet is up. wxID_OK or wxID_CANCEL.
    int ShowModal() override;

    // What OK and Apply do first: the current page is left (OnKillActive),
    // every shown page is asked whether it can apply, then every shown page
    // applies. False when a page refused.
    bool ApplyPages();
    // Selects a page as the user does (the pages' protocol runs).
    bool SelectPage(int index);

    void UpdateApplyButton();

private:
    CPropertyPage* PageAt(int index) const;
    void ActivateCurrent();
    void OnPageChanging(wxBookCtrlEvent& event);
    void OnPageChanged(wxBookCtrlEvent& event);
    void OnOk(wxCommandEvent& event);
    void OnApplyButton(wxCommandEvent& event);
    void OnCancelButton(wxCommandEvent& event);

    int m_startPage;
};
