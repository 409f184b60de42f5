#include "model/clipboard/CCopyEntriesThread.h"

#include <utility>

#include "base/LogStream.h"
#include "base/NoCase.h"
#include "base/Utf8.h"
#include "ldap/LDAPModificationList.h"
#include "ldap/LDAPResponse.h"
#include "ldap/LDAPResultQueue.h"
#include "model/entries/CLDAPObject.h"
#include "model/entries/CServerObject.h"
#include "model/ports/NodeDialogs.h"
#include "model/ports/NodeRegistry.h"
#include "model/ports/ResourceText.h"
#include "model/nodes/TreeViewOperations.h"
#include "model/ports/UiThread.h"
#include "schema/LDAPSchema.h"

using namespace arbldap;

namespace {

constexpr unsigned kStrCaption = 443;
constexpr unsigned kStrMainText = 445;
constexpr unsigned kStrSearchFailed = 553;
constexpr unsigned kStrModifyFailed = 554;
constexpr unsigned kStrCreateFailed = 555;
constexpr unsigned kStrDeleteFailed = 556;
constexpr unsigned kStrGoOn = 557;
constexpr unsigned kStrGoOnDetail = 577;
constexpr unsigned kStrInsideSource = 558;
constexpr int kAnimation = 198;
constexpr uint32_t kYesNoExclamation = 0x34;
constexpr int kAnswerYes = 6;
constexpr int kModAdd = 0;
constexpr int kModDelete = 1;
const char* const kAllEntries = "(objectClass=*)";

std::unique_ptr<CProgressDlg> MakeProgress(CLDAPObject& target)
{
    return target.CreateProgressDialog(LoadResourceText(kStrCaption), LoadResourceText(kStrMainText), kAnimation);
}

// dn is ancestor or lies below it.
bool IsAtOrBelow(const LDAPDN& dn, const LDAPDN& ancestor)
{
    return ancestor.EndsWith(dn);
}

std::wstring Wide(const std::string& text)
{
    return Utf8ToWideString(text);
}

int ResultCodeOf(const LDAPResponse* response)
{
    auto* result = dynamic_cast<const LDAPResultResponse*>(response);
    return result ? result->GetResultCode() : kLDAPOther;
}

}  // namespace

CCopyEntriesThread::CCopyEntriesThread(CLDAPObject& target, const CArbClipboardContext& content,
                                       CServerObject* source)
    : CLDAPOperationThread(&target, MakeProgress(target)),
      m_content(std::make_unique<CArbClipboardContext>(content)),
      m_targetDN(target.GetDN().GetText()),
      m_targetId(target.GetNodeId()),
      m_move(content.GetOperation() == kClipboardMove)
{
    CServerObject* server = target.GetServerObject();
    if (server)
        m_serverId = server->GetNodeId();
    if (source && source != server) {
        m_source = source->GetConnection();
        m_sourceServerId = source->GetNodeId();
    }
    RefPtr<CLDAPSchema> schema = target.GetSchema();
    m_activeDirectory = schema && schema->GetServerKind() == kServerActiveDirectory;
}

CCopyEntriesThread::~CCopyEntriesThread() = default;

const LDAPConnectionPtr& CCopyEntriesThread::SourceConnection() const
{
    return m_sourceServerId != kNoNode ? m_source : GetConnection();
}

LDAPAttributeList CCopyEntriesThread::FilterAttributes(const LDAPAttributeList& attributes)
{
    LDAPAttributeList filtered;
    for (const LDAPAttribute& attribute : attributes)
        if (!EqualNoCase(attribute.GetName(), "objectGUID"))
            filtered.Add(attribute);
    return filtered;
}

// --- the work ---

void CCopyEntriesThread::DoWork()
{
    if (IsTargetRefused())
        return;
    const int state = m_content->GetState();
    if (state == kClipboardEntry) {
        CopySubtree(m_content->GetDN().GetText(), m_targetDN, true, false);
        return;
    }
    for (const LDAPDN& dn : m_content->GetDNList()) {
        if (IsCancelled())
            ThrowIfBreak();
        CopySubtree(dn.GetText(), m_targetDN, true, false);
    }
    CopyAttributes();
}

