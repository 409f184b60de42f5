#include "dialogs/WxProfileWizard.h"


#include "dialogs/CProfileEditorWizard.h"
#include "widgets/DialogOwner.h"

std::unique_ptr<CServerProfile> WxProfileWizard::CreateProfile(const std::wstring& caption, bool& connectAtOnce)
{
    CProfileEditorWizard wizard(caption, ui::DialogOwner());
    if (wizard.RunModal() != wxID_OK)
        return nullptr;
    connectAtOnce = wizard.GetConnectNow();
    return wizard.ReleaseProfile();
}
