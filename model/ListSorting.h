#pragma once
// Ordering the list view's rows by one of its columns. User-interface thread.

// Column 0 the name, 1 the value, 2 the type (texts ignoring case), 3 the
// size (unknown sizes last).
void SortListByColumn(int column, bool ascending);

// Tree children by their nodes' display names, ignoring case (item data
// are nodes).
int CompareDisplayNames(void* a, void* b);
