#pragma once
// The demonstration directory that the run command starts for a newcomer: a
// small tree of people and groups under "dc=example,dc=org", served on a
// free port of 127.0.0.1, and the connection profile that points the
// program at it.

#include <memory>
#include <string>

#include "tools/SlapdLauncher.h"

extern const char* const kDemoSuffix;           // "dc=example,dc=org"
extern const wchar_t* const kDemoProfileName;   // "Demo directory"
extern const wchar_t* const kDemoProfileGuid;   // one fixed profile, rewritten each run

class DemoDirectory {
public:
    // Starts the server in a new temporary folder; throws std::runtime_error
    // when it cannot.
    DemoDirectory();
    // Stops the server and removes its folder.
    ~DemoDirectory();
    DemoDirectory(const DemoDirectory&) = delete;
    DemoDirectory& operator=(const DemoDirectory&) = delete;

    int Port() const { return m_port; }
    const std::string& Folder() const { return m_folder; }

private:
    std::string m_folder;
    int m_port = 0;
    slapd::Server m_server;
};

// The entries of the demonstration tree, as LDIF.
std::string DemoLdif();

// Writes (or rewrites) the demonstration profile in the current user's
// settings: anonymous, on 127.0.0.1 at the port, based at the demo suffix,
// with the people and groups as favourites. False when it cannot be saved.
bool WriteDemoProfile(int port);
