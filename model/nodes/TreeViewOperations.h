#pragma once
// What the tree view does with nodes, without the window: the view calls
// these, and so do the nodes. Each call runs on the user-interface thread.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/ControlPorts.h"

class CDataObject;

// Inserts the node's item as the parent's last child and stores the handle in
// the node; a null item when the parent does not exist. From then on the tree
// owns the node. Makes the item visible when the options ask for it and the
// parent is selected.
platform::TreeItem InsertObjectItem(CDataObject& node, platform::TreeItem parent);
// The same on a tree the caller holds, for many children of one parent in a
// row: whether each is made visible is decided once, by EnsuresVisible, and
// the caller clears the parent's SetChildrenInOrder mark once for them all.
platform::TreeItem InsertObjectItem(CDataObject& node, platform::TreeItem parent, platform::TreePort& tree,
                                    bool ensureVisible);
bool EnsuresVisible(platform::TreePort& tree, platform::TreeItem parent);
// The node an item carries, or null.
CDataObject* GetTreeItemObject(platform::TreeItem item);
// The node of the selected item, or null.
CDataObject* GetSelectedTreeObject();
// The text of an item inserted with the text callback: its node's display
// name (an entry's "type=value", an error's whole text).
std::wstring GetTreeItemText(void* itemData);
// Selects the item a navigation reached. The observer hears of it before
// (true) and after (false), so that the shell's history does not record the
// arrival as the user's choice. Returns the previous observer.
typedef std::function<void(bool arriving)> NavigationObserver;
NavigationObserver SetNavigationObserver(NavigationObserver observer);
void SelectNavigatedItem(platform::TreeItem item);
// The tree view's timer handler for the information nodes' removal timers:
// false for any other timer.
bool HandleTreeViewTimer(uint32_t timerId);
