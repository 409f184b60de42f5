#pragma once
// Minimum and maximum tracking sizes of a resizable top-level window, handed
// to the window manager once the window asks for them to apply.

#include <wx/gdicmn.h>

class wxWindow;

class CResizableMinMax {
public:
    virtual ~CResizableMinMax() = default;

    void SetMinimumTrackSize(const wxSize& size);
    void ClearMinimumTrackSize();
    void SetMaximumTrackSize(const wxSize& size);
    void ClearMaximumTrackSize();

    bool HasMinimumTrackSize() const { return m_minTrack; }
    const wxSize& GetMinimumTrackSize() const { return m_minTrackSize; }

protected:
    // From now on the limits are applied, now and whenever they change.
    void EnableTrackLimits();
    // Hands the limits whose flag is set to the window; the others are left
    // to the window manager.
    void ApplyTrackLimits();
    virtual wxWindow* GetLayoutWindow() = 0;

private:
    bool m_maxTrack = false;
    bool m_minTrack = false;
    bool m_enabled = false;
    wxSize m_minTrackSize;
    wxSize m_maxTrackSize;
};
