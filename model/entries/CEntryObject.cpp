#include "model/entries/CEntryObject.h"

#include <algorithm>
#include <utility>

#include "base/NoCase.h"
#include "base/TextFunctions.h"
#include "base/Utf8.h"
#include "model/entries/CAttrObject.h"
#include "model/entries/CBinAttrObject.h"
#include "model/entries/COperationalAttrObject.h"
#include "model/profiles/CServerProfile.h"
#include "model/entries/EntryJobs.h"
#include "model/entries/CTextAttrObject.h"
#include "model/nodes/CTreeRefreshThread.h"
#include "model/values/FormatDN.h"
#include "model/ports/LdifExport.h"
#include "model/nodes/ListSorting.h"
#include "model/nodes/ListViewOperations.h"
#include "model/ports/NodeDialogs.h"
#include "model/ports/NodePropertyPages.h"
#include "model/ports/ResourceText.h"
#include "model/nodes/TreeViewOperations.h"
#include "model/ports/UiThread.h"
#include "model/values/ValueText.h"
#include "platform/Dispatcher.h"
#include "platform/ShellPorts.h"
#include "schema/SchemaCache.h"

using namespace arbldap;

namespace {

constexpr unsigned kStrProperties = 124;
constexpr unsigned kStrRefresh = 133;
constexpr unsigned kStrExportLDIF = 141;
constexpr unsigned kStrAbort = 158;
constexpr unsigned kStrAddToFavorites = 195;
constexpr unsigned kStrPropertiesTitle = 354;
constexpr unsigned kStrDeleteEntry = 359;
constexpr unsigned kStrTypeName = 361;
constexpr unsigned kStrLdifMainText = 372;
constexpr unsigned kStrLdifStatus = 373;
constexpr unsigned kStrGoToDN = 621;
constexpr unsigned kStrEntryViewOff = 691;
constexpr unsigned kStrEntryViewOn = 695;

constexpr int kLdifProgressValue = 368;
constexpr int kLDAPModDelete = 1;
constexpr uint32_t kListWaitPeriodMs = 4000;
// More attribute rows than this show the main frame's progress bar.
constexpr size_t kProgressRowThreshold = 100;

std::wstring FirstRdnText(const LDAPRDN& rdn, int part)
{
    switch (part) {
    case 0: return Utf8ToWideString(rdn.GetText());
    case 1: return Utf8ToWideString(rdn.GetType());
    default: return Utf8ToWideString(rdn.GetValue());
    }
}

void PostToMainFrame(platform::MessageId id, uintptr_t wParam, intptr_t lParam)
{
    platform::Post(platform::GetAppWindow(platform::AppWindow::MainFrame), id, wParam, lParam);
}

} // namespace

CEntryObject::CEntryObject(const LDAPConnectionPtr& connection, LDAPDN dn, const ServerLink& server,
                           bool namingContext, bool ownsReference, const RefPtr<CLDAPSchema>& schema)
    : CLDAPObject(server)
{
    NameByDN();
    TakeDN(std::move(dn));
    if (namingContext)
        m_entryFlags |= kNamingContextPending | kNamingContextNode;
    SetOwnsConnectionReference(ownsReference);
    SetConnection(connection);
    SetContentsFetched(false);
    if (connection)
        SetSchema(schema ? schema : GetSchemaCache()->GetSchemaForHost(connection.get()));
    // An entry shares the bound connection of its server.
    SetBound(true);
}

CEntryObject::CEntryObject(const LDAPDN& dn, const ServerLink& server) : CLDAPObject(server)
{
    CLDAPObject::SetDN(dn);
}

CEntryObject::~CEntryObject()
{
    std::lock_guard<SmallLock> lock(m_attributesLock);
    m_attributes.reset();
}

// --- flags ---

bool CEntryObject::IsNamingContext() const
{
    return (m_entryFlags.load() & kNamingContextNode) != 0;
}

bool CEntryObject::IsEntryView() const
{
    return (m_entryFlags.load() & kEntryView) != 0;
}

