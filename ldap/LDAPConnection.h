#pragma once
// The program's handle on one LDAP server: one library session for a host and
// port, shared by nodes, jobs and the schema loader through a reference count.
// Every operation starts here and hands back the result queue of its request.

#include "ldap/SdkTypes.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>

#include "ldap/LDAPCredentials.h"
#include "ldap/LDAPOperationOptions.h"
#include "base/RefPtr.h"

class StringList;

namespace arbldap {

class LDAPAttribute;
class LDAPConnection;
class LDAPEntry;
class LDAPModificationList;
class LDAPResultQueue;
class LDAPUrlList;

typedef RefPtr<LDAPConnection> LDAPConnectionPtr;

// Sets up the library's TLS client from a certificate folder (its text ends
// with a path separator): "cacerts.pem" holds the trusted CA certificates and,
// with client authentication, "client.pem" the client certificate and key.
// Returns, and keeps for EnableSSL, whether the TLS client is ready. Server
// certificates are then checked (trusted CA, host name) whatever the
// environment or the library's configuration files say.
bool InitSSLCertDB(const std::string& certificatePath, bool clientAuthentication);
bool IsSSLClientReady();

// Seconds a session waits for a server to accept its connection, unless
// changed below.
constexpr int kLDAPNetworkTimeoutSeconds = 10;

// The network time-out of the sessions opened from now on. It bounds each
// connect, and a request's server gets it on top of the request's time
// limit before the request ends with 85 (see LDAPRequest::GetWaitLeft).
std::chrono::milliseconds GetLDAPNetworkTimeout();
// Returns the previous one.
std::chrono::milliseconds SetLDAPNetworkTimeout(std::chrono::milliseconds timeout);

class LDAPConnection {
public:
    // Opens the session (nothing is sent yet, so this never fails for a server
    // that cannot be reached); GetSession is null when the library refused
    // the address. The count starts at 0: hold the object by a reference
    // (AddRef, or LDAPConnectionPtr) before any operation.
    LDAPConnection(const std::string& host, int port);
    LDAPConnection(const LDAPConnection&) = delete;
    LDAPConnection& operator=(const LDAPConnection&) = delete;

    // A new connection held by the one reference returned.
    static LDAPConnectionPtr Create(const std::string& host, int port);

    long AddRef();
    // Destroys the connection when the count reaches 0; returns the new count.
    long Release();

    // Stores the version and sets it on the session.
    void SetProtocolVersion(int version);
    int GetProtocolVersion() const { return m_version; }
    // Points to options owned by the caller (null forgets them) and sets the
    // session's size limit, time limit and alias dereferencing from them.
    void ApplyOptions(LDAPOperationOptions* options);
    LDAPOperationOptions* GetOptions() const { return m_options.load(); }
    const std::string& GetHost() const { return m_host; }
    int GetPort() const { return m_port; }
    LDAP* GetSession() const { return m_session.get(); }
    bool IsSSL() const { return m_ssl.load(); }
    // Held around a session option that a send reads (alias dereferencing),
    // so that two threads sending on one session cannot swap their settings.
    std::mutex& GetSendLock() { return m_sendLock; }

    // Switches the session to LDAPS (the port is the server's LDAPS port);
    // only possible before the session has sent anything. Logs each step.
    bool EnableSSL();
    // Ends the session (with the enabled server controls under version 3) and
    // closes its socket; nothing without a session.
    void Unbind();

    // Each entry point sends one request and returns the queue that owns it.
    // Null options: the connection's options, or defaults. Throws
    // LDAPException with the library's code when the request cannot be sent.
    //
    // With options, Bind keeps the credentials for referred servers and hands
    // them to the options; options asking for SSL need EnableSSL to succeed
    // (else LDAPException 82).
    std::unique_ptr<LDAPResultQueue> Bind(const std::string& dn, const std::string& password,
                                          LDAPOperationOptions* options = nullptr);
    // scope: 0 base, 1 one level, 2 subtree. An empty filter searches
    // "(objectClass=*)"; an empty list asks for all user attributes.
    std::unique_ptr<LDAPResultQueue> Search(const std::string& base, int scope, const std::string& filter,
                                            const StringList& attributes, bool attributesOnly,
                                            const LDAPOperationOptions* options = nullptr);
    // Compares the attribute's first value.
    std::unique_ptr<LDAPResultQueue> Compare(const std::string& dn, const LDAPAttribute& attribute,
                                             const LDAPOperationOptions* options = nullptr);
    std::unique_ptr<LDAPResultQueue> Delete(const std::string& dn, const LDAPOperationOptions* options = nullptr);
    std::unique_ptr<LDAPResultQueue> Add(const LDAPEntry& entry, const LDAPOperationOptions* options = nullptr);
    std::unique_ptr<LDAPResultQueue> Modify(const std::string& dn, const LDAPModificationList& modifications,
                                            const LDAPOperationOptions* options = nullptr);
    // An empty new parent keeps the entry under its parent.
    std::unique_ptr<LDAPResultQueue> Rename(const std::string& dn, const std::string& newRDN, bool deleteOldRDN,
                                            const std::string& newParent,
                                            const LDAPOperationOptions* options = nullptr);
    // An empty value sends none.
    std::unique_ptr<LDAPResultQueue> Extended(const std::string& oid, const std::string& value,
                                              const LDAPOperationOptions* options = nullptr);

