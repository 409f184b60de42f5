#pragma once
// A progress bar inside a pane of the status bar, right of a message text
// shown in that pane. Clearing it gives the pane its text back (the idle
// message for pane 0).

#include <wx/gauge.h>
#include <wx/statusbr.h>
#include <wx/weakref.h>

#include "shellcore/StatusProgress.h"

class CProgressBar {
public:
    CProgressBar() = default;
    ~CProgressBar();
    CProgressBar(const CProgressBar&) = delete;
    CProgressBar& operator=(const CProgressBar&) = delete;

    // False when there is no status bar or the control cannot be made.
    bool Create(const wxString& text, int sizePercent, int maximum, bool smooth, int pane, wxStatusBar* statusBar);

    void SetText(const wxString& text);
    void SetSize(int sizePercent);
    void SetRange(int maximum);
    void SetPos(int pos);
    void OffsetPos(int delta);
    void SetStep(int step);
    void StepIt();
    void Clear();

    bool Exists() const { return m_gauge != nullptr; }
    wxGauge* GetGauge() const { return m_gauge; }
    const wxString& GetText() const { return m_text; }
    // Re-lays the bar out (the status bar was resized).
    void Layout();

private:
    void Show();

    wxWeakRef<wxStatusBar> m_statusBar;
    wxWeakRef<wxGauge> m_gauge;
    wxString m_text;
    wxString m_previousText;
    int m_size = 100;
    int m_pane = 0;
    int m_step = 1;
    PaneRect m_last{-1, -1, -1, -1};
};
