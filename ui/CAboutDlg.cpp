#include "ui/CAboutDlg.h"

#include <wx/stattext.h>

#include "widgets/UiResources.h"

namespace {
constexpr unsigned kDialog = 100;
constexpr int kBuildText = 1209;
constexpr int kHidden = 1036;
}

CAboutDlg::CAboutDlg(wxWindow* parent, uint32_t buildNumber)
{
    if (!ui::LoadDialogResource(this, parent, kDialog))
        Create(parent, wxID_ANY, "Arbolite");
    if (wxWindow* hidden = FindWindow(kHidden))
        hidden->Hide();
    if (auto* build = dynamic_cast<wxStaticText*>(FindWindow(kBuildText))) {
        build->SetFont(wxFont(wxFontInfo(8).FaceName("Arial")));
        build->SetLabel(wxString::Format("build: %u", static_cast<unsigned>(buildNumber)));
    }
    SetEscapeId(wxID_OK);
    Fit();
    CentreOnParent();
}
