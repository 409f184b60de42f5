#pragma once
// A page of a CPropertySheet, as the framework's property pages behave: the
// page is set up (OnInitDialog) when it is first shown, told each time it
// becomes current (OnSetActive) or stops being current (OnKillActive), and,
// once set up, asked to apply its changes on OK or Apply (OnApply) or told of
// Cancel (OnCancel). SetModified turns the sheet's Apply button on.

#include <wx/panel.h>

class CPropertyPage : public wxPanel {
public:
    // The page's window is made by Create, inside the sheet's book.
    CPropertyPage() = default;
    // The panel "dialog<id>" of the resource library; without it an empty
    // panel. The title is the tab's text.
    bool Create(wxWindow* book, unsigned dialogId, const wxString& title = wxString());

    virtual bool OnInitDialog() { return true; }
    virtual bool OnSetActive() { return true; }
    // False keeps the page current.
    virtual bool OnKillActive() { return true; }
    // False keeps the sheet open on this page.
    virtual bool OnApply()
    {
        SetModified(false);
        return true;
    }
    virtual void OnCancel() {}

    void SetModified(bool changed = true);
    bool IsModified() const { return m_modified; }
    bool IsInitialized() const { return m_initialized; }
    // Runs OnInitDialog once.
    void EnsureInitialized();

    void SetTitle(const wxString& title) { m_title = title; }
    wxString GetTitle() const { return m_title; }

private:
    wxString m_title;
    bool m_modified = false;
    bool m_initialized = false;
};
