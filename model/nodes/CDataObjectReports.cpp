// What error and information nodes hung under a node by its jobs share; the
// reports themselves are the message nodes' (CErrorObject.cpp,
// CInformationObject.cpp), so the base knows none of its subclasses.

#include "model/nodes/CDataObject.h"
#include "model/nodes/TreeViewOperations.h"

CDataObject* CDataObject::HangReportNode(std::unique_ptr<CDataObject> child)
{
    platform::TreeItem item = GetTreeItem();
    if (!item || !InsertObjectItem(*child, item))
        return nullptr;
    return child.release();
}

void CDataObject::EndReport(platform::TreeItem item)
{
    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    if (tree && item)
        tree->Expand(item, platform::TreeExpand::Expand);
    SetChildrenLoaded(true);
}