bool CCopyEntriesThread::IsTargetRefused()
{
    // The DNs of another server say nothing about the target's.
    if (m_sourceServerId != kNoNode)
        return false;
    const LDAPDN target(m_targetDN);
    const int state = m_content->GetState();
    const LDAPDN* inside = nullptr;
    if (state == kClipboardEntry && IsAtOrBelow(target, m_content->GetDN()))
        inside = &m_content->GetDN();
    for (const LDAPDN& dn : m_content->GetDNList())
        if (!inside && IsAtOrBelow(target, dn))
            inside = &dn;
    // Values onto the entry they came from: a move would delete what it added.
    if (!inside && (state == kClipboardValues || state == kClipboardEntriesAndValues) &&
        target == m_content->GetDN())
        inside = &m_content->GetDN();
    if (!inside)
        return false;
    if (IJobNode* node = GetNode())
        node->ReportInformation(FormatResourceText(kStrInsideSource, {Wide(m_targetDN), Wide(inside->GetText())}),
                                std::wstring());
    return true;
}

bool CCopyEntriesThread::CopySubtree(const std::string& source, const std::string& targetParent, bool top,
                                     bool copied)
{
    std::string copy = targetParent;  // the source's copy: its children go there
    if (top) {
        LDAPEntryList found;
        if (!Search(source, 0, found))
            return false;
        if (found.IsEmpty()) {
            if (!AskContinue())
                throw LDAPException(kLDAPOther);
            return false;
        }
        copied = CreateEntry(*found.begin(), targetParent);
        copy = LDAPDN(source).GetFirstPart().GetText() + "," + targetParent;
    }
    LDAPEntryList children;
    bool complete = Search(source, 1, children) && copied;
    for (const LDAPEntry& child : children) {
        const bool childCopied = CreateEntry(child, copy);
        const std::string childCopy = LDAPDN(child.GetDN()).GetFirstPart().GetText() + "," + copy;
        complete = CopySubtree(child.GetDN(), childCopy, false, childCopied) && complete;
    }
    if (m_move && complete)
        complete = DeleteEntry(source);
    return complete;
}

bool CCopyEntriesThread::Search(const std::string& dn, int scope, LDAPEntryList& entries)
{
    entries.Clear();
    const LDAPConnectionPtr& connection = SourceConnection();
    if (!connection)
        throw LDAPException(kLDAPParamError);
    try {
        DeleteCurrentQueue();
        ConnectAtSafePoint(*connection);
        SetCurrentQueue(connection->Search(dn, scope, kAllEntries, StringList(), false));
        if (FetchEntries(entries) || scope == 0)
            return true;  // the base entry's absence is asked about by the caller
    } catch (const LDAPException&) {
        LogLine(LoadResourceText(kStrSearchFailed));
        if (!AskContinue())
            throw;
        return false;
    }
    // The children are not all known: the subtree is not complete.
    LogLine(LoadResourceText(kStrSearchFailed));
    if (!AskContinue())
        throw LDAPException(kLDAPOther);
    return false;
}

bool CCopyEntriesThread::FetchEntries(LDAPEntryList& entries)
{
    entries.Clear();
    if (!GetCurrentQueue())
        return false;
    for (;;) {
        std::unique_ptr<LDAPResponse> response = WaitForNextResponse();
        if (!response) {
            DeleteCurrentQueue();
            return false;
        }
        switch (response->GetMessageType()) {
        case kLDAPSearchEntry: {
            const LDAPEntry& entry = static_cast<LDAPEntryResponse&>(*response).GetEntry();
            SetStatusText(L"Fetch : " + Wide(entry.GetDN()));
            entries.Add(entry);
            break;
        }
        case kLDAPSearchResult: {
            const int code = ResultCodeOf(response.get());
            DeleteCurrentQueue();
            return code == kLDAPSuccess;
        }
        case kLDAPSearchReference:
            break;
        default:
            DeleteCurrentQueue();
            return false;
        }
    }
}

int CCopyEntriesThread::RunRequest(std::unique_ptr<LDAPResultQueue> queue)
{
    DeleteCurrentQueue();
    SetCurrentQueue(std::move(queue));
    std::unique_ptr<LDAPResponse> response = WaitForNextResponse();
    const int code = ResultCodeOf(response.get());
    DeleteCurrentQueue();
    return code;
}

bool CCopyEntriesThread::StepFailed(unsigned stringId, const std::string& dn, int resultCode)
{
    LogLine(FormatResourceText(stringId, {Wide(dn), Wide(GetLDAPErrorText(resultCode))}));
    if (!AskContinue())
        throw LDAPException(resultCode);
    return false;
}

