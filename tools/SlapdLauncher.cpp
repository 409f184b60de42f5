#include "tools/SlapdLauncher.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <netinet/in.h>
#include <sstream>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace slapd {

namespace {

const char* const kConfHead =
    "include /etc/ldap/schema/core.schema\n"
    "include /etc/ldap/schema/cosine.schema\n"
    "include /etc/ldap/schema/inetorgperson.schema\n"
    "include /etc/ldap/schema/nis.schema\n"
    "modulepath /usr/lib/ldap\n"
    "moduleload back_mdb\n"
    "pidfile @DIR@/slapd.pid\n"
    "argsfile @DIR@/slapd.args\n"
    "allow bind_v2\n"
    // Clients that send without reading would otherwise have their sessions
    // closed on a loaded machine.
    "conn_max_pending 100000\n"
    "conn_max_pending_auth 100000\n";

const char* const kDatabase =
    "database mdb\n"
    "maxsize 16777216\n"
    "suffix \"@SUFFIX@\"\n"
    "rootdn \"cn=admin,@SUFFIX@\"\n"
    "rootpw secret\n"
    "directory @DIR@/@NAME@\n"
    "index objectClass eq\n";

} // namespace

std::string Replace(std::string text, const std::string& what, const std::string& with)
{
    for (size_t pos = 0; (pos = text.find(what, pos)) != std::string::npos; pos += with.size())
        text.replace(pos, what.size(), with);
    return text;
}

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string Run(const std::string& command)
{
    std::string full = "LDAPNOINIT=1 " + command + " 2>&1";
    FILE* p = popen(full.c_str(), "r");
    if (!p) throw std::runtime_error("cannot run " + command);
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    int status = pclose(p);
    if (status != 0) throw std::runtime_error("command failed: " + command + "\n" + out);
    return out;
}

int FreePort()
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    close(fd);
    return ntohs(addr.sin_port);
}

bool IsPortFree(int port)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return false;
    int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool free = bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 && listen(fd, 1) == 0;
    close(fd);
    return free;
}

bool CanConnect(int port)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return false;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    close(fd);
    return ok;
}

std::string MakeTempFolder(const std::string& prefix)
{
    std::string base = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp";
    std::string tmpl = base + "/" + prefix + "XXXXXX";
    std::unique_ptr<char[]> buf(new char[tmpl.size() + 1]);
    std::strcpy(buf.get(), tmpl.c_str());
    if (!mkdtemp(buf.get())) throw std::runtime_error("mkdtemp failed");
    return buf.get();
}

std::string ConfigHead(const std::string& folder)
{
    return Replace(kConfHead, "@DIR@", folder);
}

std::string DatabaseSection(const std::string& folder, const Database& database)
{
    return Replace(Replace(Replace(kDatabase, "@SUFFIX@", database.suffix), "@NAME@", database.name), "@DIR@", folder);
}

void Server::Launch(const std::string& folder, const std::string& conf, const std::vector<Database>& databases,
                    const std::string& urls, const std::vector<int>& ports, bool dieWithParent)
{
    std::string confPath = folder + "/slapd.conf";
    WriteFile(confPath, conf);
    // Every database's folder must exist before the configuration is read.
    for (const Database& db : databases) {
        Run("rm -rf '" + folder + "/" + db.name + "' && mkdir -p '" + folder + "/" + db.name + "'");
        WriteFile(folder + "/" + db.name + ".ldif", db.ldif);
    }
    // Loading offline is far quicker than adding over the wire.
    for (const Database& db : databases)
        Run("/usr/sbin/slapadd -q -f '" + confPath + "' -b '" + db.suffix + "' -l '" + folder + "/" + db.name +
            ".ldif'");

    std::string log = folder + "/slapd.log";
    pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        if (dieWithParent) prctl(PR_SET_PDEATHSIG, SIGKILL);
        int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
            close(fd);
        }
        setenv("LDAPNOINIT", "1", 1);
        execl("/usr/sbin/slapd", "slapd", "-d", "0", "-f", confPath.c_str(), "-h", urls.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    m_pid = pid;

    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        int status;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            m_pid = 0;
            throw std::runtime_error("slapd ended at start:\n" + ReadFile(log));
        }
        bool all = true;
        for (int port : ports) all = all && CanConnect(port);
        if (all) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Stop();
    throw std::runtime_error("slapd did not start listening:\n" + ReadFile(log));
}

void Server::Stop()
{
    if (m_pid <= 0) return;
    kill(m_pid, SIGTERM);
    for (int i = 0; i < 250; ++i) {
        if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            m_pid = 0;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    m_pid = 0;
}

} // namespace slapd
