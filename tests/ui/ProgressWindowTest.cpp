// The progress window of a node job in the program's own set-up: opening a
// server that accepts the connection and never answers keeps the bind job
// running, with its window in the screen's bottom right corner. Stop ends
// the job and gives the node back; Hide (or the close box) only hides the
// window while the job goes on.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include <wx/animate.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/uiaction.h>
#include <wx/weakref.h>

#include "jobs/CLDAPThread.h"
#include "model/entries/CServerObject.h"
#include "model/profiles/CServerProfile.h"
#include "model/ports/ResourceText.h"
#include "tests/support/SilentServer.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/ProgramSession.h"
#include "tests/ui/FrameTestSupport.h"
#include "ui/CArbTreeView.h"

namespace {

const wchar_t* const kProfileNames[] = {L"Server that never answers", L"Another that never answers"};
constexpr int kMainText = 1073;
constexpr int kStatusText = 1022;
constexpr int kAnimation = 1021;
constexpr int kStop = 1037;
constexpr int kHide = 1067;

class ProgressWindowTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        frametest::Prepare();
        // A stopped open marks the server's children read: each case opens
        // a server of its own.
        for (const wchar_t* name : kProfileNames) {
            CServerProfile profile;
            profile.SetProfileName(name);
            profile.SetHostName(L"127.0.0.1");
            profile.SetPort(m_server.Port());
            profile.SetVersion(3);
            profile.SetBaseDN(arbldap::LDAPDN("o=lab"));
            profile.SetAnonymousBind(1);
            ASSERT_TRUE(profile.SaveProfile());
        }
        m_session = std::make_unique<uitest::ProgramSession>();
        ASSERT_NE(m_session->OpenFrame(), nullptr);
        m_tree = CArbTreeView::Get();
        ASSERT_NE(m_tree, nullptr);
    }

    void TearDown() override
    {
        // Every job started here ends before the window goes.
        if (GetRunningThreadCount() > 0)
            AbortAllThreads();
        EXPECT_TRUE(frametest::PumpUntil([] { return GetRunningThreadCount() == 0; }, std::chrono::seconds(30)));
        m_session.reset();
        TempHomeTest::TearDown();
    }

    CServerObject* Server(const std::wstring& name = kProfileNames[0])
    {
        platform::TreePort& tree = m_tree->GetPort();
        platform::TreeItem root = tree.GetChildItem(platform::kTreeRoot);
        for (platform::TreeItem item = tree.GetChildItem(root); item; item = tree.GetNextSiblingItem(item))
            if (auto* server = dynamic_cast<CServerObject*>(static_cast<CDataObject*>(tree.GetItemData(item))))
                if (server->GetProfileName() == name)
                    return server;
        return nullptr;
    }

    static void ClickAt(const wxPoint& at)
    {
        wxUIActionSimulator mouse;
        mouse.MouseMove(at);
        uitest::RunFor(30);
        mouse.MouseClick();
    }

    // A click on the server's label starts its bind; its window comes up.
    wxDialog* OpenServer(const std::wstring& name = kProfileNames[0])
    {
        CServerObject* server = Server(name);
        if (!server)
            return nullptr;
        wxRect rect;
        if (!m_tree->GetBoundingRect(m_tree->GetPort().IdOf(server->GetTreeItem()), rect, true))
            return nullptr;
        ClickAt(m_tree->ClientToScreen(rect.GetPosition() + wxPoint(rect.width / 2, rect.height / 2)));
        wxDialog* window = nullptr;
        frametest::PumpUntil([&] {
            window = ProgressWindow();
            return window && window->IsShownOnScreen();
        });
        // Acted on before the display's answer to its showing arrives, the
        // toolkit would take it as shown again when it does.
        uitest::SyncWithDisplay();
        return window;
    }

    // The progress window, shown or hidden; null when there is none.
    static wxDialog* ProgressWindow() { return uitest::FindDialog("dialog196"); }

    static void Press(wxDialog& window, int button)
    {
        wxWindow* control = window.FindWindow(button);
        ASSERT_NE(control, nullptr) << button;
        ClickAt(control->GetScreenRect().GetPosition() + control->GetSize() / 2);
    }

    testsupport::SilentServer m_server;
    std::unique_ptr<uitest::ProgramSession> m_session;
    CArbTreeView* m_tree = nullptr;
};

