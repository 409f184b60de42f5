#pragma once
// The bind identity page of a server's properties: user DN, password typed
// twice, save-password and anonymous bind. While anonymous bind is on the
// other fields are empty and disabled; what they held comes back when it is
// turned off again. An empty password leaves the stored one as it is.
// Applying saves the profile.

#include <string>

#include "dialogs/CPropertyPage.h"
#include "shellcore/CRecentItemsList.h"

class CServerObject;
class wxCheckBox;
class wxTextCtrl;

constexpr unsigned kDlgServerCredentials = 285;
constexpr int kIdcUserDN = 1410;
constexpr int kIdcPassword = 1411;
constexpr int kIdcPasswordAgain = 1412;
constexpr int kIdcSavePassword = 1413;
constexpr int kIdcAnonymousBind = 1414;
constexpr unsigned kStrPasswordsDiffer = 495;

class ServerCredentailsPropertiesDlg : public CPropertyPage {
public:
    // Made inside book; the node is not owned.
    ServerCredentailsPropertiesDlg(wxWindow* book, CServerObject* node);
    ~ServerCredentailsPropertiesDlg() override;

    bool OnInitDialog() override;
    bool OnApply() override;
    // A password that differs from its repetition is refused.
    bool CanApply() const override;
    void ReportRefusal() override;
    // What a click on the anonymous box does after the box has changed.
    void OnAnonymousSwitched();

private:
    void OnChanged(wxCommandEvent& event);

    CServerObject* m_node;
    wxTextCtrl* m_userDN = nullptr;
    wxTextCtrl* m_password = nullptr;
    wxTextCtrl* m_passwordAgain = nullptr;
    wxCheckBox* m_savePassword = nullptr;
    wxCheckBox* m_anonymous = nullptr;
    // Held while anonymous bind is on.
    std::wstring m_keptUserDN;
    std::wstring m_keptPassword;
    std::wstring m_keptPasswordAgain;
    bool m_keptSavePassword = false;
    CRecentItemsList m_recentDNs;
};
