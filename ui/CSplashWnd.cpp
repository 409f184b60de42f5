#include "ui/CSplashWnd.h"

#include <wx/dcclient.h>

#include "widgets/UiResources.h"

CSplashWnd::CSplashWnd(unsigned bitmapId, unsigned milliseconds)
    : m_bitmapId(bitmapId), m_milliseconds(milliseconds), m_timer(this, kTimerId)
{
}

bool CSplashWnd::Show()
{
    m_bitmap = ui::LoadBitmapResource("bitmap", m_bitmapId);
    if (!m_bitmap.IsOk())
        return false;
    // Without a border the window's size is the bitmap's. Setting the client
    // size of a borderless frame that is not mapped yet leaves it 1x1 pixels.
    if (!Create(nullptr, wxID_ANY, wxEmptyString, wxDefaultPosition, m_bitmap.GetSize(),
                wxFRAME_NO_TASKBAR | wxSTAY_ON_TOP | wxBORDER_NONE | wxFRAME_TOOL_WINDOW))
        return false;
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CSplashWnd::OnPaint, this);
    Bind(wxEVT_TIMER, &CSplashWnd::OnTimer, this, kTimerId);
    Bind(wxEVT_KEY_DOWN, &CSplashWnd::OnKey, this);
    Bind(wxEVT_CHAR_HOOK, &CSplashWnd::OnKey, this);
    Bind(wxEVT_LEFT_DOWN, &CSplashWnd::OnMouse, this);
    Bind(wxEVT_RIGHT_DOWN, &CSplashWnd::OnMouse, this);
    Bind(wxEVT_MIDDLE_DOWN, &CSplashWnd::OnMouse, this);
    Centre(wxBOTH);
    wxFrame::Show(true);
    Update();
    m_timer.StartOnce(static_cast<int>(m_milliseconds));
    return true;
}

void CSplashWnd::Hide()
{
    if (m_ended)
        return;
    m_ended = true;
    m_timer.Stop();
    wxFrame::Show(false);
    Destroy();
}

void CSplashWnd::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    dc.DrawBitmap(m_bitmap, 0, 0, false);
}

void CSplashWnd::OnTimer(wxTimerEvent&)
{
    Hide();
}

// The input that ends the splash is consumed: not skipped.
void CSplashWnd::OnKey(wxKeyEvent&)
{
    Hide();
}

void CSplashWnd::OnMouse(wxMouseEvent&)
{
    Hide();
}
