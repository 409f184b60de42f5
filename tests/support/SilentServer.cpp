#include "tests/support/SilentServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
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
