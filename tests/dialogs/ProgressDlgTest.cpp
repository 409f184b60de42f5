// The progress window on the toolkit driven as a job drives it: texts and
// animation changes from a worker reach the window without the worker
// waiting, and the object may be deleted on a worker (a post that could not
// be delivered frees it there) while its window goes on the user-interface
// thread.

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include <wx/animate.h>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/image.h>
#include <wx/weakref.h>

#include "dialogs/WxProgressDlg.h"
#include "platform/Dispatcher.h"
#include "platform/ResourceLibrary.h"
#include "tests/dialogs/PumpedDispatcher.h"
#include "tests/support/gui/UiTestSupport.h"
#include "widgets/UiResources.h"

namespace {

class ProgressDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!platform::ResourceLibrary::Current().IsLoaded())
            ASSERT_TRUE(platform::ResourceLibrary::Current().LoadDefault());
        ui::InitUiResources();
    }

    static wxDialog* Window() { return uitest::FindDialog("dialog196"); }

    // The toolkit's loop delivers the dispatcher's work, as in the program.
    PumpedDispatcher m_dispatcher;
};

TEST_F(ProgressDlgTest, EveryJobsAnimationIsInTheResourceLibrary)
{
    // Bind, copy and move, LDIF export.
    for (unsigned id : {218u, 198u, 368u}) {
        const wxString path = ui::ResourcePath("animation", id, "gif");
        wxAnimation animation;
        EXPECT_TRUE(animation.LoadFile(path)) << id;
        EXPECT_EQ(animation.GetSize(), wxSize(48, 48)) << id;
        EXPECT_GT(wxImage::GetImageCount(path, wxBITMAP_TYPE_GIF), 1) << id;
    }
}

TEST_F(ProgressDlgTest, AWorkersTextsShowWithoutWaitingAndAWorkerMayDeleteIt)
{
    std::unique_ptr<CProgressDlg> progress = MakeWxProgressDlg();
    ASSERT_TRUE(progress->ShowStatus(L"Copy Entries", L"Copying & pasting", 198, nullptr));
    progress->PositionBottomRight();
    wxDialog* window = Window();
    ASSERT_NE(window, nullptr);
    wxWeakRef<wxDialog> alive(window);
    EXPECT_TRUE(uitest::RunUntil([&] { return window->IsShownOnScreen(); }, 5000));
    EXPECT_EQ(window->GetTitle(), "Copy Entries");
    EXPECT_EQ(uitest::LabelOf(*window, CProgressDlg::kMainTextId), "Copying & pasting") << "shown as given, no mnemonic";
    auto* animation = dynamic_cast<wxAnimationCtrl*>(window->FindWindow(CProgressDlg::kAnimationId));
    ASSERT_NE(animation, nullptr);
    EXPECT_TRUE(animation->IsPlaying());

    // The worker never waits for the user-interface thread, which runs
    // nothing meanwhile: only the last text is shown once it does.
    std::thread worker([&] {
        for (int i = 0; i < 500; ++i)
            progress->SetStatusText(L"Create: cn=" + std::to_wstring(i));
        progress->SetMainText(L"Moving");
        progress->StopAnimation();
    });
    worker.join();
    EXPECT_TRUE(uitest::RunUntil([&] { return uitest::LabelOf(*window, CProgressDlg::kStatusTextId) == "Create: cn=499"; }, 5000))
        << uitest::LabelOf(*window, CProgressDlg::kStatusTextId);
    EXPECT_EQ(uitest::LabelOf(*window, CProgressDlg::kMainTextId), "Moving");
    EXPECT_FALSE(animation->IsPlaying());
    std::thread([&] { progress->SetAnimation(368); }).join();
    EXPECT_TRUE(uitest::RunUntil([&] { return animation->IsPlaying(); }, 5000));

    // Stop without a node only disables the button.
    progress->OnStop();
    EXPECT_FALSE(window->FindWindow(CProgressDlg::kStopId)->IsEnabled());

    // Deleted on a worker: the window goes on this thread.
    std::atomic<bool> deleted{false};
    std::thread deleter([&] {
        progress.reset();
        deleted = true;
    });
    EXPECT_TRUE(uitest::RunUntil([&] {
        wxTheApp->ProcessIdle();
        return deleted && !alive;
    }, 5000));
    deleter.join();
    EXPECT_EQ(Window(), nullptr);
}

} // namespace
