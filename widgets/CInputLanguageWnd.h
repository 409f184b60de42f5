#pragma once
// A small child window showing the two-letter tag of the active keyboard
// layout's language in capitals, white on the active-caption colour (the
// selection colour where the desktop's caption colour is light), so that
// someone typing a password sees which layout is active. Its owner places it
// beside the field and asks it to refresh (UpdateLanguage).

#include <functional>
#include <string>

#include <wx/colour.h>
#include <wx/font.h>
#include <wx/window.h>

class CInputLanguageWnd : public wxWindow {
public:
    // Where the tag comes from; by default the keyboard layout
    // (ui::CurrentKeyboardLanguageTag). Shared by every indicator; an empty
    // function leaves the tags as they are.
    typedef std::function<std::string()> TagSource;
    static TagSource SetTagSource(TagSource source);

    CInputLanguageWnd();
    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& position, const wxSize& size,
                long style = 0);

    // Reads the tag again; when it changed the window is repainted at once.
    // True when it changed.
    bool UpdateLanguage();
    const std::string& GetTag() const { return m_tag; }

    void SetBackColor(const wxColour& colour) { m_backColour = colour; }
    const wxColour& GetBackColor() const { return m_backColour; }
    void SetTextColor(const wxColour& colour) { m_textColour = colour; }
    const wxColour& GetTextColor() const { return m_textColour; }

private:
    bool ReadTag();
    void OnPaint(wxPaintEvent& event);

    wxColour m_backColour;
    wxColour m_textColour;
    wxFont m_font;
    std::string m_tag;
};
