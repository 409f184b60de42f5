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
    "dn: ou=scratch,o=lab\nobjectClass: organizationalUnit\nou: scratch\n\n"
    "dn: ou=values,o=lab\nobjectClass: organizationalUnit\nou: values\n\n"
    "dn: cn=Erin Values,ou=values,o=lab\nobjectClass: inetOrgPerson\ncn: Erin Values\nsn: Values\n"
    "mail: erin@example.org\nlabeledURI: http://example.org/erin Erin's page\n"
    "labeledURI: file:///etc/passwd a local file\nuserPassword: {SHA}ItvNMFPtjBMaa6UFiWT3tF4qy1Y=\n"
    "jpegPhoto:: @PHOTO@\n\n"
    "dn: ou=farther,o=lab\nobjectClass: organizationalUnit\nou: farther\n\n"
    "dn: cn=near,ou=farther,o=lab\nobjectClass: device\ncn: near\n\n"
    "dn: cn=far,ou=farther,o=lab\nobjectClass: referral\nobjectClass: extensibleObject\ncn: far\n"
    "ref: ldap://127.0.0.1:@SECOND@/ou=people,o=elsewhere\n\n";

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

// Anonymous users see neither ou=people,o=elsewhere nor what lies below it.
const char* const kPeopleHiddenAccess =
    "access to dn.subtree=\"ou=people,o=elsewhere\" by users read by * none\n"
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

void AddDatabase(std::string& conf, std::vector<slapd::Database>& databases, const std::string& dir,
                 const std::string& suffix, const std::string& name, const std::string& ldif)
{
    slapd::Database db{suffix, name, ldif};
    conf += slapd::DatabaseSection(dir, db);
    databases.push_back(std::move(db));
}

} // namespace

std::string Run(const std::string& command)
{
    return slapd::Run(command);
}

int FreePort()
{
    return slapd::FreePort();
}

int FreePortRun(int count)
{
    for (;;) {
        int first = slapd::FreePort();
        bool free = first + count <= 65536;
        for (int port = first + 1; free && port < first + count; ++port)
            free = slapd::IsPortFree(port);
        if (free)
            return first;
    }
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
        s->StartSecond("idletimeout " + std::to_string(kIdleSeconds) + "\n" + kPeopleHiddenAccess);
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
    m_folder = slapd::MakeTempFolder("arbolite-slapd-");
    for (int attempt = 0;; ++attempt) {
        m_port = FreePort();
        std::vector<slapd::Database> databases;
        std::string conf = slapd::ConfigHead(m_folder) + globalConf;
        AddDatabase(conf, databases, m_folder, "o=elsewhere", "elsewhere", kElsewhereLdif);
        try {
            Launch(conf, databases, "ldap://127.0.0.1:" + std::to_string(m_port) + "/");
            return;
        } catch (const std::exception&) {
            if (attempt == 2) throw;
            Run("rm -rf '" + m_folder + "'/*");
        }
    }
}

