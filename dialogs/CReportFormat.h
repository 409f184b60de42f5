#pragma once
// The report wizard's first page: one radio button per format.

#include <wx/font.h>
#include <wx/panel.h>

class CReportWizard;

class CReportFormat : public wxPanel {
public:
    static constexpr int kFirstFormatId = 1223;
    static constexpr int kFormatCount = 5;

    CReportFormat(CReportWizard* wizard, wxWindow* parent);

    void OnActivate();

private:
    void OnFormatClicked(wxCommandEvent& event);

    CReportWizard* m_wizard;
    wxFont m_boldFont;
};
