#include "tests/support/SilentServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace testsupport {

namespace {

// Starts a connect to addr; true when it completed within a moment.
bool ConnectCompletes(int fd, const sockaddr_in& addr)
{
    if (connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0)
        return true;
    pollfd p{fd, POLLOUT, 0};
    return poll(&p, 1, 300) > 0;
}

}  // namespace

SilentServer::SilentServer(Mode mode, int port)
{
    m_fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    // With a backlog of 0 the queue holds one connection; while it is full
    // the kernel drops every handshake that arrives.
    int backlog = mode == Mode::NeverConnect ? 0 : 16;
    if (m_fd < 0 || bind(m_fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 || listen(m_fd, backlog) != 0 ||
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        if (m_fd >= 0) close(m_fd);
        throw std::runtime_error("cannot listen");
    }
    m_port = ntohs(addr.sin_port);

    if (mode == Mode::NeverConnect) {
        // The first connection fills the queue; the second shows it is full.
        for (int& filler : m_fillers)
            filler = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        if (m_fillers[0] < 0 || m_fillers[1] < 0 || !ConnectCompletes(m_fillers[0], addr) ||
            ConnectCompletes(m_fillers[1], addr)) {
            Close();
            throw std::runtime_error("cannot fill the backlog");
        }
    }
}

SilentServer::~SilentServer()
{
    Close();
}

void SilentServer::Close()
{
    for (int fd : m_kept)
        close(fd);
    m_kept.clear();
    for (int* fd : {&m_fillers[0], &m_fillers[1], &m_fd}) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
}

} // namespace testsupport

namespace testsupport {

int SilentServer::AcceptPending()
{
    int flags = fcntl(m_fd, F_GETFL, 0);
    fcntl(m_fd, F_SETFL, flags | O_NONBLOCK);
    int count = 0;
    for (int fd; (fd = accept(m_fd, nullptr, nullptr)) >= 0; ++count)
        close(fd);
    fcntl(m_fd, F_SETFL, flags);
    return count;
}

} // namespace testsupport

namespace testsupport {

int SilentServer::OpenConnections()
{
    int flags = fcntl(m_fd, F_GETFL, 0);
    fcntl(m_fd, F_SETFL, flags | O_NONBLOCK);
    for (int fd; (fd = accept(m_fd, nullptr, nullptr)) >= 0;)
        m_kept.push_back(fd);
    fcntl(m_fd, F_SETFL, flags);
    int open = 0;
    for (int& fd : m_kept) {
        if (fd < 0)
            continue;
        char buffer[4096];
        ssize_t n;
        while ((n = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT)) > 0) {
        }
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) {
            close(fd);
            fd = -1;
        } else {
            ++open;
        }
    }
    return open;
}

int SilentServer::WaitForOpenConnections(int expected, std::chrono::milliseconds limit)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    int count = OpenConnections();
    while (count != expected && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        count = OpenConnections();
    }
    return count;
}

} // namespace testsupport
