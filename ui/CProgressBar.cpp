#include "ui/CProgressBar.h"

#include <algorithm>

#include <wx/dcclient.h>

#include "widgets/UiResources.h"

namespace {
constexpr unsigned kStrIdleMessage = 57345;
}

CProgressBar::~CProgressBar()
{
    Clear();
    if (m_gauge)
        m_gauge->Destroy();
}

bool CProgressBar::Create(const wxString& text, int sizePercent, int maximum, bool smooth, int pane,
                          wxStatusBar* statusBar)
{
    if (!statusBar || pane < 0 || pane >= statusBar->GetFieldsCount())
        return false;
    m_statusBar = statusBar;
    m_pane = pane;
    m_text = text;
    m_size = sizePercent;
    m_previousText = statusBar->GetStatusText(pane);
    long style = wxGA_HORIZONTAL | (smooth ? wxGA_SMOOTH : 0);
    m_gauge = new wxGauge(statusBar, wxID_ANY, ProgressRange(maximum), wxDefaultPosition, wxDefaultSize, style);
    if (!m_gauge)
        return false;
    m_gauge->SetValue(0);
    Layout();
    m_gauge->Show();
    return true;
}

void CProgressBar::Layout()
{
    if (!m_statusBar || !m_gauge)
        return;
    if (m_statusBar->GetStatusText(m_pane) != m_text)
        m_statusBar->SetStatusText(m_text, m_pane);
    wxRect field;
    if (!m_statusBar->GetFieldRect(m_pane, field))
        return;
    wxClientDC dc(m_statusBar);
    dc.SetFont(m_statusBar->GetFont());
    int textWidth = dc.GetTextExtent(m_text).GetWidth();
    int spaceWidth = dc.GetTextExtent(" ").GetWidth();
    PaneRect r = ProgressBarRect({field.GetLeft(), field.GetTop(), field.GetRight() + 1, field.GetBottom() + 1},
                                 textWidth, spaceWidth, !m_text.empty(), m_size);
    if (r != m_last) {
        m_gauge->SetSize(r.left, r.top, r.right - r.left, r.bottom - r.top);
        m_last = r;
    }
}

void CProgressBar::Show()
{
    if (m_gauge && !m_gauge->IsShown())
        m_gauge->Show();
}

void CProgressBar::SetText(const wxString& text)
{
    m_text = text;
    Layout();
}

void CProgressBar::SetSize(int sizePercent)
{
    m_size = sizePercent;
    Layout();
}

void CProgressBar::SetRange(int maximum)
{
    if (!m_gauge)
        return;
    Show();
    m_gauge->SetRange(ProgressRange(maximum));
}

void CProgressBar::SetPos(int pos)
{
    if (!m_gauge)
        return;
    Show();
    m_gauge->SetValue(std::min(std::max(pos, 0), m_gauge->GetRange()));
}

void CProgressBar::OffsetPos(int delta)
{
    if (m_gauge)
        SetPos(m_gauge->GetValue() + delta);
}

void CProgressBar::SetStep(int step)
{
    if (!m_gauge)
        return;
    Show();
    m_step = step;
}

void CProgressBar::StepIt()
{
    if (!m_gauge)
        return;
    // As the control does: past the end it starts again from the beginning.
    int next = m_gauge->GetValue() + m_step;
    if (next > m_gauge->GetRange())
        next = next - m_gauge->GetRange();
    SetPos(next);
}

void CProgressBar::Clear()
{
    if (!m_gauge)
        return;
    m_gauge->Hide();
    if (m_statusBar)
        m_statusBar->SetStatusText(m_pane == 0 ? ui::ResourceString(kStrIdleMessage) : m_previousText, m_pane);
}
