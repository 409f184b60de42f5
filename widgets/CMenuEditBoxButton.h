#pragma once
// A menu item that holds a one-line edit box: its label, then a box showing
// its contents. The popup menu (CBCGPopupMenuEx) shows the edit window over
// the box while the item is edited; when the edit ends with the text taken,
// the trimmed text goes to the owner (a callback, or a string it supplied)
// and into the item's recent-items list, which also completes what is typed
// inline (Ctrl+Enter puts it in parentheses). User-interface thread only.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <wx/gdicmn.h>

#include "shellcore/CRecentItemsList.h"

class CAutoComplete;
class wxTextCtrl;
class wxWindow;

class CMenuEditBoxButton {
public:
    typedef std::function<void(uint32_t command, const std::wstring& text)> TextCallback;
    enum class EditEnd { Restore, TakeText };

    static constexpr int kDefaultEditWidth = 150;

    // width 0 gives the default width.
    CMenuEditBoxButton(uint32_t command, const std::wstring& label, const std::wstring& contents,
                       TextCallback callback, int width);
    CMenuEditBoxButton(uint32_t command, const std::wstring& label, const std::wstring& contents,
                       std::wstring* target, int width);
    ~CMenuEditBoxButton();
    CMenuEditBoxButton(const CMenuEditBoxButton&) = delete;
    CMenuEditBoxButton& operator=(const CMenuEditBoxButton&) = delete;

    uint32_t GetCommand() const { return m_command; }
    const std::wstring& GetLabel() const { return m_label; }
    int GetEditWidth() const { return m_width; }

    // The settings key (below the user root) of the recent texts; empty keeps
    // them in memory only.
    void SetRecentItemsKey(const std::wstring& key) { m_recentKey = key; }
    // Shown in the edit window too, when it exists.
    void SetContents(const std::wstring& text);
    const std::wstring& GetContents() const { return m_contents; }

    void SetDisabled(bool disabled) { m_disabled = disabled; }
    bool IsEditDisabled() const { return m_disabled; }

    // Makes the (hidden) edit window on parent over the rectangle, with the
    // contents and the completion from the recent texts; null on failure.
    wxTextCtrl* CreateEdit(wxWindow* parent, const wxRect& rect);
    wxTextCtrl* GetEditWnd() const { return m_edit; }

    // Restore: the edit shows the contents again. TakeText: the edit's text,
    // trimmed, becomes the contents, is recorded when not empty, and goes to
    // the target or the callback.
    void EndEdit(EditEnd end);

private:
    void DestroyEdit();

    uint32_t m_command;
    std::wstring m_label;
    std::wstring m_contents;
    TextCallback m_callback;
    std::wstring* m_target = nullptr;
    int m_width;
    bool m_disabled = false;
    std::wstring m_recentKey;
    wxTextCtrl* m_edit = nullptr;  // a child of the menu's window, destroyed with this
    CRecentItemsList m_recent;
    std::unique_ptr<CAutoComplete> m_completion;
};
