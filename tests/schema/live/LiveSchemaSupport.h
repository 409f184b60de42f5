#pragma once
// Helpers of the schema tests that run against the test servers.

#include <gtest/gtest.h>

#include "tests/support/LiveSupport.h"

namespace liveschema {

using live::CountEntries;
using live::kHost;
using live::ReadValues;
using testsupport::SilentServer;

// A version 3 connection to 127.0.0.1, bound when dn is given.
inline RefPtr<arbldap::LDAPSyncConnection> Connect(int port, const char* dn = nullptr, const char* password = nullptr)
{
    RefPtr<arbldap::LDAPSyncConnection> connection = live::OpenSync(port);
    if (dn) connection->Bind(dn, password);
    return connection;
}

} // namespace liveschema
