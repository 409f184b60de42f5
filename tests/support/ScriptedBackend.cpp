#include "tests/support/ScriptedBackend.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "tests/support/SlapdServer.h"

namespace testsupport {

namespace {

ScriptedBackend::Request ParseRequest(const std::string& text)
{
    ScriptedBackend::Request request;
    size_t pos = 0;
    bool first = true;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        pos = end == std::string::npos ? text.size() : end + 1;
        if (first) {
            request["operation"] = line;
            first = false;
            continue;
        }
        size_t colon = line.find(": ");
        if (colon != std::string::npos)
            request[line.substr(0, colon)] = line.substr(colon + 2);
    }
    return request;
}

void WriteAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += static_cast<size_t>(n);
    }
}

} // namespace

std::string ScriptedResult(int code)
{
    return "RESULT\ncode: " + std::to_string(code) + "\n";
}

std::string ScriptedEntry(const std::string& dn, const std::vector<std::string>& lines)
{
    std::string text = "dn: " + dn + "\n";
    for (const std::string& line : lines)
        text += line + "\n";
    return text + "\n";
}

ScriptedBackend::ScriptedBackend(Handler handler)
    : m_handler(std::move(handler)), m_path(SlapdServer::Main().ScriptSocketPath())
{
    ::unlink(m_path.c_str());
    m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (m_fd < 0 || m_path.size() >= sizeof address.sun_path)
        throw std::runtime_error("cannot make the script socket " + m_path);
    std::strcpy(address.sun_path, m_path.c_str());
    if (::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(m_fd, 16) != 0)
        throw std::runtime_error("cannot listen on " + m_path);
    m_thread = std::thread([this] { Serve(); });
}

ScriptedBackend::~ScriptedBackend()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stopping = true;
    }
    m_thread.join();
    ::close(m_fd);
    ::unlink(m_path.c_str());
}

void ScriptedBackend::Serve()
{
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (m_stopping)
                return;
        }
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        int client = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        std::string text;
        char buffer[4096];
        while (text.find("\n\n") == std::string::npos) {
            ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            text.append(buffer, static_cast<size_t>(n));
        }
        Request request = ParseRequest(text.substr(0, text.find("\n\n")));
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_requests.push_back(request);
        }
        m_arrived.notify_all();
        WriteAll(client, m_handler(request));
        ::close(client);
    }
}

std::vector<ScriptedBackend::Request> ScriptedBackend::Requests() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_requests;
}

bool ScriptedBackend::WaitForRequests(size_t count, int ms) const
{
    std::unique_lock<std::mutex> lock(m_lock);
    return m_arrived.wait_for(lock, std::chrono::milliseconds(ms), [&] { return m_requests.size() >= count; });
}

} // namespace testsupport