TEST_F(ProgressWindowTest, ShowsTheJobInTheBottomRightCornerAndStopEndsItGivingTheNodeBack)
{
    wxDialog* window = OpenServer();
    ASSERT_NE(window, nullptr) << "no progress window came up";
    CServerObject* server = Server();
    ASSERT_NE(server, nullptr);

    EXPECT_EQ(window->GetTitle().ToStdWstring(), LoadResourceText(kStrBindCaption));
    EXPECT_EQ(uitest::LabelOf(*window, kMainText).ToStdWstring(), LoadResourceText(kStrBindConnecting) + L"127.0.0.1 ...");
    EXPECT_TRUE(frametest::PumpUntil([&] { return uitest::LabelOf(*window, kStatusText) == "Binding..."; },
                                     std::chrono::seconds(5)))
        << uitest::LabelOf(*window, kStatusText);
    auto* animation = dynamic_cast<wxAnimationCtrl*>(window->FindWindow(kAnimation));
    ASSERT_NE(animation, nullptr);
    EXPECT_TRUE(animation->GetAnimation().IsOk());
    EXPECT_TRUE(animation->IsPlaying());
    const wxRect screen = wxDisplay().GetGeometry();
    const wxRect place = window->GetScreenRect();
    EXPECT_EQ(place.GetRight(), screen.GetRight());
    EXPECT_EQ(place.GetBottom(), screen.GetBottom() - 30);
    EXPECT_NE(wxWindow::FindFocus(), window) << "the window takes no focus";
    EXPECT_TRUE(server->IsBusy());
    EXPECT_EQ(m_tree->GetPort().GetItemOverlay(server->GetTreeItem()), 1);
    EXPECT_EQ(GetRunningThreadCount(), 1);
    const std::string shot = frametest::ScreenCapture(window, "progress-window");
    EXPECT_GT(frametest::DistinctColours(shot), 20u) << shot << " looks blank";

    wxWeakRef<wxDialog> alive(window);
    Press(*window, kStop);
    EXPECT_TRUE(frametest::PumpUntil([&] { return GetRunningThreadCount() == 0 && !alive; },
                                     std::chrono::seconds(10)))
        << GetRunningThreadCount() << " jobs, window " << (alive ? "still there" : "gone");
    frametest::Pump();
    EXPECT_FALSE(server->IsBusy());
    EXPECT_FALSE(server->IsBound());
    EXPECT_EQ(m_tree->GetPort().GetItemOverlay(server->GetTreeItem()), 0);
    EXPECT_EQ(ProgressWindow(), nullptr);
}

TEST_F(ProgressWindowTest, HideAndTheCloseBoxHideTheWindowWhileTheJobGoesOn)
{
    struct Way {
        const char* name;
        const wchar_t* profile;
        std::function<void(wxDialog&)> hide;
    };
    const Way ways[] = {
        {"Hide", kProfileNames[0], [](wxDialog& window) { Press(window, kHide); }},
        {"close box", kProfileNames[1], [](wxDialog& window) { window.Close(); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        wxDialog* window = OpenServer(way.profile);
        ASSERT_NE(window, nullptr) << "no progress window came up";
        CServerObject* server = Server(way.profile);
        ASSERT_NE(server, nullptr);
        wxWeakRef<wxDialog> alive(window);

        way.hide(*window);
        EXPECT_TRUE(frametest::PumpUntil([&] { return alive && !alive->IsShown(); }, std::chrono::seconds(5)));
        uitest::RunFor(500);
        ASSERT_TRUE(alive) << "the window is only hidden";
        EXPECT_FALSE(alive->IsShown());
        EXPECT_EQ(GetRunningThreadCount(), 1) << "the job goes on";
        EXPECT_TRUE(server->IsBusy());
        EXPECT_TRUE(alive->FindWindow(kStop)->IsEnabled());

        // Ended some other way, the job takes its hidden window with it.
        server->Abort();
        EXPECT_TRUE(frametest::PumpUntil([&] { return GetRunningThreadCount() == 0 && !alive; },
                                         std::chrono::seconds(10)));
        frametest::Pump();
        EXPECT_FALSE(server->IsBusy());
    }
}

} // namespace
