// A node with ten thousand children opened in the main window: the list
// gets its rows while the event loop keeps running (a timer on the loop sees
// the list part filled, or never waits long), and in the end holds each child once. A refill
// started meanwhile drops what the first fill had not yet added.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <set>
#include <string>

#include <wx/timer.h>

#include "jobs/CLDAPThread.h"
#include "model/nodes/CDataObject.h"
#include "model/entries/CServerObject.h"
#include "tests/support/ChildrenDirectory.h"
#include "tests/ui/ChildrenWindowTest.h"
#include "ui/CArbListView.h"
#include "ui/CArbTreeView.h"

namespace {

using testsupport::ChildName;
constexpr size_t kChildren = 10000;

// The row counts the list shows at each tick of a timer on the event loop,
// and the longest wait between two ticks.
class RowWatch : public wxTimer {
public:
    void Notify() override
    {
        const auto now = std::chrono::steady_clock::now();
        if (m_last != std::chrono::steady_clock::time_point())
            longestGap = std::max(longestGap, now - m_last);
        m_last = now;
        if (CArbListView* list = CArbListView::Get())
            counts.insert(static_cast<size_t>(list->GetItemCount()));
    }
    std::set<size_t> counts;
    std::chrono::steady_clock::duration longestGap{};

private:
    std::chrono::steady_clock::time_point m_last;
};

class LongListFillWindowTest : public ChildrenWindowTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        OpenChildrenWindow(L"fill", kChildren);
        if (HasFatalFailure()) return;
        m_list = CArbListView::Get();
        ASSERT_NE(m_list, nullptr);
        platform::TreePort& tree = m_tree->GetPort();
        platform::TreeItem root = tree.GetChildItem(platform::kTreeRoot);
        for (platform::TreeItem item = tree.GetChildItem(root); item && !m_serverItem;
             item = tree.GetNextSiblingItem(item))
            if (dynamic_cast<CServerObject*>(static_cast<CDataObject*>(tree.GetItemData(item))))
                m_serverItem = item;
        ASSERT_TRUE(m_serverItem);
        m_serverNode = static_cast<CDataObject*>(tree.GetItemData(m_serverItem));
    }

    bool AllRowsIn()
    {
        return static_cast<size_t>(m_list->GetItemCount()) >= kChildren && GetRunningThreadCount() == 0 &&
               !m_serverNode->IsBusy();
    }

    // The children's rows, each name once; false when one is missing or doubled.
    bool EachChildOnce()
    {
        std::set<std::wstring> names;
        size_t children = 0;
        for (int row = 0; row < m_list->GetItemCount(); ++row) {
            // A child's row: its naming attribute and value.
            const std::wstring name = m_list->GetItemText(row, 1).ToStdWstring();
            if (m_list->GetItemText(row, 0) != "cn" || name.rfind(L"child", 0) != 0)
                continue;
            ++children;
            names.insert(name);
        }
        return children == kChildren && names.size() == kChildren;
    }

    CArbListView* m_list = nullptr;
    platform::TreeItem m_serverItem;
    CDataObject* m_serverNode = nullptr;
};

TEST_F(LongListFillWindowTest, TheEventLoopRunsWhileTheRowsFillAndEachChildGetsOneRow)
{
    RowWatch watch;
    watch.Start(5);
    m_tree->ClickItem(m_serverItem, false);
    ASSERT_TRUE(uitest::RunUntil([&] { return AllRowsIn(); }, 120000));
    uitest::RunFor(100);
    watch.Stop();

    // Some tick came between the first rows and the last.
    size_t partial = 0;
    for (size_t count : watch.counts)
        if (count > 0 && count < kChildren)
            ++partial;
    // A fill shorter than a slice of the loop is seen whole; a longer one in parts.
    EXPECT_TRUE(partial > 0 || watch.longestGap < std::chrono::milliseconds(500))
        << "the list filled in one step of the event loop";
    EXPECT_TRUE(EachChildOnce());
}

TEST_F(LongListFillWindowTest, AShowStartedDuringAFillLeavesEachChildOnce)
{
    m_tree->ClickItem(m_serverItem, false);
    // Once the fill is under way, the node shows its contents again.
    ASSERT_TRUE(uitest::RunUntil(
        [&] { return m_list->GetItemCount() > 0 && GetRunningThreadCount() == 0 && !m_serverNode->IsBusy(); },
        120000));
    m_serverNode->ShowContents(0);
    ASSERT_TRUE(uitest::RunUntil([&] { return AllRowsIn(); }, 120000));
    uitest::RunFor(300);
    EXPECT_TRUE(EachChildOnce());
}

} // namespace
