#include "model/entries/CRootObject.h"

#include <vector>

#include "model/entries/CServerObject.h"
#include "model/nodes/CTreeRefreshThread.h"
#include "model/nodes/ListSorting.h"
#include "model/nodes/ListViewOperations.h"
#include "model/profiles/ProfileKeys.h"
#include "model/ports/ProfileWizard.h"
#include "model/ports/ResourceText.h"
#include "model/templates/TemplateKeys.h"
#include "model/nodes/TreeViewOperations.h"
#include "platform/CStdRegistry.h"

namespace {

constexpr unsigned kStrWizardCaption = 119;
constexpr unsigned kStrNewServerProfile = 127;
constexpr unsigned kStrValueText = 400;
constexpr unsigned kStrTypeName = 402;
constexpr unsigned kStrPageDescription = 404;
constexpr unsigned kStrPageDetail = 406;
constexpr unsigned kStrPageTitle = 408;
constexpr unsigned kStrPropertiesTitle = 410;
constexpr unsigned kStrDisplayName = 707;
constexpr unsigned kStrFullName = 708;
constexpr int kPageIcon = 138;

std::shared_ptr<platform::TreePort> Tree()
{
    return platform::GetTreeControl();
}

}  // namespace

CRootObject::CRootObject()
{
    SetCaption(LoadResourceText(kStrFullName));
    SetDisplayName(LoadResourceText(kStrDisplayName));
    SetValueText(LoadResourceText(kStrValueText));
}

std::wstring CRootObject::GetFullName() const
{
    return LoadResourceText(kStrFullName);
}

std::wstring CRootObject::GetTypeName() const
{
    return LoadResourceText(kStrTypeName);
}

std::wstring CRootObject::GetPropertiesTitle() const
{
    return LoadResourceText(kStrPropertiesTitle);
}

std::unique_ptr<platform::PopupMenu> CRootObject::BuildContextMenu()
{
    std::unique_ptr<platform::PopupMenu> menu = CDataObject::BuildContextMenu();
    menu->AppendSeparator();
    menu->AppendItem(kCmdNewServerProfile, LoadResourceText(kStrNewServerProfile));
    AppendPropertiesCommand(*menu);
    return menu;
}

PropertyPageList CRootObject::AddPropertyPages()
{
    PropertyPageList pages;
    pages.push_back(std::make_unique<MessagePropertiesPage>(
        this, kPageIcon, LoadResourceText(kStrPageDescription), std::to_wstring(CountChildItems("CServerObject")),
        LoadResourceText(kStrPageDetail), LoadResourceText(kStrPageTitle)));
    return pages;
}

void CRootObject::Refresh(intptr_t arg)
{
    if (IsBusy())
        return;
    SetBusy();
    SetChildrenLoaded(false);
    if (std::shared_ptr<platform::TreePort> tree = Tree(); tree && GetTreeItem())
        tree->Expand(GetTreeItem(), platform::TreeExpand::Collapse);
    StartJob(std::make_shared<CTreeRefreshThread>(this, arg));
}

void CRootObject::LoadChildren(intptr_t)
{
    if (IsBusy())
        return;
    RemoveAllRows();
    DeleteChildItems(GetTreeItem());
    if (!GetTreeItem())
        InsertIntoViews(platform::kTreeRoot, kInsertTreeItem);
    SetBusy();
    LoadServers(kInsertTreeItem);
    ShowContents(0);
    Expand(0);
    if (std::shared_ptr<platform::TreePort> tree = Tree(); tree && GetTreeItem())
        tree->Expand(GetTreeItem(), platform::TreeExpand::Expand);
    ResetBusy();
    // The servers are all there: the busy root's Expand could not say so.
    SetChildrenLoaded(true);
    UpdateChildIndicator();
}

void CRootObject::LoadServers(uint32_t flags)
{
    if (flags & kInsertTreeItem)
        RemoveAllRows();
    CStdRegistry key(platform::RegRoot::CurrentUser, false);
    if (!key.Open(kProfilesKey)) {
        key.CreateKey(kProfilesKey);
        return;
    }
    std::vector<std::wstring> names;
    key.ReadSubKeys(names);
    std::shared_ptr<platform::ListPort> list = platform::GetListControl();
    if (list)
        list->LockUpdates();
    for (const std::wstring& name : names) {
        if (name + L"\\" == kCommonTemplatesKey)
            continue;
        auto server = std::make_unique<CServerObject>(name);
        if (server->IsLoadFailed())
            continue;
        server->InsertIntoViews(GetTreeItem(), flags);
        if (server->GetTreeItem())
            server.release();  // the tree owns it from here
    }
    if (list)
        list->UnlockUpdates();
}

void CRootObject::ShowContents(intptr_t)
{
    RemoveAllRows();
    std::shared_ptr<platform::TreePort> tree = Tree();
    platform::TreeItem item = GetTreeItem();
    if (!tree || !item)
        return;
    for (platform::TreeItem child = tree->GetChildItem(item); child; child = tree->GetNextSiblingItem(child))
        if (CDataObject* node = GetTreeItemObject(child))
            UpdateRowText(*node, -1);
    SortRefilledList(0, true);
    tree->SelectItem(item);
}

bool CRootObject::RouteCommandNew()
{
    if (IsBusy())
        return false;
    OnCommandNew();
    return true;
}

void CRootObject::OnCommandNew()
{
    std::shared_ptr<ProfileWizardPort> wizard = GetProfileWizardPort();
    bool connectAtOnce = false;
    std::unique_ptr<CServerProfile> profile =
        wizard ? wizard->CreateProfile(LoadResourceText(kStrWizardCaption), connectAtOnce) : nullptr;
    if (!profile)
        return;
    auto owned = std::make_unique<CServerObject>(*profile);
    owned->SaveProfile();
    CServerObject* server = owned.release();
    server->InsertIntoViews(GetTreeItem(), kInsertTreeItem | kInsertListRow);
    if (!server->GetTreeItem()) {
        delete server;  // no tree took it
        return;
    }
    UpdateChildIndicator();
    if (std::shared_ptr<platform::TreePort> tree = Tree())
        tree->SelectItem(server->GetTreeItem());
    RemoveAllRows();
    if (connectAtOnce)
        server->ShowContents(0);
}
