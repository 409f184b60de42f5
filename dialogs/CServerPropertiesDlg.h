#pragma once
// The connection page of a server's properties: profile name, host, port,
// base DN and protocol version of the server node's profile, with the
// detected server kind and the server's URL. Applying saves the profile.

#include "dialogs/CPropertyPage.h"
#include "shellcore/CRecentItemsList.h"

class CServerObject;
class wxChoice;
class wxTextCtrl;

constexpr unsigned kDlgServerProperties = 280;
constexpr int kIdcServerKind = 1400;
constexpr int kIdcProfileName = 1401;
constexpr int kIdcHost = 1402;
constexpr int kIdcPort = 1403;
constexpr int kIdcBaseDN = 1404;
constexpr int kIdcVersion = 1405;
constexpr int kIdcServerURL = 1406;

class CServerPropertiesDlg : public CPropertyPage {
public:
    // Made inside book; the node is not owned.
    CServerPropertiesDlg(wxWindow* book, CServerObject* node);
    ~CServerPropertiesDlg() override;

    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnKillActive() override;
    bool OnApply() override;
    // An empty host is refused.
    bool CanApply() const override;
    void ReportRefusal() override;

private:
    // The port edit within 0-65536; else the range message, and the focus
    // goes to the edit.
    bool CheckPort();
    void OnChanged(wxCommandEvent& event);

    CServerObject* m_node;
    wxTextCtrl* m_name = nullptr;
    wxTextCtrl* m_host = nullptr;
    wxTextCtrl* m_port = nullptr;
    wxTextCtrl* m_baseDN = nullptr;
    wxChoice* m_version = nullptr;
    CRecentItemsList m_recentHosts;
    CRecentItemsList m_recentDNs;
};
