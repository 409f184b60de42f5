#pragma once
// A node's menu as a toolkit menu, its items' state, and what choosing one
// of its commands does.

#include <cstdint>
#include <functional>
#include <memory>

#include <wx/event.h>
#include <wx/menu.h>

#include "model/ports/NodeRegistry.h"
#include "platform/PopupMenu.h"

class CBCGPopupMenuEx;
class CDataObject;
class wxWindow;

namespace ui {

// The items in order; texts keep their mnemonics, grayed items are disabled.
std::unique_ptr<wxMenu> MakeWxMenu(const platform::PopupMenu& items);
// Shows menu as window's context menu at a point of its client area, after
// prepare (when given) has had its say: the chosen command, or wxID_NONE.
int TrackContextMenu(wxWindow& window, const wxMenu& menu, const wxPoint& point,
                     const std::function<void(CBCGPopupMenuEx&)>& prepare);
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
