#pragma once
// A page of HTML as an ordinary control of a dialog: it takes the place and
// id of a static control, shows the text it is given, and turns links of the
// form "app:command" (any letter case) into OnAppCommand calls. It has no
// border, no scroll bars and no context menu, and it never loads anything
// itself: other links go to the desktop's browser or mail program (http,
// https and mailto only), and pictures or frames a page names stay away.

#include <string>

#include <wx/html/htmlwin.h>

class CHtmlCtrl : public wxHtmlWindow {
public:
    CHtmlCtrl() = default;

    // Replaces the parent's child with that id (and its place in a sizer);
    // false when there is none or the control cannot be made.
    bool CreateFromStatic(int id, wxWindow* parent);
    // Shows the text; false before the control is made.
    bool SetHtmlText(const wxString& text);

    // The text after "app:" of a followed link. Does nothing here.
    virtual void OnAppCommand(const wxString& command);

    // What a followed link does (the page itself never navigates).
    void FollowLink(const wxString& href);

    // Blocks every fetch: pictures, frames and pages alike.
    wxHtmlOpeningStatus OnOpeningURL(wxHtmlURLType type, const wxString& url, wxString* redirect) const override;

protected:
    void OnLinkClicked(const wxHtmlLinkInfo& link) override;
};
