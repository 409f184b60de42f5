#pragma once
// The report wizard's first page: one radio button per format.

#include <wx/font.h>
#include <wx/panel.h>

class ReportWizardHost;

class CReportFormat : public wxPanel {
public:
    static constexpr int kFirstFormatId = 1223;
    static constexpr int kFormatCount = 5;

    CReportFormat(ReportWizardHost* wizard, wxWindow* parent);

    void OnActivate();

private:
    void OnFormatClicked(wxCommandEvent& event);

    ReportWizardHost* m_wizard;
    wxFont m_boldFont;
};
