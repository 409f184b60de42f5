#include "model/entries/CNavigateThread.h"

#include "model/entries/EntryJobs.h"

#include <utility>

#include "base/LogStream.h"
#include "base/Utf8.h"
#include "ldap/FormatLDAPError.h"
#include "ldap/LDAPEntry.h"
#include "ldap/LDAPResponse.h"
#include "ldap/LDAPResultQueue.h"
#include "model/entries/CEntryObject.h"
#include "model/entries/CServerObject.h"
#include "model/ports/NodeRegistry.h"
#include "model/ports/ResourceText.h"
#include "model/nodes/TreeViewOperations.h"
#include "model/ports/UiThread.h"
#include "schema/LDAPSchema.h"

using namespace arbldap;

namespace {

constexpr unsigned kStrPathBusy = 451;
constexpr unsigned kStrReadingTarget = 452;
constexpr unsigned kStrGoingTo = 453;
constexpr unsigned kStrNotFound = 549;
constexpr unsigned kStrNotReached = 550;
constexpr int kLastReportedCode = 96;

std::shared_ptr<platform::TreePort> Tree()
{
    return platform::GetTreeControl();
}

void ExpandItem(CDataObject& node)
{
    std::shared_ptr<platform::TreePort> tree = Tree();
    if (tree && node.GetTreeItem())
        tree->Expand(node.GetTreeItem(), platform::TreeExpand::Expand);
}

// The entry or server node an item carries, or null.
CEntryObject* EntryOrServer(platform::TreeItem item)
{
    CDataObject* node = GetTreeItemObject(item);
    if (!node || (node->GetType() != kNodeEntry && node->GetType() != kNodeServer))
        return nullptr;
    return dynamic_cast<CEntryObject*>(node);
}

// dn is ancestor or lies below it. Compared as values: the target as the
// user wrote it, the tree's DNs as the server sends them ("\2C" for "\,").
bool IsAtOrBelow(const LDAPDN& dn, const LDAPDN& ancestor)
{
    return EndsWithDNValue(ancestor, dn);
}

}  // namespace

CNavigateThread::CNavigateThread(CEntryObject& start, LDAPDN target)
    : CChildrenFetchThread(&start, start.GetServerObject(), 0), m_target(std::move(target)), m_start(&start)
{
    if (CDataObject* selected = GetSelectedTreeObject())
        m_selectedAtStart = selected->GetNodeId();
    m_server = start.GetServerObject();
    if (m_server)
        m_server = m_server->GetServerObject();
    const LDAPOperationOptions* options = GetConnection() ? GetConnection()->GetOptions() : nullptr;
    m_options = options ? std::make_unique<LDAPOperationOptions>(*options) : std::make_unique<LDAPOperationOptions>();
    m_options->SetTimeLimit(0);
    m_options->SetSizeLimit(0);
    m_options->SetDeref(0);
    // The server lies on every path: one that runs a job of its own stops
    // the walk before it starts.
    if (m_server && m_server != m_start && m_server->IsBusy())
        m_failed = true;
    else
        SetCurrentNode(m_server);
}

CNavigateThread::~CNavigateThread() = default;

bool CNavigateThread::IsStartOrFree(const CDataObject& node)
{
    return &node == m_start || !node.IsBusy();
}

bool CNavigateThread::SetCurrentNode(CEntryObject* node)
{
    if (!node) {
        if (m_current && m_current->GetJob().get() == this)
            m_current->SetJob(nullptr);
        m_current = nullptr;
        return false;
    }
    m_previous = m_current;
    m_current = node;
    if (m_previous && m_previous != m_start && m_previous != node) {
        m_previous->SetOverlayImage(0);
        m_previous->ResetBusy();
        m_previous->ResetStatusText();
        if (m_previous->GetJob().get() == this)
            m_previous->SetJob(nullptr);
    }
    node->SetOverlayImage(1);
    node->SetBusy();
    // Made in the constructor, the job is not yet owned: DoWork names it then.
    if (std::shared_ptr<CLDAPThread> self = weak_from_this().lock())
        node->SetJob(self);
    ExpandItem(*node);
    node->SetStatusText(FormatResourceText(kStrGoingTo, {Utf8ToWideString(m_target.GetText())}));
    return true;
}

void CNavigateThread::SetCurrentDN(const LDAPDN& dn)
{
    m_currentDN = dn;
    m_level = dn.GetPartCount();
}

void CNavigateThread::NextLevel()
{
    const size_t count = m_target.GetPartCount();
    if (m_level >= count)
        return;
    ++m_level;
    LDAPDN next;
    next = m_target.GetPart(count - m_level);
    next += m_currentDN;
    m_currentDN = std::move(next);
}

// --- finding the start ---

