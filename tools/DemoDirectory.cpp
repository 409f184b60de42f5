#include "tools/DemoDirectory.h"

#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "base/Utf8.h"
#include "model/profiles/CFavorite.h"
#include "model/profiles/CServerProfile.h"

const char* const kDemoSuffix = "dc=example,dc=org";
const wchar_t* const kDemoProfileName = L"Demo directory";
const wchar_t* const kDemoProfileGuid = L"{6A0B7E52-3C1D-4F8A-9E27-5D4C3B2A1908}";

namespace {

struct Person {
    const char* uid;
    const char* given;
    const char* surname;
    const char* title;
    const char* phone;
};

const Person kPeople[] = {
    {"ada", "Ada", "Lovelace", "Analyst", "+44 20 7946 0101"},
    {"alan", "Alan", "Turing", "Mathematician", "+44 20 7946 0102"},
    {"grace", "Grace", "Hopper", "Rear Admiral", "+1 202 555 0103"},
    {"edsger", "Edsger", "Dijkstra", "Professor", "+31 20 555 0104"},
    {"barbara", "Barbara", "Liskov", "Professor", "+1 617 555 0105"},
    {"donald", "Donald", "Knuth", "Professor Emeritus", "+1 650 555 0106"},
    {"margaret", "Margaret", "Hamilton", "Director", "+1 617 555 0107"},
    {"ken", "Ken", "Thompson", "Engineer", "+1 908 555 0108"},
};

struct Group {
    const char* cn;
    const char* description;
    std::vector<const char*> members;
};

const Group kGroups[] = {
    {"engineers", "People who build things", {"ken", "margaret", "grace"}},
    {"scientists", "People who prove things", {"alan", "edsger", "donald", "barbara", "ada"}},
    {"admins", "People who may change the directory", {"grace"}},
};

} // namespace

std::string DemoLdif()
{
    std::string suffix = kDemoSuffix;
    std::string ldif = "dn: " + suffix + "\nobjectClass: dcObject\nobjectClass: organization\ndc: example\n"
                       "o: Example Organisation\ndescription: A small directory to browse\n\n"
                       "dn: ou=people," + suffix + "\nobjectClass: organizationalUnit\nou: people\n\n"
                       "dn: ou=groups," + suffix + "\nobjectClass: organizationalUnit\nou: groups\n\n";
    for (const Person& p : kPeople) {
        ldif += "dn: uid=" + std::string(p.uid) + ",ou=people," + suffix + "\nobjectClass: inetOrgPerson\n";
        ldif += "uid: " + std::string(p.uid) + "\ncn: " + p.given + " " + p.surname + "\ngivenName: " + p.given +
                "\nsn: " + p.surname + "\ntitle: " + p.title + "\ntelephoneNumber: " + p.phone + "\nmail: " + p.uid +
                "@example.org\n";
        // One person has a photo: a binary value to save and load.
        if (std::string(p.uid) == "donald")
            ldif += "jpegPhoto:: /9j/4AAQSkZJRgABAQAAAQABAAD/2Q==\n";
        ldif += "\n";
    }
    for (const Group& g : kGroups) {
        ldif += "dn: cn=" + std::string(g.cn) + ",ou=groups," + suffix + "\nobjectClass: groupOfNames\ncn: " + g.cn +
                "\ndescription: " + g.description + "\n";
        for (const char* uid : g.members) ldif += "member: uid=" + std::string(uid) + ",ou=people," + suffix + "\n";
        ldif += "\n";
    }
    return ldif;
}

DemoDirectory::DemoDirectory(int preferredPort) : m_preferredPort(preferredPort)
{
    m_folder = slapd::MakeTempFolder("arbolite-demo-");
    slapd::Database db{kDemoSuffix, "example", DemoLdif()};
    // Anybody reads the monitor entries (the server properties show them).
    std::string conf = slapd::ConfigHead(m_folder) + slapd::DatabaseSection(m_folder, db) +
                       "access to attrs=userPassword by anonymous auth by * none\n"
                       "access to * by * read\n"
                       "database monitor\n"
                       "access to * by * read\n";
    std::string failure = "no free port from " + std::to_string(preferredPort);
    int launches = 0;
    for (int port = preferredPort; port < preferredPort + kDemoPortRange && port <= 65535 && launches < 3; ++port) {
        if (!slapd::IsPortFree(port))
            continue;
        // Another server may take the port between the look and the start.
        ++launches;
        try {
            m_server.Launch(m_folder, conf, {db}, "ldap://127.0.0.1:" + std::to_string(port) + "/", {port}, true);
            m_port = port;
            return;
        } catch (const std::exception& e) {
            failure = e.what();
        }
    }
    std::system(("rm -rf '" + m_folder + "'").c_str());
    throw std::runtime_error(failure);
}

std::string DemoDirectory::MovedPortNote() const
{
    if (m_port == m_preferredPort)
        return std::string();
    return "Port " + std::to_string(m_preferredPort) + " was taken, so the demonstration directory listens on "
           "ldap://127.0.0.1:" + std::to_string(m_port) + "/ this time (the profile \"" +
           WideToUtf8Text(kDemoProfileName) + "\" points there; a profile made for port " + std::to_string(m_preferredPort) +
           " does not reach it).";
}

DemoDirectory::~DemoDirectory()
{
    m_server.Stop();
    std::system(("rm -rf '" + m_folder + "'").c_str());
}

bool WriteDemoProfile(int port)
{
    CServerProfile profile;
    profile.SetIdFromString(kDemoProfileGuid);
    profile.SetProfileName(kDemoProfileName);
    profile.SetHostName(L"127.0.0.1");
    profile.SetPort(port);
    profile.SetVersion(3);
    profile.SetBaseDN(arbldap::LDAPDN(kDemoSuffix));
    profile.SetAnonymousBind(1);
    profile.AddFavorite(CFavorite("People", std::string("ou=people,") + kDemoSuffix));
    profile.AddFavorite(CFavorite("Groups", std::string("ou=groups,") + kDemoSuffix));
    return profile.SaveProfile();
}
