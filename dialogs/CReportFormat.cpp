#include "dialogs/CReportFormat.h"

#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "dialogs/ReportWizardHost.h"
#include "widgets/DefaultFont.h"
#include "widgets/UiResources.h"

namespace {
constexpr unsigned kPage = 604;
constexpr int kTitleId = 1228;
} // namespace

CReportFormat::CReportFormat(ReportWizardHost* wizard, wxWindow* parent)
    : m_wizard(wizard), m_boldFont(ui::CreateDefaultFont(ui::FontWeight::Bold))
{
    if (!ui::LoadPanelResource(this, parent, kPage)) {
        Create(parent, wxID_ANY);
        auto* sizer = new wxBoxSizer(wxVERTICAL);
        sizer->Add(new wxStaticText(this, kTitleId, wxString()));
        for (int i = 0; i < kFormatCount; ++i)
            sizer->Add(new wxRadioButton(this, kFirstFormatId + i, wxString(), wxDefaultPosition, wxDefaultSize,
                                         i == 0 ? wxRB_GROUP : 0));
        SetSizer(sizer);
    }
    // The format starts as text, whatever the wizard held before.
    m_wizard->SetFormat(ReportFormat::Text);
    if (auto* first = dynamic_cast<wxRadioButton*>(FindWindow(kFirstFormatId))) first->SetValue(true);
    for (int i = 0; i < kFormatCount; ++i)
        Bind(wxEVT_RADIOBUTTON, &CReportFormat::OnFormatClicked, this, kFirstFormatId + i);
}

void CReportFormat::OnActivate()
{
    if (wxWindow* title = FindWindow(kTitleId)) title->SetFont(m_boldFont);
    m_wizard->SetWizardButtons(false, true, false, false);
}

void CReportFormat::OnFormatClicked(wxCommandEvent& event)
{
    m_wizard->SetFormat(static_cast<ReportFormat>(event.GetId() - kFirstFormatId));
}
