#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/stattext.h>

#include "dialogs/CCheckForUpdatesDlg.h"
#include "model/ports/ResourceText.h"
#include "platform/ResourceLibrary.h"
#include "shellcore/AppVersion.h"
#include "tests/dialogs/PumpedDispatcher.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/SilentServer.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/ModalDialogs.h"
#include "tests/support/gui/UiTestSupport.h"
#include "widgets/CHtmlCtrl.h"

using testsupport::LocalHttpServer;

namespace {

class UpdateCheckDialogTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        ASSERT_TRUE(platform::ResourceLibrary::Current().LoadDefault());
        testsupport::RemoveProxyVariables();
        setenv("ARBOLITE_UPDATE_URL", m_server.Url().c_str(), 1);
        m_version = GetAppVersion();
        SetAppVersion({2, 0, 0, 1200});
        m_pump = std::make_unique<PumpedDispatcher>();
    }
    void TearDown() override
    {
        m_pump.reset();
        SetAppVersion(m_version);
        unsetenv("ARBOLITE_UPDATE_URL");
        TempHomeTest::TearDown();
    }

    // Runs a check in a shown dialog to its end.
    std::unique_ptr<CCheckForUpdatesDlg> RunCheck()
    {
        auto dialog = std::make_unique<CCheckForUpdatesDlg>(nullptr);
        dialog->Show();
        dialog->StartCheck();
        EXPECT_TRUE(uitest::RunUntil([&] { return !dialog->GetCheck().IsRunning(); }));
        uitest::RunFor(150);
        return dialog;
    }

    AppVersion m_version;
    LocalHttpServer m_server;
    std::unique_ptr<PumpedDispatcher> m_pump;
};

TEST_F(UpdateCheckDialogTest, NewerNotNewerAndFailedAnswers)
{
    struct Case {
        const char* name;
        int status;
        const char* body;
        unsigned icon;
        unsigned status_text;
        std::wstring page_part;
    } cases[] = {
        {"update-newer", 200, "1300-20260301-Faster trees-a-b-c", CCheckForUpdatesDlg::kIconNewer, 504,
         L"Faster trees"},
        {"update-not-newer", 200, "1200-20260301-Same-a-b-c", CCheckForUpdatesDlg::kIconNotNewer, 504,
         LoadResourceText(502)},
        {"update-failed", 404, "", CCheckForUpdatesDlg::kIconFailed, 508, LoadResourceText(499)},
    };
    for (const Case& c : cases) {
        m_server.SetReply(c.status, c.body);
        std::unique_ptr<CCheckForUpdatesDlg> dialog = RunCheck();
        EXPECT_EQ(dialog->GetIconId(), c.icon) << c.name;
        EXPECT_EQ(uitest::LabelOf(*dialog, CCheckForUpdatesDlg::kIdcStatus), wxString(LoadResourceText(c.status_text)))
            << c.name;
        EXPECT_NE(dialog->GetPageText().Find(wxString(c.page_part)), wxNOT_FOUND) << c.name;
        ASSERT_TRUE(dialog->GetPage());
        EXPECT_TRUE(dialog->GetPage()->IsShown()) << c.name;
        EXPECT_TRUE(dialog->FindWindow(CCheckForUpdatesDlg::kIdcPageFrame)->IsShown()) << c.name;
        uitest::Screenshot(*dialog, c.name, "dialogs");
    }
}

TEST_F(UpdateCheckDialogTest, TheRepliesMarkupStaysText)
{
    m_server.SetReply(200, "1300-20260301-<a href=\"app:close\">click</a> & <b>more</b>-a-b-c");
    std::unique_ptr<CCheckForUpdatesDlg> dialog = RunCheck();
    EXPECT_EQ(dialog->GetIconId(), CCheckForUpdatesDlg::kIconNewer);
    const wxString page = dialog->GetPageText();
    EXPECT_EQ(page.Find("<a href"), wxNOT_FOUND) << page;
    EXPECT_NE(page.Find("&lt;a href=&quot;app:close&quot;&gt;click&lt;/a&gt; &amp; &lt;b&gt;more"), wxNOT_FOUND)
        << page;
    // The text shown is what the server wrote, letter for letter.
    EXPECT_NE(dialog->GetPage()->ToText().Find("<a href=\"app:close\">click</a> & <b>more</b>"), wxNOT_FOUND);
}

TEST_F(UpdateCheckDialogTest, CloseAndEscapeEndAServerThatNeverAnswers)
{
    testsupport::SilentServer silent(testsupport::SilentServer::Mode::Hang);
    setenv("ARBOLITE_UPDATE_URL", ("http://127.0.0.1:" + std::to_string(silent.Port())).c_str(), 1);
    uitest::Modals();
    for (bool escape : {false, true}) {
        CCheckForUpdatesDlg dialog(nullptr);
        std::chrono::steady_clock::time_point asked;
        wxTheApp->CallAfter([&] {
            uitest::RunUntil([&] { return silent.OpenConnections() >= 1; }, 10000);
            EXPECT_TRUE(dialog.FindWindow(wxID_CANCEL)->IsEnabled());
            EXPECT_EQ(dialog.GetIconId(), CCheckForUpdatesDlg::kIconAsking);
            asked = std::chrono::steady_clock::now();
            if (escape) {
                wxKeyEvent key(wxEVT_CHAR_HOOK);
                key.m_keyCode = WXK_ESCAPE;
                key.SetEventObject(&dialog);
                dialog.ProcessWindowEvent(key);
            } else {
                uitest::Click(dialog, wxID_CANCEL);
            }
        });
        EXPECT_EQ(dialog.DoModal(), wxID_CANCEL) << escape;
        EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(1500)) << escape;
        // The download stops with it: its end arrives at once, without a result.
        EXPECT_TRUE(uitest::RunUntil([&] { return !dialog.GetCheck().IsRunning(); }, 1500)) << escape;
        EXPECT_TRUE(dialog.GetPageText().empty()) << escape;
        silent.AcceptPending();
    }
}

} // namespace
