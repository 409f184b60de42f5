// A server node's properties through the program's sheet: the four server
// pages in their order, each with the tab text of its dialog resource, and
// the node's own entry page last.

#include <gtest/gtest.h>

#include <vector>

#include <wx/app.h>
#include <wx/bookctrl.h>
#include <wx/dialog.h>
#include <wx/propdlg.h>

#include "model/entries/CServerObject.h"
#include "model/ports/PropertySheetPort.h"
#include "platform/ResourceLibrary.h"
#include "tests/support/TempHome.h"
#include "ui/WxPropertySheet.h"

namespace {

class PropertySheetTest : public testsupport::TempHomeTest {};

TEST_F(PropertySheetTest, AServerNodeShowsItsFivePagesInOrder)
{
    ASSERT_TRUE(platform::ResourceLibrary::Current().LoadDefault());
    auto port = std::make_shared<ui::WxPropertySheet>();
    auto previous = SetPropertySheetPort(port);
    CServerProfile profile;
    profile.SetProfileName(L"Lab");
    ASSERT_TRUE(profile.SaveProfile());
    CServerObject server(profile);

    std::vector<wxString> tabs;
    wxTheApp->CallAfter([&] {
        for (wxWindow* window : wxTopLevelWindows) {
            auto* sheet = dynamic_cast<wxPropertySheetDialog*>(window);
            if (!sheet || !sheet->IsModal())
                continue;
            for (size_t i = 0; i < sheet->GetBookCtrl()->GetPageCount(); ++i)
                tabs.push_back(sheet->GetBookCtrl()->GetPageText(i));
            wxCommandEvent cancel(wxEVT_BUTTON, wxID_CANCEL);
            cancel.SetEventObject(sheet->FindWindow(wxID_CANCEL));
            sheet->GetEventHandler()->ProcessEvent(cancel);
        }
    });
    EXPECT_EQ(RunPropertySheet(server.GetPropertiesTitle(), server.AddPropertyPages()), 2);
    EXPECT_EQ(tabs, (std::vector<wxString>{"Server", "Credentials", "LDAP Settings", "Server Monitor", "Entry"}));
    SetPropertySheetPort(previous);
}

} // namespace
