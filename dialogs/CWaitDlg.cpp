#include "dialogs/CWaitDlg.h"

#include <wx/stattext.h>

#include "widgets/UiResources.h"

namespace {
constexpr unsigned kDialog = 244;
constexpr int kTextId = 1113;
constexpr int kTextWidth = 260;
} // namespace

CWaitDlg::CWaitDlg(wxWindow* owner, const std::wstring& text) : m_owner(owner), m_text(text) {}

bool CWaitDlg::Create()
{
    if (!ui::LoadDialogResource(this, m_owner, kDialog)) {
        if (!wxDialog::Create(m_owner, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, wxBORDER_RAISED))
            return false;
        new wxStaticText(this, kTextId, wxString());
    }
    m_textControl = dynamic_cast<wxStaticText*>(FindWindow(kTextId));
    if (m_textControl) {
        m_textControl->SetLabel(wxString(m_text));
        m_textControl->Wrap(kTextWidth);
    }
    // Escape reaches no button; closing waits for the owner.
    SetEscapeId(wxID_NONE);
    Bind(wxEVT_CLOSE_WINDOW, &CWaitDlg::OnClose, this);
    Bind(wxEVT_SHOW, &CWaitDlg::OnShow, this);
    Bind(wxEVT_BUTTON, &CWaitDlg::OnCancel, this, wxID_CANCEL);
    BindDrag(this);
    if (m_textControl) BindDrag(m_textControl);
    Fit();
    return true;
}

void CWaitDlg::CentreOverOwner()
{
    wxWindow* owner = GetParent();
    if (!owner) {
        CentreOnScreen();
        return;
    }
    const wxPoint ownerOrigin = owner->ClientToScreen(wxPoint(0, 0));
    const wxSize ownerSize = owner->GetClientSize();
    const wxSize size = GetClientSize();
    const wxPoint centre(ownerOrigin.x + ownerSize.x / 2, ownerOrigin.y + ownerSize.y / 2);
    Move(centre.x - size.x / 2, centre.y - size.y / 2);
    Refresh();
}

void CWaitDlg::OnClose(wxCloseEvent& event)
{
    if (!m_mayClose) {
        if (event.CanVeto()) event.Veto();
        return;
    }
    if (IsModal())
        EndModal(wxID_CANCEL);
    else
        Destroy();
}

void CWaitDlg::OnShow(wxShowEvent& event)
{
    if (event.IsShown()) CentreOverOwner();
    event.Skip();
}

void CWaitDlg::OnCancel(wxCommandEvent&) {}

// The whole popup acts as its caption: a press anywhere starts a drag.
void CWaitDlg::BindDrag(wxWindow* window)
{
    window->Bind(wxEVT_LEFT_DOWN, &CWaitDlg::OnDragStart, this);
    window->Bind(wxEVT_MOTION, &CWaitDlg::OnDragMove, this);
    window->Bind(wxEVT_LEFT_UP, &CWaitDlg::OnDragEnd, this);
    window->Bind(wxEVT_MOUSE_CAPTURE_LOST, &CWaitDlg::OnCaptureLost, this);
}

void CWaitDlg::OnDragStart(wxMouseEvent& event)
{
    auto* window = static_cast<wxWindow*>(event.GetEventObject());
    m_dragWindow = window;
    m_dragOffset = window->ClientToScreen(event.GetPosition()) - GetPosition();
    if (!window->HasCapture()) window->CaptureMouse();
}

void CWaitDlg::OnDragMove(wxMouseEvent& event)
{
    auto* window = static_cast<wxWindow*>(event.GetEventObject());
    if (window != m_dragWindow || !event.LeftIsDown()) return;
    Move(window->ClientToScreen(event.GetPosition()) - m_dragOffset);
}

void CWaitDlg::OnDragEnd(wxMouseEvent&)
{
    if (m_dragWindow && m_dragWindow->HasCapture()) m_dragWindow->ReleaseMouse();
    m_dragWindow = nullptr;
}

void CWaitDlg::OnCaptureLost(wxMouseCaptureLostEvent&)
{
    m_dragWindow = nullptr;
}
