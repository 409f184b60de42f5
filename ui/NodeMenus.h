#pragma once
// A node's menu as a toolkit menu, and what choosing one of its commands does.

#include <cstdint>
#include <memory>

#include <wx/menu.h>

#include "platform/PopupMenu.h"

class CDataObject;
class wxWindow;

namespace ui {

// The items in order; texts keep their mnemonics, grayed items are disabled.
std::unique_ptr<wxMenu> MakeWxMenu(const platform::PopupMenu& items);
// A command chosen from node's own menu shown by source: the node-menu
// meanings first, then the command's usual way from source (the view, the
// document, the frame, the application).
void RunNodeMenuCommand(wxWindow& source, CDataObject& node, uint32_t command);

} // namespace ui
