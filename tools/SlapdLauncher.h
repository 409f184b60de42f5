#pragma once
// Starting an OpenLDAP server of our own: a slapd.conf made from a few
// parts, every database loaded offline from LDIF, the server started on
// 127.0.0.1 and waited for until it accepts; stopped by pid. Used by the
// test servers and by the demonstration directory.

#include <string>
#include <vector>

namespace slapd {

// An mdb database: its suffix, its folder name below the server's folder and
// its entries.
struct Database {
    std::string suffix;
    std::string name;
    std::string ldif;
};

// The configuration's head: the usual schemas, the mdb module, pid and args
// files in the folder, binds of LDAP version 2 allowed, and room for many
// pending requests per session.
std::string ConfigHead(const std::string& folder);
// The section of one database with its root DN "cn=admin,<suffix>" and the
// root password "secret".
std::string DatabaseSection(const std::string& folder, const Database& database);

class Server {
public:
    Server() = default;
    ~Server() { Stop(); }
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Writes folder/slapd.conf, loads the databases, starts slapd listening
    // on urls (blank-separated) and waits until every port accepts. With
    // dieWithParent the server is killed when the starting process dies.
    // Throws std::runtime_error (with slapd's output) when it fails.
    void Launch(const std::string& folder, const std::string& conf, const std::vector<Database>& databases,
                const std::string& urls, const std::vector<int>& ports, bool dieWithParent);
    // SIGTERM, and SIGKILL when it has not ended within five seconds.
    void Stop();
    int Pid() const { return m_pid; }

private:
    int m_pid = 0;
};

// A port on 127.0.0.1 that nobody listens on right now.
int FreePort();
// Whether a server could listen on the port of 127.0.0.1 now (as slapd
// binds: a port whose last connections are still closing counts as free).
bool IsPortFree(int port);
// Whether a server accepts connections on the port of 127.0.0.1.
bool CanConnect(int port);
// Runs a shell command; throws std::runtime_error with its output on failure.
std::string Run(const std::string& command);
// A new private folder below $TMPDIR (or /tmp) whose name starts with prefix.
std::string MakeTempFolder(const std::string& prefix);
void WriteFile(const std::string& path, const std::string& text);
std::string ReadFile(const std::string& path);
// Every occurrence of what replaced.
std::string Replace(std::string text, const std::string& what, const std::string& with);

} // namespace slapd
