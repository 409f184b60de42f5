#include "ui/CBalloonHelp.h"

#include <algorithm>
#include <mutex>

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/eventfilter.h>
#include <wx/graphics.h>
#include <wx/settings.h>
#include <wx/utils.h>

#include "platform/DesktopLauncher.h"

namespace {

// The balloons that close on a key press, and the one event filter that
// watches the keys for them; guarded together.
std::mutex g_keyLock;
std::vector<CBalloonHelp*> g_keyBalloons;

class KeyCloseFilter : public wxEventFilter {
public:
    int FilterEvent(wxEvent& event) override
    {
        if (event.GetEventType() == wxEVT_KEY_DOWN) {
            std::vector<CBalloonHelp*> balloons;
            {
                std::lock_guard<std::mutex> lock(g_keyLock);
                balloons.swap(g_keyBalloons);
            }
            for (CBalloonHelp* b : balloons)
                b->CallAfter([b] { b->Close(); });
        }
        return Event_Skip;
    }
};
std::unique_ptr<KeyCloseFilter> g_filter;

constexpr int kCloseButtonSize = 16;

} // namespace

CBalloonHelp::CBalloonHelp()
    : m_fadeIn(this, balloon::kTimerFadeIn), m_fadeOut(this, balloon::kTimerFadeOut),
      m_closeTimer(this, balloon::kTimerClose), m_mouseTimer(this, balloon::kTimerMouse)
{
}

CBalloonHelp::~CBalloonHelp()
{
    RemoveKeyClose();
}

size_t CBalloonHelp::KeyCloseCount()
{
    std::lock_guard<std::mutex> lock(g_keyLock);
    return g_keyBalloons.size();
}

void CBalloonHelp::AddKeyClose()
{
    std::lock_guard<std::mutex> lock(g_keyLock);
    g_keyBalloons.push_back(this);
    if (!g_filter) {
        g_filter = std::make_unique<KeyCloseFilter>();
        wxEvtHandler::AddFilter(g_filter.get());
    }
}

void CBalloonHelp::RemoveKeyClose()
{
    std::lock_guard<std::mutex> lock(g_keyLock);
    g_keyBalloons.erase(std::remove(g_keyBalloons.begin(), g_keyBalloons.end(), this), g_keyBalloons.end());
    // The filter stays while any balloon still waits for a key.
    if (g_keyBalloons.empty() && g_filter) {
        wxEvtHandler::RemoveFilter(g_filter.get());
        g_filter.reset();
    }
}

CBalloonHelp* CBalloonHelp::LaunchBalloon(const wxString& title, const wxString& text, const wxPoint& anchor,
                                          const wxArtID& icon, uint32_t options, wxWindow* parent,
                                          const wxString& url, unsigned timeoutMs)
{
    auto* b = new CBalloonHelp();
    wxBitmap bitmap = icon.empty() ? wxBitmap() : wxArtProvider::GetBitmap(icon, wxART_MESSAGE_BOX, wxSize(16, 16));
    if (!b->Create(title, text, anchor, options | balloon::kDeleteWhenClosed, parent, url, timeoutMs, bitmap)) {
        // Never shown: nothing else will delete it.
        delete b;
        return nullptr;
    }
    return b;
}

bool CBalloonHelp::Create(const wxString& title, const wxString& text, const wxPoint& anchor, uint32_t options,
                          wxWindow* parent, const wxString& url, unsigned timeoutMs, const wxBitmap& icon)
{
    if (!parent)
        parent = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
    if (!parent)
        return false;
    m_text = text;
    m_title = title;
    m_anchor = anchor;
    m_options = options;
    m_url = url;
    m_timeout = timeoutMs;
    m_icon = icon;
    m_textFont = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    m_titleFont = m_textFont.Bold();
    m_background = wxSystemSettings::GetColour(wxSYS_COLOUR_INFOBK);
    m_foreground = wxSystemSettings::GetColour(wxSYS_COLOUR_INFOTEXT);

    long style = wxFRAME_SHAPED | wxFRAME_NO_TASKBAR | wxBORDER_NONE | wxFRAME_FLOAT_ON_PARENT;
    if (options & balloon::kShowTopmost)
        style |= wxSTAY_ON_TOP;
    if (!wxFrame::Create(parent, wxID_ANY, title, wxPoint(0, 0), wxSize(10, 10), style))
        return false;
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    if (!CanSetTransparent())
        m_options |= balloon::kDisableFade;

    Bind(wxEVT_PAINT, &CBalloonHelp::OnPaint, this);
    Bind(wxEVT_TIMER, &CBalloonHelp::OnTimer, this);
    Bind(wxEVT_LEFT_DOWN, &CBalloonHelp::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &CBalloonHelp::OnLeftUp, this);
    Bind(wxEVT_RIGHT_DOWN, &CBalloonHelp::OnRightDown, this);
    Bind(wxEVT_MOTION, &CBalloonHelp::OnMotion, this);
    Bind(wxEVT_CLOSE_WINDOW, &CBalloonHelp::OnCloseEvent, this);

    Relayout();
    // Fade in.
    SetAlpha(5);
    if (m_options & balloon::kDisableFadeIn) {
        SetAlpha(255);
        if (m_timeout)
            m_closeTimer.StartOnce(static_cast<int>(m_timeout));
    } else {
        m_fadeIn.Start(25);
    }
    if (m_options & balloon::kCloseOnMouseMove) {
        m_mouseStart = wxGetMousePosition();
        m_mouseTimer.Start(100);
    }
    if (m_options & balloon::kCloseOnKeyPress)
        AddKeyClose();
    ShowWithoutActivating();
    return true;
}