CEntryObject* CNavigateThread::FindStartNode()
{
    if (!m_server)
        return nullptr;
    const LDAPDN base = m_server->GetBaseDN();
    if (base.GetPartCount() != 0 && IsAtOrBelow(m_target, base)) {
        SetCurrentNode(m_server);
        if (m_target.GetPartCount() == base.GetPartCount()) {
            SetCurrentDN(m_server->GetDN());
        } else {
            SetCurrentDN(base);
            NextLevel();
            WalkExistingItems(m_server->GetTreeItem());
        }
    } else if (base.GetPartCount() != 0) {
        SetCurrentDN(m_target);
        WalkExistingItems(m_server->GetTreeItem());
    } else {
        FindNamingContextNode();
        if (m_failed)
            return nullptr;
        if (m_namingContext) {
            if (SameDNValue(m_target, m_current->GetDN())) {
                SetCurrentDN(m_current->GetDN());
            } else {
                NextLevel();
                WalkExistingItems(m_current->GetTreeItem());
            }
        }
    }
    return m_current;
}

void CNavigateThread::FindNamingContextNode()
{
    std::shared_ptr<platform::TreePort> tree = Tree();
    if (!tree || !m_server)
        return;
    for (platform::TreeItem child = tree->GetChildItem(m_server->GetTreeItem()); child;
         child = tree->GetNextSiblingItem(child)) {
        CEntryObject* node = EntryOrServer(child);
        if (!node || node->GetType() != kNodeEntry || !node->IsNamingContext())
            continue;
        const LDAPDN dn = node->GetDN();
        if (dn.GetPartCount() > m_target.GetPartCount() || !IsAtOrBelow(m_target, dn))
            continue;
        if (!IsStartOrFree(*node)) {
            m_failed = true;
            return;
        }
        SetCurrentNode(node);
        m_namingContext = true;
        SetCurrentDN(dn);
        return;
    }
}

void CNavigateThread::WalkExistingItems(platform::TreeItem item)
{
    std::shared_ptr<platform::TreePort> tree = Tree();
    if (!tree || !item)
        return;
    for (platform::TreeItem child = tree->GetChildItem(item); child; child = tree->GetNextSiblingItem(child)) {
        CEntryObject* node = EntryOrServer(child);
        if (!node)
            continue;
        const LDAPDN dn = node->GetDN();
        if (dn.GetPartCount() == 0 || !IsAtOrBelow(m_currentDN, dn))
            continue;
        SetCurrentDN(dn);
        if (!IsStartOrFree(*node)) {
            m_failed = true;
            return;
        }
        SetCurrentNode(node);
        if (SameDNValue(m_target, m_currentDN) || !node->IsChildrenLoaded())
            return;
        NextLevel();
        WalkExistingItems(node->GetTreeItem());
        return;
    }
}

// --- the levels ---

void CNavigateThread::DoWork()
{
    if (m_current && m_current != m_start)
        m_current->SetJob(shared_from_this());
    if (m_failed) {
        m_start->ReportInformation(LoadResourceText(kStrPathBusy), std::wstring());
        return;
    }
    if (m_target.GetPartCount() == 0) {
        m_currentDN = m_target;
        Finish();
        return;
    }
    bool found = false;
    if (!RunOnUiThread([&] { found = FindStartNode() != nullptr; }))
        ThrowIfBreak();
    if (m_failed) {
        if (m_current) {
            m_current->ReportInformation(LoadResourceText(kStrPathBusy), std::wstring());
            m_current->SetOverlayImage(0);
            m_current->ResetBusy();
        }
        SetCurrentNode(nullptr);
        return;
    }
    if (!m_current)
        SetCurrentNode(m_server);
    if (!m_current)
        return;
    if (SameDNValue(m_target, m_current->GetDN())) {
        Finish();
        return;
    }
    if (SameDNValue(m_currentDN, m_current->GetDN()))
        NextLevel();
    m_current->SetChildrenLoaded(true);
    ExpandItem(*m_current);

    const LDAPConnectionPtr& connection = GetConnection();
    if (!connection)
        throw LDAPException(kLDAPParamError);
    for (;;) {
        StringList attributes;
        RefPtr<CLDAPSchema> schema = m_current->GetSchema();
        attributes.Add(!HasRetried() && schema && schema->GetServerKind() != kServerExchange ? "1.1" : "objectclass");
        DeleteCurrentQueue();
        ConnectAtSafePoint(*connection);
        SetCurrentQueue(connection->Search(m_currentDN.GetText(), 0, m_filter, attributes, false, m_options.get()));
        bool nextLevel = false;
        while (!nextLevel) {
            std::unique_ptr<LDAPResponse> response = WaitForNextResponse();
            if (!response) {
                Finish();
                return;
            }
            switch (response->GetMessageType()) {
            case kLDAPSearchEntry:
                ++m_levelEntries;
                OnEntry(static_cast<LDAPEntryResponse&>(*response).GetEntry(), LDAPConnectionPtr());
                KeptResponse() = std::move(response);
                if (SameDNValue(m_currentDN, m_target)) {
                    Finish();
                    return;
                }
                NextLevel();
                nextLevel = true;
                break;
            case kLDAPSearchResult:
                if (!KeptResponse())
                    KeptResponse() = std::move(response);
                else
                    KeptResponse().reset();
                Finish();
                return;
            default:
                break;
            }
        }
    }
}

