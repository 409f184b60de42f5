#include "widgets/CInputLanguageWnd.h"

#include <cctype>
#include <mutex>

#include <wx/dcbuffer.h>
#include <wx/settings.h>

#include "widgets/KeyboardLayout.h"

namespace {

std::mutex g_sourceLock;
CInputLanguageWnd::TagSource g_source = ui::CurrentKeyboardLanguageTag;

CInputLanguageWnd::TagSource CurrentSource()
{
    std::lock_guard<std::mutex> lock(g_sourceLock);
    return g_source;
}

// The active caption's colour; where the desktop gives a light one (GTK
// themes do), the selection colour, so that the white tag stays readable.
wxColour CaptionColour()
{
    wxColour caption = wxSystemSettings::GetColour(wxSYS_COLOUR_ACTIVECAPTION);
    if (caption.IsOk() && caption.GetLuminance() < 0.6)
        return caption;
    return wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);
}

} // namespace

CInputLanguageWnd::TagSource CInputLanguageWnd::SetTagSource(TagSource source)
{
    std::lock_guard<std::mutex> lock(g_sourceLock);
    TagSource previous = std::move(g_source);
    g_source = std::move(source);
    return previous;
}

CInputLanguageWnd::CInputLanguageWnd()
    : m_backColour(CaptionColour()),
      m_textColour(*wxWHITE),
      m_font(wxFontInfo(wxSize(0, 13)).Family(wxFONTFAMILY_SWISS).FaceName("Tahoma"))
{
}

bool CInputLanguageWnd::Create(wxWindow* parent, wxWindowID id, const wxPoint& position, const wxSize& size,
                               long style)
{
    ReadTag();
    if (!wxWindow::Create(parent, id, position, size, style | wxFULL_REPAINT_ON_RESIZE))
        return false;
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CInputLanguageWnd::OnPaint, this);
    return true;
}

bool CInputLanguageWnd::ReadTag()
{
    TagSource source = CurrentSource();
    if (!source)
        return false;
    std::string tag = source();
    if (tag.size() > 2)
        tag.resize(2);
    for (char& c : tag)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (tag == m_tag)
        return false;
    m_tag = tag;
    return true;
}

bool CInputLanguageWnd::UpdateLanguage()
{
    if (!ReadTag())
        return false;
    Refresh();
    Update();
    return true;
}

void CInputLanguageWnd::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(this);
    const wxSize size = GetClientSize();
    dc.SetBrush(wxBrush(m_backColour));
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.DrawRectangle(0, 0, size.x, size.y);
    dc.SetFont(m_font);
    dc.SetTextForeground(m_textColour);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    const wxString tag = wxString::FromUTF8(m_tag);
    const wxSize extent = dc.GetTextExtent(tag);
    // Centred: the tag stays readable however wide the owner makes the window.
    dc.DrawText(tag, (size.x - extent.x) / 2, (size.y - extent.y) / 2);
}
