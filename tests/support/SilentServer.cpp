#include "tests/support/SilentServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

SilentServer::SilentServer()
{
    m_fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (m_fd < 0 || bind(m_fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 || listen(m_fd, 16) != 0 ||
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        if (m_fd >= 0) close(m_fd);
        throw std::runtime_error("cannot listen");
    }
    m_port = ntohs(addr.sin_port);
}

SilentServer::~SilentServer()
{
    if (m_fd >= 0)
        close(m_fd);
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
