#include "widgets/HelpPopup.h"

#include <wx/dcclient.h>
#include <wx/font.h>
#include <wx/stattext.h>

namespace help {

HelpPopup::HelpPopup(wxWindow* parent, const wxString& text, int maxWidth, HelpPopup** self)
    : wxPopupTransientWindow(parent, wxBORDER_NONE), m_self(self)
{
    // Whatever the desktop's tooltip colours.
    const wxColour background(0xFF, 0xFF, 0xEF);
    SetBackgroundColour(background);
    // The text as it stands: an '&' is not a mnemonic here.
    m_text = new wxStaticText(this, wxID_ANY, wxControl::EscapeMnemonics(text));
    m_text->SetFont(wxFont(wxFontInfo(kPointSize).FaceName("Arial")));
    m_text->SetBackgroundColour(background);
    m_text->SetForegroundColour(*wxBLACK);
    m_text->Wrap(maxWidth - 2 * kMarginX);
    m_text->SetPosition(wxPoint(kMarginX, kMarginY));
    m_text->SetSize(m_text->GetBestSize());
    SetClientSize(m_text->GetSize() + wxSize(2 * kMarginX, 2 * kMarginY));
    // A thin dark frame: the toolkit draws none around a popup.
    Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxPaintDC dc(this);
        dc.SetPen(wxPen(wxColour(0x40, 0x40, 0x40)));
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.DrawRectangle(wxPoint(0, 0), GetClientSize());
    });
    auto close = [this](wxMouseEvent&) { Close(); };
    Bind(wxEVT_LEFT_DOWN, close);
    m_text->Bind(wxEVT_LEFT_DOWN, close);
}

HelpPopup::~HelpPopup()
{
    ForgetSelf();
}

void HelpPopup::ShowAt(const wxPoint& point)
{
    Position(point, wxSize(0, 0));
    Popup();
}

void HelpPopup::Close()
{
    ForgetSelf();
    if (IsShown())
        Dismiss();
    Destroy();
}

void HelpPopup::OnDismiss()
{
    // Closed by a click elsewhere: gone, as after a click on it.
    ForgetSelf();
    Destroy();
}

void HelpPopup::ForgetSelf()
{
    if (m_self && *m_self == this)
        *m_self = nullptr;
    m_self = nullptr;
}

}  // namespace help
