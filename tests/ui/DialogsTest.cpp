#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <memory>
#include <string>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/display.h>
#include <wx/stattext.h>

#include "jobs/CLDAPThread.h"
#include "platform/RegistryKey.h"
#include "shellcore/BalloonLayout.h"
#include "shellcore/FrameCommands.h"
#include "shellcore/TipOfTheDay.h"
#include "tests/support/ManualDispatcher.h"
#include "tests/support/RecordingDesktopLauncher.h"
#include "tests/support/TempHome.h"
#include "tests/ui/FrameTestSupport.h"
#include "ui/AppCommands.h"
#include "ui/CAboutDlg.h"
#include "ui/CArbMainFrame.h"
#include "ui/CBalloonHelp.h"
#include "ui/CSplashWnd.h"
#include "ui/CTipDlg.h"
#include "ui/CWaitOperationsDlg.h"
#include "widgets/UiResources.h"
#include "widgets/WxCommandIds.h"

namespace {

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Presses a button of a modal dialog once its loop runs.
void PressLater(wxDialog* dialog, int button)
{
    dialog->CallAfter([dialog, button] {
        wxCommandEvent press(wxEVT_BUTTON, button);
        press.SetEventObject(dialog->FindWindow(button));
        dialog->GetEventHandler()->ProcessEvent(press);
    });
}

class TipDialogTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        frametest::Prepare();
        m_path = m_home + "/Tips.tip";
        WriteFile(m_path, "; tips\nFirst tip.\nSecond tip.\nThird tip.\n");
    }
    std::string m_path;
};

TEST_F(TipDialogTest, WalksTheFileAndRemembersItsPlace)
{
    {
        CTipDlg tips(nullptr, m_path);
        EXPECT_EQ(tips.GetTip(), L"First tip.\n");
        EXPECT_TRUE(tips.FindWindow(1030)->IsEnabled());
        tips.Show();
        frametest::Pump();
        std::string shot = frametest::ScreenCapture(&tips, "tip-of-the-day");
        EXPECT_FALSE(shot.empty());
        tips.ShowNextTip();
        EXPECT_EQ(tips.GetTip(), L"Second tip.\n");
        tips.Hide();
    }
    CTipDlg again(nullptr, m_path);
    EXPECT_EQ(again.GetTip(), L"Third tip.\n") << "the next showing goes on after the last tip";
    again.ShowNextTip();
    EXPECT_EQ(again.GetTip(), L"First tip.\n") << "after the last tip comes the first";
}

TEST_F(TipDialogTest, NextThenCloseStoresTheStartUpSwitch)
{
    CTipDlg tips(nullptr, m_path);
    EXPECT_TRUE(tips.GetShowAtStartup());
    tips.CallAfter([&tips] {
        wxCommandEvent next(wxEVT_BUTTON, 1030);
        tips.GetEventHandler()->ProcessEvent(next);
        dynamic_cast<wxCheckBox*>(tips.FindWindow(1172))->SetValue(false);
        wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
        tips.GetEventHandler()->ProcessEvent(ok);
    });
    EXPECT_EQ(tips.ShowModal(), wxID_OK);
    EXPECT_EQ(tips.GetTip(), L"Second tip.\n");
    EXPECT_FALSE(CTipOfTheDay::ReadShowAtStartup());
}

TEST_F(TipDialogTest, WithoutTheFileNothingIsShown)
{
    CTipDlg tips(nullptr, m_home + "/missing.tip");
    EXPECT_FALSE(tips.FindWindow(1030)->IsEnabled());
    EXPECT_EQ(tips.ShowModal(), wxID_OK);
    EXPECT_FALSE(tips.IsShown());
}

TEST(WaitDialog, EndsWithZeroOnceNoWorkerIsLeft)
{
    frametest::Prepare();
    std::atomic<int> running{2};
    int aborts = 0;
    CWaitOperationsDlg wait(nullptr,
                            std::make_unique<CWaitForWorkers>([&] { return running.load(); }, [&] { ++aborts; }));
    wxString countAtStart;
    wait.CallAfter([&] {
        countAtStart = wait.GetCountText()->GetLabel();
        running = 1;
    });
    wxTimer later;
    later.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { running = 0; });
    later.StartOnce(400);
    EXPECT_EQ(wait.ShowModal(), 0);
    EXPECT_EQ(countAtStart, "2");
    EXPECT_EQ(aborts, 1);
    EXPECT_EQ(wait.GetGauge()->GetValue(), 2);
    EXPECT_EQ(wait.GetCountText()->GetLabel(), "0");
}

TEST(WaitDialog, CancelKeepsTheWorkersAskedAndReturnsCancel)
{
    frametest::Prepare();
    CWaitOperationsDlg wait(nullptr, std::make_unique<CWaitForWorkers>([] { return 3; }, [] {}));
    PressLater(&wait, 1032);
    EXPECT_EQ(wait.ShowModal(), wxID_CANCEL);
}

