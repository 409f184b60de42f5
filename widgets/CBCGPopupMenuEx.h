#pragma once
// The views' context menu: a popup of the program's own, since the
// toolkit's menus cannot hold a text field. It shows a toolkit menu's items
// (texts with their access letters, ids, enabled states, separators) as
// they are when it is made, one of them may be an edit box
// (CMenuEditBoxButton), and it behaves as a menu: the pointer highlights,
// a click chooses, the arrows, Home, End, Enter, access letters and Escape
// work as CPopupMenuModel says, and a click outside or the loss of the focus
// to another window closes it (the window it floats on taking the focus
// without a click gets it taken back). It is a borderless top-level window
// that takes the keyboard focus (a popup window of the display gets none
// without a grab), and it takes no grab.
//
// Editing: Enter, a click or the access letter on the edit-box item shows
// its edit window with the whole text selected; the typed keys and Alt stay
// there; Enter closes the menu with the text taken and the item's command
// chosen; Escape gives the text back and leaves the menu open. A menu closed
// any other way while editing takes the typed text, as Enter would.

#include <memory>

#include <wx/event.h>
#include <wx/eventfilter.h>
#include <wx/frame.h>

#include "dialogcore/CPopupMenuModel.h"

class CMenuEditBoxButton;
class wxGUIEventLoop;
class wxMenu;

class CBCGPopupMenuEx : public wxFrame, public wxEventFilter {
public:
    struct Destroyer {
        void operator()(CBCGPopupMenuEx* menu) const;
    };
    typedef std::unique_ptr<CBCGPopupMenuEx, Destroyer> Ptr;

    // The menu's items as they stand now; owner: the window the menu is for.
    static Ptr Create(wxWindow* owner, const wxMenu& menu);

    // The edit-box item in place of the item of its command (as a toolkit id); false when the
    // menu holds no such item. The item keeps that item's enabled state.
    bool ReplaceWithEditBox(std::unique_ptr<CMenuEditBoxButton> button);
    // The item of that toolkit id, or null.
    const PopupMenuEntry* FindCommand(int id) const;

    // Shows the menu at a point of the owner's client area and runs until
    // it closes: the chosen command, or wxID_NONE.
    int TrackPopupMenu(const wxPoint& clientPoint);

    // Closes the menu, nothing chosen.
    void Cancel() { EndMenu(wxID_NONE); }
    // The menu has closed, or closes as soon as its loop gets to it.
    bool IsClosed() const { return m_done; }
    // The menu that is up now, or null.
    static CBCGPopupMenuEx* GetActiveMenu();
    const CPopupMenuModel& GetModel() const { return m_model; }
    CMenuEditBoxButton* GetEditBox() const { return m_editBox.get(); }
    // The item's rectangle in screen coordinates.
    wxRect GetItemScreenRect(int index) const;

    // Moves the highlight to the item (-1: none).
    void HighlightButton(int index);
    // Starts (when the edit box may be edited) or ends editing.
    void SetEditMode(bool editing);

private:
    class ItemsWindow;

    CBCGPopupMenuEx(wxWindow* owner, std::vector<PopupMenuEntry> entries);
    ~CBCGPopupMenuEx() override;

    int FilterEvent(wxEvent& event) override;
    void Apply(PopupMenuAction action);
    void EndMenu(int result);
    void OnActivate(wxActivateEvent& event);
    void OnFocusGone();
    void OnEditKey(wxKeyEvent& event);
    void LayOut();

    wxWindow* m_owner;
    CPopupMenuModel m_model;
    std::unique_ptr<CMenuEditBoxButton> m_editBox;
    ItemsWindow* m_items = nullptr;
    wxGUIEventLoop* m_loop = nullptr;
    int m_result = wxID_NONE;
    bool m_done = false;
    bool m_activated = false;
    static constexpr int kFocusTakeBacks = 3;
    int m_focusTakenBack = 0;
};
