#pragma once
// A popup menu as code below the user interface builds it: an ordered list of
// items that the views turn into a real menu when they show it.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Item flags, with the values the menus have always used.
constexpr uint32_t kMenuEnabled = 0x0000;
constexpr uint32_t kMenuGrayed = 0x0001;    // drawn gray (and not selectable)
constexpr uint32_t kMenuDisabled = 0x0002;  // not selectable
constexpr uint32_t kMenuSeparator = 0x0800;

struct MenuItem {
    uint32_t command = 0;  // 0 for a separator
    std::wstring text;
    uint32_t flags = kMenuEnabled;

    bool IsSeparator() const { return (flags & kMenuSeparator) != 0; }
    bool IsEnabled() const { return (flags & (kMenuGrayed | kMenuDisabled)) == 0; }
};

class PopupMenu {
public:
    void AppendItem(uint32_t command, const std::wstring& text, uint32_t flags = kMenuEnabled);
    void AppendSeparator();

    const std::vector<MenuItem>& Items() const { return m_items; }
    // The item with that command, or null.
    const MenuItem* FindCommand(uint32_t command) const;

private:
    std::vector<MenuItem> m_items;
};

} // namespace platform
