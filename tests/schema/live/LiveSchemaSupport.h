#pragma once
// Helpers of the schema tests that run against the test servers.

#include <gtest/gtest.h>


#include <stdexcept>
#include <string>

#include "ldap/LDAPAttribute.h"
#include "ldap/LDAPAttributeList.h"
#include "ldap/LDAPEntry.h"
#include "ldap/LDAPSyncConnection.h"
#include "tests/support/SilentServer.h"
#include "tests/support/SlapdServer.h"

namespace liveschema {

const char* const kHost = "127.0.0.1";

// A version 3 connection to 127.0.0.1, bound when dn is given.
inline RefPtr<arbldap::LDAPSyncConnection> Connect(int port, const char* dn = nullptr, const char* password = nullptr)
{
    RefPtr<arbldap::LDAPSyncConnection> connection = arbldap::LDAPSyncConnection::Create(kHost, port);
    connection->SetProtocolVersion(3);
    if (dn) connection->Bind(dn, password);
    return connection;
}

// The values of one attribute of the entry at dn (base search); empty when
// there is no such entry or attribute.
inline StringList ReadValues(arbldap::LDAPSyncConnection& connection, const std::string& dn, const std::string& filter,
                             const std::string& attribute)
{
    StringList attributes;
    attributes.Add(attribute);
    std::unique_ptr<arbldap::LDAPSearchResults> results = connection.Search(dn, 0, filter, attributes, false);
    for (const arbldap::LDAPEntry& entry : results->GetEntries())
        for (const arbldap::LDAPAttribute& a : entry.GetAttributes())
            if (strcasecmp(a.GetName().c_str(), attribute.c_str()) == 0) return a.GetValues();
    return StringList();
}

// Entries a base search at dn finds (0 or 1).
inline size_t CountEntries(arbldap::LDAPSyncConnection& connection, const std::string& dn, const std::string& filter)
{
    StringList attributes;
    attributes.Add("1.1");
    return connection.Search(dn, 0, filter, attributes, false)->GetEntries().GetCount();
}

using SilentServer = testsupport::SilentServer;

} // namespace liveschema