bool CCopyEntriesThread::CreateEntry(const LDAPEntry& entry, const std::string& targetParent)
{
    const LDAPDN dn(entry.GetDN());
    if (dn.GetPartCount() == 0)
        return false;
    const std::string newDN = dn.GetFirstPart().GetText() + "," + targetParent;
    LDAPAttributeList attributes =
        m_activeDirectory ? FilterAttributes(entry.GetAttributes()) : LDAPAttributeList(entry.GetAttributes());
    SetStatusText(L"Create: " + Wide(newDN));
    const int code = RunRequest(GetConnection()->Add(LDAPEntry(newDN, new LDAPAttributeList(std::move(attributes)))));
    m_changed = m_changed || code == kLDAPSuccess;
    return code == kLDAPSuccess || StepFailed(kStrCreateFailed, newDN, code);
}

bool CCopyEntriesThread::DeleteEntry(const std::string& dn)
{
    SetStatusText(L"Delete: " + Wide(dn));
    const LDAPConnectionPtr& connection = SourceConnection();
    if (!connection)
        throw LDAPException(kLDAPParamError);
    const int code = RunRequest(connection->Delete(dn));
    m_changed = m_changed || code == kLDAPSuccess;
    return code == kLDAPSuccess || StepFailed(kStrDeleteFailed, dn, code);
}

void CCopyEntriesThread::CopyAttributes()
{
    const LDAPAttributeList& attributes = m_content->GetAttributes();
    if (attributes.IsEmpty())
        return;
    LDAPModificationList modifications;
    for (const LDAPAttribute& attribute : attributes)
        modifications.Add(LDAPModification(attribute, kModAdd));
    int code = RunRequest(GetConnection()->Modify(m_targetDN, modifications));
    if (code != kLDAPSuccess) {
        // Values that were not added stay where they are.
        StepFailed(kStrModifyFailed, m_targetDN, code);
        return;
    }
    m_changed = true;
    if (!m_move)
        return;
    LDAPModificationList removals;
    for (const LDAPAttribute& attribute : attributes)
        removals.Add(LDAPModification(attribute, kModDelete));
    const std::string& source = m_content->GetDN().GetText();
    if (!SourceConnection())
        throw LDAPException(kLDAPParamError);
    code = RunRequest(SourceConnection()->Modify(source, removals));
    if (code != kLDAPSuccess)
        StepFailed(kStrModifyFailed, source, code);
}

bool CCopyEntriesThread::AskContinue()
{
    if (m_continue)
        return true;
    StopAnimation();
    int answer = 0;
    RunOnUiThread([&] {
        if (std::shared_ptr<NodeDialogPort> dialogs = GetNodeDialogPort())
            answer = dialogs->ShowCheckMessageBox(LoadResourceText(kStrGoOn), LoadResourceText(kStrGoOnDetail),
                                                  kStrGoOn, kYesNoExclamation);
    });
    m_continue = answer == kAnswerYes;
    return m_continue;
}

// --- the end ---

void CCopyEntriesThread::OnFinish()
{
    CLDAPOperationThread::OnFinish();
    // Nothing changed (a refused target among others): the views stay, with
    // what the job reported in them.
    if (IsCancelled() || !m_changed)
        return;
    RunOnUiThread([this] { RefreshNodes(); });
}

void CCopyEntriesThread::RefreshNodes()
{
    CDataObject* target = NodeRegistry::Find(m_targetId);
    const bool otherServer = m_sourceServerId != kNoNode;
    // The sources' nodes are below their own server.
    CDataObject* server = NodeRegistry::Find(otherServer ? m_sourceServerId : m_serverId);
    auto refreshDN = [&](const LDAPDN& dn) {
        if (!server)
            return;
        if (CDataObject* node = FindItemByDN(dn, server->GetTreeItem()))
            node->Refresh(0);
    };
    const LDAPDN targetDN(m_targetDN);
    const LDAPDN& source = m_content->GetDN();
    if (!m_move || (!otherServer && IsAtOrBelow(source, targetDN))) {
        if (target)
            target->Refresh(0);
        return;
    }
    if (!otherServer && IsAtOrBelow(targetDN, source)) {
        refreshDN(source);
        return;
    }
    if (target)
        target->Refresh(0);
    if (m_content->GetState() == kClipboardEntry) {
        LDAPDN parent;
        for (size_t i = 1; i < source.GetPartCount(); ++i)
            parent.GetParts().push_back(source.GetPart(i));
        parent.ComposeText();
        refreshDN(parent);
    } else {
        refreshDN(source);
    }
}
