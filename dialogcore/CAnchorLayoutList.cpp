#include "dialogcore/CAnchorLayoutList.h"

namespace {

// Truncates toward zero, as the integer division of the window system does.
int32_t Percent(int32_t extent, int32_t percent)
{
    return static_cast<int32_t>(static_cast<int64_t>(extent) * percent / 100);
}

} // namespace

AnchoredChild CAnchorLayoutList::Measure(void* window, int32_t width, int32_t height, const LayoutRect& rect,
                                         AnchorPoint tl, AnchorPoint br)
{
    if (br == AnchorNone) br = tl;
    AnchoredChild child;
    child.window = window;
    child.tlAnchor = tl;
    child.brAnchor = br;
    child.tlMargin = AnchorPoint(rect.left - Percent(width, tl.cx), rect.top - Percent(height, tl.cy));
    child.brMargin = AnchorPoint(rect.right - Percent(width, br.cx), rect.bottom - Percent(height, br.cy));
    return child;
}

LayoutRect CAnchorLayoutList::Place(const AnchoredChild& c, int32_t width, int32_t height)
{
    return LayoutRect(c.tlMargin.cx + Percent(width, c.tlAnchor.cx), c.tlMargin.cy + Percent(height, c.tlAnchor.cy),
                      c.brMargin.cx + Percent(width, c.brAnchor.cx), c.brMargin.cy + Percent(height, c.brAnchor.cy));
}

void CAnchorLayoutList::AddAnchored(const AnchoredChild& child)
{
    m_entries.insert(m_entries.begin() + static_cast<std::ptrdiff_t>(m_anchoredCount), child);
    ++m_anchoredCount;
}

void CAnchorLayoutList::AddCallback(uint32_t id)
{
    AnchoredChild entry;
    entry.callbackId = id;
    m_entries.push_back(entry);
}

void CAnchorLayoutList::RemoveAll()
{
    m_entries.clear();
    m_anchoredCount = 0;
}

void CAnchorLayoutList::Arrange(int32_t width, int32_t height, const ArrangeSteps& steps) const
{
    for (AnchoredChild entry : m_entries) {
        // Callback entries come last: every anchored child is in place
        // before any callback is asked.
        if (!entry.window && (!steps.callback || !steps.callback(entry) || !entry.window)) continue;
        const LayoutRect next = Place(entry, width, height);
        const LayoutRect now = steps.currentRect(entry.window);
        if (next == now) continue;
        ChildMove move;
        move.window = entry.window;
        move.rect = next;
        move.fullRedraw = entry.fullRedraw;
        steps.apply(move);
    }
}
