#include "model/nodes/TreeViewOperations.h"

#include "model/nodes/CDataObject.h"
#include "model/profiles/CAppConfig.h"
#include "model/ports/NodeRegistry.h"
#include "model/ports/RemovalTimerMap.h"
#include "platform/Messages.h"

platform::TreeItem InsertObjectItem(CDataObject& node, platform::TreeItem parent)
{
    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    if (!tree)
        return platform::TreeItem{};
    if (auto* owner = static_cast<CDataObject*>(tree->GetItemData(parent)))
        owner->SetChildrenInOrder(false);
    return InsertObjectItem(node, parent, *tree, EnsuresVisible(*tree, parent));
}

bool EnsuresVisible(platform::TreePort& tree, platform::TreeItem parent)
{
    return GetAppConfig().m_bEnsureVisible != 0 && parent == tree.GetSelectedItem();
}

platform::TreeItem InsertObjectItem(CDataObject& node, platform::TreeItem parent, platform::TreePort& tree,
                                    bool ensureVisible)
{
    platform::TreeInsert insert;
    node.GetTreeItemInfo(insert, parent);
    platform::TreeItem item = tree.InsertItem(insert);
    if (!item)
        return item;
    node.SetTreeItem(item);
    if (ensureVisible)
        tree.EnsureVisible(item);
    return item;
}

CDataObject* GetTreeItemObject(platform::TreeItem item)
{
    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    if (!tree || !item)
        return nullptr;
    return static_cast<CDataObject*>(tree->GetItemData(item));
}

CDataObject* GetSelectedTreeObject()
{
    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    return tree ? GetTreeItemObject(tree->GetSelectedItem()) : nullptr;
}

namespace {
NavigationObserver& Observer()
{
    static NavigationObserver observer;
    return observer;
}
} // namespace

NavigationObserver SetNavigationObserver(NavigationObserver observer)
{
    std::swap(Observer(), observer);
    return observer;
}

void SelectNavigatedItem(platform::TreeItem item)
{
    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    if (!tree)
        return;
    NavigationObserver observer = Observer();
    if (observer)
        observer(true);
    tree->SelectItem(item);
    if (observer)
        observer(false);
}

std::wstring GetTreeItemText(void* itemData)
{
    return itemData ? static_cast<CDataObject*>(itemData)->GetDisplayName() : std::wstring();
}

bool HandleTreeViewTimer(uint32_t timerId)
{
    if (timerId < platform::kFirstRemovalTimer || timerId > platform::kLastRemovalTimer)
        return false;
    // The timer is killed and its id freed whatever became of its node.
    CDataObject* node = NodeRegistry::Find(CRemovalTimerMap::Instance().Fire(timerId));
    if (!node)
        return true;
    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    platform::TreeItem item = node->GetTreeItem();
    if (tree && item && tree->ItemExists(item))
        node->Delete(1);
    return true;
}
