#pragma once

#include <chrono>
#include <vector>
// A TCP port on 127.0.0.1 that never answers a byte: a server that hangs
// (the kernel completes connections), or a black hole (connects go
// unanswered until the client gives up). A hanging one also witnesses that
// nobody tried to connect.

namespace testsupport {

class SilentServer {
public:
    enum class Mode {
        Hang,          // connections complete; nothing is ever read or answered
        NeverConnect,  // a full backlog drops every connect
    };

    // On the port given, or on a free one for 0; throws when it cannot.
    explicit SilentServer(Mode mode = Mode::Hang, int port = 0);
    ~SilentServer();
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;
    int Port() const { return m_port; }
    // Takes the connections made so far and counts them (never waits).
    int AcceptPending();
    // Takes the connections made so far and keeps them (reading and dropping
    // what clients send); the number of those kept that their client has not
    // closed.
    int OpenConnections();
    // Waits up to limit for OpenConnections to reach expected; the last count.
    int WaitForOpenConnections(int expected, std::chrono::milliseconds limit);

private:
    void Close();

    int m_fd = -1;
    int m_port = 0;
    int m_fillers[2] = {-1, -1};
    std::vector<int> m_kept;
};

} // namespace testsupport
