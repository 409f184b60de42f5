#include "model/entries/CLDAPObject.h"

#include "base/Installed.h"

#include "model/entries/EntryJobs.h"

#include <utility>

#include "base/NoCase.h"
#include "base/Utf8.h"
#include "jobs/CLDAPThread.h"
#include "ldap/LDAPUrl.h"
#include "model/profiles/CAppConfig.h"
#include "model/profiles/CServerProfile.h"
#include "model/ports/NodeDialogs.h"
#include "model/ports/ResourceText.h"
#include "model/nodes/TreeViewOperations.h"
#include "platform/ShellPorts.h"

using namespace arbldap;

namespace {

constexpr unsigned kStrAnonymous = 390;
constexpr unsigned kStrSchemaFetching = 391;
constexpr unsigned kStrSchemaFailed = 393;
constexpr unsigned kStrSchemaDefault = 395;
constexpr unsigned kStrSchemaLoaded = 396;

Installed<CLDAPObject::NavigateJobMaker> g_navigateJobMaker;

bool IsEntryOrServer(const CDataObject* node)
{
    return node && (node->GetType() == kNodeEntry || node->GetType() == kNodeServer);
}

} // namespace

CLDAPObject::CLDAPObject(const ServerLink& server, const CDataObject* source) : CDataObject(source)
{
    SetServerObject(server);
}

CLDAPObject::~CLDAPObject() = default;

void CLDAPObject::SetLdapFlag(uint32_t flag, bool on)
{
    if (on)
        m_ldapFlags.fetch_or(flag);
    else
        m_ldapFlags.fetch_and(~flag);
}

bool CLDAPObject::IsBound() const
{
    return (m_ldapFlags.load() & kBound) != 0;
}

void CLDAPObject::SetBound(bool bound)
{
    SetLdapFlag(kBound, bound);
}

bool CLDAPObject::IsContentsFetched() const
{
    return (m_ldapFlags.load() & kContentsFetched) != 0;
}

void CLDAPObject::SetContentsFetched(bool fetched)
{
    SetLdapFlag(kContentsFetched, fetched);
}

bool CLDAPObject::OwnsConnectionReference() const
{
    return (m_ldapFlags.load() & kOwnsReference) != 0;
}

void CLDAPObject::SetOwnsConnectionReference(bool owns)
{
    SetLdapFlag(kOwnsReference, owns);
}

LDAPConnectionPtr CLDAPObject::GetConnection() const
{
    std::lock_guard<SmallLock> lock(m_ldapLock);
    return m_connection;
}

void CLDAPObject::SetConnection(const LDAPConnectionPtr& connection)
{
    LDAPConnectionPtr previous;
    {
        std::lock_guard<SmallLock> lock(m_ldapLock);
        previous = std::exchange(m_connection, connection);
    }
    // Released outside the lock: the last release ends the session.
}

RefPtr<CLDAPSchema> CLDAPObject::GetSchema() const
{
    std::lock_guard<SmallLock> lock(m_ldapLock);
    return m_schema;
}

void CLDAPObject::SetSchema(const RefPtr<CLDAPSchema>& schema)
{
    RefPtr<CLDAPSchema> previous;
    {
        std::lock_guard<SmallLock> lock(m_ldapLock);
        previous = std::exchange(m_schema, schema);
    }
}

LDAPDN CLDAPObject::GetDN() const
{
    std::string text;
    {
        std::lock_guard<SmallLock> lock(m_ldapLock);
        if (m_dnWhole)
            return *m_dnWhole;
        text = m_dnText;
    }
    return LDAPDN(text);
}

LDAPRDN CLDAPObject::GetFirstRDN() const
{
    std::string text;
    {
        std::lock_guard<SmallLock> lock(m_ldapLock);
        if (m_dnWhole)
            return m_dnWhole->GetFirstPart();
        text = m_dnText;
    }
    return LDAPDN::FirstPartOf(text);
}

void CLDAPObject::SetDN(const LDAPDN& dn)
{
    StoreDN(dn);
}

void CLDAPObject::TakeDN(LDAPDN dn)
{
    StoreDN(std::move(dn));
}

