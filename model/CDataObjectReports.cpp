// Error and information nodes hung under a node by its jobs.

#include "base/Utf8.h"
#include "model/CDataObject.h"
#include "model/CErrorObject.h"
#include "model/CInformationObject.h"
#include "model/ListViewOperations.h"
#include "model/CAppConfig.h"
#include "model/NodeRegistry.h"
#include "model/TreeViewOperations.h"
#include "model/UiThread.h"
#include "platform/ShellPorts.h"
#include "base/LogStream.h"
#include "ldap/FormatLDAPError.h"

using namespace arbldap;

namespace {

// Inserts child below parent; the tree owns it from then on. Null (child
// freed) when it could not be inserted.
template <class T>
T* InsertChild(std::unique_ptr<T> child, platform::TreeItem parent)
{
    if (!parent || !InsertObjectItem(*child, parent))
        return nullptr;
    return child.release();
}

void ExpandItem(platform::TreeItem item)
{
    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    if (tree && item)
        tree->Expand(item, platform::TreeExpand::Expand);
}

}  // namespace

void CDataObject::ReportError(LDAPException error)
{
    // The views are changed on the user-interface thread, in one go; the line
    // is logged even when they are gone.
    if (!RunOnUiThread([&] { ShowErrorNode(error); }))
        LogLine(FormatLDAPError(error));
}

void CDataObject::ShowErrorNode(const LDAPException& error)
{
    platform::TreeItem item = GetTreeItem();
    CErrorObject* errorNode = InsertChild(
        std::make_unique<CErrorObject>(error.GetResultCode(), Utf8ToWideString(error.GetResultText()),
                                       GetServerObject()),
        item);
    NodeId errorId = errorNode ? errorNode->GetNodeId() : kNoNode;
    Expand(0);

    if (errorNode && IsCurrent()) {
        std::shared_ptr<platform::ListPort> list = platform::GetListControl();
        int row = -1;
        if (list && list->GetItemCount() == 0 && (GetType() == kNodeServer || GetType() == kNodeEntry)) {
            ShowContents(0);
            // Showing the node may have reloaded its children.
            errorNode = static_cast<CErrorObject*>(NodeRegistry::Find(errorId));
            if (errorNode)
                row = list->FindItemByData(errorNode->GetItemData());
        }
        if (errorNode && row < 0)
            row = UpdateRowText(*errorNode, 0);
        if (row >= 0) {
            std::shared_ptr<platform::ListViewPort> view = platform::GetListViewPort();
            if (view)
                view->SuspendSelectionHandling(true);
            SelectSingleItem(row, true);
            if (view)
                view->SuspendSelectionHandling(false);
        }
    }
    if (errorNode)
        errorNode->UpdateChildIndicator();

    LogLine(FormatLDAPError(error));

    ExpandItem(item);
    SetChildrenLoaded(true);
    UpdateChildIndicator();
}

void CDataObject::ReportInformation(const std::wstring& text, const std::wstring& detail)
{
    if (!RunOnUiThread([&] { ShowInformationNode(text, detail); }))
        LogLine(detail.empty() ? text : detail);
}

void CDataObject::ShowInformationNode(const std::wstring& text, const std::wstring& detail)
{
    platform::TreeItem item = GetTreeItem();
    CInformationObject* information =
        InsertChild(std::make_unique<CInformationObject>(text, detail, GetServerObject()), item);
    Expand(0);

    if (information && IsCurrent()) {
        HideProgress();
        if (std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl())
            tree->SelectItem(information->GetTreeItem());
        information->ShowContents(0);
    }
    if (information)
        information->UpdateChildIndicator();

    LogLine(detail.empty() ? text : detail);

    ExpandItem(item);
    SetChildrenLoaded(true);
    if (information && GetAppConfig().m_bAutoRemoveInfo != 0)
        information->StartRemovalTimer();
    UpdateChildIndicator();
}
