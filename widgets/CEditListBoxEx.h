#pragma once
// A list of names under a caption bar of small icon buttons (new, edit,
// delete, move up, move down, ...). Each button has a tooltip that names its
// key, the key itself (while the focus is in the list) and a command. The
// list ends with an empty row that stands for a new item; a row can be
// renamed in place. Rows carry a pointer the owner gives them (not owned).
// Subclasses take over what a button, an opened row or a finished rename
// does through the virtual hooks.

#include <cstdint>
#include <map>
#include <vector>

#include <wx/bitmap.h>
#include <wx/panel.h>

class wxBitmapButton;
class wxBoxSizer;
class wxListCtrl;
class wxListEvent;
class wxStaticText;

class CEditListBoxEx : public wxPanel {
public:
    // The commands the list carries out itself.
    enum Command {
        kCmdNone = 0,
        kCmdNew = 1,
        kCmdRename = 2,
        kCmdDelete = 3,
        kCmdMoveUp = 4,
        kCmdMoveDown = 5,
    };
    // The size of a button's icon.
    static constexpr int kIconWidth = 13;
    static constexpr int kIconHeight = 12;

    // Without a window: Create makes it.
    CEditListBoxEx() = default;
    CEditListBoxEx(wxWindow* parent, wxWindowID id, const wxString& caption = wxString());
    bool Create(wxWindow* parent, wxWindowID id, const wxString& caption = wxString());

    // A caption-bar button with its icon, tooltip (followed by " (" + the
    // key's name + ")" when it has a key), key (0 for none, flags as
    // wxACCEL_ALT, wxACCEL_CTRL, wxACCEL_SHIFT) and command (0 for none).
    // False when the list has no window yet.
    bool AddButton(const wxBitmap& icon, const wxString& tooltip, int key = 0, int flags = 0, int command = 0);
    size_t GetButtonCount() const { return m_buttons.size(); }
    wxBitmapButton* GetButton(size_t index) const { return index < m_buttons.size() ? m_buttons[index] : nullptr; }
    // (flags << 16) | key, 0 for a button without a key.
    uint32_t GetButtonAccelerator(size_t index) const;
    int GetButtonCommand(size_t index) const;

    // Rows, not counting the empty row for a new item.
    int GetCount() const;
    // Inserted before the new-item row; its index.
    int AddItem(const wxString& text, const void* data = nullptr);
    void RemoveItem(int index);
    wxString GetItemText(int index) const;
    void SetItemText(int index, const wxString& text);
    const void* GetItemData(int index) const;
    void SetItemData(int index, const void* data);
    // The selected row; -1 for none, GetCount() for the new-item row.
    int GetSelItem() const;
    void SelectItem(int index);
    // The index of the empty row for a new item.
    int GetNewItemRow() const { return GetCount(); }

    // The list's own work, as its buttons and keys do it.
    void CreateNewItem();
    void BeginRename(int index);
    void DeleteSelected();
    void MoveSelected(bool up);
    // The command of that button, carried out as a click on it.
    void ClickButton(size_t index);

    wxListCtrl* GetListCtrl() const { return m_list; }
    // The key's name as the tooltips show it ("Insert", "F2", "Alt+Up").
    static wxString AcceleratorName(int key, int flags);

protected:
    // A row opened (double click, Return): renames it, or makes a new item
    // on the new-item row.
    virtual void OnEditItem(int index);
    // A button clicked or its key pressed: carries out its command.
    virtual void OnClickButton(size_t index);
    // A rename ended with text; false keeps the old text.
    virtual bool OnEndEditLabel(int index, const wxString& text);
    virtual void OnSelectionChanged() {}

private:
    void OnCharHook(wxKeyEvent& event);
    void OnActivated(wxListEvent& event);
    void OnEndLabel(wxListEvent& event);
    void OnSelected(wxListEvent& event);
    void OnSize(wxSizeEvent& event);
    void FitColumn();
    void SwapRows(int a, int b);

    wxStaticText* m_caption = nullptr;
    wxBoxSizer* m_bar = nullptr;
    wxListCtrl* m_list = nullptr;
    std::vector<wxBitmapButton*> m_buttons;
    std::vector<uint32_t> m_accelerators;
    std::map<size_t, int> m_commands;
    wxSize m_buttonSize;
};
