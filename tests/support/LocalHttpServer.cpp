#include "tests/support/LocalHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <cstdlib>
#include <stdexcept>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

namespace {

std::string HeaderValue(const std::string& head, const char* name)
{
    size_t at = 0;
    const size_t length = std::string(name).size();
    while ((at = head.find("\r\n", at)) != std::string::npos) {
        at += 2;
        if (strncasecmp(head.c_str() + at, name, length) == 0 && head.compare(at + length, 1, ":") == 0) {
            size_t start = head.find_first_not_of(' ', at + length + 1);
            size_t end = head.find("\r\n", at);
            return start == std::string::npos || start >= end ? std::string() : head.substr(start, end - start);
        }
    }
    return std::string();
}

void SendAll(int fd, const std::string& bytes)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += static_cast<size_t>(n);
    }
}

} // namespace

void RemoveProxyVariables()
{
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY",
                             "no_proxy", "NO_PROXY"})
        unsetenv(name);
}

LocalHttpServer::LocalHttpServer()
{
    m_fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (m_fd < 0 || bind(m_fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 || listen(m_fd, 16) != 0 ||
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0 || pipe(m_stop) != 0) {
        if (m_fd >= 0) close(m_fd);
        throw std::runtime_error("cannot listen");
    }
    m_port = ntohs(addr.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

LocalHttpServer::~LocalHttpServer()
{
    (void)!write(m_stop[1], "x", 1);
    m_thread.join();
    close(m_fd);
    close(m_stop[0]);
    close(m_stop[1]);
}

std::string LocalHttpServer::Url() const
{
    return "http://127.0.0.1:" + std::to_string(m_port);
}

void LocalHttpServer::SetReply(int status, const std::string& body)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_status = status;
    m_body = body;
}

std::vector<LocalHttpServer::Request> LocalHttpServer::Requests() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_requests;
}

void LocalHttpServer::Serve()
{
    for (;;) {
        pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents) return;
        if (fds[0].revents & POLLIN) {
            int client = accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) continue;
            Answer(client);
            close(client);
        }
    }
}

void LocalHttpServer::Answer(int fd)
{
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 5000) <= 0) return;
        ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) return;
        head.append(buffer, static_cast<size_t>(n));
    }
    Request request;
    size_t space = head.find(' ');
    size_t space2 = space == std::string::npos ? space : head.find(' ', space + 1);
    if (space2 != std::string::npos) {
        request.method = head.substr(0, space);
        request.target = head.substr(space + 1, space2 - space - 1);
    }
    request.userAgent = HeaderValue(head, "User-Agent");
    int status;
    std::string body;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_requests.push_back(request);
        status = m_status;
        body = m_body;
    }
    std::string reply = "HTTP/1.0 " + std::to_string(status) + (status == 200 ? " OK" : " Failed") +
                        "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
                        "\r\nConnection: close\r\n\r\n" + body;
    SendAll(fd, reply);
}

} // namespace testsupport
