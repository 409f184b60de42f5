#include "model/nodes/ListViewOperations.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <unordered_set>

#include "jobs/CProgressDlg.h"
#include "model/nodes/CDataObject.h"
#include "model/nodes/ListSorting.h"
#include "model/ports/NodeRegistry.h"
#include "model/nodes/TreeViewOperations.h"
#include "platform/ControlPorts.h"
#include "platform/FreedMemory.h"
#include "platform/Messages.h"

namespace {

// A fill this long or shorter runs at once; a longer one gives the event
// loop a turn after each slice of about kSliceTime.
constexpr size_t kFillAtOnce = 1000;
constexpr std::chrono::milliseconds kSliceTime(50);
// The first slice runs in the call that started the fill, after whatever
// that call did before (a big node's end of fetch): a shorter one.
constexpr std::chrono::milliseconds kFirstSliceTime(10);

// The one fill in progress (the list view is single). Nodes may go while
// the event loop runs: the owner is kept by id, and the nodes freed since
// the fill began are noted (NoteNodeGone), so that their rows are skipped
// without an id taken of each node first (a million of them).
struct RowFill {
    NodeId owner = 0;
    std::vector<void*> nodes;  // as the tree's item data (CDataObject*): a long list is not copied
    size_t next = 0;
    std::function<void(CDataObject&)> done;
};

RowFill g_fill;
// While a fill runs: the addresses of the nodes freed since it began (a new
// node may take one; the fill's node at that address is gone all the same).
// Nodes may be freed on any thread.
std::atomic<bool> g_filling{false};
std::atomic<bool> g_anyGone{false};
std::mutex g_goneLock;
std::unordered_set<const CDataObject*> g_gone;

void ResetFill()
{
    g_fill = RowFill();
    g_filling = false;
    std::lock_guard<std::mutex> lock(g_goneLock);
    g_gone.clear();
    g_anyGone = false;
}

// The registry's observer of nodes freed.
void NoteNodeGone(const CDataObject* node)
{
    if (!g_filling.load(std::memory_order_acquire))
        return;
    std::lock_guard<std::mutex> lock(g_goneLock);
    g_gone.insert(node);
    g_anyGone = true;
}

bool IsGone(const CDataObject* node)
{
    if (!g_anyGone.load(std::memory_order_acquire))
        return false;
    std::lock_guard<std::mutex> lock(g_goneLock);
    return g_gone.count(node) != 0;
}

// Appends the next slice; false when the fill is over (finished or dropped).
bool AppendSlice(bool sliced, std::chrono::milliseconds budget = kSliceTime)
{
    CDataObject* owner = NodeRegistry::Find(g_fill.owner);
    std::shared_ptr<platform::ListPort> list = platform::GetListControl();
    if (!owner || !owner->IsCurrent() || !list) {
        ResetFill();
        return false;
    }
    {
        platform::ScopedUpdateLock lock(*list);
        const auto end = std::chrono::steady_clock::now() + budget;
        while (g_fill.next < g_fill.nodes.size()) {
            auto* node = static_cast<CDataObject*>(g_fill.nodes[g_fill.next]);
            if (node && !IsGone(node))
                list->InsertItem(-1, node->FillListItem());
            ++g_fill.next;
            if (sliced && (g_fill.next % 64) == 0 && std::chrono::steady_clock::now() >= end)
                return true;
        }
    }
    RowFill fill = std::move(g_fill);
    ResetFill();
    if (fill.done)
        fill.done(*owner);
    return false;
}

platform::ReceiverId ListWindow()
{
    return platform::GetAppWindow(platform::AppWindow::ListView);
}

void DropFill()
{
    if (g_fill.owner)
        platform::KillTimer(ListWindow(), platform::kListFillTimer);
    ResetFill();
}

// A timer, not a posted message: posted messages run before the event loop
// gets to input, painting and timers.
void ContinueFill(std::chrono::milliseconds budget = kSliceTime)
{
    if (g_fill.owner && AppendSlice(true, budget)) {
        if (platform::SetTimer(ListWindow(), platform::kListFillTimer, 1))
            return;
        while (AppendSlice(false)) {
        }
    }
    platform::KillTimer(ListWindow(), platform::kListFillTimer);
}

void StartFill(CDataObject& owner, std::vector<void*> nodes, std::function<void(CDataObject& owner)> done)
{
    DropFill();
    const bool atOnce = nodes.size() <= kFillAtOnce;
    g_fill.owner = owner.GetNodeId();
    g_fill.nodes = std::move(nodes);
    g_fill.done = std::move(done);
    NodeRegistry::SetRemovalObserver(&NoteNodeGone);
    g_filling = true;
    if (atOnce)
        AppendSlice(false);
    else
        ContinueFill(kFirstSliceTime);
}

}  // namespace

void FillRows(CDataObject& owner, const std::vector<CDataObject*>& nodes, std::function<void(CDataObject& owner)> done)
{
    StartFill(owner, std::vector<void*>(nodes.begin(), nodes.end()), std::move(done));
}

