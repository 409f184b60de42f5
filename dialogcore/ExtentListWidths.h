#pragma once
// The arithmetic of a list box that keeps its horizontal extent at its
// widest item: one measured width per item in item order, the largest one,
// updates that can be suspended, an extra margin for full re-measures, and
// tab stops kept in pixels. The window measures; this keeps the books.

#include <cstddef>
#include <string>
#include <vector>

class ExtentListWidths {
public:
    // What an item's text measures to: its width + 6.
    static int ItemWidth(int textWidth) { return textWidth + 6; }
    // (width of the 52 letters / 26 + 1) / 2.
    static int AverageCharWidth(int alphabetWidth) { return (alphabetWidth / 26 + 1) / 2; }
    // (dialog units × average width + 2) / 4, each.
    static std::vector<int> TabStopsToPixels(const std::vector<int>& dialogUnits, int averageCharWidth);
    // The text's lines, each trimmed at both ends, empty ones dropped.
    static std::vector<std::wstring> SplitLines(const std::wstring& text);
    // The letters the average width is measured on.
    static const wchar_t* Alphabet() { return L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"; }

    // An item came in at index measuring width; true when the extent should
    // be sent (updates not suspended).
    bool Inserted(size_t index, int width);
    // The item at index went; true when the extent should be sent.
    bool Deleted(size_t index);
    // A full re-measure: the widths of every item; the extent is then the
    // largest plus the extra margin.
    void Remeasured(const std::vector<int>& widths);
    void Clear();

    void SuspendExtentUpdates() { m_suspended = true; }
    void ResumeExtentUpdates() { m_suspended = false; }
    bool IsSuspended() const { return m_suspended; }
    void SetExtraMargin(int margin) { m_extraMargin = margin; }
    int GetExtraMargin() const { return m_extraMargin; }
    void SetTabStops(std::vector<int> pixels) { m_tabStops = std::move(pixels); }
    const std::vector<int>& GetTabStops() const { return m_tabStops; }

    int GetLargest() const { return m_largest; }
    // The extent last worked out (what the window should scroll to).
    int GetExtent() const { return m_extent; }
    const std::vector<int>& GetWidths() const { return m_widths; }

private:
    bool m_suspended = false;
    std::vector<int> m_widths;
    int m_largest = 0;
    std::vector<int> m_tabStops;
    int m_extraMargin = 0;
    int m_extent = 0;
};
