#include "dialogs/CProfileWizardPage.h"

#include <wx/simplebook.h>
#include <wx/sizer.h>
#include <wx/xrc/xmlres.h>

#include "dialogs/CProfileEditorWizard.h"
#include "shellcore/HelpTables.h"
#include "widgets/DialogHelp.h"
#include "widgets/UiResources.h"

CProfileWizardPage::CProfileWizardPage(CProfileEditorWizard& wizard, unsigned dialogId)
    : wxPanel(wizard.GetBook()), m_wizard(wizard)
{
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    wxPanel* content = nullptr;
    if (ui::LoadXrc("dialog", dialogId))
        content = wxXmlResource::Get()->LoadPanel(this, wxString::Format("dialog%u", dialogId));
    if (content)
        sizer->Add(content, 1, wxEXPAND);
    SetSizer(sizer);
    GiveDialogHelp(this, help::WindowHelpContext(dialogId));
}

CServerProfile& CProfileWizardPage::Profile()
{
    return m_wizard.GetProfile();
}
