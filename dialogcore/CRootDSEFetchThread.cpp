#include "dialogcore/CRootDSEFetchThread.h"

#include "base/Utf8.h"
#include "ldap/LDAPControl.h"
#include "ldap/LDAPCredentials.h"
#include "ldap/LDAPResponse.h"
#include "ldap/LDAPResultQueue.h"
#include "model/values/DirectoryConstants.h"
#include "platform/Messages.h"

using namespace arbldap;

namespace {

constexpr int kFetchTimeLimitSeconds = 20;

}  // namespace

CRootDSEFetchThread::CRootDSEFetchThread(const std::wstring& host, int port, const LDAPOperationOptions* options,
                                         platform::ReceiverId target)
    : m_ownOptions(options ? std::make_unique<LDAPOperationOptions>(*options)
                           : std::make_unique<LDAPOperationOptions>()),
      m_target(target)
{
    std::string narrowHost = WideToUtf8Text(host);
    LDAPConnectionPtr connection = LDAPConnection::Create(narrowHost, port);
    connection->SetProtocolVersion(3);
    SetConnection(connection);
    m_ownOptions->SetTimeLimit(kFetchTimeLimitSeconds);
    SetOptions(m_ownOptions.get());
    if (const std::shared_ptr<const LDAPCredentials>& credentials = m_ownOptions->GetRebindCredentials()) {
        if (const LDAPSimpleAuth* auth = credentials->GetAuth(narrowHost, port)) {
            m_bindDN = auth->GetDN();
            m_bindPassword = auth->GetPassword();
        }
    }
}

CRootDSEFetchThread::~CRootDSEFetchThread()
{
    platform::Post(m_target, platform::WM_ROOTDSE_ENDED, 0, 0);
    // The session closes before the options it points to go.
    SetConnection(nullptr);
}

void CRootDSEFetchThread::SetOption(unsigned bit, bool on)
{
    if (on)
        m_optionBits |= bit;
    else
        m_optionBits &= ~bit;
}

bool CRootDSEFetchThread::IsBlankValue(const std::string& value)
{
    for (char c : value)
        if (c != ' ' && c != '\t' && c != '\0')
            return false;
    return true;
}

bool CRootDSEFetchThread::PostNamingContext(const std::string& value)
{
    if (IsBlankValue(value))
        return false;
    platform::Post(m_target, platform::WM_ROOTDSE_NAMING_CONTEXT, 0, 0,
                   platform::MakeValuePayload(Utf8ToWideString(value)));
    return true;
}

void CRootDSEFetchThread::Bind()
{
    SetCurrentQueue(GetConnection()->Bind(m_bindDN, m_bindPassword, m_ownOptions.get()));
    std::unique_ptr<LDAPResponse> response = WaitForNextResponse();
    DeleteCurrentQueue();
    auto* result = dynamic_cast<const LDAPResultResponse*>(response.get());
    int code = result ? result->GetResultCode() : kLDAPOther;
    if (code != kLDAPSuccess)
        throw LDAPException(code);
}

void CRootDSEFetchThread::DoWork()
{
    StringList attributes;
    if (m_optionBits & kNamingContexts)
        attributes.Add("namingContexts");
    if (m_optionBits & kSupportedControls)
        attributes.Add("supportedControl");

    Bind();
    if (!FetchAttributeValues(std::string(), g_defaultFilter, attributes))
        return;

    StringList values;
    GetFetchedValues("supportedControl", values);
    LDAPControlList controls;
    for (const std::string& oid : values) {
        LDAPControl control(oid, false, std::string(), true);
        control.SetEnabled(false);
        controls.Add(control);
    }
    platform::Post(m_target, platform::WM_ROOTDSE_CONTROLS, 0, 0, platform::MakeValuePayload(std::move(controls)));

    bool posted = false;
    GetFetchedValues("namingContexts", values);
    for (const std::string& value : values)
        posted = PostNamingContext(value) || posted;

    if (!(m_optionBits & kNamingContexts) || posted)
        return;
    // No naming contexts: offer the entries at the top of the tree instead.
    if (!SearchOneLevel(std::string(), g_defaultFilter, attributes))
        return;
    StringList dns;
    GetFoundDNs(dns);
    for (const std::string& dn : dns)
        PostNamingContext(dn);
}

void CRootDSEFetchThread::OnError(LDAPException error)
{
    platform::Post(m_target, platform::WM_ROOTDSE_ERROR, static_cast<uintptr_t>(error.GetResultCode()), 0,
                   platform::MakeValuePayload(Utf8ToWideString(error.GetResultText())));
}

bool CRootDSEFetchThread::CheckResult(int)
{
    return true;
}
