#include "model/entries/CBindThread.h"

#include "model/entries/EntryJobs.h"

#include "base/LogStream.h"
#include "base/Utf8.h"
#include "ldap/FormatLDAPError.h"
#include "ldap/LDAPResponse.h"
#include "ldap/LDAPResultQueue.h"
#include "model/entries/CServerObject.h"
#include "model/ports/ResourceText.h"
#include "schema/SchemaCache.h"

using namespace arbldap;

CBindThread::CBindThread(CServerObject* server, std::unique_ptr<CProgressDlg> progress, bool openBase)
    : CLDAPOperationThread(server, std::move(progress)),
      m_userDN(server ? server->GetUserDN().GetText() : std::string()),
      m_hostName(server ? server->GetHostName() : std::wstring()),
      m_openBase(openBase && server && !server->GetBaseDN().GetText().empty())
{
    SetNodeStatusText(LoadResourceText(kStrBinding));
}

CBindThread::~CBindThread()
{
    volatile char* bytes = m_password.empty() ? nullptr : &m_password[0];
    for (size_t i = 0; bytes && i < m_password.size(); ++i)
        bytes[i] = 0;
}

void CBindThread::SetPassword(const std::string& password)
{
    m_password = password;
}

CServerObject* CBindThread::Server() const
{
    return dynamic_cast<CServerObject*>(GetNode());
}

void CBindThread::DoWork()
{
    SetStatusText(L"Binding...");
    const LDAPConnectionPtr& connection = GetConnection();
    if (!connection)
        throw LDAPException(kLDAPParamError);
    LDAPOperationOptions* options = connection->GetOptions();
    // TLS wraps the connection from its start: switched on before connecting.
    if (options && options->GetUseSSL() && !connection->IsSSL() && !connection->EnableSSL())
        throw LDAPException(kLDAPLocalError);
    ConnectAtSafePoint(*connection);
    SetCurrentQueue(connection->Bind(m_userDN, std::string(m_password), options));

    std::unique_ptr<LDAPResponse> response;
    SignalDone();
    try {
        response = GetCurrentQueue()->GetNextResponse();
    } catch (...) {
        CheckCancelled(nullptr, true);
        ResetDone();
        throw;
    }
    KeptResponse() = std::move(response);
    CheckCancelled(nullptr, true);
    ResetDone();
    DeleteCurrentQueue();
}

bool CBindThread::CheckResult(int resultCode)
{
    if (resultCode != kLDAPSuccess) {
        OnError(LDAPException(resultCode));
        return true;
    }
    std::wstring text = LoadResourceText(kStrConnectedTo) + m_hostName;
    LogLine(text);
    SetStatusText(text);
    CServerObject* server = Server();
    if (!server)
        return true;
    if (!server->GetSchema())
        server->SetSchema(GetSchemaCache()->GetSchemaForHost(GetConnection().get()));
    server->SetBound(true);
    SetFinishMessage(platform::WM_WORKER_CALL1, m_openBase ? 1 : 0);
    return true;
}

void CBindThread::OnError(LDAPException error)
{
    CServerObject* server = Server();
    if (server) {
        server->SetBound(false);
        server->ReportError(error);
    }
    SetStatusText(FormatLDAPError(error));
}

std::shared_ptr<CLDAPThread> MakeBindJob(CServerObject* server, std::unique_ptr<CProgressDlg> progress, bool openBase,
                                         const std::string& password)
{
    auto job = std::make_shared<CBindThread>(server, std::move(progress), openBase);
    job->SetPassword(password);
    return job;
}
