#pragma once
// The demonstration directory that the run command starts (people and
// groups under "dc=example,dc=org"), for the window tests that browse it as
// a newcomer would. Its administrator is the server's root user.

#include <memory>
#include <string>

class DemoDirectory;

namespace testsupport {

class DemoServer {
public:
    // Starts the server; throws std::runtime_error when it cannot.
    DemoServer();
    ~DemoServer();
    DemoServer(const DemoServer&) = delete;
    DemoServer& operator=(const DemoServer&) = delete;

    int Port() const;
    static std::string Suffix();         // "dc=example,dc=org"
    static std::string AdminDN();        // "cn=admin,dc=example,dc=org"
    static std::string AdminPassword();

private:
    std::unique_ptr<DemoDirectory> m_directory;
};

} // namespace testsupport
