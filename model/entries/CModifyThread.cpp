#include "model/entries/CModifyThread.h"

#include "model/entries/EntryJobs.h"

#include "ldap/LDAPResponse.h"
#include "ldap/LDAPResultQueue.h"
#include "model/entries/CEntryObject.h"

using namespace arbldap;

CModifyThread::CModifyThread(CEntryObject* entry, const LDAPModificationList& modifications, bool refresh)
    : CLDAPOperationThread(entry, nullptr),
      m_dn(entry ? entry->GetDN().GetText() : std::string()),
      m_modifications(modifications),
      m_refresh(refresh)
{
}

void CModifyThread::DoWork()
{
    const LDAPConnectionPtr& connection = GetConnection();
    if (!connection)
        throw LDAPException(kLDAPParamError);
    ConnectAtSafePoint(*connection);
    SetCurrentQueue(connection->Modify(m_dn, m_modifications, connection->GetOptions()));
    std::unique_ptr<LDAPResponse> response = WaitForNextResponse();
    DeleteCurrentQueue();
    KeptResponse() = std::move(response);
}

bool CModifyThread::CheckResult(int resultCode)
{
    if (resultCode != kLDAPSuccess) {
        std::string message;
        if (auto* result = dynamic_cast<const LDAPResultResponse*>(KeptResponse().get()))
            message = result->GetErrorMessage();
        OnError(LDAPException(resultCode, message));
        return false;
    }
    // Read the entry's values again (its children stay).
    if (m_refresh)
        SetFinishMessage(platform::WM_WORKER_CALL2, 1);
    return true;
}

void CModifyThread::OnError(LDAPException error)
{
    if (auto* node = dynamic_cast<CEntryObject*>(GetNode()))
        node->ReportError(error);
}

std::shared_ptr<CLDAPThread> MakeModifyJob(CEntryObject* entry, const arbldap::LDAPModificationList& modifications,
                                           bool refresh)
{
    return std::make_shared<CModifyThread>(entry, modifications, refresh);
}
