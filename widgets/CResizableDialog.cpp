#include "widgets/CResizableDialog.h"

#include "widgets/UiResources.h"

CResizableDialog::CResizableDialog(unsigned templateId, wxWindow* parent) : m_templateId(templateId), m_parent(parent)
{
}

CResizableDialog::~CResizableDialog()
{
    SaveState();
}

bool CResizableDialog::Create()
{
    return Create(m_parent, m_templateId);
}

bool CResizableDialog::Create(wxWindow* parent, unsigned templateId)
{
    if (!ui::LoadDialogResource(this, parent, templateId)) return false;
    FitClientToTemplate();
    return FinishCreate();
}

void CResizableDialog::FitClientToTemplate()
{
    // A template's size is the whole window's; under a window manager's
    // frame the client area comes out smaller and would cut off the controls
    // at the bottom and right. Give it room for them and the margin the
    // templates keep.
    constexpr int kTemplateMargin = 7;
    wxSize needed(0, 0);
    for (wxWindow* child : GetChildren()) {
        if (child->IsTopLevel()) continue;
        const wxRect r = child->GetRect();
        needed.IncTo(wxSize(r.GetRight() + 1 + kTemplateMargin, r.GetBottom() + 1 + kTemplateMargin));
    }
    const wxSize client = GetClientSize();
    wxSize target = client;
    target.IncTo(needed);
    if (target != client) SetClientSize(target);
}

bool CResizableDialog::Create(wxWindow* parent, wxWindowID id, const wxString& title, const wxPoint& pos,
                              const wxSize& size, long style)
{
    if (!wxDialog::Create(parent, id, title, pos, size, style | wxRESIZE_BORDER)) return false;
    return FinishCreate();
}

bool CResizableDialog::FinishCreate()
{
    // Keeps the client area at the template's size under the sizing frame.
    const wxSize client = GetClientSize();
    SetWindowStyleFlag(GetWindowStyleFlag() | wxRESIZE_BORDER);
    SetClientSize(client);
    if (!CreateGrip()) return false;
    Bind(wxEVT_SIZE, &CResizableDialog::OnSize, this);
    Bind(wxEVT_MOVE, &CResizableDialog::OnMove, this);
    NoteNormalRect();
    OnInitDialog();
    return true;
}

int CResizableDialog::DoModal()
{
    if (!GetHandle() && !Create()) return -1;
    return ShowModal();
}

bool CResizableDialog::OnInitDialog()
{
    SetMinimumTrackSize(GetSize());
    EnableTrackLimits();
    PlaceGrip();
    m_initialized = true;
    return true;
}

void CResizableDialog::EnableSaveRestore(const std::wstring& section, bool rectOnly)
{
    m_section = section;
    m_rectOnly = rectOnly;
    m_saveRestore = true;
    LoadWindowState(section, rectOnly);
}

void CResizableDialog::OnSize(wxSizeEvent& event)
{
    event.Skip();
    NoteNormalRect();
    if (!m_initialized) return;
    PlaceGrip();
    ArrangeChildren();
}

void CResizableDialog::OnMove(wxMoveEvent& event)
{
    event.Skip();
    NoteNormalRect();
}

void CResizableDialog::SaveState()
{
    if (m_saved || !m_saveRestore || !GetHandle()) return;
    m_saved = true;
    SaveWindowState(m_section, m_rectOnly);
}
