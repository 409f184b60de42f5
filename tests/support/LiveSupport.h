#pragma once
// Helpers for the tests that run against the real test servers.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <string>
#include <vector>

#include "ldap/LDAPConnection.h"
#include "ldap/LDAPResultQueue.h"
#include "ldap/LDAPSyncConnection.h"
#include "tests/support/LogCapture.h"
#include "tests/support/SilentServer.h"
#include "tests/support/SlapdServer.h"

namespace live {

using testsupport::SlapdServer;

inline SlapdServer& MainServer() { return SlapdServer::Main(); }
inline SlapdServer& SecondServer() { return SlapdServer::Second(); }

const char* const kHost = "127.0.0.1";

// A connection to 127.0.0.1 on port with that protocol version.
arbldap::LDAPConnectionPtr Open(int port, int version = 3);
RefPtr<arbldap::LDAPSyncConnection> OpenSync(int port, int version = 3);
// A version 3 connection to the main server bound as its administrator.
RefPtr<arbldap::LDAPSyncConnection> OpenAdmin();
// The values of one attribute of the entry at dn (base search); empty when
// there is no such entry or attribute.
StringList ReadValues(arbldap::LDAPSyncConnection& connection, const std::string& dn, const std::string& filter,
                      const std::string& attribute);
// The values of one attribute (options included in its name, as
// "userCertificate;binary") of the entry at dn on the server at port, as
// ldapsearch reads them: binary values through the files its -t writes.
std::vector<std::string> LdapsearchValues(int port, const std::string& dn, const std::string& attribute);
// The result code of a simple bind as dn on the main server; 0 for success.
int BindResultCode(const std::string& dn, const std::string& password);
// Entries a base search at dn finds (0 or 1).
size_t CountEntries(arbldap::LDAPSyncConnection& connection, const std::string& dn, const std::string& filter);

// One response in a form that compares well: "entry <dn>", "ref <urls>
// [follow error]" or "result <code>".
std::string Describe(const arbldap::LDAPResponse& response);
// Every response of the queue until it has no more.
std::vector<std::string> Drain(arbldap::LDAPResultQueue& queue);
// The result code of the queue's one response.
int ResultCode(arbldap::LDAPResultQueue& queue);

// The entries (DN, attributes) of a search, read through the queue.
std::vector<arbldap::LDAPEntry> Entries(arbldap::LDAPResultQueue& queue);

using testsupport::LogCapture;

// Cancels a queue unless stopped within the time given: a guard for reads
// that would otherwise wait for ever when something is wrong.
class Watchdog {
public:
    Watchdog(arbldap::LDAPResultQueue& queue, std::chrono::milliseconds limit);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex m_lock;
    std::condition_variable m_stop;
    bool m_stopped = false;
    std::thread m_thread;
};

using SilentServer = testsupport::SilentServer;

// Connections the main server has open now (the one used to ask excluded).
int MainServerConnections();
// The count once it has stopped changing (earlier connections may still be
// closing).
int SettledMainServerConnections();
// Waits up to twenty seconds for the count to reach expected; the last count.
int WaitForMainServerConnections(int expected);

// The socket of the session, or -1.
int SessionSocket(const arbldap::LDAPConnection& connection);
// Waits until the peer has closed the socket; false when it has not within
// the limit.
bool WaitForPeerClose(int fd, std::chrono::milliseconds limit);

// Sessions opened while it lives have this network time-out, so that tests
// that wait for one stay short.
class NetworkTimeoutScope {
public:
    explicit NetworkTimeoutScope(std::chrono::milliseconds timeout)
        : m_previous(arbldap::SetLDAPNetworkTimeout(timeout))
    {
    }
    ~NetworkTimeoutScope() { arbldap::SetLDAPNetworkTimeout(m_previous); }
    NetworkTimeoutScope(const NetworkTimeoutScope&) = delete;
    NetworkTimeoutScope& operator=(const NetworkTimeoutScope&) = delete;

private:
    std::chrono::milliseconds m_previous;
};

// The scratch subtree for tests that write.
const char* const kScratch = "ou=scratch,o=lab";

}  // namespace live
