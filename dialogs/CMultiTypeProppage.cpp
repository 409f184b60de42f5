#include "dialogs/CMultiTypeProppage.h"

#include <wx/stattext.h>

#include "dialogs/NodePageControls.h"
#include "model/ports/ResourceText.h"

namespace {

constexpr unsigned kStrOpenedServers = 307;
constexpr unsigned kStrLocation = 308;
constexpr unsigned kStrServer = 309;

} // namespace

CMultiTypeProppage::CMultiTypeProppage(wxWindow* book, const std::vector<CDataObject*>& nodes) : m_summary(nodes)
{
    CreatePage(book, kDlgMultiType);
}

void CMultiTypeProppage::ShowControl(int id, const std::wstring* text)
{
    wxWindow* control = FindWindow(id);
    if (!control)
        return;
    if (text) {
        if (auto* label = dynamic_cast<wxStaticText*>(control))
            label->SetLabel(wxString(*text));
        else
            SetPageText(*this, id, *text);
    }
    control->Show();
}

bool CMultiTypeProppage::OnInitDialog()
{
    if (auto* summary = dynamic_cast<wxStaticText*>(FindWindow(kIdcMultiSummary)))
        summary->SetLabel(wxString(m_summary.SummaryText()));
    SetPageText(*this, kIdcMultiSize, m_summary.SizeText());
    SetPageText(*this, kIdcMultiKind, m_summary.KindText());
    switch (m_summary.GetKind()) {
    case SelectionSummary::OnlyAttributes:
    case SelectionSummary::OnlyEntries: {
        const std::wstring location = LoadResourceText(kStrLocation);
        const std::wstring server = LoadResourceText(kStrServer);
        const std::wstring locationText = m_summary.LocationText();
        ShowControl(kIdcMultiLocationLabel, &location);
        ShowControl(kIdcMultiLocation, &locationText);
        ShowControl(kIdcMultiServerLabel, &server);
        ShowControl(kIdcMultiServer, &m_summary.ServerText());
        ShowControl(kIdcMultiCommonLabel);
        break;
    }
    case SelectionSummary::OnlyServers: {
        const std::wstring opened = LoadResourceText(kStrOpenedServers);
        const std::wstring count = std::to_wstring(m_summary.OpenedServers());
        ShowControl(kIdcMultiLocationLabel, &opened);
        ShowControl(kIdcMultiLocation, &count);
        ShowControl(kIdcMultiCommonLabel);
        break;
    }
    default:
        break;
    }
    Layout();
    return true;
}
