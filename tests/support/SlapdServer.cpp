#include "tests/support/SlapdServer.h"

#include <arpa/inet.h>
#include <cerrno>
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

namespace testsupport {

const char* const kAdminDN = "cn=admin,o=lab";
const char* const kAdminPassword = "secret";
const char* const kReaderDN = "cn=reader,o=hidden";
const char* const kReaderPassword = "reader-secret";
const char* const kBlindDN = "cn=blind,o=hidden";
const char* const kBlindPassword = "blind-secret";

namespace {

// A small JPEG-like value with the bytes that break naive string handling.
const char* const kPhotoBase64 = "/9j/4AAQSkZJRgABAP8A/9k=";  // FF D8 FF E0 00 10 'JFIF' 00 01 00 FF 00 FF D9

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

std::string MakeFolder()
{
    std::string base = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp";
    std::string tmpl = base + "/arbolite-slapd-XXXXXX";
    std::unique_ptr<char[]> buf(new char[tmpl.size() + 1]);
    std::strcpy(buf.get(), tmpl.c_str());
    if (!mkdtemp(buf.get())) throw std::runtime_error("mkdtemp failed");
    return buf.get();
}

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
    // Tests that send without reading would otherwise have their sessions
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

const char* const kLabLdif =
    "dn: o=lab\nobjectClass: organization\no: lab\ndescription: the test laboratory\n\n"
    "dn: cn=admin,o=lab\nobjectClass: organizationalRole\ncn: admin\n\n"
    "dn: ou=people,o=lab\nobjectClass: organizationalUnit\nou: people\n\n"
    "dn: cn=Alice Example,ou=people,o=lab\nobjectClass: inetOrgPerson\ncn: Alice Example\n"
    "sn: Example\ngivenName: Alice\nmail: alice@example.org\ntelephoneNumber: +1 555 0100\n"
    "jpegPhoto:: @PHOTO@\n"
    "description:: Zmlyc3QgbGluZQpzZWNvbmQgbGluZQ==\n\n"  // "first line\nsecond line"
    "dn: cn=Smith\\, John,ou=people,o=lab\nobjectClass: inetOrgPerson\ncn: Smith, John\nsn: Smith\n\n"
    "dn:: Y249TcO8bGxlcixvdT1wZW9wbGUsbz1sYWI=\n"  // cn=Müller,ou=people,o=lab
    "objectClass: inetOrgPerson\ncn:: TcO8bGxlcg==\nsn:: TcO8bGxlcg==\n\n"
    "dn: ou=devices,o=lab\nobjectClass: organizationalUnit\nou: devices\n\n"
    "dn: cn=printer,ou=devices,o=lab\nobjectClass: device\ncn: printer\nserialNumber: 42\n"
    "l: second floor\n\n"
    "dn: ou=refs,o=lab\nobjectClass: organizationalUnit\nou: refs\n\n"
    "dn: cn=local,ou=refs,o=lab\nobjectClass: device\ncn: local\n\n"
    "dn: cn=good,ou=refs,o=lab\nobjectClass: referral\nobjectClass: extensibleObject\ncn: good\n"
    "ref: ldap://127.0.0.1:@PORT2@/ou=people,o=other\n\n"
    "dn: cn=stale,ou=refs,o=lab\nobjectClass: referral\nobjectClass: extensibleObject\ncn: stale\n"
    "ref: ldap://127.0.0.1:@PORT2@/ou=gone,o=other\n\n"
    "dn: cn=dead,ou=refs,o=lab\nobjectClass: referral\nobjectClass: extensibleObject\ncn: dead\n"
    "ref: ldap://127.0.0.1:1/ou=people,o=other\n\n"
    "dn: cn=secure,ou=refs,o=lab\nobjectClass: referral\nobjectClass: extensibleObject\ncn: secure\n"
    "ref: ldaps://127.0.0.1:@SSLPORT@/ou=people,o=other\n\n"
    "dn: ou=loops,o=lab\nobjectClass: organizationalUnit\nou: loops\n\n"
    "dn: cn=loop,ou=loops,o=lab\nobjectClass: referral\nobjectClass: extensibleObject\ncn: loop\n"
    "ref: ldap://127.0.0.1:@PORT@/cn=loop,ou=loops,o=lab\n\n"
    "dn: ou=chain,o=lab\nobjectClass: organizationalUnit\nou: chain\n\n"
    "dn: ou=filtered,o=lab\nobjectClass: organizationalUnit\nou: filtered\n\n"
    "dn: cn=carol,ou=filtered,o=lab\nobjectClass: referral\nobjectClass: extensibleObject\ncn: carol\n"
    "ref: ldap://127.0.0.1:@PORT2@/ou=people,o=other??sub?(cn=Carol*)\n\n"
    "dn: ou=scratch,o=lab\nobjectClass: organizationalUnit\nou: scratch\n\n";

const char* const kOtherLdif =
    "dn: o=other\nobjectClass: organization\no: other\n\n"
    "dn: ou=people,o=other\nobjectClass: organizationalUnit\nou: people\n\n"
    "dn: cn=Bob Remote,ou=people,o=other\nobjectClass: inetOrgPerson\ncn: Bob Remote\nsn: Remote\n\n"
    "dn: cn=Carol Remote,ou=people,o=other\nobjectClass: inetOrgPerson\ncn: Carol Remote\nsn: Remote\n\n";

const char* const kElsewhereLdif =
    "dn: o=elsewhere\nobjectClass: organization\no: elsewhere\n\n"
    "dn: ou=people,o=elsewhere\nobjectClass: organizationalUnit\nou: people\n\n"
    "dn: cn=Dave Far,ou=people,o=elsewhere\nobjectClass: inetOrgPerson\ncn: Dave Far\nsn: Far\n\n";

const char* const kHiddenLdif =
    "dn: o=hidden\nobjectClass: organization\no: hidden\n\n"
    "dn: cn=reader,o=hidden\nobjectClass: person\ncn: reader\nsn: reader\nuserPassword: @READERPW@\n\n"
    "dn: cn=blind,o=hidden\nobjectClass: person\ncn: blind\nsn: blind\nuserPassword: @BLINDPW@\n\n";

// Access rules of the restricted server; @P2@ is its second listener.
const char* const kHiddenAccess =
    "access to dn.exact=\"\" attrs=subschemaSubentry by sockurl=\"@P2@\" none by * break\n"
    "access to dn.exact=\"\" by users read by sockurl=\"@P2@\" read by * none\n"
    "access to dn.subtree=\"cn=Subschema\" by dn.exact=\"cn=blind,o=hidden\" none by * break\n"
    "access to dn.subtree=\"cn=Subschema\" attrs=modifyTimestamp by users none by * break\n"
    "access to dn.subtree=\"cn=Subschema\" by users read by * none\n"
    "access to attrs=userPassword by anonymous auth by * none\n"
    "access to * by * read\n";

// Nine hops: cn=hop1 .. cn=hop9 under ou=chain,o=lab, each naming the next on
// the other plain port, the last naming ou=people,o=other.
std::string ChainLdif(int port, int port2)
{
    std::string ldif;
    for (int i = 1; i <= 9; ++i) {
        std::string next = i < 9 ? "cn=hop" + std::to_string(i + 1) + ",ou=chain,o=lab" : "ou=people,o=other";
        int p = i % 2 ? port2 : port;
        ldif += "dn: cn=hop" + std::to_string(i) + ",ou=chain,o=lab\nobjectClass: referral\n"
                "objectClass: extensibleObject\ncn: hop" + std::to_string(i) + "\nref: ldap://127.0.0.1:" +
                std::to_string(p) + "/" + next + "\n\n";
    }
    return ldif;
}

void AddDatabase(std::string& conf, const std::string& dir, const std::string& suffix, const std::string& name,
                 const std::string& ldif)
{
    conf += Replace(Replace(Replace(kDatabase, "@SUFFIX@", suffix), "@NAME@", name), "@DIR@", dir);
    Run("mkdir -p '" + dir + "/" + name + "'");
    WriteFile(dir + "/" + name + ".ldif", ldif);
}

} // namespace

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

SlapdServer& SlapdServer::Second()
{
    static std::unique_ptr<SlapdServer> server = [] {
        std::unique_ptr<SlapdServer> s(new SlapdServer);
        s->StartSecond();
        return s;
    }();
    return *server;
}

SlapdServer& SlapdServer::Restricted()
{
    static std::unique_ptr<SlapdServer> server = [] {
        std::unique_ptr<SlapdServer> s(new SlapdServer);
        s->StartRestricted();
        return s;
    }();
    return *server;
}

SlapdServer& SlapdServer::Idle()
{
    static std::unique_ptr<SlapdServer> server = [] {
        std::unique_ptr<SlapdServer> s(new SlapdServer);
        s->StartSecond("idletimeout " + std::to_string(kIdleSeconds) + "\n");
        return s;
    }();
    return *server;
}

SlapdServer& SlapdServer::WrongName()
{
    static std::unique_ptr<SlapdServer> server = [] {
        std::unique_ptr<SlapdServer> s(new SlapdServer);
        s->StartWrongName();
        return s;
    }();
    return *server;
}

SlapdServer& SlapdServer::Main()
{
    static std::unique_ptr<SlapdServer> server = [] {
        int second = Second().Port();
        std::unique_ptr<SlapdServer> s(new SlapdServer);
        s->StartMain(second);
        return s;
    }();
    return *server;
}

std::string SlapdServer::Url() const { return "ldap://127.0.0.1:" + std::to_string(m_port) + "/"; }

void SlapdServer::StartSecond(const std::string& globalConf)
{
    m_folder = MakeFolder();
    for (int attempt = 0;; ++attempt) {
        m_port = FreePort();
        std::string conf = Replace(kConfHead, "@DIR@", m_folder) + globalConf;
        AddDatabase(conf, m_folder, "o=elsewhere", "elsewhere", kElsewhereLdif);
        try {
            Launch(conf, "ldap://127.0.0.1:" + std::to_string(m_port) + "/");
            return;
        } catch (const std::exception&) {
            if (attempt == 2) throw;
            Run("rm -rf '" + m_folder + "'/*");
        }
    }
}

void SlapdServer::StartWrongName()
{
    m_folder = MakeFolder();
    std::string certs = m_folder + "/certs";
    std::string name = kWrongHostName;
    Run("mkdir -p '" + certs + "' && openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes"
        " -keyout '" + certs + "/server.key' -out '" + certs + "/cacerts.pem' -days 3 -subj /CN=" + name +
        " -addext subjectAltName=DNS:" + name);
    for (int attempt = 0;; ++attempt) {
        m_port = FreePort();
        m_sslPort = FreePort();
        std::string conf = Replace(kConfHead, "@DIR@", m_folder);
        conf += "TLSCertificateFile " + certs + "/cacerts.pem\n";
        conf += "TLSCertificateKeyFile " + certs + "/server.key\n";
        AddDatabase(conf, m_folder, "o=elsewhere", "elsewhere", kElsewhereLdif);
        try {
            Launch(conf, "ldap://127.0.0.1:" + std::to_string(m_port) + "/ ldaps://127.0.0.1:" +
                             std::to_string(m_sslPort) + "/");
            return;
        } catch (const std::exception&) {
            if (attempt == 2) throw;
            Run("rm -rf '" + m_folder + "/elsewhere'");
        }
    }
}

void SlapdServer::StartRestricted()
{
    m_folder = MakeFolder();
    for (int attempt = 0;; ++attempt) {
        m_port = FreePort();
        m_port2 = FreePort();
        std::string url1 = "ldap://127.0.0.1:" + std::to_string(m_port) + "/";
        std::string url2 = "ldap://127.0.0.1:" + std::to_string(m_port2) + "/";
        std::string conf = Replace(kConfHead, "@DIR@", m_folder);
        conf += Replace(kHiddenAccess, "@P2@", url2);
        std::string ldif = Replace(Replace(kHiddenLdif, "@READERPW@", kReaderPassword), "@BLINDPW@", kBlindPassword);
        AddDatabase(conf, m_folder, "o=hidden", "hidden", ldif);
        try {
            Launch(conf, url1 + " " + url2);
            return;
        } catch (const std::exception&) {
            if (attempt == 2) throw;
            Run("rm -rf '" + m_folder + "/hidden'");
        }
    }
}

void SlapdServer::StartMain(int secondPort)
{
    m_folder = MakeFolder();
    std::string certs = m_folder + "/certs";
    Run("mkdir -p '" + certs + "' && openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes"
        " -keyout '" + certs + "/server.key' -out '" + certs + "/cacerts.pem' -days 3 -subj /CN=127.0.0.1"
        " -addext subjectAltName=IP:127.0.0.1");
    for (int attempt = 0;; ++attempt) {
        m_port = FreePort();
        m_port2 = FreePort();
        m_sslPort = FreePort();
        std::string conf = Replace(kConfHead, "@DIR@", m_folder);
        conf += "referral ldap://127.0.0.1:" + std::to_string(secondPort) + "/\n";
        conf += "TLSCACertificateFile " + certs + "/cacerts.pem\n";
        conf += "TLSCertificateFile " + certs + "/cacerts.pem\n";
        conf += "TLSCertificateKeyFile " + certs + "/server.key\n";
        std::string lab = Replace(Replace(Replace(Replace(std::string(kLabLdif), "@PHOTO@", kPhotoBase64),
                                                  "@PORT2@", std::to_string(m_port2)),
                                          "@PORT@", std::to_string(m_port)),
                                  "@SSLPORT@", std::to_string(m_sslPort));
        lab += ChainLdif(m_port, m_port2);
        AddDatabase(conf, m_folder, "o=lab", "lab", lab);
        AddDatabase(conf, m_folder, "o=other", "other", kOtherLdif);
        conf += "database monitor\n";
        try {
            Launch(conf, "ldap://127.0.0.1:" + std::to_string(m_port) + "/ ldap://127.0.0.1:" +
                             std::to_string(m_port2) + "/ ldaps://127.0.0.1:" + std::to_string(m_sslPort) + "/");
            return;
        } catch (const std::exception&) {
            if (attempt == 2) throw;
            Run("rm -rf '" + m_folder + "/lab' '" + m_folder + "/other'");
        }
    }
}

void SlapdServer::Launch(const std::string& conf, const std::string& urls)
{
    std::string confPath = m_folder + "/slapd.conf";
    WriteFile(confPath, conf);
    // Load the data offline; far quicker than adding it over the wire.
    for (const char* name : {"lab", "other", "elsewhere", "hidden"}) {
        std::string ldif = m_folder + "/" + name + ".ldif";
        if (access(ldif.c_str(), R_OK) == 0) {
            Run("mkdir -p '" + m_folder + "/" + name + "'");
            std::string suffix = std::string("o=") + name;
            Run("/usr/sbin/slapadd -q -f '" + confPath + "' -b '" + suffix + "' -l '" + ldif + "'");
        }
    }

    std::string log = m_folder + "/slapd.log";
    pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
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
        if (CanConnect(m_port) && (!m_port2 || CanConnect(m_port2)) && (!m_sslPort || CanConnect(m_sslPort)))
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Stop();
    throw std::runtime_error("slapd did not start listening:\n" + ReadFile(log));
}

void SlapdServer::Stop()
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

SlapdServer::~SlapdServer()
{
    Stop();
    if (!m_folder.empty() && !std::getenv("ARBOLITE_KEEP_SLAPD"))
        std::system(("rm -rf '" + m_folder + "'").c_str());
}

} // namespace testsupport
