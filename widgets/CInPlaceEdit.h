#pragma once
// An editor for one cell of a list control, placed over the cell. It ends
// when Return (keep the text) or Escape (cancel) is pressed, when Commit or
// Cancel is called, or when it loses the focus; then it reports to the list
// once, as the list's end-of-label-edit event (wxEVT_LIST_END_LABEL_EDIT
// with the row, the column and the text; cancelled: no text), gives the
// focus back to the list and destroys itself.

#include <wx/listctrl.h>
#include <wx/textctrl.h>

class CInPlaceEdit : public wxTextCtrl {
public:
    // extraWidth: what a multi-line editor may grow by beyond its width.
    CInPlaceEdit(long item, long subItem, const wxString& initialText, int extraWidth = 0);

    // A child of parent (the list or the window inside it that holds the
    // rows) over rect of parent; reports to list. Takes the list's font, the
    // focus, its size and selects its text.
    bool Create(wxListCtrl* list, wxWindow* parent, wxWindowID id, const wxRect& rect, long style = 0);

    // End the edit later from the event loop, as the keys do.
    void Cancel();
    void Commit();
    // End it now.
    void Finish(bool cancel);

    // Grows the editor to fit its text, up to 2 pixels inside its parent's
    // client area; it only ever grows.
    void AutoSize();

    long GetItem() const { return m_item; }
    long GetSubItem() const { return m_subItem; }
    bool IsEnding() const { return m_ended; }

private:
    void OnKeyDown(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnKillFocus(wxFocusEvent& event);
    bool IsMultiLine() const;

    int m_extraWidth;
    long m_item;
    long m_subItem;
    wxString m_initialText;
    bool m_cancelled = false;
    bool m_ended = false;
    wxListCtrl* m_list = nullptr;
};
