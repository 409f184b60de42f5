#pragma once
// Plays the backend behind the main test server's "ou=scripted,o=lab": slapd
// hands each search below it to this object over a Unix socket (its sock
// overlay) and sends the client whatever the test's handler answers. So the
// client talks LDAP to the real slapd, while the test decides what a server
// would say (a result code such as noSuchAttribute, entries, or a delay).

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

class ScriptedBackend {
public:
    // One request as slapd describes it: "base", "scope", "attrs", "filter" ...
    typedef std::map<std::string, std::string> Request;
    // The reply: LDIF entries, each followed by a blank line, then
    // "RESULT\ncode: <n>\n". ScriptedResult and ScriptedEntry build them.
    typedef std::function<std::string(const Request& request)> Handler;

    // Listens on the main server's script socket until destroyed.
    explicit ScriptedBackend(Handler handler);
    ~ScriptedBackend();
    ScriptedBackend(const ScriptedBackend&) = delete;
    ScriptedBackend& operator=(const ScriptedBackend&) = delete;

    // Every request received so far, in order.
    std::vector<Request> Requests() const;
    // Waits (up to ms) until count requests have arrived.
    bool WaitForRequests(size_t count, int ms) const;

private:
    void Serve();

    Handler m_handler;
    int m_fd = -1;
    std::string m_path;
    mutable std::mutex m_lock;
    mutable std::condition_variable m_arrived;
    std::vector<Request> m_requests;
    bool m_stopping = false;
    std::thread m_thread;
};

std::string ScriptedResult(int code);
// "dn: <dn>" and the lines given ("attr: value"), then a blank line.
std::string ScriptedEntry(const std::string& dn, const std::vector<std::string>& lines);

} // namespace testsupport