CEntryObject* CNavigateThread::InsertEntry(const LDAPDN& dn, const LDAPConnectionPtr& connection,
                                           CDataObject& parent)
{
    auto node = std::make_unique<CEntryObject>(connection, dn, m_server, false, false);
    CEntryObject* inserted = nullptr;
    RunOnUiThread([&] {
        if (!parent.GetTreeItem() || !InsertObjectItem(*node, parent.GetTreeItem()))
            return;
        inserted = node.release();  // the tree owns it from here
        parent.UpdateChildIndicator();
    });
    return inserted;
}

void CNavigateThread::OnEntry(const LDAPEntry& entry, const LDAPConnectionPtr&)
{
    if (!m_current)
        return;
    CEntryObject* node = InsertEntry(LDAPDN(entry.GetDN()), m_current->GetConnection(), *m_current);
    if (!node)
        ThrowIfBreak();
    ExpandItem(*m_current);
    SetCurrentNode(node);
    node->SetChildrenLoaded(true);
}

CEntryObject* CNavigateThread::ReadTargetDirectly()
{
    if (!m_current || m_current->GetDN().GetPartCount() != 1 || !m_server)
        return nullptr;
    if (!ReadEntryAttributes(m_target, false)) {
        if (IsCancelled())
            ThrowIfBreak();
        return nullptr;
    }
    return InsertEntry(m_target, GetConnection(), *m_server);
}

void CNavigateThread::LoadNodeAttributes(CEntryObject& node)
{
    if (node.GetAttributeNodeCount() == 0) {
        const LDAPDN dn = node.GetDN();
        if (const LDAPAttributeList* attributes = ReadEntryAttributes(dn, false)) {
            node.ReleaseAttributeNodes();
            node.CreateAttributeNodes(*attributes, false);
            if (const LDAPAttributeList* operational = ReadEntryAttributes(dn, true))
                node.CreateAttributeNodes(*operational, true);
            node.RemoveDuplicateAttributeNodes();
        }
        if (IsCancelled())
            ThrowIfBreak();
    }
    node.SetChildrenLoaded(true);
}

void CNavigateThread::OnSearchDone()
{
    if (!m_current)
        return;
    if (!SameDNValue(m_target, m_current->GetDN())) {
        if (CEntryObject* node = ReadTargetDirectly()) {
            SetCurrentNode(node);
            if (!SameDNValue(m_target, node->GetDN()))
                NextLevel();
        }
    }
    ExpandItem(*m_current);
    m_current->SetStatusText(LoadResourceText(kStrReadingTarget));
    LoadNodeAttributes(*m_current);
    m_current->ResetBusy();
    m_current->SetOverlayImage(0);
    m_current->ResetStatusText();
    m_current->UpdateChildIndicator();
}

void CNavigateThread::Finish()
{
    SignalDone();
    if (CheckCancelled(nullptr, false))
        return;
    std::lock_guard<std::mutex> lock(m_lock);
    OnSearchDone();
    if (!m_current)
        return;
    CEntryObject& current = *m_current;
    ExpandItem(current);
    current.UpdateChildIndicator();
    RunOnUiThread([&] {
        // Not when the user went elsewhere meanwhile.
        CDataObject* selected = GetSelectedTreeObject();
        if (!selected || selected->GetNodeId() != m_selectedAtStart)
            return;
        SelectNavigatedItem(current.GetTreeItem());
        current.ShowContents(0);
    });
    if (!SameDNValue(m_currentDN, current.GetDN())) {
        const LDAPDN& missing = m_currentDN.GetPartCount() != 0 ? m_currentDN : m_target;
        const std::wstring detail = FormatResourceText(kStrNotFound, {Utf8ToWideString(missing.GetText())});
        LogLine(detail);
        current.ReportInformation(LoadResourceText(kStrNotReached), detail);
    }
    m_lastNode = current.GetNodeId();
    SetCurrentNode(nullptr);
}

// --- the end ---

void CNavigateThread::OnError(LDAPException error)
{
    m_start->ReportError(error);
    SetStatusText(FormatLDAPError(error));
}

bool CNavigateThread::CheckResult(int resultCode)
{
    if (resultCode < 1 || resultCode > kLastReportedCode)
        return true;
    LDAPException error(resultCode);
    const NodeId last = m_lastNode != kNoNode ? m_lastNode : m_start->GetNodeId();
    // Looked up where nodes are deleted, so it cannot go while it reports.
    RunOnUiThread([&] {
        if (CDataObject* node = NodeRegistry::Find(last))
            node->ReportError(error);
    });
    SetStatusText(FormatLDAPError(error));
    return true;
}

void CNavigateThread::OnFinish()
{
    // A job that ended early leaves the node it was working at as it found it.
    if (m_current && m_current != m_start) {
        m_current->SetOverlayImage(0);
        m_current->ResetBusy();
        m_current->UpdateChildIndicator();
        m_current->ResetStatusText();
    }
    SetCurrentNode(nullptr);
    CChildrenFetchThread::OnFinish();
}

std::shared_ptr<CLDAPThread> MakeNavigateJob(CLDAPObject& from, const arbldap::LDAPDN& dn)
{
    auto* start = dynamic_cast<CEntryObject*>(&from);
    return start ? std::make_shared<CNavigateThread>(*start, dn) : nullptr;
}
