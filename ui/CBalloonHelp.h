#pragma once
// A balloon tip: a borderless shaped top-level window with a rounded body
// and a tail whose tip touches an anchor point. It shows a bold title with an
// optional icon, a word-wrapped text and an optional close button, fades in
// and out where the desktop can make windows transparent, and closes on a
// timeout, a click, a key press or mouse movement as its options say.

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include <wx/artprov.h>
#include <wx/bitmap.h>
#include <wx/frame.h>
#include <wx/timer.h>

#include "shellcore/BalloonLayout.h"

class CBalloonHelp : public wxFrame {
public:
    CBalloonHelp();
    ~CBalloonHelp() override;

    // A balloon that deletes itself when it closes; icon is an art id of the
    // desktop's standard icons (empty: none).
    static CBalloonHelp* LaunchBalloon(const wxString& title, const wxString& text, const wxPoint& anchor,
                                       const wxArtID& icon, uint32_t options, wxWindow* parent,
                                       const wxString& url, unsigned timeoutMs);

    // False when there is no parent (nor a main window) or the window cannot be made.
    bool Create(const wxString& title, const wxString& text, const wxPoint& anchor, uint32_t options,
                wxWindow* parent, const wxString& url, unsigned timeoutMs, const wxBitmap& icon);

    void SetText(const wxString& text);
    void SetTitleText(const wxString& title);
    void SetAnchor(const wxPoint& anchor);
    void SetBalloonIcon(const wxBitmap& icon);
    void SetTimeout(unsigned timeoutMs);
    void SetUrl(const wxString& url) { m_url = url; }

    // Starts the fade-out; the window goes at its end.
    void HideBalloon();

    uint32_t GetOptions() const { return m_options; }
    const balloon::Layout& GetLayout() const { return m_layout; }
    int GetAlpha() const { return m_alpha; }
    // Balloons waiting for a key press (all of them share one event filter).
    static size_t KeyCloseCount();

private:
    void Relayout();
    wxSize MeasureText(wxDC& dc) const;
    wxString WrappedText(wxDC& dc) const;
    wxRect CloseButtonRect() const;
    void SetAlpha(int alpha);

    void OnPaint(wxPaintEvent& event);
    void OnTimer(wxTimerEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnRightDown(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnCloseEvent(wxCloseEvent& event);

    void AddKeyClose();
    void RemoveKeyClose();

    uint32_t m_options = 0;
    unsigned m_timeout = 0;
    wxString m_text, m_title, m_url;
    wxPoint m_anchor;
    wxBitmap m_icon;
    wxFont m_titleFont, m_textFont;
    wxColour m_background, m_foreground;
    balloon::Layout m_layout;
    int m_alpha = 255;
    wxPoint m_mouseStart;
    bool m_closeHot = false, m_closePushed = false, m_closing = false;
    wxTimer m_fadeIn, m_fadeOut, m_closeTimer, m_mouseTimer;
};
