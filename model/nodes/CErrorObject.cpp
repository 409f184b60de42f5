#include "model/nodes/CErrorObject.h"

#include "base/LogStream.h"
#include "base/Utf8.h"
#include "ldap/FormatLDAPError.h"
#include "model/nodes/ListViewOperations.h"
#include "model/ports/NodeRegistry.h"
#include "model/ports/ResourceText.h"
#include "model/ports/UiThread.h"
#include "platform/ShellPorts.h"

namespace {

constexpr unsigned kStrError = 375;
constexpr unsigned kStrTypeName = 377;
constexpr unsigned kStrPropertiesTitle = 379;
constexpr unsigned kStrPageDescription = 380;
constexpr unsigned kStrPageTitle = 382;
constexpr int kIconError = 274;

// "[%s %d]"
std::wstring Caption(int resultCode)
{
    return L"[" + LoadResourceText(kStrError) + L" " + std::to_wstring(resultCode) + L"]";
}

}  // namespace

CErrorObject::CErrorObject(int resultCode, const std::wstring& message, const ServerLink& server)
    : CMessageObject(server), m_resultCode(resultCode)
{
    SetValueText(message);
    SetCaption(Caption(resultCode));
    SetDisplayName(GetFullName());
}

void CErrorObject::Refresh(intptr_t)
{
    if (CDataObject* holder = GetParentNode())
        holder->Refresh(0);
}

std::wstring CErrorObject::GetFullName() const
{
    // "[%s %d] %s"
    return Caption(m_resultCode) + L" " + GetValueText();
}

std::wstring CErrorObject::GetTypeName() const
{
    return LoadResourceText(kStrTypeName);
}

std::wstring CErrorObject::GetPropertiesTitle() const
{
    return LoadResourceText(kStrPropertiesTitle);
}

PropertyPageList CErrorObject::AddPropertyPages()
{
    PropertyPageList pages;
    pages.push_back(std::make_unique<MessagePropertiesPage>(this, kIconError, LoadResourceText(kStrPageDescription),
                                                            std::to_wstring(m_resultCode), std::wstring(),
                                                            LoadResourceText(kStrPageTitle)));
    return pages;
}

// The base class's report of an error: an error node under the node.

void CDataObject::ReportError(arbldap::LDAPException error)
{
    // The views are changed on the user-interface thread, in one go; the line
    // is logged even when they are gone.
    if (!RunOnUiThread([&] { ShowErrorNode(error); }))
        LogLine(FormatLDAPError(error));
}

void CDataObject::ShowErrorNode(const arbldap::LDAPException& error)
{
    platform::TreeItem item = GetTreeItem();
    auto* errorNode = static_cast<CErrorObject*>(HangReportNode(std::make_unique<CErrorObject>(
        error.GetResultCode(), Utf8ToWideString(error.GetResultText()), GetServerLink())));
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

    EndReport(item);
    UpdateChildIndicator();
}