void CEntryObject::SetEntryView(bool on)
{
    if (on)
        m_entryFlags.fetch_or(kEntryView);
    else
        m_entryFlags.fetch_and(~uint32_t(kEntryView));
}

// --- texts ---

void CEntryObject::SetDN(const LDAPDN& dn)
{
    CLDAPObject::SetDN(dn);
    NameByDN();
}

void CEntryObject::NameByDN()
{
    m_entryFlags.fetch_or(kNamedByDN);
}

std::wstring CEntryObject::GetCaption() const
{
    return IsNamedByDN() ? FirstRdnText(GetFirstRDN(), 1) : CLDAPObject::GetCaption();
}

std::wstring CEntryObject::GetValueText() const
{
    return IsNamedByDN() ? FirstRdnText(GetFirstRDN(), 2) : CLDAPObject::GetValueText();
}

std::wstring CEntryObject::GetDisplayName() const
{
    if (!IsNamedByDN())
        return CLDAPObject::GetDisplayName();
    const LDAPRDN rdn = GetFirstRDN();
    return FirstRdnText(rdn, 1) + L"=" + FirstRdnText(rdn, 2);
}

int CEntryObject::GetImage(bool selected) const
{
    // A filter taken over from an ancestor; the owner shows an overlay instead.
    if (HasCustomFilter() && !OwnsCustomFilter())
        return selected ? 23 : 10;
    return selected ? 22 : 9;
}

std::wstring CEntryObject::GetFullName() const
{
    return Utf8ToWideString(FormatDN(GetDN()));
}

std::wstring CEntryObject::GetTypeName() const
{
    return LoadResourceText(kStrTypeName);
}

std::wstring CEntryObject::GetPropertiesTitle() const
{
    return LoadResourceText(kStrPropertiesTitle);
}

PropertyPageList CEntryObject::AddPropertyPages()
{
    PropertyPageList pages;
    pages.push_back(std::make_unique<NodeDetailsPage>(NodeDetailsPage::Entry, this));
    return pages;
}

std::wstring CEntryObject::GetRDNText() const
{
    return FirstRdnText(GetDN().GetFirstPart(), 0);
}

std::wstring CEntryObject::GetRDNType() const
{
    return FirstRdnText(GetDN().GetFirstPart(), 1);
}

std::wstring CEntryObject::GetRDNValue() const
{
    return FirstRdnText(GetDN().GetFirstPart(), 2);
}

bool CEntryObject::PromptDelete()
{
    if (IsBusy())
        return false;
    return platform::ShowMessageBox(LoadResourceText(kStrDeleteEntry),
                                    platform::kMbYesNo | platform::kMbIconQuestion) == platform::kIdYes;
}

// --- menus ---

CommandList& CEntryObject::GetCommandList(CommandList& list)
{
    GetDefaultCommandList(list);
    list.push_back({0, 0});
    list.push_back({kCmdExportLDIF, kStrExportLDIF});
    return list;
}

void CEntryObject::BuildCommonMenu(platform::PopupMenu& menu, bool server)
{
    menu.AppendItem(kCmdRefresh, LoadResourceText(kStrRefresh));
    menu.AppendItem(kCmdSetFilter, GetFilterText());
    if (HasCustomFilter())
        menu.AppendItem(kCmdRemoveFilter, L"Remove Custom Filter");
    if (IsEntryView())
        menu.AppendItem(kCmdEntryViewOn, LoadResourceText(kStrEntryViewOn));
    else
        menu.AppendItem(kCmdEntryViewOff, LoadResourceText(kStrEntryViewOff));
    menu.AppendSeparator();
    AppendClipboardCommands(menu, 0);
    menu.AppendSeparator();
    if (server) {
        menu.AppendItem(kCmdNewServerProfile, LoadResourceText(127));
        menu.AppendItem(kCmdDelete, LoadResourceText(105));
    } else {
        menu.AppendItem(kCmdAddToFavorites, LoadResourceText(kStrAddToFavorites));
        menu.AppendSeparator();
        menu.AppendItem(kCmdGoToDN, LoadResourceText(kStrGoToDN));
    }
    menu.AppendSeparator();
    menu.AppendItem(kCmdExportLDIF, LoadResourceText(kStrExportLDIF));
    menu.AppendSeparator();
    menu.AppendItem(kCmdAbort, LoadResourceText(kStrAbort));
    AppendPropertiesCommand(menu);
}

