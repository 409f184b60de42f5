#include "model/nodes/CTreeWalkThread.h"

#include <chrono>
#include <thread>

#include "model/nodes/CDataObject.h"
#include "model/ports/ResourceText.h"
#include "model/nodes/TreeViewOperations.h"
#include "model/ports/UiThread.h"

namespace {

constexpr unsigned kStrWaiting = 441;
constexpr auto kLookInterval = std::chrono::milliseconds(200);
constexpr auto kCancelCheck = std::chrono::milliseconds(20);

std::shared_ptr<platform::TreePort> Tree()
{
    return platform::GetTreeControl();
}

}  // namespace

CTreeWalkThread::CTreeWalkThread(CDataObject* node, std::unique_ptr<CProgressDlg> progress)
    : CLDAPOperationThread(node, std::move(progress))
{
    if (node)
        node->SetStatusText(LoadResourceText(kStrWaiting));
}

CDataObject* CTreeWalkThread::Node() const
{
    return static_cast<CDataObject*>(GetNode());
}

void CTreeWalkThread::MarkSubtree(platform::TreeItem item)
{
    std::shared_ptr<platform::TreePort> tree = Tree();
    if (!tree || !item)
        return;
    for (platform::TreeItem child = tree->GetChildItem(item); child; child = tree->GetNextSiblingItem(child)) {
        if (tree->ItemHasChildren(child))
            MarkSubtree(child);
        CDataObject* node = GetTreeItemObject(child);
        if (!node)
            continue;
        if (node->IsBusy())
            node->Abort();
        node->SetJobBlock(m_block);
    }
}

bool CTreeWalkThread::IsSubtreeBusy(platform::TreeItem item) const
{
    std::shared_ptr<platform::TreePort> tree = Tree();
    if (!tree || !item)
        return false;
    for (platform::TreeItem child = tree->GetChildItem(item); child; child = tree->GetNextSiblingItem(child)) {
        if (tree->ItemHasChildren(child) && IsSubtreeBusy(child))
            return true;
        CDataObject* node = GetTreeItemObject(child);
        if (node && node->IsBusy())
            return true;
    }
    return false;
}

void CTreeWalkThread::Walk()
{
    // One look: mark, then tell whether to wait. False when the node has
    // gone or the user interface has closed.
    bool busy = false;
    auto look = [&] {
        busy = false;
        return RunOnUiThread([&] {
            CDataObject* node = Node();
            if (!node)
                return;
            MarkSubtree(node->GetTreeItem());
            busy = IsSubtreeBusy(node->GetTreeItem());
        });
    };
    if (!look())
        ThrowIfBreak();
    while (busy) {
        // The wait is a safe point: a cancel ends the walk here.
        SignalDone();
        for (auto waited = std::chrono::milliseconds(0); waited < kLookInterval && !IsCancelled();
             waited += kCancelCheck)
            std::this_thread::sleep_for(kCancelCheck);
        CheckCancelled(nullptr, true);
        ResetDone();
        if (!look())
            ThrowIfBreak();
    }
}
