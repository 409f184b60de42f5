#include "dialogs/CPropertyPage.h"

#include <wx/bookctrl.h>
#include <wx/xml/xml.h>
#include <wx/xrc/xmlres.h>

#include "dialogs/CCommonPropertySheet.h"
#include "shellcore/HelpTables.h"
#include "widgets/DialogHelp.h"
#include "widgets/UiResources.h"

bool CPropertyPage::CreatePage(wxWindow* book, unsigned dialogId)
{
    wxString name = wxString::Format("dialog%u", dialogId);
    bool loaded = ui::LoadXrc("dialog", dialogId) && wxXmlResource::Get()->LoadPanel(this, book, name);
    if (!loaded)
        Create(book, wxID_ANY);
    GiveDialogHelp(this, help::WindowHelpContext(dialogId));
    if (loaded)
        if (const wxXmlNode* node = wxXmlResource::Get()->GetResourceNode(name))
            for (const wxXmlNode* child = node->GetChildren(); child; child = child->GetNext())
                if (child->GetName() == "title")
                    m_title = child->GetNodeContent();
    OnInitDialog();
    return loaded;
}

bool CPropertyPage::OnSetActive()
{
    m_shown = true;
    return true;
}

bool CPropertyPage::OnApply()
{
    SetModified(false);
    return true;
}

void CPropertyPage::SetModified(bool modified)
{
    m_modified = modified;
    if (auto* sheet = dynamic_cast<CCommonPropertySheet*>(wxGetTopLevelParent(this)))
        sheet->UpdateApplyButton();
}
