#pragma once
// A help text at a point of the screen: dark text on pale yellow in 10-point
// Arial, 18 pixels in from the sides and 9 from the top and bottom, wrapped
// to a width. A click on it or anywhere else closes it.

#include <wx/popupwin.h>

class wxStaticText;

namespace help {

class HelpPopup : public wxPopupTransientWindow {
public:
    static constexpr int kMarginX = 18;
    static constexpr int kMarginY = 9;
    static constexpr int kPointSize = 10;

    // *self is cleared when the popup closes or is destroyed.
    HelpPopup(wxWindow* parent, const wxString& text, int maxWidth, HelpPopup** self);
    ~HelpPopup() override;

    // Shown beside the point, on the screen.
    void ShowAt(const wxPoint& point);
    // Hides and destroys it.
    void Close();

    wxStaticText* GetTextControl() const { return m_text; }

private:
    void OnDismiss() override;
    void ForgetSelf();

    wxStaticText* m_text = nullptr;
    HelpPopup** m_self;
};

}  // namespace help