TEST(WaitDialog, TheBalloonWarnsOverTerminate)
{
    frametest::Prepare();
    CWaitOperationsDlg wait(nullptr, std::make_unique<CWaitForWorkers>([] { return 1; }, [] {}));
    wait.Show();
    uitest::Screenshot(wait, "wait-for-operations");
    wxWindow* button = wait.FindWindow(1);
    ASSERT_NE(button, nullptr);
    wxMouseEvent enter(wxEVT_ENTER_WINDOW);
    button->GetEventHandler()->ProcessEvent(enter);
    ASSERT_NE(wait.GetBalloon(), nullptr);
    EXPECT_EQ(wait.GetBalloon()->GetOptions() & (balloon::kCloseOnKeyPress | balloon::kDisableFadeOut),
              balloon::kCloseOnKeyPress | balloon::kDisableFadeOut);
    uitest::Screenshot(*wait.GetBalloon(), "balloon");
    wxMouseEvent leave(wxEVT_LEAVE_WINDOW);
    button->GetEventHandler()->ProcessEvent(leave);
    EXPECT_TRUE(frametest::PumpUntil([&] { return wait.GetBalloon() == nullptr; }));
    // Once per showing of the dialog.
    button->GetEventHandler()->ProcessEvent(enter);
    EXPECT_EQ(wait.GetBalloon(), nullptr);
    wait.Hide();
}

TEST(WaitDialog, TerminateEndsAtOnce)
{
    frametest::Prepare();
    CWaitOperationsDlg wait(nullptr, std::make_unique<CWaitForWorkers>([] { return 1; }, [] {}));
    bool terminated = false;
    wait.SetTerminate([&] {
        terminated = true;
        wait.EndModal(wxID_ABORT);
    });
    PressLater(&wait, 1);
    EXPECT_EQ(wait.ShowModal(), wxID_ABORT);
    EXPECT_TRUE(terminated);
}

// A worker that runs until it is asked to stop, and then only when let go.
class StubbornWorker : public CLDAPThread {
public:
    explicit StubbornWorker(std::atomic<bool>* release) : m_release(release) {}
    void DoWork() override
    {
        while (!(IsCancelled() && m_release->load()))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }

private:
    std::atomic<bool>* m_release;
};

class CloseWithWorkersTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        frametest::Prepare();
    }
    void TearDown() override
    {
        m_release = true;
        AbortAllThreads();
        WaitForAllThreads(std::chrono::seconds(20));
        TempHomeTest::TearDown();
    }
    void StartWorker()
    {
        auto worker = std::make_shared<StubbornWorker>(&m_release);
        ASSERT_TRUE(worker->CreateThread());
    }
    std::atomic<bool> m_release{false};
    std::shared_ptr<platform::ManualDispatcher> m_dispatcher = std::make_shared<platform::ManualDispatcher>();
    platform::DispatcherScope m_scope{m_dispatcher};
};

TEST_F(CloseWithWorkersTest, CancelInTheWaitKeepsTheWindowOpenAndTheWorkersEndingCloseIt)
{
    CArbMainFrame* frame = CreateMainFrame();
    ASSERT_NE(frame, nullptr);
    frame->Show();
    StartWorker();
    ASSERT_GT(GetRunningThreadCount(), 0);
    bool destroyed = false;
    frame->Bind(wxEVT_DESTROY, [&](wxWindowDestroyEvent& e) {
        if (e.GetEventObject() == frame)
            destroyed = true;
        e.Skip();
    });

    // Cancel: the window stays.
    frame->CallAfter([frame] {
        for (wxWindow* w : wxTopLevelWindows)
            if (auto* d = dynamic_cast<CWaitOperationsDlg*>(w))
                PressLater(d, 1032);
    });
    frame->Close();
    frametest::Pump();
    EXPECT_FALSE(destroyed);
    EXPECT_TRUE(frame->IsShown());

    // The worker ends while the dialog waits: the window closes.
    wxTimer releaseSoon;
    releaseSoon.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { m_release = true; });
    releaseSoon.StartOnce(300);
    frame->Close();
    EXPECT_TRUE(frametest::PumpUntil([&] { return destroyed; }));
}

TEST(Balloons, KeyPressClosesEveryBalloonWaitingForItAndTheyShareOneFilter)
{
    frametest::Prepare();
    wxFrame owner(nullptr, wxID_ANY, "owner");
    owner.Show();
    frametest::Pump();
    CBalloonHelp* a = CBalloonHelp::LaunchBalloon("One", "First balloon", wxPoint(900, 800), wxART_INFORMATION,
                                                  balloon::kCloseOnKeyPress | balloon::kDisableFade, &owner, "", 0);
    CBalloonHelp* b = CBalloonHelp::LaunchBalloon("Two", "Second balloon", wxPoint(100, 100), wxART_WARNING,
                                                  balloon::kCloseOnKeyPress | balloon::kDisableFade, &owner, "", 0);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(CBalloonHelp::KeyCloseCount(), 2u);
    EXPECT_EQ(a->GetLayout().quadrant, 2);
    EXPECT_EQ(b->GetLayout().quadrant, 1);
    wxWeakRef<CBalloonHelp> wa(a), wb(b);
    wxKeyEvent key(wxEVT_KEY_DOWN);
    key.SetEventObject(&owner);
    owner.GetEventHandler()->ProcessEvent(key);
    EXPECT_TRUE(frametest::PumpUntil([&] { return !wa && !wb; }));
    EXPECT_EQ(CBalloonHelp::KeyCloseCount(), 0u);
}

