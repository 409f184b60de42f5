#include "model/entries/CServerObject.h"

#include "base/Utf8.h"
#include "jobs/CProgressDlg.h"
#include "model/entries/EntryJobs.h"
#include "model/profiles/CAppConfig.h"
#include "model/values/FormatDN.h"
#include "model/nodes/ListViewOperations.h"
#include "model/ports/FavoritesSaving.h"
#include "model/ports/NodeDialogs.h"
#include "model/ports/NodePropertyPages.h"
#include "model/profiles/ProfileKeys.h"
#include "model/ports/ResourceText.h"
#include "model/nodes/CTreeRefreshThread.h"
#include "model/templates/TemplateKeys.h"
#include "model/nodes/TreeViewOperations.h"
#include "platform/ShellPorts.h"
#include "schema/SchemaCache.h"

using namespace arbldap;

namespace {

constexpr unsigned kStrDelete = 105;
constexpr unsigned kStrNewServerProfile = 127;
constexpr unsigned kStrExportLDIF = 141;
constexpr unsigned kStrDeleteServer = 412;
constexpr unsigned kStrTypeName = 414;
constexpr unsigned kStrPropertiesTitle = 416;
constexpr unsigned kStrFavoriteExists = 673;

} // namespace

CServerObject::CServerObject(const CServerProfile& profile)
    : CEntryObject(profile.GetBaseDN(), this),
      CServerProfile(profile),
      m_templates(std::wstring(), profile.GetKeyPath(true) + kTemplatesSubKey)
{
    Initialize();
}

CServerObject::CServerObject(const std::wstring& keyName)
    : CEntryObject(LDAPDN(), this), m_templates(std::wstring(), kProfilesKey + keyName + kTemplatesSubKey)
{
    SetIdFromString(keyName);
    LoadProfile();
    Initialize();
}

void CServerObject::Initialize()
{
    SetCaption(GetProfileName());
    SetDisplayName(GetProfileName());
    ResetBusy();
    SetDN(GetBaseDN());
    SetOwnsConnectionReference(true);
    SetServerObject(this);
    CreateConnection();
    SetValueText(GetHostName() + L":" + std::to_wstring(GetPort()));
}

CServerObject::~CServerObject()
{
    // The options belong to the profile part, which goes first.
    if (LDAPConnectionPtr connection = GetConnection())
        connection->ApplyOptions(nullptr);
}

void CServerObject::CreateConnection()
{
    LDAPConnectionPtr connection = LDAPConnection::Create(WideToUtf8Text(GetHostName()), GetPort());
    connection->ApplyOptions(&GetOptions());
    connection->SetProtocolVersion(GetVersion());
    SetConnection(connection);
    SetDN(GetBaseDN());
    SetBound(false);
}

// --- texts ---

void CServerObject::SetDN(const LDAPDN& dn)
{
    CLDAPObject::SetDN(dn);
}

std::wstring CServerObject::GetFullName() const
{
    return GetURL();
}

std::wstring CServerObject::GetTypeName() const
{
    return LoadResourceText(kStrTypeName);
}

std::wstring CServerObject::GetPropertiesTitle() const
{
    return LoadResourceText(kStrPropertiesTitle);
}

bool CServerObject::GetSearchFilter(std::string& filter) const
{
    filter = GetFilter();
    return true;
}

void CServerObject::UpdateHostTexts()
{
    std::wstring text = GetHostName() + L":" + std::to_wstring(GetPort());
    SetDisplayName(text);
    SetValueText(text);
}

void CServerObject::SetHostName(const std::wstring& host)
{
    CServerProfile::SetHostName(host);
    UpdateHostTexts();
}

void CServerObject::SetPort(int port)
{
    CServerProfile::SetPort(port);
    UpdateHostTexts();
}

void CServerObject::SetUserDN(const LDAPDN& dn)
{
    CServerProfile::SetUserDN(dn);
    UpdateDocumentInfoIfCurrent();
}

void CServerObject::Rename(const std::wstring& name)
{
    SetProfileName(name);
    // The tree item and the list row name the profile by its new name.
    SetCaption(name);
    SetDisplayName(name);
    SaveProfile();
}

// --- menus and pages ---

CommandList& CServerObject::GetCommandList(CommandList& list)
{
    GetDefaultCommandList(list);
    list.push_back({0, 0});
    list.push_back({kCmdNewServerProfile, kStrNewServerProfile});
    list.push_back({kCmdDelete, kStrDelete});
    list.push_back({0, 0});
    list.push_back({kCmdExportLDIF, kStrExportLDIF});
    return list;
}

std::unique_ptr<platform::PopupMenu> CServerObject::BuildContextMenu()
{
    auto menu = std::make_unique<platform::PopupMenu>();
    BuildCommonMenu(*menu, true);
    return menu;
}

PropertyPageList CServerObject::AddPropertyPages()
{
    PropertyPageList pages;
    pages.push_back(std::make_unique<NodeDetailsPage>(NodeDetailsPage::Server, this));
    pages.push_back(std::make_unique<NodeDetailsPage>(NodeDetailsPage::ServerCredentials, this));
    pages.push_back(std::make_unique<NodeDetailsPage>(NodeDetailsPage::LDAPSettings, this));
    pages.push_back(std::make_unique<NodeDetailsPage>(NodeDetailsPage::ServerMonitor, this));
    for (std::unique_ptr<NodePropertyPage>& page : CEntryObject::AddPropertyPages())
        pages.push_back(std::move(page));
    return pages;
}

