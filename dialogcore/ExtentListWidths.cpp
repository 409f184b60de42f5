#include "dialogcore/ExtentListWidths.h"

#include <algorithm>

std::vector<int> ExtentListWidths::TabStopsToPixels(const std::vector<int>& dialogUnits, int averageCharWidth)
{
    std::vector<int> pixels;
    pixels.reserve(dialogUnits.size());
    for (int units : dialogUnits) pixels.push_back((units * averageCharWidth + 2) / 4);
    return pixels;
}

std::vector<std::wstring> ExtentListWidths::SplitLines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        size_t first = line.find_first_not_of(L" \t\r");
        if (first != std::wstring::npos) {
            size_t last = line.find_last_not_of(L" \t\r");
            lines.push_back(line.substr(first, last - first + 1));
        }
        start = end + 1;
    }
    return lines;
}

bool ExtentListWidths::Inserted(size_t index, int width)
{
    if (m_suspended) return false;
    if (index > m_widths.size()) index = m_widths.size();
    m_widths.insert(m_widths.begin() + static_cast<std::ptrdiff_t>(index), width);
    m_largest = std::max(m_largest, width);
    m_extent = m_largest;
    return true;
}

bool ExtentListWidths::Deleted(size_t index)
{
    if (m_suspended || index >= m_widths.size()) return false;
    int width = m_widths[index];
    m_widths.erase(m_widths.begin() + static_cast<std::ptrdiff_t>(index));
    if (width >= m_largest) m_largest = m_widths.empty() ? 0 : *std::max_element(m_widths.begin(), m_widths.end());
    m_extent = m_largest;
    return true;
}

void ExtentListWidths::Remeasured(const std::vector<int>& widths)
{
    m_widths = widths;
    m_largest = m_widths.empty() ? 0 : *std::max_element(m_widths.begin(), m_widths.end());
    m_extent = m_largest + m_extraMargin;
}

void ExtentListWidths::Clear()
{
    m_widths.clear();
    m_largest = 0;
    m_extent = 0;
}
