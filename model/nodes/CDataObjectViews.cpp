// The node in the views: its parent, its children there, its own item and row.

#include "model/nodes/CDataObject.h"
#include "model/nodes/ListViewOperations.h"
#include "model/nodes/TreeViewOperations.h"

CDataObject* CDataObject::GetParentNode() const
{
    platform::TreeItem parent = GetParentItem();
    return parent ? GetTreeItemObject(parent) : nullptr;
}

int CDataObject::CountChildItems(const char* className) const
{
    platform::TreeItem item = GetTreeItem();
    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    if (!item || !tree)
        return 0;
    int count = 0;
    for (platform::TreeItem child = tree->GetChildItem(item); child; child = tree->GetNextSiblingItem(child)) {
        if (!className) {
            ++count;
            continue;
        }
        CDataObject* node = GetTreeItemObject(child);
        if (node && std::string(node->GetRuntimeClassName()) == className)
            ++count;
    }
    return count;
}

bool CDataObject::Delete(intptr_t)
{
    CDataObject* parent = GetParentNode();
    bool parentSelected = parent && parent->IsCurrent();
    int row = FindObjectRow(*this);
    if (row >= 0)
        if (std::shared_ptr<platform::ListPort> list = platform::GetListControl())
            list->DeleteItem(row);
    platform::TreeItem item = GetTreeItem();
    if (std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl(); tree && item) {
        DeleteChildItems(item);
        tree->DeleteItem(item);
    }
    if (parentSelected) {
        parent->UpdateChildIndicator();
        parent->ShowContents(0);
    }
    delete this;
    return true;
}

void CDataObject::InsertIntoViews(platform::TreeItem parentItem, uint32_t flags)
{
    if (flags & kInsertTreeItem)
        InsertObjectItem(*this, parentItem);
    if (flags & kInsertListRow) {
        std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
        if (tree && parentItem && tree->GetSelectedItem() == parentItem)
            UpdateRowText(*this, -1);
    }
}

uint32_t CDataObject::GetSize() const
{
    if (!IsChildrenLoaded())
        return kSizeUnknown;
    platform::TreeItem item = GetTreeItem();
    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    uint32_t sum = 0;
    if (!item || !tree)
        return sum;
    for (platform::TreeItem child = tree->GetChildItem(item); child; child = tree->GetNextSiblingItem(child)) {
        CDataObject* node = GetTreeItemObject(child);
        uint32_t size = node ? node->GetSize() : kSizeUnknown;
        if (size != kSizeUnknown)
            sum += size;
    }
    return sum;
}
