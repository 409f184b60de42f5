#include "dialogs/CCommonPropertySheet.h"

#include <wx/bookctrl.h>
#include <wx/button.h>

#include "dialogs/CPropertyPage.h"
#include "widgets/DialogHelp.h"

CCommonPropertySheet::CCommonPropertySheet(wxWindow* parent, const wxString& caption, int startPage,
                                           SheetButtons buttons)
    : wxPropertySheetDialog(parent, wxID_ANY, caption, wxDefaultPosition, wxDefaultSize,
                            wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_startPage(startPage)
{
    CreateButtons(buttons == SheetButtons::OkCancel ? wxOK | wxCANCEL : wxOK | wxCANCEL | wxAPPLY);
    GetBookCtrl()->Bind(wxEVT_BOOKCTRL_PAGE_CHANGING, &CCommonPropertySheet::OnPageChanging, this);
    GetBookCtrl()->Bind(wxEVT_BOOKCTRL_PAGE_CHANGED, &CCommonPropertySheet::OnPageChanged, this);
    Bind(wxEVT_BUTTON, &CCommonPropertySheet::OnOk, this, wxID_OK);
    Bind(wxEVT_BUTTON, &CCommonPropertySheet::OnApplyButton, this, wxID_APPLY);
    Bind(wxEVT_BUTTON, &CCommonPropertySheet::OnCancelButton, this, wxID_CANCEL);
    GiveSheetHelp(this, GetBookCtrl());
    UpdateApplyButton();
}

wxWindow* CCommonPropertySheet::GetBook() const
{
    return GetBookCtrl();
}

void CCommonPropertySheet::AddPage(wxWindow* page, const wxString& title)
{
    GetBookCtrl()->AddPage(page, title);
}

void CCommonPropertySheet::AddPage(CPropertyPage* page)
{
    GetBookCtrl()->AddPage(page, page->GetTitle());
}

int CCommonPropertySheet::GetPageCount() const
{
    return static_cast<int>(GetBookCtrl()->GetPageCount());
}

wxWindow* CCommonPropertySheet::GetPageWindow(int index) const
{
    return index >= 0 && index < GetPageCount() ? GetBookCtrl()->GetPage(index) : nullptr;
}

CPropertyPage* CCommonPropertySheet::PageAt(int index) const
{
    return dynamic_cast<CPropertyPage*>(GetPageWindow(index));
}

int CCommonPropertySheet::ShowModal()
{
    LayoutDialog();
    if (m_startPage > 0 && m_startPage < GetPageCount())
        GetBookCtrl()->ChangeSelection(m_startPage);
    // The first page comes up with the sheet: a page that waits on
    // activation (the monitor) waits over a visible sheet.
    CallAfter([this] { ActivateCurrent(); });
    return wxPropertySheetDialog::ShowModal();
}

void CCommonPropertySheet::ActivateCurrent()
{
    if (CPropertyPage* page = PageAt(GetBookCtrl()->GetSelection()))
        page->OnSetActive();
}

bool CCommonPropertySheet::SelectPage(int index)
{
    if (index < 0 || index >= GetPageCount())
        return false;
    int current = GetBookCtrl()->GetSelection();
    if (index == current)
        return true;
    if (CPropertyPage* page = PageAt(current))
        if (!page->OnKillActive())
            return false;
    GetBookCtrl()->ChangeSelection(index);
    ActivateCurrent();
    return true;
}

void CCommonPropertySheet::OnPageChanging(wxBookCtrlEvent& event)
{
    if (CPropertyPage* page = PageAt(event.GetOldSelection()))
        if (!page->OnKillActive())
            event.Veto();
}

void CCommonPropertySheet::OnPageChanged(wxBookCtrlEvent& event)
{
    // After the change has been drawn.
    CallAfter([this] { ActivateCurrent(); });
}

bool CCommonPropertySheet::ApplyPages()
{
    if (CPropertyPage* current = PageAt(GetBookCtrl()->GetSelection()))
        if (!current->OnKillActive())
            return false;
    // A page that would refuse is found before any page stores.
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* page = PageAt(i);
        if (!page || !page->WasShown() || page->CanApply())
            continue;
        if (i != GetBookCtrl()->GetSelection())
            GetBookCtrl()->ChangeSelection(i);
        page->ReportRefusal();
        UpdateApplyButton();
        return false;
    }
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* page = PageAt(i);
        if (!page || !page->WasShown())
            continue;
        if (!page->OnApply()) {
            if (i != GetBookCtrl()->GetSelection()) {
                GetBookCtrl()->ChangeSelection(i);
            }
            UpdateApplyButton();
            return false;
        }
    }
    UpdateApplyButton();
    return true;
}

void CCommonPropertySheet::UpdateApplyButton()
{
    bool modified = false;
    for (int i = 0; i < GetPageCount(); ++i)
        if (CPropertyPage* page = PageAt(i))
            modified = modified || page->IsModified();
    if (wxWindow* apply = FindWindow(wxID_APPLY))
        apply->Enable(modified);
}

void CCommonPropertySheet::OnOk(wxCommandEvent&)
{
    if (ApplyPages())
        EndModal(wxID_OK);
}

void CCommonPropertySheet::OnApplyButton(wxCommandEvent&)
{
    ApplyPages();
}

void CCommonPropertySheet::OnCancelButton(wxCommandEvent&)
{
    for (int i = 0; i < GetPageCount(); ++i)
        if (CPropertyPage* page = PageAt(i))
            page->OnCancel();
    EndModal(wxID_CANCEL);
}
