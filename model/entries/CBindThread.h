#pragma once
// The node job that binds a server node's connection: one bind request with
// the profile's user DN and the password it was given. Success marks the
// node bound and has the list view expand it (which fetches its children);
// a failure leaves an error node, a log line and the error text in the
// progress window, and the node unbound.
//
// On success the job also takes the host's schema for the node: the schema
// cache resolves the host's name, which may block, and that belongs on this
// worker rather than on the user-interface thread that expands the node.

#include <string>

#include "jobs/CLDAPOperationThread.h"

class CServerObject;

// Strings: the node's status while binding, the log line's prefix.
constexpr unsigned kStrBinding = 437;
constexpr unsigned kStrConnectedTo = 439;

class CBindThread : public CLDAPOperationThread {
public:
    // On the user-interface thread. openBase is kept only when the profile
    // has a base DN.
    CBindThread(CServerObject* server, std::unique_ptr<CProgressDlg> progress, bool openBase);
    // The password's bytes are overwritten before they are freed.
    ~CBindThread() override;

    void SetPassword(const std::string& password);
    const std::string& GetPassword() const { return m_password; }
    bool GetOpenBase() const { return m_openBase; }

    void DoWork() override;
    void OnError(arbldap::LDAPException error) override;
    // Always true.
    bool CheckResult(int resultCode) override;

private:
    CServerObject* Server() const;

    std::string m_password;
    const std::string m_userDN;
    const std::wstring m_hostName;
    const bool m_openBase;
};
