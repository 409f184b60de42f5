#pragma once
// The program's internet session: opened at start-up with the program's user
// agent and, when the options ask for one, a proxy; closed at exit. Each
// download makes a handle of its own with the session's agent and proxy.

#include <memory>
#include <string>

class CAppConfig;

// "Vellumar Arbolite/2.0".
extern const char* const kInternetUserAgent;

// "http=http://%s:%d" with the proxy host (UTF-8) and port.
std::string FormatProxyText(const std::string& host, int port);

class CInternetSession {
public:
    // Null when the session cannot be opened.
    static std::unique_ptr<CInternetSession> Open(const CAppConfig& options);
    ~CInternetSession();
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    // The proxy text it was opened with; empty: the system's settings.
    const std::string& GetProxyText() const { return m_proxyText; }
    // The proxy as the download library takes it ("http://host:port");
    // empty: the system's settings.
    std::string GetDownloadProxy() const;

private:
    CInternetSession() = default;
    void* m_handle = nullptr;
    std::string m_proxyText;
};
