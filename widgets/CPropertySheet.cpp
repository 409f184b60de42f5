#include "widgets/CPropertySheet.h"

#include <wx/bookctrl.h>
#include <wx/button.h>

#include "widgets/CPropertyPage.h"

CPropertySheet::CPropertySheet(wxWindow* parent, const wxString& caption)
    : wxPropertySheetDialog(parent, wxID_ANY, caption)
{
    CreateButtons(wxOK | wxCANCEL | wxAPPLY);
    Bind(wxEVT_BOOKCTRL_PAGE_CHANGING, &CPropertySheet::OnPageChanging, this);
    Bind(wxEVT_BOOKCTRL_PAGE_CHANGED, &CPropertySheet::OnPageChanged, this);
    Bind(wxEVT_BUTTON, &CPropertySheet::OnOk, this, wxID_OK);
    Bind(wxEVT_BUTTON, &CPropertySheet::OnApplyButton, this, wxID_APPLY);
    Bind(wxEVT_BUTTON, &CPropertySheet::OnCancel, this, wxID_CANCEL);
    Bind(wxEVT_UPDATE_UI, &CPropertySheet::OnUpdateApply, this, wxID_APPLY);
}

void CPropertySheet::AddPage(wxWindow* page, const wxString& title)
{
    m_pages.push_back(page);
    m_shown.push_back(false);
    GetBookCtrl()->AddPage(page, title);
}

void CPropertySheet::Activate(wxWindow* page)
{
    if (page == m_active) return;  // the book may report the first page twice
    m_active = page;
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (m_pages[i] != page) continue;
        if (auto* p = dynamic_cast<CPropertyPage*>(page)) {
            p->EnsureInitialized();
            p->OnSetActive();
        } else if (!m_shown[i]) {
            page->TransferDataToWindow();
        }
        m_shown[i] = true;
    }
}

wxWindow* CPropertySheet::GetActivePage() const
{
    const int selection = GetBookCtrl()->GetSelection();
    return selection >= 0 ? GetBookCtrl()->GetPage(static_cast<size_t>(selection)) : nullptr;
}

bool CPropertySheet::SetActivePage(size_t index)
{
    if (index >= m_pages.size()) return false;
    const int before = GetBookCtrl()->GetSelection();
    GetBookCtrl()->SetSelection(index);  // sends the changing and changed events
    return GetBookCtrl()->GetSelection() == static_cast<int>(index) || before == static_cast<int>(index);
}

void CPropertySheet::OnPageChanging(wxBookCtrlEvent& event)
{
    if (event.GetEventObject() != GetBookCtrl()) return event.Skip();
    if (auto* p = dynamic_cast<CPropertyPage*>(GetActivePage()))
        if (!p->OnKillActive()) event.Veto();
}

void CPropertySheet::OnPageChanged(wxBookCtrlEvent& event)
{
    if (event.GetEventObject() != GetBookCtrl() || !m_active) return event.Skip();
    if (wxWindow* page = GetActivePage()) Activate(page);
}

bool CPropertySheet::ApplyPages()
{
    if (auto* p = dynamic_cast<CPropertyPage*>(GetActivePage()))
        if (!p->OnKillActive()) return false;
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (!m_shown[i]) continue;
        bool ok;
        if (auto* p = dynamic_cast<CPropertyPage*>(m_pages[i]))
            ok = p->OnApply();
        else
            ok = m_pages[i]->Validate() && m_pages[i]->TransferDataFromWindow();
        if (!ok) {
            SetActivePage(i);
            return false;
        }
    }
    return true;
}

void CPropertySheet::LayoutAndActivate()
{
    LayoutDialog();
    // Pages are set up once the sheet has its size, as their lists take
    // their column widths from it.
    if (wxWindow* page = GetActivePage()) Activate(page);
}

int CPropertySheet::DoModal()
{
    LayoutAndActivate();
    return ShowModal();
}

void CPropertySheet::OnOk(wxCommandEvent&)
{
    if (ApplyPages()) EndModal(wxID_OK);
}

void CPropertySheet::OnApplyButton(wxCommandEvent&) { ApplyPages(); }

void CPropertySheet::OnCancel(wxCommandEvent&)
{
    for (size_t i = 0; i < m_pages.size(); ++i)
        if (auto* p = dynamic_cast<CPropertyPage*>(m_pages[i]); p && m_shown[i]) p->OnCancel();
    EndModal(wxID_CANCEL);
}

void CPropertySheet::OnUpdateApply(wxUpdateUIEvent& event)
{
    bool modified = false;
    for (wxWindow* page : m_pages)
        if (auto* p = dynamic_cast<CPropertyPage*>(page)) modified = modified || p->IsModified();
    event.Enable(modified);
}