int CServerObject::ShowProperties(const std::vector<CDataObject*>* selection)
{
    int result = CEntryObject::ShowProperties(selection);
    if (result == 1)
        Refresh(0);
    return result;
}

bool CServerObject::Delete(intptr_t ask)
{
    if (IsBusy() || (ask && !PromptDelete()))
        return false;
    StartJob(MakeServerTreeWalkJob(this));
    return true;
}

void CServerObject::Refresh(intptr_t keepExpanded)
{
    if (IsBusy())
        return;
    if (!keepExpanded)
        if (std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl(); tree && GetTreeItem())
            tree->Expand(GetTreeItem(), platform::TreeExpand::Collapse);
    StartJob(std::make_shared<CTreeRefreshThread>(this, keepExpanded));
}

bool CServerObject::PromptDelete()
{
    if (IsBusy())
        return false;
    return platform::ShowMessageBox(FormatResourceText(kStrDeleteServer, {GetProfileName()}),
                                    platform::kMbYesNo | platform::kMbIconQuestion) == platform::kIdYes;
}

void CServerObject::RemoveCustomFilter()
{
    if (!DropOwnedCustomFilter())
        return;
    Refresh(ExpandAfterFilterChange() ? 1 : 0);
}

void CServerObject::AddToFavorites(const LDAPDN& dn)
{
    std::string existing;
    if (GetFavorites().FindByValue(dn, existing)) {
        int answer = platform::ShowMessageBox(FormatResourceText(kStrFavoriteExists, {Utf8ToWideString(existing)}),
                                              platform::kMbYesNo | platform::kMbIconQuestion);
        if (answer != platform::kIdYes)
            return;
    }
    std::shared_ptr<NodeDialogPort> dialogs = GetNodeDialogPort();
    std::string name = dn.GetFirstPart().GetValue();
    std::string value = FormatDN(dn);
    if (!dialogs || !dialogs->EditFavorite(GetFavorites(), name, value))
        return;
    AddFavorite(CFavorite(name, value));
    SaveFavoritesOrSay(*this);
}

// --- opening ---

void CServerObject::ShowContents(intptr_t reload)
{
    if (IsBusy())
        return;
    if (IsBound() && !reload) {
        CEntryObject::ShowContents(0);
        return;
    }
    if (IsChildrenLoaded() || (IsContentsFetched() && reload)) {
        UpdateViews();
        return;
    }
    ReleaseAttributeNodes();
    LoadServerRoot(reload);
}

bool CServerObject::LoadServerRoot(intptr_t reload)
{
    if (IsBusy() || IsJobBlocked())
        return false;
    if (IsTeamProfile()) {
        BuildTeamDirectory(*this);
        SetOverlayImage(0);
        return false;
    }
    HideProgress();
    ReleaseAttributeNodes();

    std::string password;
    if (GetAnonymousBind()) {
        password.clear();
    } else if (GetSavePassword()) {
        password = GetPassword();
    } else {
        std::shared_ptr<NodeDialogPort> dialogs = GetNodeDialogPort();
        std::wstring typed;
        bool save = false;
        if (!dialogs || !dialogs->AskPassword(typed, save)) {
            RemoveAllRows();
            SetBound(false);
            SetOverlayImage(0);
            return false;
        }
        SetSavePassword(save ? 1 : 0);
        SetPassword(WideToUtf8Text(typed));
        SaveProfile();
        password = WideToUtf8Text(typed);
    }

    std::unique_ptr<CProgressDlg> progress =
        CreateProgressDialog(LoadResourceText(kStrBindCaption),
                             LoadResourceText(kStrBindConnecting) + GetHostName() + L" ...", kBindProgressValue);
    RemoveAllRows();
    StartJob(MakeBindJob(this, std::move(progress), reload != 0, password));
    return true;
}

bool CServerObject::StartChildrenFetch(intptr_t flag)
{
    if (!GetSchema())
        if (LDAPConnectionPtr connection = GetConnection())
            SetSchema(GetSchemaCache()->GetSchemaForHost(connection.get()));
    return CEntryObject::StartChildrenFetch(flag);
}

void CServerObject::LoadChildren(intptr_t reload)
{
    if (IsBusy())
        return;
    SetBusy();
    SetOverlayImage(1);
    LoadProfile();
    SetCaption(GetProfileName());
    if (!reload || GetBaseDN().GetText().empty())
        DeleteChildItems(GetTreeItem());
    if (IsCurrent())
        RemoveAllRows();
    StartListWaitTimer();
    SetChildrenLoaded(false);
    if (!reload) {
        SetBound(false);
        SetConnection(LDAPConnectionPtr());
        SetSchema(RefPtr<CLDAPSchema>());
        CreateConnection();
        ResetBusy();
        LoadServerRoot(0);
        return;
    }
    StartJob(MakeChildrenFetchJob(this, this, static_cast<int>(reload)));
}
