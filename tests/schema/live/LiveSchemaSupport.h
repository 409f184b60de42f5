#pragma once
// Helpers of the schema tests that run against the test servers.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

#include "ldap/LDAPAttribute.h"
#include "ldap/LDAPAttributeList.h"
#include "ldap/LDAPEntry.h"
#include "ldap/LDAPSyncConnection.h"
#include "tests/support/SlapdServer.h"

namespace liveschema {

const char* const kHost = "127.0.0.1";

// A version 3 connection to 127.0.0.1, bound when dn is given.
inline RefPtr<LDAPSyncConnection> Connect(int port, const char* dn = nullptr, const char* password = nullptr)
{
    RefPtr<LDAPSyncConnection> connection = LDAPSyncConnection::Create(kHost, port);
    connection->SetProtocolVersion(3);
    if (dn) connection->Bind(dn, password);
    return connection;
}

// The values of one attribute of the entry at dn (base search); empty when
// there is no such entry or attribute.
inline StringList ReadValues(LDAPSyncConnection& connection, const std::string& dn, const std::string& filter,
                             const std::string& attribute)
{
    StringList attributes;
    attributes.Add(attribute);
    std::unique_ptr<LDAPSearchResults> results = connection.Search(dn, 0, filter, attributes, false);
    for (const LDAPEntry& entry : results->GetEntries())
        for (const LDAPAttribute& a : entry.GetAttributes())
            if (strcasecmp(a.GetName().c_str(), attribute.c_str()) == 0) return a.GetValues();
    return StringList();
}

// Entries a base search at dn finds (0 or 1).
inline size_t CountEntries(LDAPSyncConnection& connection, const std::string& dn, const std::string& filter)
{
    StringList attributes;
    attributes.Add("1.1");
    return connection.Search(dn, 0, filter, attributes, false)->GetEntries().GetCount();
}

// A TCP port on 127.0.0.1 that accepts connections (the kernel completes
// them) but never answers a byte.
class SilentServer {
public:
    SilentServer()
    {
        m_fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (m_fd < 0 || bind(m_fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 || listen(m_fd, 16) != 0 ||
            getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
            throw std::runtime_error("cannot listen");
        m_port = ntohs(addr.sin_port);
    }
    ~SilentServer()
    {
        if (m_fd >= 0) close(m_fd);
    }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;
    int Port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};

} // namespace liveschema