void CLDAPObject::StoreDN(LDAPDN dn)
{
    std::unique_ptr<LDAPDN> whole;
    if (!dn.IsParsedFromText())
        whole = std::make_unique<LDAPDN>(dn);
    std::string text = whole ? std::string() : dn.GetText();
    {
        std::lock_guard<SmallLock> lock(m_ldapLock);
        m_dnText.swap(text);
        m_dnWhole.swap(whole);
    }
    // An entry is named by its DN.
    ForgetParentOrder();
}

// --- custom filter ---

bool CLDAPObject::HasCustomFilter() const
{
    std::lock_guard<SmallLock> lock(m_ldapLock);
    return m_customFilter != nullptr;
}

bool CLDAPObject::OwnsCustomFilter() const
{
    std::lock_guard<SmallLock> lock(m_ldapLock);
    return m_ownsFilter && m_customFilter;
}

std::string CLDAPObject::GetCustomFilter() const
{
    std::lock_guard<SmallLock> lock(m_ldapLock);
    return m_customFilter ? *m_customFilter : std::string();
}

std::shared_ptr<const std::string> CLDAPObject::GetCustomFilterText() const
{
    std::lock_guard<SmallLock> lock(m_ldapLock);
    return m_customFilter;
}

std::string CLDAPObject::GetEffectiveFilter() const
{
    if (std::shared_ptr<const std::string> custom = GetCustomFilterText())
        return *custom;
    if (CServerProfile* server = GetServerProfile())
        return server->GetFilter();
    return std::string();
}

std::wstring CLDAPObject::GetFilterText() const
{
    return Utf8ToWideString(GetEffectiveFilter());
}

bool CLDAPObject::GetSearchFilter(std::string& filter) const
{
    auto* parent = dynamic_cast<const CLDAPObject*>(GetParentNode());
    if (!IsEntryOrServer(parent))
        return false;
    filter = parent->GetEffectiveFilter();
    return true;
}

bool CLDAPObject::IsFilterEqual(const std::string& filter) const
{
    std::string inherited;
    return GetSearchFilter(inherited) && EqualNoCase(inherited, filter);
}

bool CLDAPObject::ExpandAfterFilterChange() const
{
    return !IsChildrenLoaded() && GetAppConfig().m_bExpandOnClick.load() != 0;
}

void CLDAPObject::SetCustomFilter(const std::wstring& filter)
{
    if (filter.empty())
        return;
    std::string text = WideToUtf8Text(filter);
    if (IsFilterEqual(text)) {
        RemoveCustomFilter();
        return;
    }
    {
        std::lock_guard<SmallLock> lock(m_ldapLock);
        if (m_customFilter && *m_customFilter == text)
            return;
        m_customFilter = std::make_shared<const std::string>(std::move(text));
        m_ownsFilter = true;
    }
    Refresh(ExpandAfterFilterChange() ? 1 : 0);
}

bool CLDAPObject::DropOwnedCustomFilter()
{
    std::lock_guard<SmallLock> lock(m_ldapLock);
    if (!m_ownsFilter || !m_customFilter)
        return false;
    m_customFilter.reset();
    m_ownsFilter = false;
    return true;
}

void CLDAPObject::RemoveCustomFilter()
{
    auto* parent = dynamic_cast<CLDAPObject*>(GetParentNode());
    if (!OwnsCustomFilter() || !IsEntryOrServer(parent))
        return;
    DropOwnedCustomFilter();
    InheritCustomFilter(*parent);
    Refresh(ExpandAfterFilterChange() ? 1 : 0);
}

void CLDAPObject::ShareCustomFilter(const std::shared_ptr<const std::string>& filter)
{
    std::lock_guard<SmallLock> lock(m_ldapLock);
    if (m_customFilter && filter && *m_customFilter == *filter)
        return;
    m_customFilter = filter;
}

void CLDAPObject::InheritCustomFilter(const CLDAPObject& parent)
{
    if (std::shared_ptr<const std::string> filter = parent.GetCustomFilterText())
        ShareCustomFilter(filter);
}

