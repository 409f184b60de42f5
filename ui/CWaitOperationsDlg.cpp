#include "ui/CWaitOperationsDlg.h"

#include <cstdlib>

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/xrc/xmlres.h>

#include "ui/CBalloonHelp.h"
#include "widgets/UiResources.h"

namespace {
constexpr unsigned kDialog = 387;
constexpr int kTimerId = 1;
constexpr int kTerminateId = 1;
constexpr int kCancelId = 1032;
constexpr int kProgressId = 1231;
constexpr int kAnimationId = 1181;
constexpr int kCountId = 1180;
constexpr unsigned kStrTerminateTitle = 677;
constexpr unsigned kStrTerminateText = 684;
}

CWaitOperationsDlg::CWaitOperationsDlg(wxWindow* parent, std::unique_ptr<CWaitForWorkers> wait)
    : m_wait(wait ? std::move(wait) : std::make_unique<CWaitForWorkers>()), m_timer(this, kTimerId),
      m_terminate([] { std::_Exit(EXIT_FAILURE); })
{
    if (!ui::LoadDialogResource(this, parent, kDialog))
        Create(parent, wxID_ANY, "Waiting");
    m_gauge = dynamic_cast<wxGauge*>(FindWindow(kProgressId));
    m_count = dynamic_cast<wxStaticText*>(FindWindow(kCountId));
    m_animation = dynamic_cast<wxAnimationCtrl*>(FindWindow(kAnimationId));
    m_terminateButton = FindWindow(kTerminateId);
    SetEscapeId(kCancelId);
    Bind(wxEVT_TIMER, &CWaitOperationsDlg::OnTimer, this, kTimerId);
    Bind(wxEVT_BUTTON, &CWaitOperationsDlg::OnTerminate, this, kTerminateId);
    Bind(wxEVT_BUTTON, &CWaitOperationsDlg::OnCancel, this, kCancelId);
    Bind(wxEVT_CLOSE_WINDOW, &CWaitOperationsDlg::OnClose, this);
    if (m_terminateButton) {
        m_terminateButton->Bind(wxEVT_ENTER_WINDOW, &CWaitOperationsDlg::OnEnterTerminate, this);
        m_terminateButton->Bind(wxEVT_LEAVE_WINDOW, &CWaitOperationsDlg::OnLeaveTerminate, this);
    }
    if (wxWindow* cancel = FindWindow(kCancelId))
        cancel->SetFocus();
}

CWaitOperationsDlg::~CWaitOperationsDlg()
{
    m_timer.Stop();
    if (m_animation)
        m_animation->Stop();
    if (m_balloon)
        m_balloon->Destroy();
}

int CWaitOperationsDlg::ShowModal()
{
    m_wait->Start();
    if (m_gauge) {
        m_gauge->SetRange(std::max(1, m_wait->GetInitialCount()));
        m_gauge->SetValue(0);
    }
    if (m_count)
        m_count->SetLabel(wxString::Format("%d", m_wait->GetInitialCount()));
    if (m_animation && m_animation->GetAnimation().IsOk())
        m_animation->Play();
    m_timer.Start(100);
    Fit();
    CentreOnParent();
    return wxDialog::ShowModal();
}

void CWaitOperationsDlg::Poll()
{
    CWaitForWorkers::Poll p = m_wait->Check();
    if (m_gauge)
        m_gauge->SetValue(p.position);
    if (m_count)
        m_count->SetLabel(wxString::Format("%d", p.remaining));
    if (p.done) {
        m_timer.Stop();
        EndModal(0);
    }
}

void CWaitOperationsDlg::OnTimer(wxTimerEvent&)
{
    if (IsModal())
        Poll();
}

void CWaitOperationsDlg::OnTerminate(wxCommandEvent&)
{
    m_terminate();
}

void CWaitOperationsDlg::OnCancel(wxCommandEvent&)
{
    m_timer.Stop();
    if (IsModal())
        EndModal(wxID_CANCEL);
}

void CWaitOperationsDlg::OnClose(wxCloseEvent&)
{
    m_timer.Stop();
    if (IsModal())
        EndModal(wxID_CANCEL);
}

void CWaitOperationsDlg::OnEnterTerminate(wxMouseEvent& event)
{
    event.Skip();
    if (m_balloonShown || !m_terminateButton)
        return;
    m_balloonShown = true;
    wxRect r = m_terminateButton->GetScreenRect();
    wxPoint anchor(r.x + r.width / 2, r.y + r.height / 2);
    m_balloon = CBalloonHelp::LaunchBalloon(ui::ResourceString(kStrTerminateTitle), ui::ResourceString(kStrTerminateText),
                                            anchor, wxART_ERROR, balloon::kCloseOnKeyPress | balloon::kDisableFadeOut,
                                            this, wxEmptyString, 3000);
}

void CWaitOperationsDlg::OnLeaveTerminate(wxMouseEvent& event)
{
    event.Skip();
    if (m_balloon)
        m_balloon->Destroy();
    m_balloon = nullptr;
}
