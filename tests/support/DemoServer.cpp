#include "tests/support/DemoServer.h"

#include "tests/support/SlapdServer.h"
#include "tools/DemoDirectory.h"

namespace testsupport {

// Tests run side by side: each takes a port of its own rather than the demo's
// fixed one, which a parallel test would race for.
DemoServer::DemoServer() : m_directory(std::make_unique<DemoDirectory>(FreePort())) {}

DemoServer::~DemoServer() = default;

int DemoServer::Port() const
{
    return m_directory->Port();
}

std::string DemoServer::Suffix()
{
    return kDemoSuffix;
}

std::string DemoServer::AdminDN()
{
    return "cn=admin," + Suffix();
}

std::string DemoServer::AdminPassword()
{
    // Every test server's root user has the same password.
    return kAdminPassword;
}

} // namespace testsupport
