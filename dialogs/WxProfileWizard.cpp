#include "dialogs/WxProfileWizard.h"

#include <wx/app.h>

#include "dialogs/CProfileEditorWizard.h"

std::unique_ptr<CServerProfile> WxProfileWizard::CreateProfile(const std::wstring& caption, bool& connectAtOnce)
{
    CProfileEditorWizard wizard(caption, wxTheApp ? wxTheApp->GetTopWindow() : nullptr);
    if (wizard.RunModal() != wxID_OK)
        return nullptr;
    connectAtOnce = wizard.GetConnectNow();
    return wizard.ReleaseProfile();
}
