
#include "base/NoCase.h"
#include "jobs/CLDAPFetchThread.h"

#include "ldap/LDAPAttribute.h"
#include "ldap/LDAPEntry.h"
#include "ldap/LDAPException.h"
#include "ldap/LDAPResponse.h"
#include "ldap/LDAPResultQueue.h"

using namespace arbldap;

namespace {

int ResultCodeOf(const LDAPResponse& response)
{
    auto* result = dynamic_cast<const LDAPResultResponse*>(&response);
    return result ? result->GetResultCode() : kLDAPOther;
}

std::unique_ptr<LDAPEntryResponse> AsEntry(std::unique_ptr<LDAPResponse>& response)
{
    if (!dynamic_cast<LDAPEntryResponse*>(response.get()))
        return nullptr;
    return std::unique_ptr<LDAPEntryResponse>(static_cast<LDAPEntryResponse*>(response.release()));
}

}  // namespace

CLDAPFetchThread::CLDAPFetchThread() = default;

CLDAPFetchThread::CLDAPFetchThread(LDAPConnectionPtr connection, const LDAPOperationOptions* options)
    : m_connection(std::move(connection)), m_options(options)
{
}

CLDAPFetchThread::~CLDAPFetchThread() = default;

void CLDAPFetchThread::AbandonCurrent()
{
    LDAPResultQueue* queue = GetCurrentQueue();
    if (!queue || !m_connection)
        return;
    try {
        m_connection->Abandon(queue);
    } catch (const LDAPException&) {
        // The server forgets it with the session at the latest.
    }
}

std::unique_ptr<LDAPResponse> CLDAPFetchThread::NextResponse()
{
    LDAPResultQueue* queue = GetCurrentQueue();
    std::unique_ptr<LDAPResponse> response;
    SignalDone();
    try {
        response = queue->GetNextResponse();
    } catch (...) {
        if (IsCancelled())
            AbandonCurrent();
        CheckCancelled(&response, true);
        ResetDone();
        throw;
    }
    if (IsCancelled())
        AbandonCurrent();
    CheckCancelled(&response, true);
    ResetDone();
    return response;
}

bool CLDAPFetchThread::RunSearch(const std::string& baseDN, int scope, const std::string& filter,
                                 const StringList& attributes, bool stopAtReference,
                                 const std::function<void(std::unique_ptr<LDAPEntryResponse>)>& onEntry)
{
    DeleteCurrentQueue();
    if (!m_connection)
        throw LDAPException(kLDAPParamError);
    ConnectAtSafePoint(*m_connection);
    SetCurrentQueue(m_connection->Search(baseDN, scope, filter, attributes, false, m_options));
    for (;;) {
        std::unique_ptr<LDAPResponse> response = NextResponse();
        if (!response) {
            DeleteCurrentQueue();
            return false;
        }
        switch (response->GetMessageType()) {
        case kLDAPSearchEntry:
            onEntry(AsEntry(response));
            break;
        case kLDAPSearchResult: {
            int code = ResultCodeOf(*response);
            DeleteCurrentQueue();
            if (code != kLDAPSuccess)
                throw LDAPException(code);
            return true;
        }
        default:
            if (stopAtReference) {
                DeleteCurrentQueue();
                return false;
            }
            break;
        }
    }
}

bool CLDAPFetchThread::FetchAttributeValues(const std::string& baseDN, const std::string& filter,
                                            const StringList& attributes)
{
    m_keptEntry.reset();
    // A reference where the entry should be counts as no entry.
    bool done = RunSearch(baseDN, 0, filter, attributes, true,
                          [this](std::unique_ptr<LDAPEntryResponse> entry) { m_keptEntry = std::move(entry); });
    return done && m_keptEntry != nullptr;
}

bool CLDAPFetchThread::GetFetchedValues(const std::string& name, StringList& values) const
{
    values.Clear();
    if (!m_keptEntry)
        return false;
    for (const LDAPAttribute& attribute : m_keptEntry->GetEntry().GetAttributes()) {
        if (EqualNoCase(attribute.GetName(), name)) {
            values = attribute.GetValues();
            break;
        }
    }
    return !values.IsEmpty();
}

bool CLDAPFetchThread::GetAttributeValuePairs(const std::string& name,
                                              std::multimap<std::string, std::string>& pairs) const
{
    pairs.clear();
    if (!m_keptEntry)
        return false;
    for (const LDAPAttribute& attribute : m_keptEntry->GetEntry().GetAttributes()) {
        if (!name.empty() && !EqualNoCase(attribute.GetName(), name))
            continue;
        for (std::string_view value : attribute.GetValues())
            pairs.emplace(attribute.GetName(), value);
    }
    return !pairs.empty();
}

bool CLDAPFetchThread::SearchOneLevel(const std::string& baseDN, const std::string& filter,
                                      const StringList& attributes)
{
    m_entries.clear();
    m_keptEntry.reset();
    return RunSearch(baseDN, 1, filter, attributes, false, [this](std::unique_ptr<LDAPEntryResponse> entry) {
        if (entry)
            m_entries.push_back(std::move(entry));
    });
}

bool CLDAPFetchThread::GetFoundDNs(StringList& dns) const
{
    dns.Clear();
    for (const std::unique_ptr<LDAPEntryResponse>& entry : m_entries)
        dns.Add(entry->GetEntry().GetDN());
    return true;
}