std::unique_ptr<platform::PopupMenu> CEntryObject::BuildContextMenu()
{
    auto menu = std::make_unique<platform::PopupMenu>();
    BuildCommonMenu(*menu, false);
    return menu;
}

// --- opening and loading ---

void CEntryObject::ShowContents(intptr_t reload)
{
    if (IsBusy())
        return;
    if (IsChildrenLoaded() || (IsContentsFetched() && reload))
        UpdateViews();
    else
        Expand(reload);
}

void CEntryObject::Expand(intptr_t flag)
{
    if (IsBusy() || IsChildrenLoaded())
        return;
    StartChildrenFetch(flag);
    SetChildrenLoaded(flag == 0);
    m_entryFlags.fetch_and(~uint32_t(kNamingContextPending));
}

void CEntryObject::StartListWaitTimer()
{
    platform::SetTimer(platform::GetAppWindow(platform::AppWindow::ListView), platform::kListProgressTimer,
                       kListWaitPeriodMs);
}

bool CEntryObject::StartChildrenFetch(intptr_t flag)
{
    if (IsBusy())
        return false;
    SetBusy();
    if (IsCurrent())
        StartListWaitTimer();
    CServerObject* server = GetServerObject();
    StartJob(MakeChildrenFetchJob(this, server, static_cast<int>(flag)));
    return true;
}

void CEntryObject::LoadChildren(intptr_t reload)
{
    if (IsBusy())
        return;
    SetBusy();
    SetOverlayImage(1);
    CServerObject* server = GetServerObject();
    if (!reload || IsChildrenLoaded()) {
        platform::TreeItem item = GetTreeItem();
        if (!reload)
            DeleteChildItems(item);
        if (std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl(); tree && item)
            tree->SetItemText(item, GetRDNType() + L"=" + GetRDNValue());
        int row = FindObjectRow(*this);
        if (row >= 0)
            if (std::shared_ptr<platform::ListPort> list = platform::GetListControl())
                list->SetItemText(row, 1, GetRDNValue());
        if (IsCurrent()) {
            RemoveAllRows();
            StartListWaitTimer();
        }
        SetChildrenLoaded(false);
        StartJob(MakeChildrenFetchJob(this, server, static_cast<int>(reload)));
        SetChildrenLoaded(true);
    } else {
        StartJob(MakeChildrenFetchJob(this, server, static_cast<int>(reload)));
    }
}

void CEntryObject::Refresh(intptr_t keepExpanded)
{
    if (IsBusy() || GetUseCount() >= 1 || IsJobBlocked())
        return;
    SetBusy();
    if (!keepExpanded)
        if (std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl(); tree && GetTreeItem())
            tree->Expand(GetTreeItem(), platform::TreeExpand::Collapse);
    StartJob(std::make_shared<CTreeRefreshThread>(this, keepExpanded));
}

uint32_t CEntryObject::GetSize() const
{
    if ((m_entryFlags.load() & kNamingContextPending) || !IsChildrenLoaded())
        return kSizeUnknown;
    std::lock_guard<SmallLock> lock(m_attributesLock);
    uint32_t sum = 0;
    for (const std::unique_ptr<CAttrObject>& node : Normal())
        sum += node->GetSize();
    return sum;
}

bool CEntryObject::ShowsOperationalAttributes() const
{
    const CServerProfile* server = GetServerProfile();
    return server && server->GetShowOperationalAttributes() != 0;
}

size_t CEntryObject::GetAttributeCount() const
{
    std::lock_guard<SmallLock> lock(m_attributesLock);
    return Normal().size() + (ShowsOperationalAttributes() ? Operational().size() : 0);
}

