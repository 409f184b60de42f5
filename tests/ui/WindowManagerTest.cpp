#include <gtest/gtest.h>

#include <string>

#include <wx/splitter.h>

#include "dialogcore/MainFrameLayout.h"
#include "dialogcore/WindowPlacementText.h"
#include "shellcore/OutputSink.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/UiTestSupport.h"
#include "tests/ui/FrameTestSupport.h"
#include "ui/CArbMainFrame.h"

// The main window under a window manager (the test runs with one on its
// display): the manager places and sizes a window as it maps it, after the
// program asked for its kept place.
namespace {

class WindowManagerTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        frametest::Prepare();
        ClearQueuedOutputLines();
        AddOutputSink();
        ASSERT_TRUE(uitest::RunUntil([] { return uitest::WindowManagerRuns(); }, 20000))
            << "no window manager on the display";
    }
    void TearDown() override
    {
        CloseFrame();
        RemoveOutputSink();
        ClearQueuedOutputLines();
        TempHomeTest::TearDown();
    }

    // Shown and settled: mapped, framed and no longer moved by the manager.
    CArbMainFrame* OpenFrame()
    {
        m_frame = CreateMainFrame();
        if (!m_frame)
            return nullptr;
        m_frame->Show();
        frametest::PumpUntil([this] { return m_frame->IsShownOnScreen(); });
        wxRect last;
        int stable = 0;
        frametest::PumpUntil([&] {
            uitest::SyncWithDisplay();
            const wxRect now = m_frame->GetRect();
            stable = now == last ? stable + 1 : 0;
            last = now;
            return stable >= 10;
        });
        return m_frame;
    }

    void CloseFrame()
    {
        if (!m_frame)
            return;
        m_frame->Destroy();
        m_frame = nullptr;
        frametest::Pump();
    }

    CArbMainFrame* m_frame = nullptr;
};

TEST_F(WindowManagerTest, TheKeptPlaceAndSplitterComeBackThoughTheManagerPlacesTheWindow)
{
    struct Kept {
        const wchar_t* placement;
        wxRect place;
        int splitter;
    };
    const Kept cases[] = {
        {L"100,120,1102,865,1,0", wxRect(100, 120, 1002, 745), 296},
        {L"37,64,837,664,1,0", wxRect(37, 64, 800, 600), 410},
    };
    for (const Kept& kept : cases) {
        SCOPED_TRACE(kept.splitter);
        ASSERT_TRUE(WriteWindowPlacementText(kMainFrameSection, kept.placement));
        MainFrameLayout layout;
        layout.splitterPosition = kept.splitter;
        ASSERT_TRUE(SaveMainFrameLayout(layout));

        ASSERT_NE(OpenFrame(), nullptr);
        uitest::Screenshot(*m_frame, "window-manager-kept-" + std::to_string(kept.splitter));
        EXPECT_EQ(m_frame->GetRect(), kept.place);
        EXPECT_EQ(m_frame->GetSplitter()->GetSashPosition(), kept.splitter);

        // What it keeps at its end comes back as it was.
        CloseFrame();
        ASSERT_NE(OpenFrame(), nullptr);
        EXPECT_EQ(m_frame->GetRect(), kept.place);
        EXPECT_EQ(m_frame->GetSplitter()->GetSashPosition(), kept.splitter);
        CloseFrame();
    }
}

} // namespace
