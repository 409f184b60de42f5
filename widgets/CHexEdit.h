#pragma once
// A small hex editor: an offset column, a hex column and a text column over a
// byte buffer. Arrows, Home/End (with Ctrl: the whole buffer), PgUp/PgDn move
// the caret; hex digits typed in the hex column and characters typed in the
// text column overwrite or, after Insert, insert bytes; Delete and Backspace
// remove bytes; Tab switches columns (Ctrl+Tab leaves the control).

#include <string>

#include <wx/scrolwin.h>

#include "dialogcore/HexEditBuffer.h"

class CHexEdit : public wxScrolledCanvas {
public:
    CHexEdit(wxWindow* parent, wxWindowID id, size_t bytesPerRow = 8, const wxPoint& pos = wxDefaultPosition,
             const wxSize& size = wxDefaultSize);

    void SetData(const std::string& bytes);
    const std::string& GetData() const { return m_buffer.GetData(); }
    bool IsModified() const { return m_buffer.IsModified(); }
    const dialogcore::HexEditBuffer& Buffer() const { return m_buffer; }

    // The key and character handlers, as the toolkit calls them.
    void OnKeyDown(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);

private:
    void OnDraw(wxDC& dc) override;
    void OnMouse(wxMouseEvent& event);
    void OnFocus(wxFocusEvent& event);
    void OnSize(wxSizeEvent& event);
    void Changed();
    int HexX(size_t column) const;
    int TextX(size_t column) const;
    size_t VisibleRows() const;

    dialogcore::HexEditBuffer m_buffer;
    wxFont m_font;
    int m_charWidth = 8;
    int m_lineHeight = 16;
};
