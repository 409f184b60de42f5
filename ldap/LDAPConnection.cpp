#include <ldap.h>

#include "ldap/LDAPConnection.h"

#include <iterator>
#include <poll.h>
#include <sys/socket.h>

#include "ldap/DecodingSession.h"
#include "ldap/FormatLDAPError.h"
#include "ldap/LDAPException.h"
#include "ldap/LDAPRequest.h"
#include "ldap/LDAPResultQueue.h"
#include "ldap/ReadAhead.h"
#include "ldap/TlsTraceCapture.h"
#include "base/LogStream.h"
#include "base/Utf8.h"

namespace arbldap {

namespace {

std::atomic<bool> g_sslClientReady{false};
std::atomic<long long> g_networkTimeoutMs{kLDAPNetworkTimeoutSeconds * 1000LL};

// The library keeps the process-wide TLS context to the end; it is let go
// with the static objects (no worker runs by then). A session still open
// holds a reference of its own.
struct ProcessTlsContext {
    ~ProcessTlsContext() { ldap_set_option(nullptr, LDAP_OPT_X_TLS_CTX, nullptr); }
};

// A server certificate must be there, signed by a trusted CA and made out to
// the host name the session connects to.
const int kRequireCertificate = LDAP_OPT_X_TLS_DEMAND;

void Log(const wchar_t* text)
{
    std::lock_guard<std::recursive_mutex> lock(g_logLock);
    g_logStream << text;
    g_logStream.flush();
}

// The server was never reached or the connection to it broke: no bind on
// the same address can fare better.
bool IsUnreachable(int resultCode)
{
    return resultCode == kLDAPServerDown || resultCode == kLDAPTimeout ||
           resultCode == MapLDAPResultCode(LDAP_CONNECT_ERROR);
}

std::string SessionUri(const std::string& host, int port, bool ldaps)
{
    // An IPv6 literal needs its brackets back inside a URI.
    bool bracket = host.find(':') != std::string::npos && host.front() != '[';
    std::string h = bracket ? "[" + host + "]" : host;
    return std::string(ldaps ? "ldaps://" : "ldap://") + h + ":" + std::to_string(port);
}

timeval ToTimeval(std::chrono::milliseconds ms)
{
    return timeval{static_cast<time_t>(ms.count() / 1000), static_cast<suseconds_t>(ms.count() % 1000 * 1000)};
}

ber_socket_t SessionSocket(LDAP* session)
{
    ber_socket_t fd = -1;
    if (ldap_get_option(session, LDAP_OPT_DESC, &fd) != LDAP_OPT_SUCCESS)
        return -1;
    return fd;
}

// The peer has closed the socket (or it broke): nothing more will come over it.
bool PeerClosed(ber_socket_t fd)
{
    pollfd p{fd, POLLRDHUP, 0};
    return poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

}  // namespace

std::chrono::milliseconds GetLDAPNetworkTimeout()
{
    return std::chrono::milliseconds(g_networkTimeoutMs.load());
}

std::chrono::milliseconds SetLDAPNetworkTimeout(std::chrono::milliseconds timeout)
{
    return std::chrono::milliseconds(g_networkTimeoutMs.exchange(timeout.count()));
}

bool InitSSLCertDB(const std::string& certificatePath, bool clientAuthentication)
{
    static ProcessTlsContext release;
    std::string caFile = certificatePath + "cacerts.pem";
    std::string clientFile = certificatePath + "client.pem";
    const char* certFile = clientAuthentication ? clientFile.c_str() : nullptr;
    // The requirement is set here, not taken from the environment or the
    // library's configuration files (TLS_REQCERT there could turn it off):
    // the context made below checks every server certificate with it.
    int rc = ldap_set_option(nullptr, LDAP_OPT_X_TLS_REQUIRE_CERT, &kRequireCertificate);
    if (rc == LDAP_OPT_SUCCESS)
        rc = ldap_set_option(nullptr, LDAP_OPT_X_TLS_CACERTFILE, caFile.c_str());
    if (rc == LDAP_OPT_SUCCESS)
        rc = ldap_set_option(nullptr, LDAP_OPT_X_TLS_CERTFILE, certFile);
    if (rc == LDAP_OPT_SUCCESS)
        rc = ldap_set_option(nullptr, LDAP_OPT_X_TLS_KEYFILE, certFile);
    if (rc == LDAP_OPT_SUCCESS) {
        // The context is built from the files now, so a bad folder shows here.
        int isServer = 0;
        rc = ldap_set_option(nullptr, LDAP_OPT_X_TLS_NEWCTX, &isServer);
    }
    g_sslClientReady = rc >= 0;
    return g_sslClientReady;
}

bool IsSSLClientReady()
{
    return g_sslClientReady;
}

void LDAPConnection::SessionCloser::operator()(LDAP* session) const
{
    ldap_unbind_ext(session, nullptr, nullptr);
}

LDAPConnection::LDAPConnection(const std::string& host, int port) : m_host(host), m_port(port)
{
    m_session = OpenSession(false);
}

LDAPConnection::~LDAPConnection()
{
    Unbind();
}

LDAPConnectionPtr LDAPConnection::Create(const std::string& host, int port)
{
    return LDAPConnectionPtr(new LDAPConnection(host, port));
}

long LDAPConnection::AddRef()
{
    return ++m_refCount;
}

long LDAPConnection::Release()
{
    long count = --m_refCount;
    if (count == 0)
        delete this;
    return count;
}

LDAPConnection::SessionPtr LDAPConnection::OpenSession(bool ldaps) const
{
    LDAP* raw = nullptr;
    int rc = ldap_initialize(&raw, SessionUri(m_host, m_port, ldaps).c_str());
    SessionPtr session(raw);
    if (rc != LDAP_SUCCESS || !session)
        return SessionPtr();
    BufferSessionReads(session.get());
    ApplySessionOptions(session.get(), m_options.load());
    return session;
}

void LDAPConnection::ApplySessionOptions(LDAP* session, const LDAPOperationOptions* options) const
{
    ldap_set_option(session, LDAP_OPT_PROTOCOL_VERSION, &m_version);
    // The result queue follows referrals itself, with its own hop count.
    ldap_set_option(session, LDAP_OPT_REFERRALS, LDAP_OPT_OFF);
    // Bounds the connect, so that nothing hangs on a host that never answers.
    timeval networkTimeout = ToTimeval(GetLDAPNetworkTimeout());
    ldap_set_option(session, LDAP_OPT_NETWORK_TIMEOUT, &networkTimeout);
    if (options) {
        int sizeLimit = options->GetSizeLimit();
        int timeLimit = options->GetTimeLimit();
        int deref = options->GetDeref();
        ldap_set_option(session, LDAP_OPT_SIZELIMIT, &sizeLimit);
        ldap_set_option(session, LDAP_OPT_TIMELIMIT, &timeLimit);
        ldap_set_option(session, LDAP_OPT_DEREF, &deref);
    }
}

void LDAPConnection::SetConnectTimeout(std::chrono::milliseconds timeout)
{
    timeval limit = ToTimeval(std::max(timeout, std::chrono::milliseconds(1)));
    if (m_session)
        ldap_set_option(m_session.get(), LDAP_OPT_NETWORK_TIMEOUT, &limit);
}

void LDAPConnection::SetProtocolVersion(int version)
{
    m_version = version;
    if (m_session)
        ldap_set_option(m_session.get(), LDAP_OPT_PROTOCOL_VERSION, &m_version);
}

void LDAPConnection::ApplyOptions(LDAPOperationOptions* options)
{
    m_options = options;
    if (options && m_session)
        ApplySessionOptions(m_session.get(), options);
}

bool LDAPConnection::EnableSSL()
{
    Log(L"Initializing SSL...");
    if (!IsSSLClientReady()) {
        Log(L"   Error initializing SSL client...");
        return false;
    }
    if (m_ssl)
        return true;
    // TLS can only wrap the connection from its start: a session that has
    // already connected in the clear cannot switch.
    ber_socket_t fd = -1;
    if (m_session && ldap_get_option(m_session.get(), LDAP_OPT_DESC, &fd) == LDAP_OPT_SUCCESS && fd >= 0) {
        Log(L"   Error turning SSL on...");
        return false;
    }
    SessionPtr session = OpenSession(true);
    if (!session) {
        Log(L"   Error instaling SSL routines...");
        return false;
    }
    int hard = LDAP_OPT_X_TLS_HARD;
    // The session checks the host name with its own copy of the requirement.
    if (ldap_set_option(session.get(), LDAP_OPT_X_TLS_REQUIRE_CERT, &kRequireCertificate) != LDAP_OPT_SUCCESS ||
        ldap_set_option(session.get(), LDAP_OPT_X_TLS, &hard) != LDAP_OPT_SUCCESS) {
        Log(L"   Error turning SSL on...");
        return false;
    }
    m_session = std::move(session);
    m_ssl = true;
    return true;
}

void LDAPConnection::Unbind()
{
    if (!m_session)
        return;
    LDAPOperationOptions* options = m_options.load();
    SDKControlArrayPtr serverControls;
    if (m_version == 3 && options)
        serverControls.reset(options->GetServerControlArray());
    // No client controls: the library acts on none, and one marked critical
    // makes it refuse the unbind without freeing the session or its socket.
    // A TLS session is unbound like any other: that closes its socket.
    ldap_unbind_ext(m_session.release(), serverControls.get(), nullptr);
}

std::unique_ptr<LDAPResultQueue> LDAPConnection::Bind(const std::string& dn, const std::string& password,
                                                      LDAPOperationOptions* options)
{
    if (options) {
        if (options->GetUseSSL() && !m_ssl && !EnableSSL())
            throw LDAPException(kLDAPLocalError);
        auto credentials = std::make_shared<const LDAPBindCredentials>(dn, password);
        {
            std::lock_guard<std::mutex> lock(m_credentialsLock);
            m_credentials = credentials;
        }
        // Requests already sent keep the credentials they copied.
        options->SetRebindCredentials(credentials);
    }
    return LDAPResultQueue::Start(std::make_unique<LDAPBindRequest>(dn, password, this, options));
}

void LDAPConnection::OnBindSent()
{
    std::lock_guard<std::mutex> lock(m_credentialsLock);
    m_identity.reset();
}

void LDAPConnection::OnBindResult(const std::string& dn, const std::string& password, int resultCode)
{
    std::lock_guard<std::mutex> lock(m_credentialsLock);
    if (resultCode == LDAP_SUCCESS && !dn.empty())
        m_identity = std::make_shared<const LDAPSimpleAuth>(dn, password);
    else
        m_identity.reset();
}

bool LDAPConnection::HasIdentity() const
{
    std::lock_guard<std::mutex> lock(m_credentialsLock);
    return m_identity != nullptr;
}

void LDAPConnection::CloseTransport()
{
    LDAP* session = m_session.get();
    if (!session)
        return;
    m_dropped = true;
    ber_socket_t fd = SessionSocket(session);
    if (fd < 0)
        return;
    shutdown(fd, SHUT_RDWR);
    // The library lets the connection go once it reads the end of it (at
    // once when no request waits on it, else when the last one is dropped).
    for (int i = 0; i < 8 && SessionSocket(session) == fd; ++i) {
        timeval zero{0, 0};
        LDAPMessage* raw = nullptr;
        int rc = ldap_result(session, LDAP_RES_UNSOLICITED, LDAP_MSG_ONE, &zero, &raw);
        if (raw)
            ldap_msgfree(raw);
        if (rc < 0)
            break;
    }
}

bool LDAPConnection::TransportLost()
{
    LDAP* session = m_session.get();
    ber_socket_t fd = SessionSocket(session);
    if (fd >= 0 && PeerClosed(fd))
        CloseTransport();
    if (m_dropped)
        return true;
    // Only a session that has been bound had a connection before.
    return SessionSocket(session) < 0 && HasIdentity();
}

void LDAPConnection::Connect(const std::atomic<bool>* cancelled)
{
    EnsureConnection(FirstConnect::Now, cancelled);
}

void LDAPConnection::PrepareSend()
{
    EnsureConnection(FirstConnect::WithTheRequest, nullptr);
}

void LDAPConnection::EnsureConnection(FirstConnect firstConnect, const std::atomic<bool>* cancelled)
{
    LDAP* session = m_session.get();
    if (!session)
        throw LDAPException(LDAP_SERVER_DOWN);
    std::lock_guard<std::mutex> lock(m_connectLock);
    const bool lost = TransportLost();
    std::shared_ptr<const LDAPSimpleAuth> identity;
    {
        std::lock_guard<std::mutex> credentialsLock(m_credentialsLock);
        identity = m_identity;
    }
    if (lost && identity) {
        // A new connection starts anonymous: bind it as the last one was
        // before anything else goes out on it.
        int rc = BindAndWait(identity->GetDN(), identity->GetPassword(), m_options.load(), cancelled);
        if (rc != LDAP_SUCCESS) {
            // The identity stays, and so does the loss: every request tries
            // again rather than going out anonymously.
            MarkDropped();
            throw LDAPException(rc);
        }
        m_dropped = false;
        return;
    }
    if (SessionSocket(session) < 0) {
        if (m_ssl) {
            ConnectSSL();
        } else if (firstConnect == FirstConnect::Now) {
            int rc = ldap_connect(session);
            if (rc != LDAP_SUCCESS)
                throw LDAPException(SendFailureCode(rc));
        }
    }
    m_dropped = false;
}

std::unique_ptr<LDAPResultQueue> LDAPConnection::Search(const std::string& base, int scope,
                                                        const std::string& filter, const StringList& attributes,
                                                        bool attributesOnly, const LDAPOperationOptions* options)
{
    return LDAPResultQueue::Start(
        std::make_unique<LDAPSearchRequest>(base, scope, filter, attributes, attributesOnly, this, options));
}

std::unique_ptr<LDAPResultQueue> LDAPConnection::Compare(const std::string& dn, const LDAPAttribute& attribute,
                                                         const LDAPOperationOptions* options)
{
    return LDAPResultQueue::Start(std::make_unique<LDAPCompareRequest>(dn, attribute, this, options));
}

std::unique_ptr<LDAPResultQueue> LDAPConnection::Delete(const std::string& dn, const LDAPOperationOptions* options)
{
    return LDAPResultQueue::Start(std::make_unique<LDAPDeleteRequest>(dn, this, options));
}

std::unique_ptr<LDAPResultQueue> LDAPConnection::Add(const LDAPEntry& entry, const LDAPOperationOptions* options)
{
    return LDAPResultQueue::Start(std::make_unique<LDAPAddRequest>(entry, this, options));
}

std::unique_ptr<LDAPResultQueue> LDAPConnection::Modify(const std::string& dn,
                                                        const LDAPModificationList& modifications,
                                                        const LDAPOperationOptions* options)
{
    return LDAPResultQueue::Start(std::make_unique<LDAPModifyRequest>(dn, modifications, this, options));
}

std::unique_ptr<LDAPResultQueue> LDAPConnection::Rename(const std::string& dn, const std::string& newRDN,
                                                        bool deleteOldRDN, const std::string& newParent,
                                                        const LDAPOperationOptions* options)
{
    return LDAPResultQueue::Start(
        std::make_unique<LDAPRenameRequest>(dn, newRDN, newParent, deleteOldRDN, this, options));
}

std::unique_ptr<LDAPResultQueue> LDAPConnection::Extended(const std::string& oid, const std::string& value,
                                                          const LDAPOperationOptions* options)
{
    return LDAPResultQueue::Start(std::make_unique<LDAPExtendedRequest>(oid, value, this, options));
}

void LDAPConnection::ConnectSSL() const
{
    if (!m_ssl || !m_session)
        return;
    ber_socket_t fd = -1;
    if (ldap_get_option(m_session.get(), LDAP_OPT_DESC, &fd) == LDAP_OPT_SUCCESS && fd >= 0)
        return;
    std::string reason;
    int rc;
    {
        TlsTraceCapture trace;
        rc = ldap_connect(m_session.get());
        reason = trace.GetReason();
    }
    if (rc == LDAP_SUCCESS)
        return;
    if (reason.empty()) {
        // Nothing else has been sent on a session that could not connect, so
        // its shared error state is this connect's.
        char* message = nullptr;
        ldap_get_option(m_session.get(), LDAP_OPT_DIAGNOSTIC_MESSAGE, &message);
        if (message)
            reason = message;
        ldap_memfree(message);
    }
    LDAPException failure(SendFailureCode(rc), reason);
    std::lock_guard<std::recursive_mutex> lock(g_logLock);
    g_logStream << FormatLDAPError(failure);
    if (!reason.empty())
        g_logStream << L": " << Utf8ToWideString(reason);
    g_logStream.flush();
    throw failure;
}

void LDAPConnection::Abandon(LDAPResultQueue* queue)
{
    if (queue)
        queue->AbandonAll();
}

int LDAPConnection::BindAndWait(const std::string& dn, const std::string& password,
                                const LDAPOperationOptions* options, const std::atomic<bool>* cancelled)
{
    LDAP* session = m_session.get();
    if (!session)
        return MapLDAPResultCode(LDAP_SERVER_DOWN);
    try {
        ConnectSSL();
    } catch (const LDAPException& e) {
        return e.GetResultCode();
    }
    berval credentials{static_cast<ber_len_t>(password.size()), const_cast<char*>(password.data())};
    int msgid = -1;
    int rc = ldap_sasl_bind(session, dn.empty() ? nullptr : dn.c_str(), LDAP_SASL_SIMPLE, &credentials, nullptr,
                            nullptr, &msgid);
    if (rc != LDAP_SUCCESS || msgid < 0)
        return MapLDAPResultCode(SendFailureCode(rc));
    LDAPMessagePtr result;
    std::chrono::steady_clock::duration waitLeft = BindWaitLimit(options ? *options : LDAPOperationOptions());
    try {
        result = WaitForLDAPMessage(session, msgid, cancelled, &waitLeft);
    } catch (const LDAPException& e) {
        if (e.GetResultCode() == kLDAPTimeout)
            CloseTransport();
        else
            MarkDropped();
        ldap_abandon_ext(session, msgid, nullptr, nullptr);
        return e.GetResultCode();
    } catch (const CBreakException&) {
        // A bind cut short leaves the session's identity unknown.
        CloseTransport();
        ldap_abandon_ext(session, msgid, nullptr, nullptr);
        throw;
    }
    int code = LDAP_OTHER;
    rc = ldap_parse_result(DecodingSession(), result.get(), &code, nullptr, nullptr, nullptr, nullptr, 0);
    return MapLDAPResultCode(rc != LDAP_SUCCESS ? rc : code);
}

LDAPConnectionPtr LDAPConnection::ConnectToReferral(const LDAPUrlList& urls, int& usedUrl,
                                                    const LDAPOperationOptions* options, int* lastError,
                                                    const std::atomic<bool>* cancelled)
{
    using Clock = std::chrono::steady_clock;
    std::shared_ptr<const LDAPCredentials> credentials;
    if (options)
        credentials = options->GetRebindCredentials();
    // A connect to a dead host blocks for a network time-out and sees no
    // cancel meanwhile: a cancel is looked at before each one.
    auto stopIfCancelled = [cancelled] {
        if (cancelled && cancelled->load())
            throw CBreakException();
    };
    // Dead hosts along the list must not add up their time-outs.
    const Clock::time_point connectDeadline = Clock::now() + GetLDAPNetworkTimeout();
    int position = 0;
    for (const LDAPUrl& url : urls) {
        stopIfCancelled();
        const auto connectLeft = std::chrono::duration_cast<std::chrono::milliseconds>(connectDeadline - Clock::now());
        if (connectLeft.count() <= 0) {
            if (lastError)
                *lastError = kLDAPTimeout;
            break;
        }
        LDAPConnectionPtr connection = Create(url.GetHost(), url.GetPort());
        connection->SetProtocolVersion(3);
        connection->SetConnectTimeout(connectLeft);
        int rc;
        std::string dn;
        std::string password;
        if (url.IsSecure() && !connection->EnableSSL()) {
            rc = kLDAPLocalError;
        } else {
            // EnableSSL opened a new session: the time left holds for it too.
            connection->SetConnectTimeout(connectLeft);
            const LDAPSimpleAuth* auth = credentials ? credentials->GetAuth(url.GetHost(), url.GetPort()) : nullptr;
            rc = -1;
            if (auth) {
                dn = auth->GetDN();
                password = auth->GetPassword();
                rc = connection->BindAndWait(dn, password, options, cancelled);
            }
            // Anonymously only where a server answered and refused the
            // credentials: one that could not be reached would just cost
            // another network time-out.
            if (rc != LDAP_SUCCESS && !IsUnreachable(rc)) {
                stopIfCancelled();
                dn.clear();
                password.clear();
                rc = connection->BindAndWait(dn, password, options, cancelled);
            }
        }
        if (rc == LDAP_SUCCESS) {
            connection->OnBindResult(dn, password, rc);
            // Later connects (after a drop) get the whole time-out again.
            connection->SetConnectTimeout(GetLDAPNetworkTimeout());
            usedUrl = position;
            return connection;
        }
        if (lastError)
            *lastError = rc;
        ++position;
    }
    return LDAPConnectionPtr();
}

} // namespace arbldap
