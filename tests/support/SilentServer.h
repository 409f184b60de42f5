#pragma once
// A TCP port on 127.0.0.1 that accepts connections (the kernel completes
// them) but never answers a byte: a server that hangs, or a witness that
// nobody tried to connect.

namespace testsupport {

class SilentServer {
public:
    SilentServer();
    ~SilentServer();
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;
    int Port() const { return m_port; }
    // Takes the connections made so far and counts them (never waits).
    int AcceptPending();

private:
    int m_fd = -1;
    int m_port = 0;
};

} // namespace testsupport