wxString CBalloonHelp::WrappedText(wxDC& dc) const
{
    // Words wrapped at half the desktop's width.
    int limit = wxGetDisplaySize().GetWidth() / 2;
    wxString out;
    wxArrayString paragraphs = wxSplit(m_text, '\n', '\0');
    for (size_t p = 0; p < paragraphs.size(); ++p) {
        if (p)
            out += '\n';
        wxString line;
        for (const wxString& word : wxSplit(paragraphs[p], ' ', '\0')) {
            wxString candidate = line.empty() ? word : line + " " + word;
            if (!line.empty() && dc.GetTextExtent(candidate).GetWidth() > limit) {
                out += line + '\n';
                line = word;
            } else {
                line = candidate;
            }
        }
        out += line;
    }
    return out;
}

wxSize CBalloonHelp::MeasureText(wxDC& dc) const
{
    if (m_text.empty())
        return wxSize(0, 0);
    dc.SetFont(m_textFont);
    return dc.GetMultiLineTextExtent(WrappedText(dc));
}

void CBalloonHelp::Relayout()
{
    wxClientDC dc(this);
    wxSize text = MeasureText(dc);
    dc.SetFont(m_titleFont);
    wxSize title = m_title.empty() ? wxSize(0, 0) : dc.GetTextExtent(m_title);
    wxSize icon = m_icon.IsOk() ? m_icon.GetSize() : wxSize(0, 0);
    balloon::Size header = balloon::HeaderSize({icon.x, icon.y}, (m_options & balloon::kShowCloseButton) != 0,
                                               {title.x, title.y});
    wxRect desk = wxDisplay(wxDisplay::GetFromPoint(m_anchor) == wxNOT_FOUND ? 0u
                                : static_cast<unsigned>(wxDisplay::GetFromPoint(m_anchor)))
                      .GetGeometry();
    m_layout = balloon::Compute(header, {text.x, text.y}, {m_anchor.x, m_anchor.y},
                                {desk.GetLeft(), desk.GetTop(), desk.GetRight() + 1, desk.GetBottom() + 1});
    SetSize(m_layout.position.x, m_layout.position.y, m_layout.window.width, m_layout.window.height);

    // Body and tail as one shape.
    wxGraphicsPath path = wxGraphicsRenderer::GetDefaultRenderer()->CreatePath();
    const balloon::Rect& b = m_layout.body;
    path.AddRoundedRectangle(b.left, b.top, b.right - b.left, b.bottom - b.top, 12);
    path.MoveToPoint(m_layout.tail[0].x, m_layout.tail[0].y);
    path.AddLineToPoint(m_layout.tail[1].x, m_layout.tail[1].y);
    path.AddLineToPoint(m_layout.tail[2].x, m_layout.tail[2].y);
    path.CloseSubpath();
    SetShape(path);
    Refresh();
}

wxRect CBalloonHelp::CloseButtonRect() const
{
    const balloon::Rect& c = m_layout.client;
    return wxRect(c.right - kCloseButtonSize, c.top, kCloseButtonSize, kCloseButtonSize);
}

void CBalloonHelp::SetAlpha(int alpha)
{
    m_alpha = alpha;
    if (!(m_options & balloon::kDisableFade) || alpha == 255)
        SetTransparent(static_cast<wxByte>(alpha));
}

