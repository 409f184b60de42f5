// The options and update commands of the main window open their dialogs.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include <wx/button.h>

#include "dialogs/CCheckForUpdatesDlg.h"
#include "dialogs/CCheckForUpdatesPP.h"
#include "dialogs/CCommonPropertySheet.h"
#include "dialogs/CConfirmationsPage.h"
#include "dialogs/CInterfacePage.h"
#include "model/ports/ResourceText.h"
#include "shellcore/AppVersion.h"
#include "shellcore/FrameCommands.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/gui/ModalDialogs.h"
#include "tests/support/gui/UiTestSupport.h"
#include "tests/ui/FrameTestSupport.h"
#include "tests/ui/WindowTreeDriver.h"

namespace {

using uitest::OnNextDialog;

class OptionsWindowTest : public frametest::MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        frametest::Prepare();
        testsupport::RemoveProxyVariables();
        setenv("ARBOLITE_UPDATE_URL", m_server.Url().c_str(), 1);
        OpenWindow();
    }
    void TearDown() override
    {
        CloseWindow();
        unsetenv("ARBOLITE_UPDATE_URL");
        MainWindowTest::TearDown();
    }

    testsupport::LocalHttpServer m_server;
};

TEST_F(OptionsWindowTest, TheOptionsCommandOpensTheSheetWithItsThreePages)
{
    EXPECT_TRUE(IsMenuEnabled(cmd::kOptions));
    bool pagesInOrder = false;
    wxString caption;
    OnNextDialog<CCommonPropertySheet> sheet([&](CCommonPropertySheet& dialog) {
        caption = dialog.GetTitle();
        pagesInOrder = dialog.GetPageCount() == 3 && dynamic_cast<CInterfacePage*>(dialog.GetPageWindow(0)) &&
                       dynamic_cast<CCheckForUpdatesPP*>(dialog.GetPageWindow(1)) &&
                       dynamic_cast<CConfirmationsPage*>(dialog.GetPageWindow(2));
        uitest::Click(dialog, wxID_CANCEL);
    });
    Choose(cmd::kOptions);
    frametest::Pump();
    EXPECT_TRUE(sheet.Seen());
    EXPECT_TRUE(pagesInOrder);
    EXPECT_EQ(caption, wxString(LoadResourceText(213)));
}

TEST_F(OptionsWindowTest, TheUpdateCommandAsksTheServerAndShowsTheAnswer)
{
    m_server.SetReply(200, "65000-20260301-Newer trees-a-b-c");
    EXPECT_TRUE(IsMenuEnabled(cmd::kCheckForUpdates));
    unsigned icon = 0;
    OnNextDialog<CCheckForUpdatesDlg> update([&](CCheckForUpdatesDlg& dialog) {
        uitest::RunUntil([&] { return !dialog.GetCheck().IsRunning(); });
        icon = dialog.GetIconId();
        uitest::Click(dialog, wxID_CANCEL);
    });
    Choose(cmd::kCheckForUpdates);
    frametest::Pump();
    EXPECT_TRUE(update.Seen());
    EXPECT_EQ(icon, GetBuildNumber() < 65000 ? CCheckForUpdatesDlg::kIconNewer : CCheckForUpdatesDlg::kIconNotNewer);
    ASSERT_EQ(m_server.Requests().size(), 1u);
    EXPECT_EQ(m_server.Requests()[0].target.rfind("/support/update/info.php?build=", 0), 0u);
}

} // namespace
