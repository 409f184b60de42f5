#pragma once
// The wizard that makes a new connection profile: four pages (name, host,
// user, LDAP settings) over a fresh profile with the defaults of a new one,
// with Back, Next, Finish and Cancel. A plain dialog, not resizable. The user
// page is skipped both ways while anonymous bind is on.
//
// Its profile is held from storage while it runs, so that a page applied in
// the advanced sheet stores nothing: cancelled, it leaves nothing behind.

#include <memory>
#include <set>
#include <string>
#include <vector>

#include <wx/dialog.h>

#include "model/profiles/CServerProfile.h"

class wxButton;
class wxSimplebook;
class CProfileWizardPage;
class CProfileEditorNameDlg;
class CProfileEditorHostDlg;
class CProfileEditorUserDlg;
class CProfileEditorLDAPSettings;

class CProfileEditorWizard : public wxDialog {
public:
    enum PageIndex { kNamePage, kHostPage, kUserPage, kSettingsPage, kPageCount };
    // The wizard's buttons.
    enum ButtonId { kIdBack = 1050, kIdNext = 1051, kIdFinish = 1052 };

    CProfileEditorWizard(const std::wstring& caption, wxWindow* parent, int firstPage = kNamePage);
    ~CProfileEditorWizard() override;

    // wxID_OK when finished, wxID_CANCEL when cancelled.
    int RunModal();

    CServerProfile& GetProfile() { return *m_profile; }
    // The finished profile, no longer held from storage; the wizard keeps
    // none afterwards.
    std::unique_ptr<CServerProfile> ReleaseProfile();
    // The LDAP settings page's connect-now box.
    bool GetConnectNow() const;

    wxSimplebook* GetBook() const { return m_book; }
    CProfileWizardPage* GetPage(int index) const;
    CProfileEditorNameDlg* GetNamePage() const;
    CProfileEditorHostDlg* GetHostPage() const;
    CProfileEditorUserDlg* GetUserPage() const;
    CProfileEditorLDAPSettings* GetSettingsPage() const;
    int GetActiveIndex() const { return m_active; }

    // Pages ask for their buttons with the wizard-button flags (kWiz*).
    void SetWizardButtons(uint32_t flags);
    uint32_t GetWizardButtons() const { return m_buttons; }

    // Set once the user agreed to go on without a base DN.
    bool GetEmptyBaseDNAsked() const { return m_emptyBaseDNAsked; }
    void SetEmptyBaseDNAsked() { m_emptyBaseDNAsked = true; }

    // What the buttons do.
    void Back();
    void Next();
    void Finish();
    void Cancel();

private:
    void SetActivePage(int index);
    void End(int code);

    std::unique_ptr<CServerProfile> m_profile;
    wxSimplebook* m_book = nullptr;
    std::vector<CProfileWizardPage*> m_pages;  // owned by the book
    std::set<int> m_visited;
    wxButton* m_back = nullptr;
    wxButton* m_next = nullptr;
    wxButton* m_finish = nullptr;
    uint32_t m_buttons = 0;
    int m_active = -1;
    bool m_emptyBaseDNAsked = false;
};
