#pragma once
// A short-lived worker that opens a connection of its own, reads the
// server's root DSE and hands the naming contexts and the supported controls
// to one window by posted messages (platform/Messages.h):
//
//   WM_ROOTDSE_NAMING_CONTEXT  payload ValuePayload<std::wstring>, one per value
//   WM_ROOTDSE_CONTROLS        payload ValuePayload<arbldap::LDAPControlList>:
//                              one disabled, non-critical control without a
//                              value per supported OID (possibly none)
//   WM_ROOTDSE_ERROR           wParam result code, payload ValuePayload<std::wstring>
//   WM_ROOTDSE_ENDED           no payload; always the last message
//
// The receiver owns each payload; a message that cannot reach its window
// (closed meanwhile) has its payload freed by the dispatcher. The caller
// makes it with std::make_shared, sets the option bits and starts it with
// CreateThread; it lets go at once.

#include <memory>
#include <string>

#include "jobs/CLDAPFetchThread.h"
#include "ldap/LDAPOperationOptions.h"
#include "platform/Dispatcher.h"

class CRootDSEFetchThread : public CLDAPFetchThread {
public:
    enum : unsigned {
        kNamingContexts = 1,
        kSupportedControls = 2,
    };

    // The connection (protocol version 3) and a copy of options (time limit
    // 20 seconds, null: defaults) are the worker's own. The options' rebind
    // credentials for this host and port, when any, are used for the bind;
    // else it binds anonymously.
    CRootDSEFetchThread(const std::wstring& host, int port, const arbldap::LDAPOperationOptions* options,
                        platform::ReceiverId target);
    // Posts WM_ROOTDSE_ENDED: whatever the path, nothing comes after it.
    ~CRootDSEFetchThread() override;

    void SetOption(unsigned bit, bool on);
    unsigned GetOptions() const { return m_optionBits; }

    void DoWork() override;
    void OnError(arbldap::LDAPException error) override;
    // The work step reads its own results.
    bool CheckResult(int resultCode) override;

    // A naming context that is nothing but blanks is not offered.
    static bool IsBlankValue(const std::string& value);

private:
    void Bind();
    // Posts one naming context unless it is blank; true when posted.
    bool PostNamingContext(const std::string& value);

    std::unique_ptr<arbldap::LDAPOperationOptions> m_ownOptions;
    platform::ReceiverId m_target;
    unsigned m_optionBits = 0;
    std::string m_bindDN;
    std::string m_bindPassword;
};
