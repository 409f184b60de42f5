#pragma once
// The demonstration directory that the run command starts for a newcomer: a
// small tree of people and groups under "dc=example,dc=org", served on
// 127.0.0.1 at a fixed port (so that a profile made for it still works at
// the next run) or, when that port is taken, the next free one, with the
// server's monitor entries, and the connection profile that points the
// program at it.

#include <memory>
#include <string>

#include "tools/SlapdLauncher.h"

extern const char* const kDemoSuffix;           // "dc=example,dc=org"
extern const wchar_t* const kDemoProfileName;   // "Demo directory"
extern const wchar_t* const kDemoProfileGuid;   // one fixed profile, rewritten each run
constexpr int kDemoPort = 38900;
// How many ports from the preferred one on are tried.
constexpr int kDemoPortRange = 100;

class DemoDirectory {
public:
    // Starts the server in a new temporary folder on preferredPort, or on
    // the next free port after it; throws std::runtime_error when it cannot.
    explicit DemoDirectory(int preferredPort = kDemoPort);
    // Stops the server and removes its folder.
    ~DemoDirectory();
    DemoDirectory(const DemoDirectory&) = delete;
    DemoDirectory& operator=(const DemoDirectory&) = delete;

    int Port() const { return m_port; }
    int PreferredPort() const { return m_preferredPort; }
    const std::string& Folder() const { return m_folder; }
    // What the user is told when the preferred port was taken (UTF-8);
    // empty when the server listens on it.
    std::string MovedPortNote() const;

private:
    std::string m_folder;
    int m_preferredPort = kDemoPort;
    int m_port = 0;
    slapd::Server m_server;
};

// The entries of the demonstration tree, as LDIF.
std::string DemoLdif();

// Writes (or rewrites) the demonstration profile in the current user's
// settings: anonymous, on 127.0.0.1 at the port, based at the demo suffix,
// with the people and groups as favourites. False when it cannot be saved.
bool WriteDemoProfile(int port);