// --- attribute nodes ---

void CEntryObject::AddAttributeNode(std::unique_ptr<CAttrObject> node, bool operational)
{
    std::lock_guard<SmallLock> lock(m_attributesLock);
    AttributeLists& lists = ListsToSet();
    (operational ? lists.operational : lists.normal).push_back(std::move(node));
}

void CEntryObject::CreateAttributeNodes(const LDAPAttributeList& attributes, bool operational)
{
    RefPtr<CLDAPSchema> schema = GetSchema();
    for (const LDAPAttribute& attribute : attributes) {
        bool binary = (schema && schema->IsBinaryAttribute(attribute.GetBaseName())) || attribute.IsNotPrintable();
        for (std::string_view bytes : attribute.GetValues()) {
            const std::string value(bytes);
            std::unique_ptr<CAttrObject> node;
            if (operational)
                node = std::make_unique<COperationalAttrObject>(this, attribute.GetName(), value);
            else if (binary)
                node = std::make_unique<CBinAttrObject>(this, attribute.GetName(), value);
            else
                node = std::make_unique<CTextAttrObject>(this, attribute.GetName(), value);
            AddAttributeNode(std::move(node), operational);
        }
    }
}

const CEntryObject::AttributeNodeList& CEntryObject::Normal() const
{
    static const AttributeNodeList none;
    return m_attributes ? m_attributes->normal : none;
}

const CEntryObject::AttributeNodeList& CEntryObject::Operational() const
{
    static const AttributeNodeList none;
    return m_attributes ? m_attributes->operational : none;
}

CEntryObject::AttributeLists& CEntryObject::ListsToSet()
{
    if (!m_attributes)
        m_attributes = std::make_unique<AttributeLists>();
    return *m_attributes;
}

void CEntryObject::ReleaseAttributeNodes()
{
    AttributeNodeList normal;
    AttributeNodeList operational;
    {
        std::lock_guard<SmallLock> lock(m_attributesLock);
        if (m_attributes) {
            normal.swap(m_attributes->normal);
            operational.swap(m_attributes->operational);
        }
    }
    if (normal.empty() && operational.empty())
        return;
    // The list may show them: their rows go with them, on the UI thread.
    bool done = RunOnUiThread([&] {
        std::shared_ptr<platform::ListPort> list = platform::GetListControl();
        for (AttributeNodeList* nodes : {&normal, &operational}) {
            for (std::unique_ptr<CAttrObject>& node : *nodes) {
                if (list) {
                    int row = list->FindItemByData(node->GetItemData());
                    if (row >= 0)
                        list->DeleteItem(row);
                }
                node.reset();
            }
        }
    });
    (void)done;
}

void CEntryObject::RemoveDuplicateAttributeNodes()
{
    AttributeNodeList removed;
    {
        std::lock_guard<SmallLock> lock(m_attributesLock);
        if (!m_attributes)
            return;
        AttributeNodeList& normal = m_attributes->normal;
        auto duplicate = [this](const std::unique_ptr<CAttrObject>& node) {
            for (const std::unique_ptr<CAttrObject>& op : m_attributes->operational) {
                if (EqualNoCase(op->GetName(), node->GetName()) && EqualNoCase(op->GetValue(), node->GetValue()))
                    return true;
            }
            return false;
        };
        auto keep = std::stable_partition(normal.begin(), normal.end(),
                                          [&](const std::unique_ptr<CAttrObject>& n) { return !duplicate(n); });
        std::move(keep, normal.end(), std::back_inserter(removed));
        normal.erase(keep, normal.end());
    }
}

void CEntryObject::RemoveAttributeNodes(const std::string& name)
{
    AttributeNodeList removed;
    {
        std::lock_guard<SmallLock> lock(m_attributesLock);
        AttributeLists& lists = ListsToSet();
        for (AttributeNodeList* nodes : {&lists.normal, &lists.operational}) {
            auto keep = std::stable_partition(nodes->begin(), nodes->end(), [&](const std::unique_ptr<CAttrObject>& n) {
                return !EqualNoCase(n->GetName(), name);
            });
            std::move(keep, nodes->end(), std::back_inserter(removed));
            nodes->erase(keep, nodes->end());
        }
    }
    UpdateViews();
}

