#pragma once
// The wizard's last page: filter, limits, SSL, alias dereferencing,
// referrals, password history, connect now, and the advanced sheet. Its
// fields reach the profile on Finish; switching SSL moves the standard port
// at once.

#include "dialogs/CProfileWizardPage.h"
#include "shellcore/CRecentItemsList.h"

class wxButton;
class wxCheckBox;
class wxRadioButton;
class wxTextCtrl;

class CProfileEditorLDAPSettings : public CProfileWizardPage {
public:
    enum ControlId {
        kIdcFilter = 1030,
        kIdcSizeLimit = 1031,
        kIdcTimeLimit = 1032,
        kIdcUseSSL = 1033,
        kIdcConnectNow = 1034,
        kIdcDerefNever = 1035,  // to kIdcDerefNever + 3: always
        kIdcChaseReferrals = 1039,
        kIdcPasswordHistory = 1040,
        kIdcAdvanced = 1041,
    };
    static constexpr unsigned kDialog = 204;

    explicit CProfileEditorLDAPSettings(CProfileEditorWizard& wizard);
    ~CProfileEditorLDAPSettings() override;

    void OnSetActive() override;
    int OnWizardBack() override;
    bool OnWizardFinish() override;
    void RecordRecentItems() override;

    bool GetConnectNow() const;
    // The SSL box was clicked.
    void OnUseSSL();

private:
    int ReadDeref() const;

    wxTextCtrl* m_filter = nullptr;
    wxTextCtrl* m_sizeLimit = nullptr;
    wxTextCtrl* m_timeLimit = nullptr;
    wxCheckBox* m_useSSL = nullptr;
    wxCheckBox* m_connectNow = nullptr;
    wxRadioButton* m_deref[4] = {};
    wxCheckBox* m_chaseReferrals = nullptr;
    wxCheckBox* m_passwordHistory = nullptr;
    wxButton* m_advanced = nullptr;
    CRecentItemsList m_recentFilters;
};
