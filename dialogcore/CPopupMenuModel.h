#pragma once
// What the views' context menu does with keys and clicks, without a window:
// which item is highlighted, which one runs, and when its edit-box item is
// being edited. The arrows skip separators and disabled items and wrap
// around; an access letter (the character after '&', case ignored) runs its
// item when no other enabled item has it, else moves the highlight on
// among them; Enter or a click on the edit-box item, or its letter, starts
// editing instead of running it, never while it is disabled. While editing,
// Enter takes the text and closes the menu, Escape gives the text back and
// leaves the menu open, Alt is swallowed and every other key belongs to the
// edit field.

#include <cstdint>
#include <string>
#include <vector>

struct PopupMenuEntry {
    enum class Kind { Command, Separator, EditBox };

    int id = 0;
    std::wstring text;  // with its '&' mnemonic; a TAB starts the accelerator text
    bool enabled = true;
    Kind kind = Kind::Command;

    bool IsSeparator() const { return kind == Kind::Separator; }
    bool IsEditBox() const { return kind == Kind::EditBox; }
};

enum class PopupMenuKey { Up, Down, Home, End, Enter, Escape, Alt, Character, Other };

enum class PopupMenuAction {
    None,       // nothing happens (the key is swallowed)
    Highlight,  // the highlight moved
    Run,        // the highlighted item's command is chosen, the menu closes
    StartEdit,  // the highlighted edit-box item is being edited now
    TakeEdit,   // the edit's text is taken, the menu closes with its command
    CancelEdit, // the edit's text is given back, editing ends, the menu stays
    PassToEdit, // the key belongs to the edit field
    Close,      // the menu closes, nothing chosen
};

class CPopupMenuModel {
public:
    explicit CPopupMenuModel(std::vector<PopupMenuEntry> entries);

    const std::vector<PopupMenuEntry>& Entries() const { return m_entries; }
    // The highlighted item's index, or -1.
    int GetHighlighted() const { return m_highlighted; }
    // Only enabled items can be highlighted; -1 clears (not while editing).
    bool Highlight(int index);
    bool IsEditing() const { return m_editing; }

    // A key; character is the key's character for PopupMenuKey::Character.
    PopupMenuAction OnKey(PopupMenuKey key, wchar_t character = 0);
    // A click on the item at index (-1: outside every item, but inside the menu).
    PopupMenuAction OnClick(int index);
    // Editing ends without a key (the menu closed another way).
    void EndEditing() { m_editing = false; }
    // The item of that command becomes an edit box with that label; false
    // when there is none.
    bool MakeEditBox(int id, const std::wstring& label);

    // The item's access letter made upper case, or 0.
    static wchar_t AccessLetter(const std::wstring& text);

private:
    bool CanHighlight(int index) const;
    PopupMenuAction Activate(int index);
    PopupMenuAction MoveBy(int step);
    PopupMenuAction OnLetter(wchar_t letter);

    std::vector<PopupMenuEntry> m_entries;
    int m_highlighted = -1;
    bool m_editing = false;
};
