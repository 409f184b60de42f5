#pragma once
// Check for updates on demand: the check runs while the dialog shows its
// progress, then the answer appears as a small page. Close (and Escape)
// ends the dialog at once, stopping a download that still runs.

#include <memory>

#include <wx/dialog.h>

#include "shellcore/CUpdateInfo.h"

class CHtmlCtrl;
class wxStaticBitmap;
class wxStaticText;

class CCheckForUpdatesDlg : public wxDialog {
public:
    enum {
        IDD = 685,
        kIdcStatus = 1324,
        kIdcTitle = 1327,
        kIdcPage = 1328,
        kIdcIcon = 1329,
        kIdcPageFrame = 1330,
    };
    // The page of the program's help for this dialog.
    static constexpr unsigned kHelpContext = 55;
    static constexpr unsigned kTemplateText = 687;
    static constexpr unsigned kIconAsking = 690, kIconNotNewer = 691, kIconNewer = 692, kIconFailed = 693;

    // session: whose agent and proxy the check takes; null: the program's.
    explicit CCheckForUpdatesDlg(wxWindow* parent, const CInternetSession* session = nullptr);
    ~CCheckForUpdatesDlg() override;

    // Starts the check and runs the dialog.
    int DoModal();
    // What initialisation does: the window set up and the check started.
    void StartCheck();

    CUpdateInfo& GetCheck();
    // The page shown (empty until there is an answer).
    const wxString& GetPageText() const { return m_pageText; }
    // The icon last shown (0 before the first).
    unsigned GetIconId() const { return m_iconId; }
    CHtmlCtrl* GetPage() const { return m_page; }

private:
    class Check;

    void OnStart();
    void OnProgress(size_t bytes);
    void OnFailed();
    void OnResult(bool newer);
    void ShowIcon(unsigned id);
    void SetStatus(const wxString& text);
    void ShowPage(const std::wstring& message);
    void OnClose(wxCommandEvent& event);

    std::unique_ptr<Check> m_check;
    CHtmlCtrl* m_page = nullptr;
    wxString m_template;
    wxString m_pageText;
    size_t m_received = 0;
    unsigned m_iconId = 0;
};
