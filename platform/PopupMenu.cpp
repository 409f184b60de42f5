#include "platform/PopupMenu.h"

namespace platform {

void PopupMenu::AppendItem(uint32_t command, const std::wstring& text, uint32_t flags)
{
    m_items.push_back(MenuItem{command, text, flags & ~kMenuSeparator});
}

void PopupMenu::AppendSeparator()
{
    m_items.push_back(MenuItem{0, std::wstring(), kMenuSeparator});
}

const MenuItem* PopupMenu::FindCommand(uint32_t command) const
{
    for (const MenuItem& item : m_items)
        if (!item.IsSeparator() && item.command == command)
            return &item;
    return nullptr;
}

} // namespace platform
