#pragma once
// Shown when the main window closes while workers run: asks every worker to
// stop, then polls every 100 ms until none is left (the dialog ends with 0)
// or the user cancels (wxID_CANCEL; the workers asked to stop are not
// restarted). Terminate ends the process at once.

#include <functional>
#include <memory>

#include <wx/animate.h>
#include <wx/dialog.h>
#include <wx/gauge.h>
#include <wx/stattext.h>
#include <wx/timer.h>
#include <wx/weakref.h>

#include "shellcore/WaitForWorkers.h"

class CBalloonHelp;

class CWaitOperationsDlg : public wxDialog {
public:
    explicit CWaitOperationsDlg(wxWindow* parent, std::unique_ptr<CWaitForWorkers> wait = nullptr);
    ~CWaitOperationsDlg() override;

    int ShowModal() override;

    // What Terminate does; the process's immediate end by default.
    void SetTerminate(std::function<void()> terminate) { m_terminate = std::move(terminate); }

    wxGauge* GetGauge() const { return m_gauge; }
    wxStaticText* GetCountText() const { return m_count; }
    CBalloonHelp* GetBalloon() const { return m_balloon; }

private:
    void Poll();
    void OnTimer(wxTimerEvent& event);
    void OnTerminate(wxCommandEvent& event);
    void OnCancel(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnEnterTerminate(wxMouseEvent& event);
    void OnLeaveTerminate(wxMouseEvent& event);

    std::unique_ptr<CWaitForWorkers> m_wait;
    wxTimer m_timer;
    wxGauge* m_gauge = nullptr;
    wxStaticText* m_count = nullptr;
    wxAnimationCtrl* m_animation = nullptr;
    wxWindow* m_terminateButton = nullptr;
    wxWeakRef<CBalloonHelp> m_balloon;
    bool m_balloonShown = false;
    std::function<void()> m_terminate;
};
