#pragma once
// The bookmarks of the output list: an ordered set of line indexes and the
// line of the last bookmark jumped to (-1 for none).

#include <set>

class COutputBookmarks {
public:
    // Adds the line, or removes it when it was there.
    void Toggle(int line);
    void Clear();
    bool IsBookmarked(int line) const { return m_lines.count(line) != 0; }
    bool IsEmpty() const { return m_lines.empty(); }
    int GetPosition() const { return m_position; }

    // The smallest bookmark after the position, wrapping to the smallest;
    // -1 without bookmarks. Moves the position there.
    int Next();
    // The greatest bookmark before the position, wrapping to the greatest.
    int Prev();

private:
    std::set<int> m_lines;
    int m_position = -1;
};