TEST(Balloons, TheTimeoutClosesABalloon)
{
    frametest::Prepare();
    wxFrame owner(nullptr, wxID_ANY, "owner");
    owner.Show();
    wxWeakRef<CBalloonHelp> b(CBalloonHelp::LaunchBalloon("Timed", "Goes by itself", wxPoint(400, 300), wxArtID(),
                                                          balloon::kDisableFade, &owner, "", 200));
    ASSERT_TRUE(b);
    EXPECT_TRUE(frametest::PumpUntil([&] { return !b; }));
}

TEST(Balloons, WithoutAParentThereIsNoBalloon)
{
    frametest::Prepare();
    wxWindow* top = wxTheApp->GetTopWindow();
    if (top)
        GTEST_SKIP() << "a top window exists";
    EXPECT_EQ(CBalloonHelp::LaunchBalloon("t", "x", wxPoint(10, 10), wxArtID(), 0, nullptr, "", 0), nullptr);
}

TEST(Splash, ShowsTheBitmapAndEndsAfterItsTime)
{
    frametest::Prepare();
    wxWeakRef<CSplashWnd> splash(new CSplashWnd(381, 1500));
    ASSERT_TRUE(splash->Show());
    frametest::Pump();
    // The whole bitmap on the screen, in its middle; the screen's own
    // picture of that place shows the drawing.
    const wxSize bitmap = ui::LoadBitmapResource("bitmap", 381).GetSize();
    EXPECT_EQ(bitmap, wxSize(440, 260));
    const wxRect place = splash->GetScreenRect();
    EXPECT_EQ(place.GetSize(), bitmap);
    const wxRect screen = wxDisplay(0u).GetGeometry();
    EXPECT_NEAR(place.x, screen.x + (screen.width - bitmap.x) / 2, 1);
    EXPECT_NEAR(place.y, screen.y + (screen.height - bitmap.y) / 2, 1);
    const std::string shot = frametest::ScreenCapture(splash.get(), "splash");
    ASSERT_FALSE(shot.empty());
    EXPECT_EQ(wxImage(wxString::FromUTF8(shot), wxBITMAP_TYPE_PNG).GetSize(), bitmap);
    EXPECT_GT(frametest::DistinctColours(shot), 20u) << shot << " looks blank";
    ASSERT_TRUE(splash) << "still there before its time";
    EXPECT_TRUE(frametest::PumpUntil([&] { return !splash; }));

    CSplashWnd* missing = new CSplashWnd(99999, 300);
    EXPECT_FALSE(missing->Show());
    delete missing;
}

TEST(Splash, AClickEndsIt)
{
    frametest::Prepare();
    wxWeakRef<CSplashWnd> splash(new CSplashWnd(381, 60000));
    ASSERT_TRUE(splash->Show());
    wxMouseEvent click(wxEVT_LEFT_DOWN);
    splash->GetEventHandler()->ProcessEvent(click);
    EXPECT_TRUE(frametest::PumpUntil([&] { return !splash; }));
}

TEST(AboutBox, ShowsTheBuildNumber)
{
    frametest::Prepare();
    CAboutDlg about(nullptr, 2100);
    auto* build = dynamic_cast<wxStaticText*>(about.FindWindow(1209));
    ASSERT_NE(build, nullptr);
    EXPECT_EQ(build->GetLabel(), "build: 2100");
    EXPECT_FALSE(about.FindWindow(1036)->IsShown());
    about.Show();
    frametest::ScreenCapture(&about, "about");
}

TEST(AppCommands, FeedbackMailCommandsOpenTheirMailtoLinks)
{
    frametest::Prepare();
    testsupport::RecordingDesktopLauncherScope desktop;
    wxEvtHandler app;
    SetAppVersion(AppVersion{2, 0, 0, 2100});
    ui::BindAppCommands(app);
    for (uint32_t id : {cmd::kBugReport, cmd::kSuggestion, cmd::kSupportRequest, cmd::kWebSite}) {
        wxCommandEvent e(wxEVT_MENU, ui::WxId(id));
        EXPECT_TRUE(app.ProcessEvent(e)) << id;
    }
    auto opened = desktop.Launcher().Get();
    ASSERT_EQ(opened.size(), 4u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(opened[i].target.rfind("mailto:", 0), 0u) << opened[i].target;
        EXPECT_NE(opened[i].target.find("build%202100"), std::string::npos) << opened[i].target;
        EXPECT_EQ(opened[i].target.find(' '), std::string::npos) << opened[i].target;
    }
    EXPECT_EQ(opened[3].target, ui::kWebSiteUrl);
}

} // namespace
