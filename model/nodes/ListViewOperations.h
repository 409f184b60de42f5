#pragma once
// What the list view does with nodes, without the window: the view calls
// these, and so do the nodes. Each call runs on the user-interface thread.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ControlPorts.h"
#include "platform/Dispatcher.h"
#include "platform/ShellPorts.h"

class CDataObject;

// The list's text provider: column 0 the node's name, 1 its value, 2 its
// type, 3 its size (data: the node).
std::wstring ListColumnText(void* data, int column);
// A row's label where the list shows no other column (the icon and list
// views): an entry is named as the tree names it, since its caption, the
// naming attribute, is the same for all its siblings; other nodes by their
// caption.
std::wstring ListLabelText(void* data);
// A row for the node at row (-1: at the end) with its name, value, type and
// size; returns its index. Then stops the selected node's waiting display.
int UpdateRowText(CDataObject& node, int row);
// Drops the rest of a row fill that is still running.
void RemoveAllRows();
// Appends a row for each node (name, value, type, size), then calls done on
// owner. A long fill runs in slices with the event loop turning in between,
// so the window keeps answering; it stops when owner goes or stops being the
// selected node, or the rows are removed. Nodes gone meanwhile get no row.
void FillRows(CDataObject& owner, const std::vector<CDataObject*>& nodes,
              std::function<void(CDataObject& owner)> done);
// As RemoveAllRows and FillRows with the children of owner's tree item, but
// the rows from the first on that show the children already, in their
// order, stay (unselected): the end of a long fetch, whose rows came as the
// children did, does not empty the list and fill it again at once.
void RefillChildRows(CDataObject& owner, std::function<void(CDataObject& owner)> done);
// After the sort of parent's child items in the tree: while the list shows
// them, its rows follow the tree's order, and the view's own order takes
// the direction.
void FollowTreeOrder(CDataObject& parent, platform::SortDirection direction);
// The node's row, searched only while the list shows its tree parent's
// children; -1 otherwise.
int FindObjectRow(CDataObject& node);
// Clears every selection, then selects and focuses row; scrolls it into
// view when asked.
void SelectSingleItem(int row, bool ensureVisible);
// The list view's handler for the node messages a job posts to it
// (WM_WORKER_DONE and WM_WORKER_CALL1..3, naming their node by id) and for
// the row fill's timer. A node
// that has gone meanwhile is skipped. False for any other message.
bool HandleListViewMessage(platform::MessageId id, uintptr_t wParam, intptr_t lParam,
                           std::unique_ptr<platform::MessagePayload>& payload);
// Removes every item below item, deepest first, deleting the nodes they
// carry; the item itself stays. For the selected item, the list's rows go
// first (they read their texts from the nodes).
void DeleteChildItems(platform::TreeItem item);
