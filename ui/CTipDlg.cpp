#include "ui/CTipDlg.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/panel.h>

#include "widgets/UiResources.h"

namespace {
constexpr unsigned kDialog = 370;
constexpr int kNextButton = 1030;
constexpr int kTipArea = 1171;
constexpr int kStartupBox = 1172;
constexpr int kPadding = 12;

// Words wrapped to the width.
wxString Wrap(wxDC& dc, const wxString& text, int width)
{
    wxString out, line;
    for (const wxString& word : wxSplit(text, ' ', '\0')) {
        wxString candidate = line.empty() ? word : line + " " + word;
        if (!line.empty() && dc.GetTextExtent(candidate).GetWidth() > width) {
            out += line + "\n";
            line = word;
        } else {
            line = candidate;
        }
    }
    return out + line;
}
} // namespace

CTipDlg::CTipDlg(wxWindow* parent, const std::string& tipsPath)
    : m_tips(std::make_unique<CTipOfTheDay>(tipsPath.empty() ? FindTipsFile() : tipsPath))
{
    if (!ui::LoadDialogResource(this, parent, kDialog))
        Create(parent, wxID_ANY, "Tip of the Day");
    m_tipArea = dynamic_cast<wxPanel*>(FindWindow(kTipArea));
    m_startup = dynamic_cast<wxCheckBox*>(FindWindow(kStartupBox));
    if (m_startup)
        m_startup->SetValue(m_tips->GetShowAtStartup());
    if (wxWindow* next = FindWindow(kNextButton))
        next->Enable(m_tips->IsFileOpen());
    if (m_tipArea) {
        m_tipArea->SetBackgroundColour(*wxWHITE);
        m_tipArea->Bind(wxEVT_PAINT, &CTipDlg::OnPaintTip, this);
    }
    Bind(wxEVT_BUTTON, &CTipDlg::OnNext, this, kNextButton);
    Bind(wxEVT_BUTTON, &CTipDlg::OnOk, this, wxID_OK);
    SetEscapeId(wxID_OK);
    Fit();
    CentreOnParent();
}

CTipDlg::~CTipDlg() = default;

int CTipDlg::ShowModal()
{
    if (!m_tips->IsFileOpen())
        return wxID_OK;
    return wxDialog::ShowModal();
}

bool CTipDlg::GetShowAtStartup() const
{
    return m_startup ? m_startup->GetValue() : m_tips->GetShowAtStartup();
}

void CTipDlg::ShowNextTip()
{
    m_tips->NextTip();
    if (m_tipArea) {
        m_tipArea->Refresh();
        m_tipArea->Update();
    }
}

void CTipDlg::OnNext(wxCommandEvent&)
{
    ShowNextTip();
}

void CTipDlg::OnOk(wxCommandEvent& event)
{
    m_tips->SetShowAtStartup(GetShowAtStartup());
    if (IsModal())
        EndModal(wxID_OK);
    else
        Hide();
    m_tips->StoreStartupSwitch();
}

void CTipDlg::OnPaintTip(wxPaintEvent&)
{
    wxPaintDC dc(m_tipArea);
    wxSize size = m_tipArea->GetClientSize();
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    dc.SetTextForeground(*wxBLACK);
    wxFont heading(wxFontInfo(wxSize(0, 22)).Family(wxFONTFAMILY_ROMAN).FaceName("Times").Bold());
    dc.SetFont(heading);
    dc.DrawText(ui::ResourceString(kStrTipsHeading), kPadding, kPadding);
    int top = kPadding + dc.GetTextExtent("Ag").GetHeight() + kPadding;
    wxFont body(wxFontInfo(wxSize(0, 16)).Family(wxFONTFAMILY_SWISS).FaceName("Arial"));
    dc.SetFont(body);
    wxString tip(m_tips->GetTip());
    tip.Trim();
    dc.DrawText(Wrap(dc, tip, size.x - 2 * kPadding), kPadding, top);
}
