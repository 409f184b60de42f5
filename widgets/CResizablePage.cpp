#include "widgets/CResizablePage.h"

#include "widgets/UiResources.h"

bool CResizablePage::Create(wxWindow* book, unsigned templateId)
{
    if (!ui::LoadPanelResource(this, book, templateId)) return false;
    return FinishCreate();
}

bool CResizablePage::Create(wxWindow* book, wxWindowID id, const wxPoint& pos, const wxSize& size)
{
    if (!wxPanel::Create(book, id, pos, size)) return false;
    return FinishCreate();
}

bool CResizablePage::FinishCreate()
{
    Bind(wxEVT_SIZE, &CResizablePage::OnSize, this);
    OnInitDialog();
    return true;
}

bool CResizablePage::OnInitDialog()
{
    m_initialized = true;
    return true;
}

void CResizablePage::OnSize(wxSizeEvent& event)
{
    event.Skip();
    if (m_initialized) ArrangeChildren();
}
