#include "dialogcore/CServerMonitorThread.h"

#include <map>

#include "base/Utf8.h"
#include "ldap/FormatLDAPError.h"
#include "ldap/LDAPException.h"
#include "ldap/LDAPResponse.h"
#include "model/profiles/CServerProfile.h"
#include "model/ports/ResourceText.h"
#include "model/ports/UiThread.h"
#include "platform/ShellPorts.h"

using namespace arbldap;

namespace {

constexpr int kMonitorTimeLimitSeconds = 10;
constexpr uint32_t kMbIconError = 0x10;
const char* const kMonitorFilter = "(objectclass=*)";

} // namespace

CServerMonitorThread::CServerMonitorThread(platform::ReceiverId page, const CServerProfile& profile,
                                           std::string monitorDN)
    : m_page(page), m_monitorDN(std::move(monitorDN)), m_options(std::make_unique<LDAPOperationOptions>())
{
    m_options->SetTimeLimit(kMonitorTimeLimitSeconds);
    // A server the profile reaches only over a secure connection must be
    // read the same way, or the monitor would talk in the clear to its
    // secure port (or be refused by a server that demands it).
    m_options->SetUseSSL(profile.GetOptions().GetUseSSL());
    LDAPConnectionPtr connection = LDAPConnection::Create(WideToUtf8Text(profile.GetHostName()), profile.GetPort());
    connection->ApplyOptions(m_options.get());
    connection->SetProtocolVersion(profile.GetVersion());
    SetConnection(connection);
    SetOptions(m_options.get());
}

CServerMonitorThread::~CServerMonitorThread()
{
    ReleaseConnection();
}

void CServerMonitorThread::ShowErrorBox(const std::wstring& text)
{
    m_outcome = true;
    RunOnUiThread([&] { platform::ShowMessageBox(text, platform::kMbOk | kMbIconError); });
}

void CServerMonitorThread::ReleaseConnection()
{
    if (const LDAPConnectionPtr& connection = GetConnection())
        connection->ApplyOptions(nullptr);
    SetConnection(LDAPConnectionPtr());
}

void CServerMonitorThread::DoWork()
{
    const LDAPConnectionPtr& connection = GetConnection();
    if (!connection)
        throw LDAPException(kLDAPParamError);
    if (m_options->GetUseSSL() && !connection->EnableSSL())
        throw LDAPException(kLDAPLocalError);

    // Anonymous whatever the profile says: the monitor is read as anybody.
    ConnectAtSafePoint(*connection);
    SetCurrentQueue(connection->Bind(std::string(), std::string()));
    std::unique_ptr<LDAPResponse> response = WaitForNextResponse();
    DeleteCurrentQueue();
    auto* result = dynamic_cast<LDAPResultResponse*>(response.get());
    int code = result ? result->GetResultCode() : kLDAPOther;
    if (code != kLDAPSuccess)
        throw LDAPException(code);
    response.reset();

    bool read = false;
    try {
        read = FetchAttributeValues(m_monitorDN, kMonitorFilter, StringList());
    } catch (const LDAPException& error) {
        // The server's answer tells a mistyped DN from a refused read.
        ShowErrorBox(FormatLDAPError(error));
        return;
    }
    if (!read) {
        ShowErrorBox(LoadResourceText(kStrMonitorEntryUnreadable));
        return;
    }
    m_outcome = true;
    std::multimap<std::string, std::string> pairs;
    GetAttributeValuePairs(std::string(), pairs);
    for (const auto& pair : pairs)
        platform::Post(m_page, WM_MONITOR_ROW, 0, 0,
                       std::make_unique<MonitorRowPayload>(
                           std::make_pair(Utf8ToWideString(pair.first), Utf8ToWideString(pair.second))));
}

void CServerMonitorThread::OnError(LDAPException error)
{
    ShowErrorBox(FormatLDAPError(error));
}

void CServerMonitorThread::OnFinish()
{
    ReleaseConnection();
    platform::Post(m_page, platform::WM_WORKER_ENDED, 0, 0);
}
