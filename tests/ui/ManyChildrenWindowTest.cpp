// A node with many more children than one inserted batch, opened in the
// main window: every child arrives once and in order, and with the
// ensure-visible option the last child is what the tree scrolled to.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "model/profiles/CAppConfig.h"
#include "model/entries/CChildrenFetchThread.h"
#include "model/nodes/CDataObject.h"
#include "model/entries/CLDAPObject.h"
#include "model/entries/CServerObject.h"
#include "tests/support/ChildrenDirectory.h"
#include "tests/ui/ChildrenWindowTest.h"

namespace {

const size_t kChildren = kChildBatchSize * 3 + 7;

std::wstring ChildName(size_t i)
{
    const std::string name = testsupport::ChildName(i);
    return std::wstring(name.begin(), name.end());
}

class ManyChildrenWindowTest : public ChildrenWindowTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        OpenChildrenWindow(L"many", kChildren);
        if (HasFatalFailure()) return;
    }
};

TEST_F(ManyChildrenWindowTest, EveryChildArrivesOnceInOrderAndTheLastIsShown)
{
    ASSERT_EQ(GetAppConfig().m_bEnsureVisible.load(), 1);
    auto& tree = m_tree->GetPort();
    platform::TreeItem server;
    platform::TreeItem root = tree.GetChildItem(platform::kTreeRoot);
    for (platform::TreeItem item = tree.GetChildItem(root); item && !server; item = tree.GetNextSiblingItem(item))
        if (dynamic_cast<CServerObject*>(static_cast<CDataObject*>(tree.GetItemData(item)))) server = item;
    ASSERT_TRUE(server);

    m_tree->ClickItem(server, false);
    auto* node = dynamic_cast<CLDAPObject*>(static_cast<CDataObject*>(tree.GetItemData(server)));
    ASSERT_NE(node, nullptr);
    ASSERT_TRUE(frametest::PumpUntil(
        [&] { return node->IsContentsFetched() && !node->IsBusy() && GetRunningThreadCount() == 0; },
        std::chrono::seconds(120)));
    frametest::Pump();

    size_t count = 0;
    platform::TreeItem last;
    for (platform::TreeItem child = tree.GetChildItem(server); child; child = tree.GetNextSiblingItem(child)) {
        if (count < kChildren) {
            EXPECT_EQ(tree.GetItemText(child), L"cn=" + ChildName(count)) << count;
        }
        ++count;
        last = child;
    }
    EXPECT_EQ(count, kChildren);
    ASSERT_TRUE(last);
    EXPECT_TRUE(m_tree->IsVisible(tree.IdOf(last)));
    EXPECT_FALSE(m_tree->IsVisible(tree.IdOf(tree.GetChildItem(server))));
}

} // namespace
