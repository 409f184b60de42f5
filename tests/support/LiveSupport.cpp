#include <ldap.h>

#include "tests/support/LiveSupport.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "base/NoCase.h"
#include "ldap/LDAPAttribute.h"
#include "ldap/LDAPAttributeList.h"
#include "ldap/LDAPEntry.h"
#include "ldap/LDAPException.h"

using namespace arbldap;

namespace live {

LDAPConnectionPtr Open(int port, int version)
{
    LDAPConnectionPtr connection = LDAPConnection::Create(kHost, port);
    connection->SetProtocolVersion(version);
    return connection;
}

RefPtr<LDAPSyncConnection> OpenSync(int port, int version)
{
    RefPtr<LDAPSyncConnection> connection = LDAPSyncConnection::Create(kHost, port);
    connection->SetProtocolVersion(version);
    return connection;
}

RefPtr<LDAPSyncConnection> OpenAdmin()
{
    RefPtr<LDAPSyncConnection> connection = OpenSync(MainServer().Port());
    connection->Bind(testsupport::kAdminDN, testsupport::kAdminPassword);
    return connection;
}

std::vector<std::string> LdapsearchValues(int port, const std::string& dn, const std::string& attribute)
{
    char folderTemplate[] = "/tmp/arb-ldapsearch-XXXXXX";
    const char* folder = mkdtemp(folderTemplate);
    if (!folder)
        throw std::runtime_error("no folder for ldapsearch");
    const std::string output = testsupport::Run(
        "ldapsearch -x -LLL -o ldif-wrap=no -t -T '" + std::string(folder) + "' -H ldap://127.0.0.1:" +
        std::to_string(port) + " -s base -b '" + dn + "' '(objectClass=*)' '" + attribute + "'");
    std::vector<std::string> values;
    const std::string inlinePrefix = attribute + ": ";
    const std::string filePrefix = attribute + ":< file://";
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find('\n', start);
        if (end == std::string::npos)
            end = output.size();
        const std::string line = output.substr(start, end - start);
        start = end + 1;
        if (line.size() > filePrefix.size() && EqualNoCase(line.substr(0, filePrefix.size()), filePrefix)) {
            std::ifstream in(line.substr(filePrefix.size()), std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            values.push_back(bytes.str());
        } else if (line.size() >= inlinePrefix.size() && EqualNoCase(line.substr(0, inlinePrefix.size()), inlinePrefix)) {
            values.push_back(line.substr(inlinePrefix.size()));
        }
    }
    testsupport::Run("rm -rf '" + std::string(folder) + "'");
    return values;
}

StringList ReadValues(LDAPSyncConnection& connection, const std::string& dn, const std::string& filter,
                      const std::string& attribute)
{
    StringList attributes;
    attributes.Add(attribute);
    std::unique_ptr<LDAPSearchResults> results = connection.Search(dn, 0, filter, attributes, false);
    for (const LDAPEntry& entry : results->GetEntries())
        for (const LDAPAttribute& a : entry.GetAttributes())
            if (EqualNoCase(a.GetName(), attribute)) return a.GetValues();
    return StringList();
}

size_t CountEntries(LDAPSyncConnection& connection, const std::string& dn, const std::string& filter)
{
    StringList attributes;
    attributes.Add("1.1");
    return connection.Search(dn, 0, filter, attributes, false)->GetEntries().GetCount();
}

std::string Describe(const LDAPResponse& response)
{
    if (auto entry = dynamic_cast<const LDAPEntryResponse*>(&response))
        return "entry " + entry->GetEntry().GetDN();
    if (auto reference = dynamic_cast<const LDAPReferenceResponse*>(&response)) {
        std::string text = "ref";
        for (const LDAPUrl& url : reference->GetURLs())
            text += " " + url.GetURL();
        if (reference->GetFollowError())
            text += " [" + std::to_string(reference->GetFollowError()) + "]";
        return text;
    }
    auto& result = dynamic_cast<const LDAPResultResponse&>(response);
    return "result " + std::to_string(result.GetResultCode());
}

std::vector<std::string> Drain(LDAPResultQueue& queue)
{
    std::vector<std::string> seen;
    while (std::unique_ptr<LDAPResponse> response = queue.GetNextResponse())
        seen.push_back(Describe(*response));
    return seen;
}

int BindResultCode(const std::string& dn, const std::string& password)
{
    RefPtr<LDAPSyncConnection> connection = OpenSync(MainServer().Port());
    try {
        connection->Bind(dn, password);
        return 0;
    } catch (const LDAPException& e) {
        return e.GetResultCode();
    }
}

int ResultCode(LDAPResultQueue& queue)
{
    std::unique_ptr<LDAPResponse> response = queue.GetNextResponse();
    if (!response)
        throw std::runtime_error("no response");
    return dynamic_cast<LDAPResultResponse&>(*response).GetResultCode();
}

std::vector<LDAPEntry> Entries(LDAPResultQueue& queue)
{
    std::vector<LDAPEntry> entries;
    while (std::unique_ptr<LDAPResponse> response = queue.GetNextResponse()) {
        if (auto entry = dynamic_cast<LDAPEntryResponse*>(response.get()))
            entries.push_back(entry->GetEntry());
        else if (auto result = dynamic_cast<LDAPResultResponse*>(response.get()); result && result->GetResultCode())
            throw LDAPException(result->GetResultCode());
    }
    return entries;
}

Watchdog::Watchdog(LDAPResultQueue& queue, std::chrono::milliseconds limit)
    : m_thread([this, &queue, limit] {
          std::unique_lock<std::mutex> lock(m_lock);
          if (!m_stop.wait_for(lock, limit, [this] { return m_stopped; }))
              queue.Cancel();
      })
{
}

Watchdog::~Watchdog()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stopped = true;
    }
    m_stop.notify_all();
    m_thread.join();
}

int MainServerConnections()
{
    // One connection for all the asking, so that the count does not include
    // closing ones of earlier questions.
    static RefPtr<LDAPSyncConnection> monitor = OpenSync(MainServer().Port());
    StringList attributes;
    attributes.Add("monitorCounter");
    std::unique_ptr<LDAPSearchResults> results =
        monitor->Search("cn=Current,cn=Connections,cn=Monitor", 0, "", attributes, false);
    for (const LDAPEntry& entry : results->GetEntries())
        for (const LDAPAttribute& attribute : entry.GetAttributes())
            if (attribute.GetName() == "monitorCounter" && attribute.GetValueCount() == 1)
                return std::stoi(std::string(*attribute.GetValues().begin())) - 1;
    throw std::runtime_error("no connection count");
}

int SettledMainServerConnections()
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    int count = MainServerConnections();
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        int again = MainServerConnections();
        if (again == count || std::chrono::steady_clock::now() > deadline)
            return again;
        count = again;
    }
}

int WaitForMainServerConnections(int expected)
{
    // Generous: it ends as soon as the count is reached.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    int count = MainServerConnections();
    while (count != expected && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        count = MainServerConnections();
    }
    return count;
}

int SessionSocket(const LDAPConnection& connection)
{
    ber_socket_t fd = -1;
    if (!connection.GetSession() || ldap_get_option(connection.GetSession(), LDAP_OPT_DESC, &fd) != LDAP_OPT_SUCCESS)
        return -1;
    return fd;
}

bool WaitForPeerClose(int fd, std::chrono::milliseconds limit)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        char byte;
        if (poll(&p, 1, 100) > 0 && recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) <= 0)
            return true;
    }
    return false;
}

}  // namespace live
