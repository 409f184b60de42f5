#pragma once
// Keeps a top-level window's placement in its section of the user's settings
// ("WindowPlacement"): the rectangle it has when neither maximized nor
// minimized, the show command and the flags. The owner reports size and move
// changes (NoteNormalRect) so that a maximized window still saves the
// rectangle it returns to.

#include <string>

#include <wx/gdicmn.h>

#include "dialogcore/WindowPlacementText.h"

class wxWindow;

class CResizableState {
public:
    virtual ~CResizableState() = default;

    // rectOnly: the window's current rectangle with show command 1 and flags 0.
    bool SaveWindowState(const std::wstring& section, bool rectOnly);
    // rectOnly: only moves and sizes the window, leaving its show state.
    // False, with nothing changed, when the section has no readable placement.
    bool LoadWindowState(const std::wstring& section, bool rectOnly);

    // The placement the window would save now.
    WindowPlacementRecord GetWindowPlacement();

protected:
    // Called on every size or move of the window.
    void NoteNormalRect();
    virtual wxWindow* GetLayoutWindow() = 0;

private:
    wxRect m_normal;
};
