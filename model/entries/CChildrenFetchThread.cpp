#include "model/entries/CChildrenFetchThread.h"

#include "model/entries/EntryJobs.h"

#include <cwctype>
#include <utility>

#include "base/NoCase.h"
#include "ldap/FormatLDAPError.h"
#include "ldap/LDAPEntry.h"
#include "ldap/LDAPResponse.h"
#include "ldap/LDAPResultQueue.h"
#include "model/profiles/CAppConfig.h"
#include "model/entries/CEntryObject.h"
#include "model/entries/CServerObject.h"
#include "model/entries/CChildInserter.h"
#include "model/nodes/ListSorting.h"
#include "model/ports/ResourceText.h"
#include "model/nodes/TreeViewOperations.h"
#include "model/ports/UiThread.h"
#include "schema/SyntaxCatalogue.h"

using namespace arbldap;

namespace {

constexpr int kLDAPNoSuchAttribute = 16;

int ResultCodeOf(const LDAPResponse* response)
{
    auto* result = dynamic_cast<const LDAPResultResponse*>(response);
    return result ? result->GetResultCode() : kLDAPSuccess;
}

} // namespace

CChildrenFetchThread::CChildrenFetchThread(CEntryObject* node, CServerObject* server, int mode)
    : CLDAPOperationThread(node, nullptr), m_server(server), m_mode(mode)
{
    if (!node)
        return;
    if (node->GetType() == kNodeEntry)
        m_baseDN = node->GetDN();
    else if (CServerObject* owner = node->GetServerObject())
        m_baseDN = owner->GetDN();
    SetNodeOverlay(1);

    m_schema = node->GetSchema();
    bool subschema = false;
    if (m_schema && m_schema->GetLoadState() != kSchemaFetchInProgress) {
        int kind = m_schema->GetServerKind();
        if (kind == kServerOpenLDAP2 || kind == kServerExchange || kind == kServerSecureWay)
            subschema = IsSubschemaDN(m_schema->GetContent()->GetRootInfo().subschemaDN);
    }
    m_scope = m_baseDN.GetText().empty() || subschema ? 0 : 1;

    if (server) {
        m_attributes = server->GetAttributes();
        m_extraOperational = server->GetExtraOperationalAttributes();
    }
    m_filter = node->GetEffectiveFilter();
    m_parentFilter = node->GetCustomFilterText();
}

CChildrenFetchThread::~CChildrenFetchThread() = default;

bool CChildrenFetchThread::IsSubschemaDN(const std::string& dn) const
{
    return m_baseDN == LDAPDN(dn);
}

CEntryObject& CChildrenFetchThread::Node()
{
    auto* node = dynamic_cast<CEntryObject*>(GetNode());
    if (!node)
        ThrowIfBreak();
    return *node;
}

void CChildrenFetchThread::DoWork()
{
    const std::wstring searching = LoadResourceText(kStrSearchingChildren);
    // Reads sent ahead and not taken go with the work, on this thread.
    struct DropReads {
        CChildrenFetchThread& job;
        ~DropReads() { job.DropAttributeReads(); }
    } dropReads{*this};
    if (m_mode != 0) {
        OnSearchDone();
        m_attributeEntry.reset();
        return;
    }
    for (;;) {
        SetNodeStatusText(searching);
        StringList attributes;
        bool exchange = m_schema && m_schema->GetServerKind() == kServerExchange;
        attributes.Add(m_retry || exchange ? "objectclass" : "1.1");

        std::unique_ptr<LDAPResponse> result = RunChildSearch(m_baseDN, m_scope, attributes, true);
        m_resultCode = ResultCodeOf(result.get());
        if (m_resultCode == kLDAPNoSuchAttribute && m_entryCount == 0 && !m_retry) {
            m_retry = true;
            DeleteCurrentQueue();
            m_attributeEntry.reset();
            DropAttributeReads();
            continue;
        }
        try {
            OnSearchDone();
        } catch (...) {
            KeptResponse() = std::move(result);
            throw;
        }
        KeptResponse() = std::move(result);
        return;
    }
}

std::unique_ptr<LDAPResponse> CChildrenFetchThread::RunChildSearch(const LDAPDN& base, int scope,
                                                                   const StringList& attributes, bool thenAttributes)
{
    const LDAPConnectionPtr& connection = GetConnection();
    if (!connection)
        throw LDAPException(kLDAPParamError);
    DeleteCurrentQueue();
    ConnectAtSafePoint(*connection);
    SetCurrentQueue(connection->Search(base.GetText(), scope, m_filter, attributes, false, connection->GetOptions()));
    SetNodeOverlay(1);
    // What arrived stays in the tree, whatever ends the search.
    struct Flush {
        CChildrenFetchThread& job;
        ~Flush()
        {
            try {
                job.WaitForChildren();
            } catch (...) {
            }
        }
    } flush{*this};
    // Kept from one response to the next: the queue sets it only when it
    // changes, so the connection's count is not touched per entry.
    LDAPConnectionPtr over;
    const LDAPConnectionPtr own;
    for (;;) {
        std::unique_ptr<LDAPResponse> response = WaitForNextResponse(&over);
        if (!response) {
            DeleteCurrentQueue();
            return nullptr;
        }
        switch (response->GetMessageType()) {
        case kLDAPSearchEntry:
            ++m_entryCount;
            OnEntry(static_cast<LDAPEntryResponse&>(*response).GetEntry(), over == connection ? own : over);
            break;
        case kLDAPSearchResult:
            DeleteCurrentQueue();
            if (thenAttributes)
                StartAttributeReads();
            return response;
        default:
            break;  // references were followed by the queue, or could not be
        }
    }
}

