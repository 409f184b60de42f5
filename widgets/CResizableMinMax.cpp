#include "widgets/CResizableMinMax.h"

#include <wx/window.h>

void CResizableMinMax::SetMinimumTrackSize(const wxSize& size)
{
    m_minTrackSize = size;
    m_minTrack = true;
    ApplyTrackLimits();
}

void CResizableMinMax::ClearMinimumTrackSize()
{
    m_minTrack = false;
    ApplyTrackLimits();
}

void CResizableMinMax::SetMaximumTrackSize(const wxSize& size)
{
    m_maxTrackSize = size;
    m_maxTrack = true;
    ApplyTrackLimits();
}

void CResizableMinMax::ClearMaximumTrackSize()
{
    m_maxTrack = false;
    ApplyTrackLimits();
}

void CResizableMinMax::EnableTrackLimits()
{
    m_enabled = true;
    ApplyTrackLimits();
}

void CResizableMinMax::ApplyTrackLimits()
{
    if (!m_enabled) return;
    GetLayoutWindow()->SetSizeHints(m_minTrack ? m_minTrackSize : wxDefaultSize,
                                    m_maxTrack ? m_maxTrackSize : wxDefaultSize);
}
