#pragma once
// The server monitor page: every attribute of the server's monitor entry as
// name and value rows, read live by CServerMonitorThread while a modal wait
// popup is up, and the monitor DN, which the page writes into the profile.
// It reads on its first activation, on every later one except the first
// after an Apply, and on the refresh button, always with the DN as typed.
// Applying saves the profile (a profile the wizard is still making is held
// from storage, so nothing is stored before the wizard finishes).
// The popup cannot be closed by the user, so a server that takes a
// connection and never answers is given up after a while (the read limit):
// the read is cancelled and reported as timed out.

#include <chrono>
#include <memory>
#include <string>

#include <wx/timer.h>

#include "platform/Dispatcher.h"
#include "dialogs/CPropertyPage.h"
#include "shellcore/CRecentItemsList.h"

class CServerProfile;
class CWaitDlg;
class wxDialog;
class wxListCtrl;
class wxTextCtrl;

constexpr unsigned kDlgServerMonitor = 296;
constexpr int kIdcMonitorDN = 1300;
constexpr int kIdcMonitorRefresh = 1301;
constexpr int kIdcMonitorList = 1302;

class CServerMonitorThread;

class CServerMonitorPropertiesPage : public CPropertyPage, public platform::MessageReceiver {
public:
    // How long a read may take before it is given up; returns the previous
    // limit (tests shorten it).
    static std::chrono::milliseconds SetReadLimit(std::chrono::milliseconds limit);

    // Made inside book; the profile is not owned.
    CServerMonitorPropertiesPage(wxWindow* book, CServerProfile* profile);
    ~CServerMonitorPropertiesPage() override;

    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnApply() override;

    // Appends one row: the name in the first column, the value in the second.
    void AddRow(const std::wstring& name, const std::wstring& value);
    // Empties the list and reads the monitor entry; returns when the read
    // has ended (the wait popup's loop runs meanwhile).
    void Refresh();

    wxListCtrl* GetList() const { return m_list; }
    wxTextCtrl* GetMonitorDNEdit() const { return m_dnEdit; }
    // The wait popup while a read runs, else null.
    wxDialog* GetWaitPopup() const;

    void OnMessage(platform::MessageId id, uintptr_t wParam, intptr_t lParam,
                   std::unique_ptr<platform::MessagePayload> payload) override;

private:
    void OnRefreshButton(wxCommandEvent& event);
    void OnReadLimit(wxTimerEvent& event);
    void OnDNChanged(wxCommandEvent& event);

    CServerProfile* m_profile;
    wxTextCtrl* m_dnEdit = nullptr;
    wxListCtrl* m_list = nullptr;
    CWaitDlg* m_wait = nullptr;  // a child window of the page
    bool m_reading = false;
    bool m_timedOut = false;
    std::weak_ptr<CServerMonitorThread> m_worker;
    wxTimer m_readLimit;
    bool m_refreshOnActivation = true;
    CRecentItemsList m_recentDNs;
    platform::ReceiverRegistration m_registration;
};