CAttrObject* CEntryObject::FindAttributeNode(const std::string& name) const
{
    std::lock_guard<SmallLock> lock(m_attributesLock);
    for (const AttributeNodeList* nodes : {&Normal(), &Operational()}) {
        for (const std::unique_ptr<CAttrObject>& node : *nodes) {
            if (EqualNoCase(node->GetName(), name))
                return node.get();
        }
    }
    return nullptr;
}

size_t CEntryObject::GetAttributeNodeCount() const
{
    std::lock_guard<SmallLock> lock(m_attributesLock);
    return Normal().size();
}

std::vector<CAttrObject*> CEntryObject::GetAttributeNodes(bool operational) const
{
    std::lock_guard<SmallLock> lock(m_attributesLock);
    std::vector<CAttrObject*> nodes;
    for (const std::unique_ptr<CAttrObject>& node : operational ? Operational() : Normal())
        nodes.push_back(node.get());
    return nodes;
}

void CEntryObject::GetNamingContexts(StringList& contexts) const
{
    std::lock_guard<SmallLock> lock(m_attributesLock);
    for (const AttributeNodeList* nodes : {&Normal(), &Operational()}) {
        for (const std::unique_ptr<CAttrObject>& node : *nodes) {
            if (!EqualNoCase(node->GetName(), "namingcontexts"))
                continue;
            const std::string& value = node->GetValue();
            size_t first = value.find_first_not_of(' ');
            if (first == std::string::npos)
                continue;
            size_t last = value.find_last_not_of(' ');
            contexts.Add(value.substr(first, last - first + 1));
        }
    }
}

void CEntryObject::GetObjectClasses(StringList& classes) const
{
    std::lock_guard<SmallLock> lock(m_attributesLock);
    for (const std::unique_ptr<CAttrObject>& node : Normal()) {
        if (EqualNoCase(node->GetName(), "objectclass"))
            classes.Add(WideToUtf8Text(node->GetValueText()));
    }
}

std::vector<CAttrObject*> CEntryObject::GetCertificateNodes() const
{
    std::lock_guard<SmallLock> lock(m_attributesLock);
    std::vector<CAttrObject*> nodes;
    for (const std::unique_ptr<CAttrObject>& node : Normal()) {
        std::string base = node->GetBaseName();
        if (EqualNoCase(base, "usercertificate") || EqualNoCase(base, "cacertificate"))
            nodes.push_back(node.get());
    }
    return nodes;
}

std::unique_ptr<LDAPEntry> CEntryObject::CollectAttributes() const
{
    auto entry = std::make_unique<LDAPEntry>(GetDN().GetText());
    std::lock_guard<SmallLock> lock(m_attributesLock);
    for (const std::unique_ptr<CAttrObject>& node : Normal())
        entry->GetAttributes().Add(LDAPAttribute(node->GetName(), node->GetValue()));
    return entry;
}

std::wstring CEntryObject::OperationalText(const char* name) const
{
    std::lock_guard<SmallLock> lock(m_attributesLock);
    for (const std::unique_ptr<CAttrObject>& node : Operational()) {
        if (EqualNoCase(node->GetName(), name))
            return node->GetValueText();
    }
    return L"N/A";
}

std::wstring CEntryObject::GetModifiersNameText() const
{
    return OperationalText("modifiersName");
}

std::wstring CEntryObject::GetCreatorsNameText() const
{
    return OperationalText("creatorsName");
}

std::wstring CEntryObject::GetModifyTimestampText() const
{
    std::wstring text = OperationalText("modifyTimestamp");
    return text == L"N/A" ? text : FormatGeneralizedTime(WideToUtf8Text(text));
}

