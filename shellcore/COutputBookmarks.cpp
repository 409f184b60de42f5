#include "shellcore/COutputBookmarks.h"

#include <iterator>

void COutputBookmarks::Toggle(int line)
{
    if (!m_lines.insert(line).second)
        m_lines.erase(line);
}

void COutputBookmarks::Clear()
{
    m_lines.clear();
    m_position = -1;
}

int COutputBookmarks::Next()
{
    if (m_lines.empty())
        return -1;
    auto it = m_lines.upper_bound(m_position);
    m_position = it != m_lines.end() ? *it : *m_lines.begin();
    return m_position;
}

int COutputBookmarks::Prev()
{
    if (m_lines.empty())
        return -1;
    auto it = m_lines.lower_bound(m_position);
    m_position = it != m_lines.begin() ? *std::prev(it) : *m_lines.rbegin();
    return m_position;
}
