#include "model/nodes/CTreeWalkThread.h"

#include <chrono>
#include <thread>

#include "model/nodes/CDataObject.h"
#include "model/ports/ResourceText.h"
#include "model/ports/UiThread.h"

namespace {

constexpr unsigned kStrWaiting = 441;
constexpr auto kLookInterval = std::chrono::milliseconds(200);
constexpr auto kCancelCheck = std::chrono::milliseconds(20);
constexpr auto kSlice = std::chrono::milliseconds(20);

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
    for (platform::TreeItem child = tree->GetChildItem(item); child; child = tree->GetNextSiblingItem(child))
        MarkChild(*tree, child);
}

void CTreeWalkThread::MarkChild(platform::TreePort& tree, platform::TreeItem child)
{
    if (tree.ItemHasChildren(child))
        MarkSubtree(child);
    auto* node = static_cast<CDataObject*>(tree.GetItemData(child));
    if (!node)
        return;
    if (node->IsBusy())
        node->Abort();
    node->SetJobBlock(m_block);
}

bool CTreeWalkThread::LookAtSlice(platform::TreeItem& next, bool& busy)
{
    std::shared_ptr<platform::TreePort> tree = Tree();
    CDataObject* node = Node();
    if (!tree || !node)
        return false;
    const platform::TreeItem item = node->GetTreeItem();
    // The child to go on from went since the last slice: look again from the first.
    if (next && tree->GetParentItem(next) != item) {
        next = platform::TreeItem();
        busy = false;
    }
    platform::TreeItem child = next ? next : tree->GetChildItem(item);
    const auto end = std::chrono::steady_clock::now() + kSlice;
    for (unsigned count = 0; child; child = tree->GetNextSiblingItem(child)) {
        if (++count % 64 == 0 && std::chrono::steady_clock::now() >= end)
            break;
        MarkChild(*tree, child);
        if (tree->ItemHasChildren(child) && IsSubtreeBusy(child))
            busy = true;
        if (auto* childNode = static_cast<CDataObject*>(tree->GetItemData(child)); childNode && childNode->IsBusy())
            busy = true;
    }
    next = child;
    return true;
}

bool CTreeWalkThread::IsSubtreeBusy(platform::TreeItem item) const
{
    std::shared_ptr<platform::TreePort> tree = Tree();
    if (!tree || !item)
        return false;
    for (platform::TreeItem child = tree->GetChildItem(item); child; child = tree->GetNextSiblingItem(child)) {
        if (tree->ItemHasChildren(child) && IsSubtreeBusy(child))
            return true;
        auto* node = static_cast<CDataObject*>(tree->GetItemData(child));
        if (node && node->IsBusy())
            return true;
    }
    return false;
}

void CTreeWalkThread::Walk()
{
    // One look: mark, then tell whether to wait. False when the user
    // interface has closed.
    bool busy = false;
    auto look = [&] {
        busy = false;
        platform::TreeItem next;
        bool more = true;
        while (more) {
            if (!RunOnUiThread([&] { more = LookAtSlice(next, busy) && next; }))
                return false;
        }
        return true;
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
