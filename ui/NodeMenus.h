#pragma once
// A node's menu as a toolkit menu, its items' state, and what choosing one
// of its commands does.

#include <cstdint>
#include <memory>

#include <wx/event.h>
#include <wx/menu.h>

#include "model/ports/NodeRegistry.h"
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

// While it lives, source answers the update of the commands that mean
// something else in node's menu than in the main menu (the toolkit may ask
// again while the popup shows).
class NodeMenuScope {
public:
    NodeMenuScope(wxWindow& source, CDataObject* node);
    ~NodeMenuScope();
    NodeMenuScope(const NodeMenuScope&) = delete;
    NodeMenuScope& operator=(const NodeMenuScope&) = delete;

private:
    void OnUpdate(wxUpdateUIEvent& event);

    wxWindow& m_source;
    NodeId m_node;
};

// Asks each item's update handler the way the menu bar's items are asked,
// starting at source; an item the menu made grayed stays grayed.
void UpdateMenuItems(wxMenu& menu, wxWindow& source);

} // namespace ui
