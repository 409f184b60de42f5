#pragma once
// The search and connection options page of a server's properties:
// referrals, alias dereferencing, secure connection, time and size limits,
// the default filter, password history (only for servers of the Netscape
// kind) and the advanced option sheet. Applying saves the profile; turning
// the secure connection on or off moves the default port along.

#include "dialogs/CPropertyPage.h"
#include "shellcore/CRecentItemsList.h"

class CServerObject;
class wxCheckBox;
class wxChoice;
class wxTextCtrl;

constexpr unsigned kDlgLDAPSettings = 289;
constexpr int kIdcReferrals = 1420;
constexpr int kIdcDeref = 1421;
constexpr int kIdcUseSSL = 1422;
constexpr int kIdcTimeLimit = 1423;
constexpr int kIdcSizeLimit = 1424;
constexpr int kIdcFilter = 1425;
constexpr int kIdcPasswordHistory = 1426;
constexpr int kIdcAdvanced = 1427;
constexpr unsigned kStrAdvancedCaption = 493;
constexpr int kNetscapeServerKind = 4;

class CLDAPSettingsPropertiesDlg : public CPropertyPage {
public:
    // Made inside book; the node is not owned.
    CLDAPSettingsPropertiesDlg(wxWindow* book, CServerObject* node);
    ~CLDAPSettingsPropertiesDlg() override;

    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnApply() override;
    // The advanced button: the advanced option sheet on the node.
    void OnAdvanced();

private:
    void OnChanged(wxCommandEvent& event);

    CServerObject* m_node;
    wxChoice* m_referrals = nullptr;
    wxChoice* m_deref = nullptr;
    wxCheckBox* m_useSSL = nullptr;
    wxTextCtrl* m_timeLimit = nullptr;
    wxTextCtrl* m_sizeLimit = nullptr;
    wxTextCtrl* m_filter = nullptr;
    wxCheckBox* m_passwordHistory = nullptr;
    CRecentItemsList m_recentFilters;
};
