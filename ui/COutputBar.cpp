#include "ui/COutputBar.h"

#include <wx/settings.h>
#include <wx/sizer.h>

#include "ui/COutputList.h"
#include "widgets/UiResources.h"

namespace {
constexpr unsigned kStrOutputTab = 706;
}

COutputBar::COutputBar() = default;

bool COutputBar::Create(wxWindow* parent, wxWindowID id)
{
    if (!wxPanel::Create(parent, id))
        return false;
    m_tabs = new wxAuiNotebook(this, 1, wxDefaultPosition, wxDefaultSize, wxAUI_NB_BOTTOM | wxAUI_NB_TAB_FIXED_WIDTH);
    m_list = new COutputList(m_tabs, 2);
    m_list->SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    if (!m_tabs->AddPage(m_list, ui::ResourceString(kStrOutputTab)))
        return false;
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_tabs, 1, wxEXPAND);
    SetSizer(sizer);
    return true;
}
