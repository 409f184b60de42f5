#include "model/ListViewOperations.h"

#include "jobs/CProgressDlg.h"
#include "model/CDataObject.h"
#include "model/NodeRegistry.h"
#include "model/TreeViewOperations.h"
#include "platform/ControlPorts.h"
#include "platform/Messages.h"

namespace {

constexpr int kValueColumn = 1;
constexpr int kTypeColumn = 2;

}  // namespace

int UpdateRowText(CDataObject& node, int row)
{
    std::shared_ptr<platform::ListPort> list = platform::GetListControl();
    if (!list)
        return -1;
    int index = list->InsertItem(row, node.FillListItem());
    list->SetItemText(index, kValueColumn, node.GetValueText());
    list->SetItemText(index, kTypeColumn, node.GetTypeName());
    node.UpdateSizeText(index);
    if (CDataObject* selected = GetSelectedTreeObject())
        selected->HideProgress();
    return index;
}

void RemoveAllRows()
{
    if (std::shared_ptr<platform::ListPort> list = platform::GetListControl())
        list->DeleteAllItems();
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
