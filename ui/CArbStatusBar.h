#pragma once
// The main window's status bar: the message pane, the server pane with its
// icon, the schema pane and the secure-connection icon pane.

#include <wx/statbmp.h>
#include <wx/statusbr.h>

#include "widgets/ThemeAttributes.h"

class CArbStatusBar : public wxStatusBar {
public:
    enum Pane { kMessage = 0, kServer = 1, kSchema = 2, kSecure = 3 };

    explicit CArbStatusBar(wxWindow* parent);

    // An icon at the left of a pane (kServer, kSecure); an invalid bitmap removes it.
    void SetPaneIcon(int pane, const wxBitmap& icon);
    void SetPaneTextWithIcon(int pane, const wxString& text);

    wxVisualAttributes GetDefaultAttributes() const override;

protected:
    // Only invalidates the pane: the toolkit's own version also repaints it at
    // once, which costs a paint for every text a running job shows.
    void DoUpdateStatusText(int number) override;

private:
    // Draws only the panes the repaint touches: a new message repaints its
    // pane, and the toolkit's paint measures and draws every pane each time.
    void OnPaintPanes(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void Place();

    wxStaticBitmap* m_icons[4] = {};
    ThemeAttributes m_theme;
};
