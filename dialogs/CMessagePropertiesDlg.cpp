#include "dialogs/CMessagePropertiesDlg.h"

#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "dialogs/NodePageControls.h"
#include "model/nodes/CDataObject.h"
#include "model/ports/PropertyPages.h"

CMessagePropertiesDlg::CMessagePropertiesDlg(wxWindow* book, const MessagePropertiesPage& page)
    : m_iconId(static_cast<unsigned>(page.iconId)),
      m_type(page.node ? page.node->GetTypeName() : std::wstring()),
      m_value(page.node ? page.node->GetValueText() : std::wstring()),
      m_description(page.description),
      m_firstDetail(page.firstDetail),
      m_secondDetail(page.secondDetail)
{
    CreatePage(book, kDlgMessageProperties);
    if (!page.title.empty())
        SetTitle(wxString(page.title));
}

bool CMessagePropertiesDlg::OnInitDialog()
{
    SetPageIcon(*this, kIdcMessageIcon, m_iconId);
    SetPageText(*this, kIdcMessageType, m_type);
    SetPageText(*this, kIdcMessageValue, m_value);
    if (auto* description = dynamic_cast<wxStaticText*>(FindWindow(kIdcMessageDescription))) {
        description->SetLabel(wxString(m_description));
        description->Wrap(360);
    }
    if (auto* first = dynamic_cast<wxTextCtrl*>(FindWindow(kIdcMessageFirstDetail))) {
        first->ChangeValue(wxString(m_firstDetail));
        first->Enable(!m_firstDetail.empty());
    }
    const bool second = !m_secondDetail.empty();
    if (auto* edit = dynamic_cast<wxTextCtrl*>(FindWindow(kIdcMessageSecondDetail))) {
        edit->ChangeValue(wxString(m_secondDetail));
        edit->Enable(second);
        edit->Show(second);
    }
    if (wxWindow* label = FindWindow(kIdcMessageSecondLabel))
        label->Show(second);
    Layout();
    return true;
}
