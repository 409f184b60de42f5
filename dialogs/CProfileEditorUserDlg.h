#pragma once
// The wizard's user page: the DN and password to bind with. Skipped while
// anonymous bind is on; its fields reach the profile on Next and Finish.

#include "dialogs/CProfileWizardPage.h"
#include "shellcore/CRecentItemsList.h"

class wxCheckBox;
class wxTextCtrl;

class CProfileEditorUserDlg : public CProfileWizardPage {
public:
    enum ControlId { kIdcUserDN = 1020, kIdcPassword = 1021, kIdcSavePassword = 1022 };
    static constexpr unsigned kDialog = 202;

    explicit CProfileEditorUserDlg(CProfileEditorWizard& wizard);
    ~CProfileEditorUserDlg() override;

    void OnSetActive() override;
    int OnWizardNext() override;
    bool OnWizardFinish() override;
    void RecordRecentItems() override;

private:
    void Store();

    wxTextCtrl* m_userDN = nullptr;
    wxTextCtrl* m_password = nullptr;
    wxCheckBox* m_savePassword = nullptr;
    CRecentItemsList m_recentDNs;
};
