#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/HeadlessControls.h"

using platform::HeadlessUi;
using platform::kTreeRoot;
using platform::TreeInsert;
using platform::TreeItem;

namespace {
constexpr uint32_t kPumpTimeoutMs = 10000;
}

TEST(ControlPorts, GlobalsAreForwardersOverTheInstalledControls)
{
    HeadlessUi ui;
    auto tree = platform::GetTreeControl();
    auto list = platform::GetListControl();
    ASSERT_TRUE(tree && list);
    EXPECT_NE(static_cast<platform::TreePort*>(&ui.Tree()), tree.get());
    TreeInsert ins;
    ins.text = L"root";
    TreeItem root = tree->InsertItem(ins);  // on the UI thread: straight through
    EXPECT_EQ(ui.Tree().GetItemText(root), L"root");
    EXPECT_EQ(list->InsertItem(-1, platform::ListItem()), 0);
    EXPECT_EQ(ui.List().GetItemCount(), 1);

    // Putting the forwarder back does not wrap it again.
    auto previous = platform::SetTreeControl(tree);
    EXPECT_EQ(previous, tree);
    EXPECT_EQ(platform::GetTreeControl(), tree);
}

TEST(ControlPorts, ScopeRestoresWhatWasInstalled)
{
    EXPECT_EQ(platform::GetDispatcher(), nullptr);
    EXPECT_EQ(platform::GetTreeControl(), nullptr);
    {
        HeadlessUi ui;
        EXPECT_NE(platform::GetDispatcher(), nullptr);
        EXPECT_NE(platform::GetListControl(), nullptr);
    }
    EXPECT_EQ(platform::GetDispatcher(), nullptr);
    EXPECT_EQ(platform::GetTreeControl(), nullptr);
    EXPECT_EQ(platform::GetListControl(), nullptr);
}

TEST(ControlPorts, HeadlessControlsRefuseOtherThreads)
{
    HeadlessUi ui;
    std::thread worker([&] {
        EXPECT_THROW(ui.Tree().GetSelectedItem(), std::logic_error);
        EXPECT_THROW(ui.Tree().InsertItem(TreeInsert()), std::logic_error);
        EXPECT_THROW(ui.List().GetItemCount(), std::logic_error);
        EXPECT_THROW(ui.List().DeleteAllItems(), std::logic_error);
    });
    worker.join();
    EXPECT_EQ(ui.Tree().GetCount(), 0u);
}

TEST(ControlPorts, WorkerCallsRunOnTheUiThreadWhileTheWorkerWaits)
{
    HeadlessUi ui;
    int serverNode = 0, childNodes[3] = {};
    TreeInsert ins;
    ins.text = L"server";
    ins.data = &serverNode;
    TreeItem server = ui.Tree().InsertItem(ins);
    ui.Tree().SelectItem(server);

    std::atomic<bool> done{false};
    std::string failure;
    std::vector<TreeItem> made;
    std::thread job([&] {
        try {
            auto tree = platform::GetTreeControl();
            auto list = platform::GetListControl();
            // What a child fetch does: insert child items while it reads, mark
            // the parent, and fill the list when the parent is selected.
            for (int i = 0; i < 3; ++i) {
                TreeInsert child;
                child.parent = server;
                child.text = L"cn=" + std::to_wstring(i);
                child.data = &childNodes[i];
                made.push_back(tree->InsertItem(child));
            }
            tree->SetChildIndicator(server, 1);
            tree->SetItemOverlay(server, 1);
            tree->UpdateWindow();
            if (tree->GetSelectedItem() == server) {
                platform::ScopedUpdateLock lock(*list);
                for (TreeItem c = tree->GetChildItem(server); c; c = tree->GetNextSiblingItem(c)) {
                    platform::ListItem row;
                    row.text = tree->GetItemText(c);
                    row.data = tree->GetItemData(c);
                    list->InsertItem(-1, row);
                }
            }
            list->RedrawItems(0, 0);
        } catch (const std::exception& e) {
            failure = e.what();
        }
        done = true;
    });
    EXPECT_TRUE(ui.Dispatcher().PumpUntil([&] { return done.load(); }, kPumpTimeoutMs));
    job.join();
    EXPECT_EQ(failure, "");
    EXPECT_EQ(ui.Tree().Dump(), L"server (1) <1> *\n  cn=0\n  cn=1\n  cn=2\n");
    EXPECT_EQ(ui.Tree().UpdateWindowCount(), 1);
    ASSERT_EQ(ui.List().GetItemCount(), 3);
    EXPECT_EQ(ui.List().GetItemData(2), &childNodes[2]);
    EXPECT_EQ(ui.List().UpdateLockDepth(), 0);
    EXPECT_EQ(made.size(), 3u);
    EXPECT_EQ(ui.Tree().GetItemData(made[1]), &childNodes[1]);
}