void SlapdServer::StartWrongName()
{
    m_folder = slapd::MakeTempFolder("arbolite-slapd-");
    std::string certs = m_folder + "/certs";
    std::string name = kWrongHostName;
    Run("mkdir -p '" + certs + "' && openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes"
        " -keyout '" + certs + "/server.key' -out '" + certs + "/cacerts.pem' -days 3 -subj /CN=" + name +
        " -addext subjectAltName=DNS:" + name);
    for (int attempt = 0;; ++attempt) {
        m_port = FreePort();
        m_sslPort = FreePort();
        std::vector<slapd::Database> databases;
        std::string conf = slapd::ConfigHead(m_folder);
        conf += "TLSCertificateFile " + certs + "/cacerts.pem\n";
        conf += "TLSCertificateKeyFile " + certs + "/server.key\n";
        AddDatabase(conf, databases, m_folder, "o=elsewhere", "elsewhere", kElsewhereLdif);
        try {
            Launch(conf, databases, "ldap://127.0.0.1:" + std::to_string(m_port) + "/ ldaps://127.0.0.1:" +
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
    m_folder = slapd::MakeTempFolder("arbolite-slapd-");
    for (int attempt = 0;; ++attempt) {
        m_port = FreePort();
        m_port2 = FreePort();
        std::string url1 = "ldap://127.0.0.1:" + std::to_string(m_port) + "/";
        std::string url2 = "ldap://127.0.0.1:" + std::to_string(m_port2) + "/";
        std::vector<slapd::Database> databases;
        std::string conf = slapd::ConfigHead(m_folder);
        conf += slapd::Replace(kHiddenAccess, "@P2@", url2);
        std::string ldif = slapd::Replace(slapd::Replace(kHiddenLdif, "@READERPW@", kReaderPassword), "@BLINDPW@", kBlindPassword);
        AddDatabase(conf, databases, m_folder, "o=hidden", "hidden", ldif);
        try {
            Launch(conf, databases, url1 + " " + url2);
            return;
        } catch (const std::exception&) {
            if (attempt == 2) throw;
            Run("rm -rf '" + m_folder + "/hidden'");
        }
    }
}

std::unique_ptr<SlapdServer> SlapdServer::Bench(const std::string& ldif)
{
    std::unique_ptr<SlapdServer> s(new SlapdServer);
    s->StartBench(ldif);
    return s;
}

void SlapdServer::StartBench(const std::string& ldif)
{
    StartSingle("o=bench", "bench", ldif, "maxsize 4294967296\n");  // the later setting wins
}

void SlapdServer::StartSingle(const std::string& suffix, const std::string& name, const std::string& ldif,
                              const std::string& databaseConf)
{
    m_folder = slapd::MakeTempFolder("arbolite-slapd-");
    for (int attempt = 0;; ++attempt) {
        m_port = FreePort();
        std::vector<slapd::Database> databases;
        std::string conf = slapd::ConfigHead(m_folder);
        conf += "sizelimit unlimited\n";
        AddDatabase(conf, databases, m_folder, suffix, name, ldif);
        conf += databaseConf;
        try {
            Launch(conf, databases, "ldap://127.0.0.1:" + std::to_string(m_port) + "/");
            return;
        } catch (const std::exception&) {
            if (attempt == 2) throw;
            Run("rm -rf '" + m_folder + "/" + name + "'");
        }
    }
}

std::unique_ptr<SlapdServer> SlapdServer::Fresh(const std::string& suffix, const std::string& ldif)
{
    std::unique_ptr<SlapdServer> s(new SlapdServer);
    s->StartFresh(suffix, ldif);
    return s;
}

void SlapdServer::StartFresh(const std::string& suffix, const std::string& ldif)
{
    StartSingle(suffix, "fresh", ldif, std::string());
}

void SlapdServer::StartMain(int secondPort)
{
    m_folder = slapd::MakeTempFolder("arbolite-slapd-");
    std::string certs = m_folder + "/certs";
    Run("mkdir -p '" + certs + "' && openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes"
        " -keyout '" + certs + "/server.key' -out '" + certs + "/cacerts.pem' -days 3 -subj /CN=127.0.0.1"
        " -addext subjectAltName=IP:127.0.0.1");
    for (int attempt = 0;; ++attempt) {
        m_port = FreePort();
        m_port2 = FreePort();
        m_sslPort = FreePort();
        std::vector<slapd::Database> databases;
        std::string conf = slapd::ConfigHead(m_folder);
        conf += "moduleload back_sock\n";
        conf += "referral ldap://127.0.0.1:" + std::to_string(secondPort) + "/\n";
        conf += "TLSCACertificateFile " + certs + "/cacerts.pem\n";
        conf += "TLSCertificateFile " + certs + "/cacerts.pem\n";
        conf += "TLSCertificateKeyFile " + certs + "/server.key\n";
        std::string lab = slapd::Replace(slapd::Replace(slapd::Replace(slapd::Replace(std::string(kLabLdif), "@PHOTO@", kPhotoBase64),
                                                  "@PORT2@", std::to_string(m_port2)),
                                          "@PORT@", std::to_string(m_port)),
                                  "@SSLPORT@", std::to_string(m_sslPort));
        lab = slapd::Replace(lab, "@SECOND@", std::to_string(secondPort));
        lab += ChainLdif(m_port, m_port2);
        AddDatabase(conf, databases, m_folder, "o=lab", "lab", lab);
        // Searches below ou=scripted,o=lab go to a backend the test plays.
        conf += "overlay sock\nsocketpath " + ScriptSocketPath() + "\nsockops search\n"
                "sockdnpat \"ou=scripted,o=lab$\"\n";
        AddDatabase(conf, databases, m_folder, "o=other", "other", kOtherLdif);
        // The listeners' entry is refused to everybody, but its existence is
        // not hidden: reading it answers "insufficient access".
        conf += "database monitor\n"
                "access to dn.subtree=\"cn=Listeners,cn=Monitor\" by * disclose\n"
                "access to * by * read\n";
        try {
            Launch(conf, databases, "ldap://127.0.0.1:" + std::to_string(m_port) + "/ ldap://127.0.0.1:" +
                             std::to_string(m_port2) + "/ ldaps://127.0.0.1:" + std::to_string(m_sslPort) + "/");
            return;
        } catch (const std::exception&) {
            if (attempt == 2) throw;
            Run("rm -rf '" + m_folder + "/lab' '" + m_folder + "/other'");
        }
    }
}

void SlapdServer::Launch(const std::string& conf, const std::vector<slapd::Database>& databases,
                         const std::string& urls)
{
    std::vector<int> ports{m_port};
    if (m_port2) ports.push_back(m_port2);
    if (m_sslPort) ports.push_back(m_sslPort);
    m_server.Launch(m_folder, conf, databases, urls, ports, true);
}

void SlapdServer::Stop()
{
    m_server.Stop();
}

SlapdServer::~SlapdServer()
{
    Stop();
    if (!m_folder.empty() && !std::getenv("ARBOLITE_KEEP_SLAPD"))
        std::system(("rm -rf '" + m_folder + "'").c_str());
}

} // namespace testsupport