CLDAPObject* CLDAPObject::FindFilterOwner() const
{
    if (!HasCustomFilter())
        return nullptr;
    for (CDataObject* node = GetParentNode(); node; node = node->GetParentNode()) {
        auto* ldapNode = dynamic_cast<CLDAPObject*>(node);
        if (ldapNode && ldapNode->OwnsCustomFilter())
            return ldapNode;
        if (node->GetType() == kNodeServer)
            return nullptr;
    }
    return nullptr;
}

void CLDAPObject::OnRemoveCustomFilter()
{
    if (!HasCustomFilter())
        return;
    CLDAPObject* target = OwnsCustomFilter() ? this : FindFilterOwner();
    if (target)
        target->RemoveCustomFilter();
}

void CLDAPObject::SetOverlayImage(int image)
{
    if (image == 0 && OwnsCustomFilter())
        image = 2;
    CDataObject::SetOverlayImage(image);
}

// --- texts ---

std::wstring CLDAPObject::GetURL() const
{
    CServerProfile* server = GetServerProfile();
    if (!server)
        return std::wstring();
    LDAPUrl url(WideToUtf8Text(server->GetHostName()), server->GetPort(), GetDN().GetText(), server->GetAttributes(),
                0, GetEffectiveFilter());
    return Utf8ToWideString(url.GetURL());
}

void CLDAPObject::UpdateDocumentInfo()
{
    std::shared_ptr<platform::DocumentPort> document = platform::GetDocumentPort();
    CServerProfile* server = GetServerProfile();
    CLDAPObject* serverNode = GetServerNode();
    if (!document || !server || !serverNode)
        return;
    std::wstring user = Utf8ToWideString(server->GetUserDN().GetText());
    document->SetPaneText1(user.empty() ? LoadResourceText(kStrAnonymous) : user);

    std::wstring state;
    if (RefPtr<CLDAPSchema> schema = serverNode->GetSchema()) {
        switch (schema->GetLoadState()) {
        case kSchemaFetchInProgress: state = LoadResourceText(kStrSchemaFetching); break;
        case kSchemaFetchFailed: state = LoadResourceText(kStrSchemaFailed); break;
        case kSchemaDefaultUsed: state = LoadResourceText(kStrSchemaDefault); break;
        case kSchemaLoaded: state = LoadResourceText(kStrSchemaLoaded); break;
        default: break;
        }
    }
    document->SetPaneText2(state);
    document->SetPaneValue(server->GetOptions().GetUseSSL() ? 1 : 0);
}

// --- going to a DN ---

void CLDAPObject::OnGoToDN()
{
    std::shared_ptr<NodeDialogPort> dialogs = GetNodeDialogPort();
    std::wstring text;
    if (!dialogs || !dialogs->ChooseDN(*this, text) || text.empty())
        return;
    NavigateToDN(LDAPDN(WideToUtf8Text(text)));
}

CLDAPObject::NavigateJobMaker CLDAPObject::SetNavigateJobMaker(NavigateJobMaker maker)
{
    return g_navigateJobMaker.Set(std::move(maker));
}

void CLDAPObject::NavigateToDN(const LDAPDN& dn)
{
    if (!IsEntryOrServer(this)) {
        auto* parent = dynamic_cast<CLDAPObject*>(GetParentNode());
        if (!parent)
            return;
        if (std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl())
            tree->SelectItem(parent->GetTreeItem());
        parent->NavigateToDN(dn);
        return;
    }
    NavigateJobMaker maker = g_navigateJobMaker.Get();
    if (maker)
        StartJob(maker(*this, dn));
    else
        StartJob(MakeNavigateJob(*this, dn));
}

CDataObject* FindItemByDN(const arbldap::LDAPDN& dn, platform::TreeItem from)
{
    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    auto* node = dynamic_cast<CLDAPObject*>(GetTreeItemObject(from));
    if (!tree || !node || (node->GetType() != kNodeEntry && node->GetType() != kNodeServer))
        return nullptr;
    const arbldap::LDAPDN own = node->GetDN();
    if (own == dn)
        return node;
    // Only a node above dn can hold it.
    if (!own.EndsWith(dn))
        return nullptr;
    for (platform::TreeItem child = tree->GetChildItem(from); child; child = tree->GetNextSiblingItem(child))
        if (CDataObject* found = FindItemByDN(dn, child))
            return found;
    return nullptr;
}