std::wstring CEntryObject::GetCreateTimestampText() const
{
    std::wstring text = OperationalText("createTimestamp");
    return text == L"N/A" ? text : FormatGeneralizedTime(WideToUtf8Text(text));
}

// --- changes ---

bool CEntryObject::ApplyModifications(const LDAPModificationList& modifications, bool refresh)
{
    if (modifications.IsEmpty() || IsBusy() || !GetConnection())
        return false;
    StartJob(MakeModifyJob(this, modifications, refresh));
    return true;
}

bool CEntryObject::RemovePasswordValue(const std::string& value)
{
    LDAPModificationList modifications;
    modifications.Add(LDAPModification(LDAPAttribute("userPassword", value), kLDAPModDelete));
    return ApplyModifications(modifications, true);
}

// --- the views ---

void CEntryObject::UpdateViews()
{
    if (!RunOnUiThread([this] { UpdateViewsHere(); }))
        return;
}

void CEntryObject::UpdateViewsHere()
{
    std::shared_ptr<platform::ListPort> list = platform::GetListControl();
    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    if (!list || !tree)
        return;
    platform::ScopedUpdateLock lock(*list);
    HideProgress();
    if (IsChildrenLoaded())
        UpdateChildIndicator();
    // Rows appear only while the node is the selected one.
    if (!IsCurrent()) {
        RemoveAllRows();
        SortRefilledList(0, true);
        return;
    }
    RefillChildRows(*this, [](CDataObject& owner) {
        if (auto* entry = dynamic_cast<CEntryObject*>(&owner)) {
            entry->InsertAttributeRows();
            entry->HideProgress();
        }
        SortRefilledList(0, true);
    });
}

void CEntryObject::InsertAttributeRows()
{
    if (!IsCurrent())
        return;
    std::shared_ptr<platform::ListPort> list = platform::GetListControl();
    if (!list)
        return;
    const bool wasBusy = IsBusy();
    SetBusy();
    {
        std::lock_guard<SmallLock> lock(m_attributesLock);
        const size_t total = Normal().size() + Operational().size();
        const bool progress = total > kProgressRowThreshold;
        if (progress)
            PostToMainFrame(platform::WM_PROGRESS_START, 40, static_cast<intptr_t>(total));
        size_t counter = 0;
        auto insert = [&](const AttributeNodeList& nodes) {
            for (const std::unique_ptr<CAttrObject>& node : nodes) {
                list->InsertItem(-1, node->FillListItem());
                ++counter;
                if (progress)
                    PostToMainFrame(platform::WM_PROGRESS_STEP, counter, static_cast<intptr_t>(total));
            }
        };
        insert(Normal());
        if (ShowsOperationalAttributes())
            insert(Operational());
        if (progress)
            PostToMainFrame(platform::WM_PROGRESS_END, 0, 0);
    }
    if (!wasBusy)
        ResetBusy();
}

// --- LDIF export ---

void CEntryObject::ExportLDIF()
{
    std::shared_ptr<NodeDialogPort> dialogs = GetNodeDialogPort();
    if (!dialogs)
        return;
    const std::wstring dnText = Utf8ToWideString(GetDN().GetText());
    std::wstring fileName = MakeSafeFileName(GetRDNValue()) + L".ldif";
    std::wstring caption = L"LDIF Export [" + dnText + L"]";
    LdifExportChoice choice;
    if (!dialogs->AskLdifExport(caption, fileName, GetEffectiveFilter(), choice))
        return;
    LdifExportRequest request;
    request.path = choice.path;
    request.scope = choice.scope == 0 ? 2 : choice.scope == 1 ? 1 : 0;
    request.output = choice.output == 0 ? 1 : 0;
    request.firstOption = choice.firstOption;
    request.secondOption = choice.secondOption;
    request.filter = choice.filter;
    std::unique_ptr<CProgressDlg> progress = CreateProgressDialog(
        FormatResourceText(kStrLdifMainText, {dnText}), LoadResourceText(kStrLdifStatus), kLdifProgressValue);
    RunLdifExport(*this, request, std::move(progress));
}
