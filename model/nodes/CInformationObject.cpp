#include "model/nodes/CInformationObject.h"

#include <algorithm>

#include "base/LogStream.h"
#include "model/profiles/CAppConfig.h"
#include "model/ports/RemovalTimerMap.h"
#include "model/ports/ResourceText.h"
#include "model/ports/UiThread.h"

namespace {

constexpr unsigned kStrInformation = 383;
constexpr unsigned kStrTypeName = 386;
constexpr unsigned kStrPropertiesTitle = 388;
constexpr unsigned kStrPageTitle = 521;
constexpr int kIconInformation = 276;

}  // namespace

CInformationObject::CInformationObject(const std::wstring& text, const std::wstring& detail, const ServerLink& server)
    : CMessageObject(server)
{
    if (detail.empty()) {
        SetDisplayName(LoadResourceText(kStrInformation));
        SetValueText(text);
    } else {
        SetDisplayName(text);
        SetValueText(detail);
    }
    SetCaption(GetDisplayName());
}

CInformationObject::~CInformationObject()
{
    CRemovalTimerMap::Instance().Forget(GetNodeId());
}

void CInformationObject::Refresh()
{
    if (CDataObject* holder = GetParentNode())
        holder->Refresh(0);
}

std::wstring CInformationObject::GetFullName() const
{
    return GetValueText();
}

std::wstring CInformationObject::GetTypeName() const
{
    return LoadResourceText(kStrTypeName);
}

std::wstring CInformationObject::GetPropertiesTitle() const
{
    return LoadResourceText(kStrPropertiesTitle);
}

PropertyPageList CInformationObject::AddPropertyPages()
{
    PropertyPageList pages;
    pages.push_back(std::make_unique<MessagePropertiesPage>(this, kIconInformation, std::wstring(), std::wstring(),
                                                            std::wstring(), LoadResourceText(kStrPageTitle)));
    return pages;
}

void CInformationObject::StartRemovalTimer()
{
    int32_t seconds = std::max<int32_t>(GetAppConfig().m_nInfoTimeoutSec, 0);
    uint64_t delayMs = uint64_t(seconds) * 1000;
    CRemovalTimerMap::Instance().Start(GetNodeId(), static_cast<uint32_t>(std::min<uint64_t>(delayMs, UINT32_MAX)));
}

int CInformationObject::GetRemovalTimerId() const
{
    return CRemovalTimerMap::Instance().GetTimerId(GetNodeId());
}

// The base class's report of a piece of information: an information node
// under the node.

void CDataObject::ReportInformation(const std::wstring& text, const std::wstring& detail)
{
    if (!RunOnUiThread([&] { ShowInformationNode(text, detail); }))
        LogLine(detail.empty() ? text : detail);
}

void CDataObject::ShowInformationNode(const std::wstring& text, const std::wstring& detail)
{
    platform::TreeItem item = GetTreeItem();
    auto* information = static_cast<CInformationObject*>(
        HangReportNode(std::make_unique<CInformationObject>(text, detail, GetServerLink())));
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

    EndReport(item);
    if (information && GetAppConfig().m_bAutoRemoveInfo != 0)
        information->StartRemovalTimer();
    UpdateChildIndicator();
}