    // Connects a TLS session that has no connection yet; nothing for a plain
    // session (it connects with its first request). A failure throws
    // LDAPException with the library's code and its reason (a refused
    // certificate, say) as the message, and logs "<FormatLDAPError text>:
    // <reason>": the code alone only says the server could not be contacted.
    void ConnectSSL() const;

    // Makes sure the session has a live connection before a request goes
    // out: connects when it has none (the first request, or the server
    // closed the last one), and a session that was bound binds again with
    // the same credentials first, so that no request is answered for another
    // identity. A job calls it before it sends, where a connect that waits
    // may be cancelled. Throws LDAPException (the connect's failure, or the
    // bind's code) and CBreakException once *cancelled is set while the bind
    // waits.
    void Connect(const std::atomic<bool>* cancelled = nullptr);
    // The same for a request about to be sent, except that a plain session
    // that has never connected is left to connect with the request (so that
    // a request the library cannot encode fails with its own code first).
    void PrepareSend();
    // Closes the session's network connection; the session stays, and its
    // next request connects again. Requests still waiting on it fail (81).
    void CloseTransport();
    // A wait on the session failed: its connection is gone.
    void MarkDropped() { m_dropped = true; }
    // The session's identity follows its binds: a bind that succeeds with a
    // DN makes it that DN's, any other outcome (and a bind still pending)
    // leaves it anonymous.
    void OnBindSent();
    void OnBindResult(const std::string& dn, const std::string& password, int resultCode);
    // Whether a bind gave the session an identity that Connect restores.
    bool HasIdentity() const;
    // The network time-out of the session's next connects.
    void SetConnectTimeout(std::chrono::milliseconds timeout);

    // Abandons every request of the queue still waiting for its result, each
    // on the connection it was sent on, and releases the connections of
    // referred requests. The queue is not read again. Nothing for null.
    // Throws LDAPException when the library refuses an abandon (after all
    // requests were dealt with).
    void Abandon(LDAPResultQueue* queue);

    // A new connection, bound (version 3) with the options' rebind
    // credentials or else anonymously, to the first URL that lets it;
    // usedUrl becomes that URL's position. Null when none does; then
    // lastError, when given, holds the failure of the last URL tried. No
    // anonymous bind follows a failed one on a server that cannot be reached.
    // The connects along the list share one network time-out: URLs left
    // when it is spent are not tried (lastError 85).
    // Throws CBreakException once *cancelled is set: before each URL and
    // each bind, and while waiting for a bind's answer.
    LDAPConnectionPtr ConnectToReferral(const LDAPUrlList& urls, int& usedUrl,
                                        const LDAPOperationOptions* options, int* lastError = nullptr,
                                        const std::atomic<bool>* cancelled = nullptr);

protected:
    virtual ~LDAPConnection();

private:
    struct SessionCloser {
        void operator()(LDAP* session) const;
    };
    typedef std::unique_ptr<LDAP, SessionCloser> SessionPtr;

    SessionPtr OpenSession(bool ldaps) const;
    void ApplySessionOptions(LDAP* session, const LDAPOperationOptions* options) const;
    // A simple bind that waits for its result, for at most the time limit
    // of options (when it has one) and the network time-out (BindWaitLimit); the result
    // code (mapped). Throws CBreakException once *cancelled is set.
    int BindAndWait(const std::string& dn, const std::string& password, const LDAPOperationOptions* options,
                    const std::atomic<bool>* cancelled);
    enum class FirstConnect { Now, WithTheRequest };
    void EnsureConnection(FirstConnect firstConnect, const std::atomic<bool>* cancelled);
    // True when the session had a connection that is gone now: the server
    // closed it, or a wait or CloseTransport found it broken. Under m_connectLock.
    bool TransportLost();

    std::string m_host;
    int m_port;
    int m_version = 2;
    std::atomic<long> m_refCount{0};
    std::atomic<LDAPOperationOptions*> m_options{nullptr};
    SessionPtr m_session;
    std::atomic<bool> m_ssl{false};

    mutable std::mutex m_credentialsLock;
    std::shared_ptr<const LDAPCredentials> m_credentials;
    std::shared_ptr<const LDAPSimpleAuth> m_identity;  // under m_credentialsLock
    std::mutex m_sendLock;
    // Held while Connect looks at the session's connection and restores it.
    std::mutex m_connectLock;
    std::atomic<bool> m_dropped{false};
};

} // namespace arbldap

// The entry points hand out queues; whoever calls them reads the queues.
#include "ldap/LDAPResultQueue.h"
