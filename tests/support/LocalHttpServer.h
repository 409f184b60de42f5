#pragma once
// A small HTTP/1.0 server on 127.0.0.1 for the update check's tests: every
// request gets the one reply set (status and body), and the server keeps a
// log of what it was asked. As a proxy it answers the same, so a test can
// see the absolute URL a client sent through it.

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// Removes the proxy variables of the environment, so that a download goes
// straight to 127.0.0.1 (never through a proxy of the machine).
void RemoveProxyVariables();

class LocalHttpServer {
public:
    struct Request {
        std::string method;
        std::string target;     // as sent: a path, or an absolute URL through a proxy
        std::string userAgent;
    };

    // On a free port; throws when it cannot listen.
    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    int Port() const { return m_port; }
    // "http://127.0.0.1:<port>".
    std::string Url() const;

    // The reply to every following request (200 and an empty body at first).
    void SetReply(int status, const std::string& body);
    std::vector<Request> Requests() const;

private:
    void Serve();
    void Answer(int fd);

    int m_fd = -1;
    int m_port = 0;
    int m_stop[2] = {-1, -1};
    mutable std::mutex m_lock;
    int m_status = 200;
    std::string m_body;
    std::vector<Request> m_requests;
    std::thread m_thread;
};

} // namespace testsupport
