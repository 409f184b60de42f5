#pragma once
// A page of a property sheet: a panel made from a dialog resource, with the
// framework's page protocol. The sheet (CCommonPropertySheet) calls
// OnSetActive when the page comes up, OnKillActive before it goes (false
// keeps it), OnApply for OK and Apply on every page that has been shown
// (false refuses: the sheet stays open on that page), and OnCancel. Before
// any page applies, every shown page is asked CanApply, so that a refusal
// leaves the profile as it was: nothing of any page is stored.

#include <wx/panel.h>
#include <wx/string.h>

class CPropertyPage : public wxPanel {
public:
    CPropertyPage() = default;

    // Makes the page inside the sheet's book from "dialog<id>" of the
    // resource library (its <title> is the tab text), then runs
    // OnInitDialog. A missing resource gives an empty panel.
    bool CreatePage(wxWindow* book, unsigned dialogId);

    virtual bool OnInitDialog() { return true; }
    // Base: marks the page as shown.
    virtual bool OnSetActive();
    virtual bool OnKillActive() { return true; }
    // Base: clears the modified mark.
    virtual bool OnApply();
    // False when OnApply would refuse; asked of every shown page first.
    virtual bool CanApply() const { return true; }
    // Tells the user why the page refuses (a message, the focus on the field).
    virtual void ReportRefusal() {}
    virtual void OnCancel() {}

    // Tells the sheet that Apply has something to do.
    void SetModified(bool modified = true);
    bool IsModified() const { return m_modified; }
    bool WasShown() const { return m_shown; }

    const wxString& GetTitle() const { return m_title; }
    void SetTitle(const wxString& title) { m_title = title; }

protected:
    // The child with the id as a T (null when missing or of another kind).
    template <class T>
    T* Control(int id) const
    {
        return dynamic_cast<T*>(FindWindow(id));
    }

private:
    wxString m_title;
    bool m_modified = false;
    bool m_shown = false;
};