TEST(ControlPorts, ManyWorkersAtOnce)
{
    HeadlessUi ui;
    constexpr int kWorkers = 4;
    constexpr int kRows = 200;
    std::atomic<int> finished{0};
    std::vector<std::thread> workers;
    for (int w = 0; w < kWorkers; ++w)
        workers.emplace_back([&, w] {
            auto list = platform::GetListControl();
            for (int i = 0; i < kRows; ++i) {
                platform::ListItem row;
                row.text = std::to_wstring(w) + L":" + std::to_wstring(i);
                row.data = reinterpret_cast<void*>(static_cast<uintptr_t>(w * kRows + i + 1));
                int at = list->InsertItem(-1, row);
                // The row is found where it was put, as nobody deletes rows here.
                if (list->GetItemData(at) != row.data)
                    ADD_FAILURE() << "row " << at << " changed under worker " << w;
            }
            ++finished;
        });
    EXPECT_TRUE(ui.Dispatcher().PumpUntil([&] { return finished.load() == kWorkers; }, kPumpTimeoutMs));
    for (std::thread& t : workers)
        t.join();
    EXPECT_EQ(ui.List().GetItemCount(), kWorkers * kRows);
    for (int w = 0; w < kWorkers; ++w) {
        int last = -1;
        for (int i = 0; i < kRows; ++i) {
            int at = ui.List().FindItemByData(reinterpret_cast<void*>(static_cast<uintptr_t>(w * kRows + i + 1)));
            EXPECT_GT(at, last) << "worker " << w << " rows out of order";
            last = at;
        }
    }
}

TEST(ControlPorts, FailuresOnTheUiThreadReachTheWorker)
{
    HeadlessUi ui;
    std::atomic<bool> done{false};
    bool threw = false;
    std::thread job([&] {
        auto tree = platform::GetTreeControl();
        // A comparator that throws, run by the UI thread inside the sort.
        TreeInsert a;
        a.text = L"a";
        tree->InsertItem(a);
        tree->InsertItem(a);
        try {
            tree->SortChildren(kTreeRoot, [](void*, void*) -> int { throw std::runtime_error("compare"); });
        } catch (const std::runtime_error&) {
            threw = true;
        }
        done = true;
    });
    EXPECT_TRUE(ui.Dispatcher().PumpUntil([&] { return done.load(); }, kPumpTimeoutMs));
    job.join();
    EXPECT_TRUE(threw);
    EXPECT_EQ(ui.Tree().GetCount(), 2u);
}

TEST(ControlPorts, WorkerBlockedOnAClosingUiIsReleased)
{
    std::atomic<bool> closedSeen{false};
    std::thread job;
    {
        HeadlessUi ui;
        auto tree = platform::GetTreeControl();
        job = std::thread([&, tree] {
            try {
                tree->GetRootItem();
            } catch (const platform::DispatcherClosed&) {
                closedSeen = true;
            }
        });
        while (ui.Dispatcher().PendingCount() == 0)
            std::this_thread::yield();
    }
    job.join();
    EXPECT_TRUE(closedSeen.load());
}
