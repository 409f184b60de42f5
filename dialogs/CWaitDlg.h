#pragma once
// A notice that the user cannot close, only its owner can: shown modeless
// while something winds down (the owner then allows closing and destroys
// it), or run modally and ended by its owner with EndModal. It can be
// dragged by any point and centres itself over its owner when shown.

#include <string>

#include <wx/dialog.h>

class wxStaticText;

class CWaitDlg : public wxDialog {
public:
    CWaitDlg(wxWindow* owner, const std::wstring& text);

    // Makes the window, with the owner as parent; false when it could not be made.
    bool Create();

    // Until set, closing (the close box, Alt+F4, Escape) does nothing.
    void SetMayClose(bool mayClose) { m_mayClose = mayClose; }
    bool GetMayClose() const { return m_mayClose; }

    // Centres the popup's client area over the owner's client area.
    void CentreOverOwner();

    wxStaticText* GetTextControl() const { return m_textControl; }

private:
    void OnClose(wxCloseEvent& event);
    void OnShow(wxShowEvent& event);
    void OnCancel(wxCommandEvent& event);
    void OnDragStart(wxMouseEvent& event);
    void OnDragMove(wxMouseEvent& event);
    void OnDragEnd(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void BindDrag(wxWindow* window);

    wxWindow* m_owner;
    std::wstring m_text;
    bool m_mayClose = false;
    wxStaticText* m_textControl = nullptr;
    wxWindow* m_dragWindow = nullptr;
    wxPoint m_dragOffset;
};
