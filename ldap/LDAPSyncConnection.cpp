#include <ldap.h>

#include "ldap/LDAPSyncConnection.h"

#include <iterator>

#include "ldap/LDAPException.h"
#include "ldap/LDAPResultQueue.h"

namespace arbldap {

namespace {

// The one result of an operation; null never reaches the caller.
std::unique_ptr<LDAPResultResponse> ReadResult(LDAPResultQueue& queue)
{
    std::unique_ptr<LDAPResponse> response = queue.GetNextResponse();
    if (!response)
        throw LDAPException(LDAP_SERVER_DOWN);
    auto* result = dynamic_cast<LDAPResultResponse*>(response.get());
    if (!result)
        throw LDAPException(LDAP_DECODING_ERROR);
    response.release();
    return std::unique_ptr<LDAPResultResponse>(result);
}

[[noreturn]] void ThrowFor(const LDAPResultResponse& result)
{
    if (result.GetResultCode() == kLDAPReferral)
        throw LDAPReferralException(result.GetReferrals());
    throw LDAPException(result.GetResultCode());
}

void Check(std::unique_ptr<LDAPResultQueue> queue)
{
    std::unique_ptr<LDAPResultResponse> result = ReadResult(*queue);
    if (result->GetResultCode() != LDAP_SUCCESS)
        ThrowFor(*result);
}

}  // namespace

std::unique_ptr<LDAPEntry> LDAPSearchResults::GetNextEntry()
{
    if (m_nextEntry < m_entries.GetCount()) {
        m_entryPosition = m_nextEntry == 0 ? m_entries.begin() : std::next(m_entryPosition);
        ++m_nextEntry;
        return std::make_unique<LDAPEntry>(*m_entryPosition);
    }
    if (m_nextReference < m_references.size()) {
        m_referencePosition = m_nextReference == 0 ? m_references.begin() : std::next(m_referencePosition);
        ++m_nextReference;
        throw LDAPReferralException(*m_referencePosition);
    }
    return nullptr;
}

RefPtr<LDAPSyncConnection> LDAPSyncConnection::Create(const std::string& host, int port)
{
    return RefPtr<LDAPSyncConnection>(new LDAPSyncConnection(host, port));
}

void LDAPSyncConnection::Bind(const std::string& dn, const std::string& password, LDAPOperationOptions* options)
{
    Check(LDAPConnection::Bind(dn, password, options));
}

void LDAPSyncConnection::Delete(const std::string& dn, const LDAPOperationOptions* options)
{
    Check(LDAPConnection::Delete(dn, options));
}

void LDAPSyncConnection::Add(const LDAPEntry& entry, const LDAPOperationOptions* options)
{
    Check(LDAPConnection::Add(entry, options));
}

void LDAPSyncConnection::Modify(const std::string& dn, const LDAPModificationList& modifications,
                                const LDAPOperationOptions* options)
{
    Check(LDAPConnection::Modify(dn, modifications, options));
}

void LDAPSyncConnection::Rename(const std::string& dn, const std::string& newRDN, bool deleteOldRDN,
                                const std::string& newParent, const LDAPOperationOptions* options)
{
    Check(LDAPConnection::Rename(dn, newRDN, deleteOldRDN, newParent, options));
}

std::string LDAPSyncConnection::Extended(const std::string& oid, const std::string& value,
                                         const LDAPOperationOptions* options, std::string* responseOID)
{
    std::unique_ptr<LDAPResultQueue> queue = LDAPConnection::Extended(oid, value, options);
    std::unique_ptr<LDAPResultResponse> result = ReadResult(*queue);
    if (result->GetResultCode() != LDAP_SUCCESS)
        ThrowFor(*result);
    auto* extended = dynamic_cast<LDAPExtendedResponse*>(result.get());
    if (responseOID)
        *responseOID = extended ? extended->GetOID() : std::string();
    return extended ? extended->GetValue() : std::string();
}

bool LDAPSyncConnection::Compare(const std::string& dn, const LDAPAttribute& attribute,
                                 const LDAPOperationOptions* options)
{
    std::unique_ptr<LDAPResultQueue> queue = LDAPConnection::Compare(dn, attribute, options);
    std::unique_ptr<LDAPResultResponse> result = ReadResult(*queue);
    switch (result->GetResultCode()) {
    case LDAP_COMPARE_FALSE: return false;
    case LDAP_COMPARE_TRUE: return true;
    default: ThrowFor(*result);
    }
}

std::unique_ptr<LDAPSearchResults> LDAPSyncConnection::Search(const std::string& base, int scope,
                                                              const std::string& filter,
                                                              const StringList& attributes, bool attributesOnly,
                                                              const LDAPOperationOptions* options)
{
    std::unique_ptr<LDAPResultQueue> queue =
        LDAPConnection::Search(base, scope, filter, attributes, attributesOnly, options);
    auto results = std::make_unique<LDAPSearchResults>();
    for (;;) {
        std::unique_ptr<LDAPResponse> response = queue->GetNextResponse();
        if (!response)
            throw LDAPException(LDAP_SERVER_DOWN);
        if (auto* entry = dynamic_cast<LDAPEntryResponse*>(response.get())) {
            // The response is dropped next: its entry moves, not copies.
            results->AddEntry(std::move(entry->GetEntry()));
        } else if (auto* reference = dynamic_cast<LDAPReferenceResponse*>(response.get())) {
            results->AddReference(reference->GetURLs());
        } else {
            auto& result = static_cast<LDAPResultResponse&>(*response);
            if (result.GetResultCode() != LDAP_SUCCESS)
                ThrowFor(result);
            return results;
        }
    }
}

} // namespace arbldap
