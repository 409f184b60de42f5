#pragma once
// The splash bitmap shown while the program starts. It closes itself after
// its time, or at a key press or mouse click on it (that input is consumed).

#include <wx/bitmap.h>
#include <wx/frame.h>
#include <wx/timer.h>

class CSplashWnd : public wxFrame {
public:
    CSplashWnd(unsigned bitmapId, unsigned milliseconds);

    // Makes and shows the splash; false when the bitmap is missing.
    bool Show();
    // Hides and destroys it.
    void Hide();

    static constexpr int kTimerId = 1;

private:
    void OnPaint(wxPaintEvent& event);
    void OnTimer(wxTimerEvent& event);
    void OnKey(wxKeyEvent& event);
    void OnMouse(wxMouseEvent& event);

    unsigned m_bitmapId;
    unsigned m_milliseconds;
    wxBitmap m_bitmap;
    wxTimer m_timer;
    bool m_ended = false;
};
