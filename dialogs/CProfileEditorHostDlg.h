#pragma once
// The wizard's host page: host, port, protocol version, anonymous bind and
// the base DN, which can be picked from the naming contexts the server
// reports. The fetch runs on a worker of its own and talks to the page only
// through posted messages, so the page never waits for it.

#include <memory>
#include <string>

#include "dialogs/CProfileWizardPage.h"
#include "platform/Dispatcher.h"
#include "shellcore/CRecentItemsList.h"

class wxButton;
class wxCheckBox;
class wxChoice;
class wxComboBox;
class wxTextCtrl;

class CProfileEditorHostDlg : public CProfileWizardPage, public platform::MessageReceiver {
public:
    enum ControlId {
        kIdcHost = 1010,
        kIdcPort = 1011,
        kIdcVersion = 1012,
        kIdcAnonymous = 1013,
        kIdcBaseDN = 1014,
        kIdcFetch = 1015,
        kIdcHint = 1009,
    };
    static constexpr unsigned kDialog = 200;

    explicit CProfileEditorHostDlg(CProfileEditorWizard& wizard);
    ~CProfileEditorHostDlg() override;

    void OnSetActive() override;
    int OnWizardNext() override;
    bool OnWizardFinish() override;
    void RecordRecentItems() override;

    // The fetch button.
    void StartFetch();
    bool IsFetching() const { return m_fetching; }

    void OnMessage(platform::MessageId id, uintptr_t wParam, intptr_t lParam,
                   std::unique_ptr<platform::MessagePayload> payload) override;
    platform::ReceiverId GetReceiverId() const { return m_registration.Id(); }

    const CRecentItemsList& GetRecentHosts() const { return m_recentHosts; }
    const CRecentItemsList& GetRecentDNs() const { return m_recentDNs; }

private:
    // After any change of the controls: buttons and the profile's fields
    // (a port only when valid; nothing is said about it here).
    void Update();
    // The focus has left the port field: an invalid port is said now.
    void OnPortLeft();
    // Which invalid port texts are reported (a message, the focus back on
    // the port): while typing an empty field is no mistake yet.
    enum class PortReport { Never, OutOfRange, AnyInvalid };
    // The port text as a port; false when it is not valid.
    bool ReadPort(PortReport report, int& port);
    // Asks once per wizard whether to go on without a base DN.
    bool ConfirmEmptyBaseDN();
    void EndFetch();

    wxTextCtrl* m_host = nullptr;
    wxTextCtrl* m_port = nullptr;
    wxChoice* m_version = nullptr;
    wxCheckBox* m_anonymous = nullptr;
    wxComboBox* m_baseDN = nullptr;
    wxButton* m_fetch = nullptr;

    bool m_fetching = false;
    bool m_reportingPort = false;
    int m_errorCode = 0;
    std::wstring m_errorText;
    CRecentItemsList m_recentHosts;
    CRecentItemsList m_recentDNs;
    platform::ReceiverRegistration m_registration;
};
