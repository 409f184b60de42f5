#pragma once
// The report wizard's second page: the file (proposed as
// "<month>-<day>-<year>(<first RDN>)" in the folder used last, else the
// documents folder), the writing with its progress, and the mail step.

#include <string>

#include <wx/font.h>
#include <wx/panel.h>

class wxCheckBox;
class wxGauge;
class wxStaticText;
class wxTextCtrl;
class ReportWizardHost;

class CReportFile : public wxPanel {
public:
    CReportFile(ReportWizardHost* wizard, wxWindow* parent);

    void OnActivate();
    // Writes the report and, when asked and written, mails it. False when
    // the writing failed.
    bool Finish();
    bool HasWriteError() const { return m_writeError; }
    // Whether xdg-email was found when the page was first shown.
    bool HasMailSupport() const { return m_mailSupport; }

    wxTextCtrl* GetPathControl() const { return m_pathControl; }
    wxCheckBox* GetMailControl() const { return m_mailControl; }
    wxGauge* GetProgressControl() const { return m_progress; }
    // The highest value the progress bar was set to in the last write.
    int GetLastProgress() const { return m_lastProgress; }

private:
    void OnFirstDisplay();
    void OnPathChanged(wxCommandEvent& event);
    void OnBrowse(wxCommandEvent& event);
    void UpdateButtons();
    void SetProgress(size_t cells);
    bool WriteReport(const std::string& path);
    bool WriteLdifReport(const std::string& path);
    static std::wstring FileFailedText(const std::string& path);
    void ShowError(const std::wstring& text);
    void SendMail(const std::string& path);

    ReportWizardHost* m_wizard;
    wxFont m_boldFont;
    wxTextCtrl* m_pathControl = nullptr;
    wxCheckBox* m_mailControl = nullptr;
    wxGauge* m_progress = nullptr;
    wxStaticText* m_progressText = nullptr;
    bool m_displayed = false;
    bool m_writeError = false;
    bool m_mailSupport = false;
    size_t m_cells = 0;
    int m_lastProgress = 0;
};
