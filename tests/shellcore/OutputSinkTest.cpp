#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/LogStream.h"
#include "platform/Dispatcher.h"
#include "shellcore/COutputBookmarks.h"
#include "shellcore/OutputSink.h"
#include "tests/support/ManualDispatcher.h"

namespace {

// Stands in for the output list's window.
class LineReceiver : public platform::MessageReceiver {
public:
    void OnMessage(platform::MessageId id, uintptr_t, intptr_t, std::unique_ptr<platform::MessagePayload> payload) override
    {
        if (id != platform::WM_OUTPUT_LINE)
            return;
        if (auto* line = platform::PayloadValue<std::wstring>(payload))
            lines.push_back(*line);
    }
    std::vector<std::wstring> lines;
};

class OutputSinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearQueuedOutputLines();
        AddOutputSink();
    }
    void TearDown() override
    {
        RemoveOutputSink();
        platform::SetAppWindow(platform::AppWindow::OutputList, platform::kNoReceiver);
        ClearQueuedOutputLines();
    }

    std::shared_ptr<platform::ManualDispatcher> m_dispatcher = std::make_shared<platform::ManualDispatcher>();
    platform::DispatcherScope m_scope{m_dispatcher};
};

TEST_F(OutputSinkTest, LinesBeforeTheWindowWaitAndArriveInOrderAheadOfTheNextLine)
{
    LogLine(std::wstring(L"one"));
    LogLine(std::wstring(L"two"));
    EXPECT_EQ(GetQueuedOutputLines(), (std::vector<std::wstring>{L"one", L"two"}));

    LineReceiver list;
    platform::ReceiverRegistration reg(list);
    platform::SetAppWindow(platform::AppWindow::OutputList, reg.Id());
    m_dispatcher->Pump();
    EXPECT_TRUE(list.lines.empty()) << "the queue goes with the next line";

    LogLine(std::wstring(L"three"));
    m_dispatcher->Pump();
    EXPECT_EQ(list.lines, (std::vector<std::wstring>{L"one", L"two", L"three"}));
    EXPECT_TRUE(GetQueuedOutputLines().empty());
}

TEST_F(OutputSinkTest, AfterTheWindowWentLinesAreKeptNotPostedToIt)
{
    auto list = std::make_unique<LineReceiver>();
    auto reg = std::make_unique<platform::ReceiverRegistration>(*list);
    platform::SetAppWindow(platform::AppWindow::OutputList, reg->Id());
    LogLine(std::wstring(L"shown"));
    m_dispatcher->Pump();
    EXPECT_EQ(list->lines, (std::vector<std::wstring>{L"shown"}));

    // The window goes while its id is still named: nothing may be lost or posted to it.
    reg.reset();
    list.reset();
    LogLine(std::wstring(L"later"));
    EXPECT_EQ(GetQueuedOutputLines(), (std::vector<std::wstring>{L"later"}));
}

TEST_F(OutputSinkTest, ARemovedSinkReceivesNothing)
{
    RemoveOutputSink();
    LogLine(std::wstring(L"not for the window"));
    EXPECT_TRUE(GetQueuedOutputLines().empty());
}

TEST_F(OutputSinkTest, LinesFromManyThreadsAllArriveWhole)
{
    LineReceiver list;
    platform::ReceiverRegistration reg(list);
    platform::SetAppWindow(platform::AppWindow::OutputList, reg.Id());
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([t] {
            for (int i = 0; i < 50; ++i)
                LogLine(L"thread " + std::to_wstring(t) + L" line " + std::to_wstring(i));
        });
    // Removing and adding the sink meanwhile takes the log lock like the writers.
    for (int i = 0; i < 20; ++i) {
        RemoveOutputSink();
        AddOutputSink();
    }
    for (auto& w : writers)
        w.join();
    m_dispatcher->Pump();
    for (const std::wstring& line : list.lines)
        EXPECT_EQ(line.rfind(L"thread ", 0), 0u) << std::string(line.begin(), line.end());
    EXPECT_LE(list.lines.size(), 200u);
}

TEST(OutputBookmarks, NextAndPreviousWrapAround)
{
    COutputBookmarks marks;
    EXPECT_EQ(marks.Next(), -1);
    EXPECT_EQ(marks.Prev(), -1);
    marks.Toggle(3);
    marks.Toggle(7);
    EXPECT_EQ(marks.Next(), 3) << "from no position: the smallest";
    EXPECT_EQ(marks.Next(), 7);
    EXPECT_EQ(marks.Next(), 3) << "past the greatest: the smallest";
    EXPECT_EQ(marks.Next(), 7);
    EXPECT_EQ(marks.Prev(), 3) << "from 7 back to 3";
    EXPECT_EQ(marks.Prev(), 7) << "before the smallest: the greatest";
    EXPECT_EQ(marks.Next(), 3) << "position 7: next wraps to 3";
}

TEST(OutputBookmarks, ToggleTwiceRemovesAndClearForgetsThePosition)
{
    COutputBookmarks marks;
    marks.Toggle(4);
    EXPECT_TRUE(marks.IsBookmarked(4));
    marks.Toggle(4);
    EXPECT_FALSE(marks.IsBookmarked(4));
    EXPECT_TRUE(marks.IsEmpty());
    marks.Toggle(1);
    marks.Toggle(9);
    marks.Next();
    marks.Clear();
    EXPECT_TRUE(marks.IsEmpty());
    EXPECT_EQ(marks.GetPosition(), -1);
}

} // namespace
