#include "widgets/CPropertyPage.h"

#include <wx/xrc/xmlres.h>

#include "widgets/UiResources.h"

bool CPropertyPage::Create(wxWindow* book, unsigned dialogId, const wxString& title)
{
    m_title = title;
    if (ui::LoadXrc("dialog", dialogId) &&
        wxXmlResource::Get()->LoadPanel(this, book, wxString::Format("dialog%u", dialogId)))
        return true;
    return wxPanel::Create(book, wxID_ANY);
}

void CPropertyPage::SetModified(bool changed)
{
    m_modified = changed;
    // The sheet looks at its pages' marks when it updates its Apply button.
    if (wxWindow* sheet = wxGetTopLevelParent(this)) sheet->UpdateWindowUI();
}

void CPropertyPage::EnsureInitialized()
{
    if (m_initialized) return;
    m_initialized = true;
    OnInitDialog();
}
