#pragma once
// Ordering the rows of the list view and the children of a tree item by the
// nodes' texts. User-interface thread.

#include <functional>
#include <string>
#include <unordered_map>

#include "platform/ControlPorts.h"

// Column 0 the name, 1 the value, 2 the type (texts ignoring case), 3 the
// size (unknown sizes last).
void SortListByColumn(int column, bool ascending);

// A comparison of item data by one text of each item, ignoring case. Each
// item's text is fetched once, however often the sort compares it.
class NoCaseTextOrder {
public:
    explicit NoCaseTextOrder(std::function<std::wstring(void* item)> text) : m_text(std::move(text)) {}
    int operator()(void* a, void* b);

private:
    const std::wstring& Key(void* item);

    std::function<std::wstring(void* item)> m_text;
    std::unordered_map<void*, std::wstring> m_keys;
};
