#include "ui/AppCommands.h"

#include <wx/app.h>

#include "platform/DesktopLauncher.h"
#include "shellcore/FrameCommands.h"
#include "ui/CAboutDlg.h"
#include "ui/CTipDlg.h"
#include "widgets/WxCommandIds.h"

namespace ui {

const char* const kWebSiteUrl = "https://www.vellumar.example/arbolite/";

void BindAppCommands(wxEvtHandler& target)
{
    target.Bind(
        wxEVT_MENU,
        [](wxCommandEvent&) {
            CAboutDlg about(wxTheApp ? wxTheApp->GetTopWindow() : nullptr, GetBuildNumber());
            about.ShowModal();
        },
        WxId(cmd::kAppAbout));
    target.Bind(
        wxEVT_MENU,
        [](wxCommandEvent&) {
            // The start-up setting is not asked here.
            CTipDlg tips(wxTheApp ? wxTheApp->GetTopWindow() : nullptr);
            tips.ShowModal();
        },
        WxId(cmd::kTipOfTheDay));
    target.Bind(
        wxEVT_MENU,
        [](wxCommandEvent&) {
            if (auto desktop = platform::GetDesktopLauncher())
                desktop->OpenUrl(kWebSiteUrl);
        },
        WxId(cmd::kWebSite));
    target.Bind(
        wxEVT_MENU,
        [](wxCommandEvent& event) {
            CFeedbackMail mail(GetAppVersion());
            mail.SendForCommand(CommandOf(event.GetId()));
        },
        WxId(cmd::kSupportRequest), WxId(cmd::kSuggestion));
}

} // namespace ui
