#pragma once
// Reads every attribute of a server's monitor entry over a connection of its
// own: bound anonymously, with the profile's host, port, protocol version and
// secure-connection choice, and a 10 second time limit. Each attribute value
// goes to the page as one row message, in attribute-name order; failures are
// shown in a message box on the user-interface thread, with the server's
// result code and text when it answered with one. Its last act is the
// end message to the page, after the connection has been let go.

#include <atomic>
#include <memory>
#include <string>
#include <utility>

#include "jobs/CLDAPFetchThread.h"
#include "ldap/LDAPOperationOptions.h"
#include "platform/Dispatcher.h"

class CServerProfile;

// To the page, one per attribute value; payload MonitorRowPayload.
constexpr platform::MessageId WM_MONITOR_ROW = 0x6D4;
// name, value
typedef platform::ValuePayload<std::pair<std::wstring, std::wstring>> MonitorRowPayload;

constexpr unsigned kStrMonitorEntryUnreadable = 551;

class CServerMonitorThread : public CLDAPFetchThread {
public:
    // monitorDN: the DN as the page's edit holds it now (UTF-8), which may
    // differ from the profile's stored one.
    CServerMonitorThread(platform::ReceiverId page, const CServerProfile& profile, std::string monitorDN);
    ~CServerMonitorThread() override;

    void DoWork() override;
    void OnError(arbldap::LDAPException error) override;
    void OnFinish() override;

    // True once the read has come to its outcome (rows sent, or a failure
    // being shown): nothing is left to wait for on the server.
    bool HasOutcome() const { return m_outcome.load(); }

private:
    void ReleaseConnection();
    void ShowErrorBox(const std::wstring& text);

    platform::ReceiverId m_page;
    std::string m_monitorDN;
    std::unique_ptr<arbldap::LDAPOperationOptions> m_options;
    std::atomic<bool> m_outcome{false};
};