void CChildrenFetchThread::OnEntry(const LDAPEntry& entry, const LDAPConnectionPtr& connection)
{
    // The node is made on the inserter's thread, while this one reads on.
    InsertChild(ChildSource{entry.GetDN(), connection, false});
}

std::unique_ptr<CEntryObject> CChildrenFetchThread::MakeChild(const ChildSource& source)
{
    LDAPDN dn = LDAPDN::ChildOf(source.dn, m_baseDN);
    if (source.dn.empty() || dn == m_baseDN)
        return nullptr;
    if (!GetNode())
        return nullptr;
    const bool referral = source.connection != nullptr;
    auto child = std::make_unique<CEntryObject>(referral ? source.connection : GetConnection(), std::move(dn), m_server,
                                                source.namingContext, referral,
                                                referral ? RefPtr<CLDAPSchema>() : m_schema);
    // The parent's custom filter as it was when the job started.
    if (m_parentFilter)
        child->ShareCustomFilter(m_parentFilter);
    return child;
}

void CChildrenFetchThread::InsertChild(ChildSource source)
{
    if (m_pendingChildren.empty())
        m_pendingChildren.reserve(kChildBatchSize);
    m_pendingChildren.push_back(std::move(source));
    const auto now = std::chrono::steady_clock::now();
    if (m_pendingChildren.size() >= kChildBatchSize || now - m_lastFlush >= std::chrono::milliseconds(kChildBatchMs))
        FlushChildren();
}

void CChildrenFetchThread::FlushChildren()
{
    CChildInserter::Batch batch;
    batch.swap(m_pendingChildren);
    if (batch.empty())
        return;
    m_lastFlush = std::chrono::steady_clock::now();
    if (!m_inserter)
        m_inserter = std::make_unique<CChildInserter>(
            [this](const ChildSource& source) { return MakeChild(source); },
            [this](CChildInserter::Nodes& nodes, const ArrivalOrder& order) { InsertNodes(nodes, order); });
    m_inserter->Queue(std::move(batch));
}

void CChildrenFetchThread::WaitForChildren()
{
    FlushChildren();
    if (m_inserter)
        m_inserter->Wait();
}

void CChildrenFetchThread::InsertNodes(CChildInserter::Nodes& nodes, const ArrivalOrder& order)
{
    auto* node = dynamic_cast<CEntryObject*>(GetNode());
    platform::TreeItem parent = node ? node->GetTreeItem() : platform::TreeItem{};
    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    if (!parent || !tree)
        return;
    // One layout and one ensure-visible for the batch, not one per child.
    platform::ScopedUpdateLock lock(*tree);
    node->SetChildrenInOrder(false);
    const bool ensureVisible = EnsuresVisible(*tree, parent);
    bool all = true;
    for (std::unique_ptr<CEntryObject>& child : nodes) {
        if (!InsertObjectItem(*child, parent, *tree, ensureVisible)) {
            all = false;
            continue;
        }
        child.release();
        if (!m_firstChild) {
            m_firstChild = true;
            node->UpdateChildIndicator();
        }
    }
    // The order was watched as the nodes were made; a child the tree did
    // not take leaves it unknown.
    m_arrival.Append(order);
    if (!all)
        m_arrival.Lose();
}

