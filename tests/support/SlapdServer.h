#pragma once
// Real OpenLDAP servers for the tests: started on 127.0.0.1 on free ports, each
// in a temporary folder, at first use; stopped by pid when the test program
// exits (and killed by the kernel if the test program dies first).

#include <memory>
#include <string>
#include <vector>

#include "tools/SlapdLauncher.h"

namespace testsupport {

// Fixed content of the test directories (see SlapdServer.cpp for the LDIF).
extern const char* const kAdminDN;       // "cn=admin,o=lab"
extern const char* const kAdminPassword; // "secret"
// Users of the restricted server.
extern const char* const kReaderDN;       // "cn=reader,o=hidden"
extern const char* const kReaderPassword;
extern const char* const kBlindDN;        // "cn=blind,o=hidden"
extern const char* const kBlindPassword;

class SlapdServer {
public:
    // The main server: suffixes "o=lab" and "o=other", two plain ports and one
    // ldaps port, the monitor database (anybody reads it, except
    // "cn=Listeners,cn=Monitor", which answers insufficient access), and referral entries under
    // "ou=refs,o=lab" (and one whose URL names a filter under
    // "ou=filtered,o=lab"); "ou=scratch,o=lab" is free for tests that write.
    // "ou=values,o=lab" holds an entry with a photo, a hashed password, links
    // and a mail address; "ou=farther,o=lab" an entry and a referral to
    // Second(). Its default referral names Second().
    static SlapdServer& Main();
    // A plain server with the suffix "o=elsewhere".
    static SlapdServer& Second();
    // A server with the suffix "o=hidden" that hides its schema. On Port()
    // anonymous users get no root DSE entry; on Port2() the root DSE has no
    // subschemaSubentry. Bound, kReaderDN reads the root DSE and the subschema
    // entry without its modifyTimestamp; kBlindDN reads the root DSE but gets
    // no subschema entry.
    static SlapdServer& Restricted();
    // A plain server with the suffix "o=elsewhere" that closes a connection
    // after kIdleSeconds without a request (idletimeout). Only bound users
    // see ou=people,o=elsewhere and the entry below it.
    static SlapdServer& Idle();
    static constexpr int kIdleSeconds = 1;
    // A server with the suffix "o=elsewhere", a plain port and an ldaps port,
    // whose self-signed certificate (in CertFolder()) is made out to
    // kWrongHostName, not to the address it listens on.
    static SlapdServer& WrongName();
    static constexpr const char* kWrongHostName = "wrong.invalid";
    // A server of its own for the benchmarks, with the suffix "o=bench" in a
    // database large enough for hundreds of thousands of entries, loaded
    // offline from the LDIF text; no size limit. Stopped when destroyed.
    static std::unique_ptr<SlapdServer> Bench(const std::string& ldif);
    // A server of its own with one database for suffix, loaded offline
    // (slapadd) from the LDIF text, which may hold operational attributes;
    // no size limit. Stopped when destroyed.
    static std::unique_ptr<SlapdServer> Fresh(const std::string& suffix, const std::string& ldif);

    int Port() const { return m_port; }
    int Port2() const { return m_port2; }    // 0 when the server has one plain port
    int SslPort() const { return m_sslPort; } // 0 when the server has no ldaps port
    const std::string& Folder() const { return m_folder; }
    // Folder with "cacerts.pem" (the server's self-signed certificate).
    std::string CertFolder() const { return m_folder + "/certs/"; }
    std::string Url() const;
    // The main server hands every search whose base lies at or below
    // "ou=scripted,o=lab" to whoever listens on this socket (ScriptedBackend).
    std::string ScriptSocketPath() const { return m_folder + "/scripted.sock"; }

    ~SlapdServer();
    SlapdServer(const SlapdServer&) = delete;
    SlapdServer& operator=(const SlapdServer&) = delete;

private:
    SlapdServer() = default;
    void StartMain(int secondPort);
    void StartSecond(const std::string& globalConf = std::string());
    void StartRestricted();
    void StartWrongName();
    void StartBench(const std::string& ldif);
    void StartFresh(const std::string& suffix, const std::string& ldif);
    // One database for suffix in the folder name, with databaseConf after it.
    void StartSingle(const std::string& suffix, const std::string& name, const std::string& ldif,
                     const std::string& databaseConf);
    void Launch(const std::string& conf, const std::vector<slapd::Database>& databases, const std::string& urls);
    void Stop();

    int m_port = 0, m_port2 = 0, m_sslPort = 0;
    slapd::Server m_server;
    std::string m_folder;
};

// A port on 127.0.0.1 that nobody listens on right now.
int FreePort();
// The first of count ports in a row on 127.0.0.1 that nobody listens on now.
int FreePortRun(int count);

// Runs a shell command; throws std::runtime_error with its output on failure.
std::string Run(const std::string& command);

} // namespace testsupport