void CBalloonHelp::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    dc.SetBackground(wxBrush(m_background));
    dc.Clear();
    // The outline of the shape.
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
    if (gc) {
        const balloon::Rect& b = m_layout.body;
        gc->SetPen(wxPen(m_foreground));
        gc->SetBrush(*wxTRANSPARENT_BRUSH);
        wxGraphicsPath path = gc->CreatePath();
        path.AddRoundedRectangle(b.left + 0.5, b.top + 0.5, b.right - b.left - 1, b.bottom - b.top - 1, 12);
        gc->StrokePath(path);
        wxPoint2DDouble tail[3];
        for (int i = 0; i < 3; ++i)
            tail[i] = wxPoint2DDouble(m_layout.tail[i].x, m_layout.tail[i].y);
        gc->SetBrush(wxBrush(m_background));
        gc->DrawLines(3, tail);
    }
    const balloon::Rect& c = m_layout.client;
    int x = c.left, y = c.top, headerHeight = 0;
    if (m_icon.IsOk()) {
        dc.DrawBitmap(m_icon, x, y, true);
        headerHeight = m_icon.GetHeight();
        x += m_icon.GetWidth() + 8;
    }
    dc.SetTextForeground(m_foreground);
    if (!m_title.empty()) {
        dc.SetFont(m_titleFont);
        wxSize t = dc.GetTextExtent(m_title);
        dc.DrawText(m_title, x, y);
        headerHeight = std::max(headerHeight, t.y);
    }
    if (m_options & balloon::kShowCloseButton) {
        wxRect r = CloseButtonRect();
        headerHeight = std::max(headerHeight, kCloseButtonSize);
        dc.SetPen(wxPen(m_foreground, m_closeHot ? 2 : 1));
        if (m_closeHot || m_closePushed)
            dc.DrawRectangle(r);
        dc.DrawLine(r.x + 4, r.y + 4, r.GetRight() - 3, r.GetBottom() - 3);
        dc.DrawLine(r.GetRight() - 4, r.y + 4, r.x + 3, r.GetBottom() - 3);
    }
    if (!m_text.empty()) {
        dc.SetFont(m_textFont);
        dc.DrawText(WrappedText(dc), c.left, c.top + headerHeight + 8);
    }
}

void CBalloonHelp::HideBalloon()
{
    if (m_closing)
        return;
    m_closing = true;
    m_closeTimer.Stop();
    RemoveKeyClose();
    if (m_options & balloon::kDisableFadeOut) {
        m_fadeIn.Stop();
        Destroy();
        return;
    }
    SetAlpha(250);
    m_fadeOut.Start(25);
}

void CBalloonHelp::OnTimer(wxTimerEvent& event)
{
    bool finished = false;
    switch (event.GetId()) {
    case balloon::kTimerFadeIn:
        SetAlpha(balloon::FadeInStep(m_alpha, m_options, finished));
        if (finished) {
            m_fadeIn.Stop();
            if (m_timeout)
                m_closeTimer.StartOnce(static_cast<int>(m_timeout));
        }
        break;
    case balloon::kTimerFadeOut:
        m_fadeIn.Stop();
        SetAlpha(balloon::FadeOutStep(m_alpha, m_options, finished));
        if (finished) {
            m_fadeOut.Stop();
            Destroy();
        }
        break;
    case balloon::kTimerClose:
        HideBalloon();
        break;
    case balloon::kTimerMouse:
        if (m_alpha < 255)
            break;
        if (balloon::MovedBeyondTolerance({m_mouseStart.x, m_mouseStart.y},
                                          {wxGetMousePosition().x, wxGetMousePosition().y}))
            HideBalloon();
        break;
    }
}

void CBalloonHelp::OnLeftDown(wxMouseEvent& event)
{
    if ((m_options & balloon::kShowCloseButton) && CloseButtonRect().Contains(event.GetPosition())) {
        m_closePushed = true;
        Refresh();
    }
}

void CBalloonHelp::OnLeftUp(wxMouseEvent& event)
{
    bool onClose = (m_options & balloon::kShowCloseButton) && CloseButtonRect().Contains(event.GetPosition());
    if (m_closePushed && onClose) {
        HideBalloon();
        return;
    }
    m_closePushed = false;
    if (m_options & balloon::kCloseOnLButton) {
        HideBalloon();
        return;
    }
    if (!m_url.empty()) {
        HideBalloon();
        if (auto desktop = platform::GetDesktopLauncher())
            desktop->OpenUrl(m_url.utf8_string());
    }
}

void CBalloonHelp::OnRightDown(wxMouseEvent&)
{
    if (m_options & balloon::kCloseOnRButton)
        HideBalloon();
}

void CBalloonHelp::OnMotion(wxMouseEvent& event)
{
    if (!(m_options & balloon::kShowCloseButton))
        return;
    bool hot = CloseButtonRect().Contains(event.GetPosition());
    if (hot != m_closeHot) {
        m_closeHot = hot;
        Refresh();
    }
}

void CBalloonHelp::OnCloseEvent(wxCloseEvent&)
{
    HideBalloon();
}

void CBalloonHelp::SetText(const wxString& text)
{
    m_text = text;
    if (GetHandle())
        Relayout();
}

void CBalloonHelp::SetTitleText(const wxString& title)
{
    m_title = title;
    SetTitle(title);
    if (GetHandle())
        Relayout();
}

void CBalloonHelp::SetAnchor(const wxPoint& anchor)
{
    m_anchor = anchor;
    if (GetHandle())
        Relayout();
}

void CBalloonHelp::SetBalloonIcon(const wxBitmap& icon)
{
    m_icon = icon;
    if (GetHandle())
        Relayout();
}

void CBalloonHelp::SetTimeout(unsigned timeoutMs)
{
    m_timeout = timeoutMs;
    if (!GetHandle() || m_alpha < 255)
        return;
    if (timeoutMs)
        m_closeTimer.StartOnce(static_cast<int>(timeoutMs));
    else
        m_closeTimer.Stop();
}