void CChildrenFetchThread::OnSearchDone()
{
    CEntryObject& node = Node();
    // The server answers while the node is made ready.
    StartAttributeReads();
    node.ReleaseAttributeNodes();
    const std::wstring reading = LoadResourceText(kStrReadingAttributes);
    // One trip to the user-interface thread for both.
    auto show = [&] {
        if (m_mode == 0) {
            std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
            platform::TreeItem item = node.GetTreeItem();
            if (tree && item)
                tree->Expand(item, platform::TreeExpand::Expand);
        }
        SetNodeStatusText(reading);
    };
    if (!RunOnUiThread(show))
        show();

    const LDAPAttributeList* attributes = ReadEntryAttributes(m_baseDN, false);
    if (!attributes) {
        if (IsCancelled())
            ThrowIfBreak();
        return;
    }
    node.CreateAttributeNodes(*attributes, false);
    attributes = ReadEntryAttributes(m_baseDN, true);
    if (!attributes) {
        if (IsCancelled())
            ThrowIfBreak();
        return;
    }
    node.CreateAttributeNodes(*attributes, true);
    node.RemoveDuplicateAttributeNodes();
    m_attributeEntry.reset();

    if (GetAppConfig().m_bShowNamingContexts.load() && m_baseDN.GetText().empty()) {
        StringList contexts;
        node.GetNamingContexts(contexts);
        for (const std::string& context : contexts)
            InsertChild(ChildSource{context, LDAPConnectionPtr(), true});
        WaitForChildren();
        if (contexts.IsEmpty())
            FetchRootChildren();
    }

    const int resultCode = m_resultCode;
    RunOnUiThread([&] {
        if (resultCode != kLDAPSuccess)
            return;
        // The list shows the children in the tree's order: the tree's first.
        SortTreeChildren(node.GetTreeItem(), &m_arrival);
        // Fetched in ascending order, as the view flag says.
        node.SetEntryView(true);
        if (node.IsCurrent())
            node.UpdateViews();
    });
    node.SetContentsFetched(true);
}

void CChildrenFetchThread::StartAttributeReads()
{
    for (int operational = 0; operational < 2 && !m_attributeReadFailure; ++operational) {
        if (m_attributeReads[operational])
            continue;
        try {
            m_attributeReads[operational] = SendAttributeRead(m_baseDN, operational != 0);
        } catch (const LDAPException&) {
            m_attributeReadFailure = std::current_exception();
        }
    }
}

void CChildrenFetchThread::DropAttributeReads()
{
    for (std::unique_ptr<LDAPResultQueue>& queue : m_attributeReads)
        queue.reset();
    m_attributeReadFailure = nullptr;
}

const LDAPAttributeList* CChildrenFetchThread::ReadEntryAttributes(const LDAPDN& dn, bool operational)
{
    std::unique_ptr<LDAPResultQueue> queue;
    if (dn == m_baseDN) {
        queue = std::move(m_attributeReads[operational ? 1 : 0]);
        if (!queue && m_attributeReadFailure)
            std::rethrow_exception(std::exchange(m_attributeReadFailure, nullptr));
    }
    if (!queue)
        queue = SendAttributeRead(dn, operational);
    DeleteCurrentQueue();
    SetCurrentQueue(std::move(queue));
    for (;;) {
        std::unique_ptr<LDAPResponse> response;
        SignalDone();
        try {
            response = GetCurrentQueue()->GetNextResponse();
        } catch (...) {
            bool cancelled = CheckCancelled(&response, false);
            ResetDone();
            if (cancelled)
                return nullptr;
            throw;
        }
        bool cancelled = CheckCancelled(&response, false);
        ResetDone();
        if (cancelled || !response)
            return nullptr;
        switch (response->GetMessageType()) {
        case kLDAPSearchEntry:
            ++m_entryCount;
            m_attributeEntry = std::move(response);
            return &static_cast<LDAPEntryResponse&>(*m_attributeEntry).GetEntry().GetAttributes();
        case kLDAPSearchResult:
            return nullptr;
        default:
            break;
        }
    }
}

std::unique_ptr<LDAPResultQueue> CChildrenFetchThread::SendAttributeRead(const LDAPDN& dn, bool operational)
{
    StringList names;
    if (operational) {
        if (m_schema)
            names = GetOperationalAttributeNames();
        for (const std::string& name : m_extraOperational)
            names.Add(name);
        // No names would ask for the user attributes, as if they were operational.
        if (names.IsEmpty())
            names.Add("1.1");
    } else {
        names = m_attributes;
    }
    const LDAPConnectionPtr& connection = GetConnection();
    if (!connection)
        throw LDAPException(kLDAPParamError);
    return connection->Search(dn.GetText(), 0, "(objectclass=*)", names, false, nullptr);
}

void CChildrenFetchThread::FetchRootChildren()
{
    StringList attributes;
    attributes.Add("1.1");
    std::unique_ptr<LDAPResponse> result = RunChildSearch(m_baseDN, 1, attributes);
    m_resultCode = ResultCodeOf(result.get());
}

bool CChildrenFetchThread::CheckResult(int resultCode)
{
    if (resultCode == kLDAPSuccess) {
        if (m_entryCount == 0)
            if (IJobNode* node = GetNode())
                node->ReportInformation(LoadResourceText(kStrNoEntries), std::wstring());
        return true;
    }
    OnError(LDAPException(resultCode));
    return false;
}

void CChildrenFetchThread::OnError(LDAPException error)
{
    if (auto* node = dynamic_cast<CEntryObject*>(GetNode()))
        node->ReportError(error);
    SetStatusText(FormatLDAPError(error));
}

std::shared_ptr<CLDAPThread> MakeChildrenFetchJob(CEntryObject* node, CServerObject* server, int mode)
{
    return std::make_shared<CChildrenFetchThread>(node, server, mode);
}