void RefillChildRows(CDataObject& owner, std::function<void(CDataObject& owner)> done)
{
    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    std::vector<void*> nodes;
    if (tree && owner.GetTreeItem())
        nodes = tree->GetChildrenData(owner.GetTreeItem());
    nodes.erase(std::remove(nodes.begin(), nodes.end(), nullptr), nodes.end());
    std::shared_ptr<platform::ListPort> list = platform::GetListControl();
    const size_t rows = list ? static_cast<size_t>(list->GetItemCount()) : 0;
    size_t shown = 0;
    while (shown < nodes.size() && shown < rows && list->GetItemData(static_cast<int>(shown)) == nodes[shown])
        ++shown;
    if (shown == 0) {
        RemoveAllRows();
        StartFill(owner, std::move(nodes), std::move(done));
        return;
    }
    DropFill();
    for (size_t row = rows; row > shown; --row)
        list->DeleteItem(static_cast<int>(row - 1));
    list->SetItemState(-1, 0, platform::kListSelected | platform::kListFocused);
    nodes.erase(nodes.begin(), nodes.begin() + static_cast<std::ptrdiff_t>(shown));
    StartFill(owner, std::move(nodes), std::move(done));
}

std::wstring ListColumnText(void* data, int column)
{
    const auto* node = static_cast<const CDataObject*>(data);
    if (!node)
        return std::wstring();
    switch (column) {
    case 0: return node->GetCaption();
    case 1: return node->GetValueText();
    case 2: return node->GetTypeName();
    case 3: return node->GetSizeText();
    default: return std::wstring();
    }
}

std::wstring ListLabelText(void* data)
{
    const auto* node = static_cast<const CDataObject*>(data);
    if (!node)
        return std::wstring();
    const int kind = node->GetType();
    return kind == kNodeEntry || kind == kNodeTeamMember ? node->GetDisplayName() : node->GetCaption();
}

int UpdateRowText(CDataObject& node, int row)
{
    std::shared_ptr<platform::ListPort> list = platform::GetListControl();
    if (!list)
        return -1;
    int index = list->InsertItem(row, node.FillListItem());
    if (CDataObject* selected = GetSelectedTreeObject())
        selected->HideProgress();
    return index;
}

void RemoveAllRows()
{
    DropFill();
    if (std::shared_ptr<platform::ListPort> list = platform::GetListControl())
        list->DeleteAllItems();
}

void FollowTreeOrder(CDataObject& parent, platform::SortDirection direction)
{
    if (!parent.IsCurrent())
        return;
    if (std::shared_ptr<platform::ListViewPort> view = platform::GetListViewPort())
        view->TakeSortDirection(direction);
    OrderRowsAsTree(parent);
    SortRefilledList(0, direction == platform::SortDirection::Ascending);
}

int FindObjectRow(CDataObject& node)
{
    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    std::shared_ptr<platform::ListPort> list = platform::GetListControl();
    platform::TreeItem item = node.GetTreeItem();
    if (!tree || !list || !item)
        return -1;
    platform::TreeItem parent = tree->GetParentItem(item);
    if (!parent || parent != tree->GetSelectedItem())
        return -1;
    return list->FindItemByData(node.GetItemData());
}

void SelectSingleItem(int row, bool ensureVisible)
{
    std::shared_ptr<platform::ListPort> list = platform::GetListControl();
    if (!list)
        return;
    const uint32_t mask = platform::kListSelected | platform::kListFocused;
    list->SetItemState(-1, 0, mask);
    list->SetItemState(row, mask, mask);
    if (ensureVisible)
        list->EnsureVisible(row);
}

bool HandleListViewMessage(platform::MessageId id, uintptr_t wParam, intptr_t lParam,
                           std::unique_ptr<platform::MessagePayload>& payload)
{
    switch (id) {
    case platform::WM_WORKER_DONE:
        HandleWorkerDone(std::move(payload));
        return true;
    case platform::WM_WORKER_CALL1:
    case platform::WM_WORKER_CALL2:
    case platform::WM_WORKER_CALL3:
        break;
    case platform::WM_TIMER:
        if (wParam != platform::kListFillTimer)
            return false;
        ContinueFill();
        return true;
    default:
        return false;
    }
    CDataObject* node = NodeRegistry::Find(static_cast<NodeId>(wParam));
    if (!node)
        return true;
    if (id == platform::WM_WORKER_CALL1) {
        if (!node->IsAborting())
            node->Expand(lParam);
    } else if (id == platform::WM_WORKER_CALL2) {
        node->LoadChildren(lParam);
    } else {
        node->Refresh(lParam);
    }
    return true;
}

namespace {

// Nodes deleted at once from which on the freed memory is handed back.
constexpr size_t kReleaseAfterNodes = 4096;

// The nodes deleted, added to deleted.
void DeleteChildNodes(platform::TreePort& tree, platform::TreeItem item, size_t& deleted)
{
    // The list shows the selected item's children and values: their rows go
    // before the nodes, which the rows read their texts from (the values go
    // with the item's node, which is what a caller here does next).
    if (item == tree.GetSelectedItem())
        RemoveAllRows();
    while (platform::TreeItem child = tree.GetChildItem(item)) {
        DeleteChildNodes(tree, child, deleted);
        CDataObject* node = GetTreeItemObject(child);
        if (!tree.DeleteItem(child))
            return;  // the item stays, so its node must too
        delete node;
        ++deleted;
    }
}

}  // namespace

void DeleteChildItems(platform::TreeItem item)
{
    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    if (!tree || !item)
        return;
    size_t deleted = 0;
    DeleteChildNodes(*tree, item, deleted);
    // Big lists' nodes were made on helper threads, whose pools keep what
    // is freed here.
    if (deleted >= kReleaseAfterNodes)
        platform::ReleaseFreedMemory();
}
