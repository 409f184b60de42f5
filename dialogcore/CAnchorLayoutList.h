#pragma once
// The arithmetic and bookkeeping of a resizable window's layout, without the
// window: the list of anchored children (each remembers its margins from its
// two anchor points, measured once at registration) and callback entries
// (filled by the window at arrange time), and the arrange pass that works out
// each child's new rectangle and which of them actually change.
//
// Anchored children come first, in registration order, then every callback
// entry, so a callback sees every anchored child already in place.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "dialogcore/ResizableAnchors.h"

// One entry of the layout list; a plain value.
struct AnchoredChild {
    void* window = nullptr;       // the child, opaque here; null in a callback entry
    uint32_t callbackId = 0;      // 0 for an anchored child
    bool fullRedraw = false;      // repaint the child whole after it moved
    AnchorPoint tlAnchor;
    AnchorPoint tlMargin;         // pixels from the top-left anchor point
    AnchorPoint brAnchor;
    AnchorPoint brMargin;         // pixels from the bottom-right anchor point
};

// One change the arrange pass asks for.
struct ChildMove {
    void* window = nullptr;
    LayoutRect rect;
    bool fullRedraw = false;
};

class CAnchorLayoutList {
public:
    // Margins of a child at rect in an area of width x height for its two
    // anchors (AnchorNone as br: tl for both corners).
    static AnchoredChild Measure(void* window, int32_t width, int32_t height, const LayoutRect& rect,
                                 AnchorPoint tl, AnchorPoint br);
    // Where the entry goes in an area of width x height.
    static LayoutRect Place(const AnchoredChild& child, int32_t width, int32_t height);

    // After the last anchored child, before the first callback entry.
    void AddAnchored(const AnchoredChild& child);
    // At the end of the list.
    void AddCallback(uint32_t id);
    void RemoveAll();

    const std::vector<AnchoredChild>& Entries() const { return m_entries; }
    size_t AnchoredCount() const { return m_anchoredCount; }

    struct ArrangeSteps {
        // The child's rectangle now, in the layout window's client coordinates.
        std::function<LayoutRect(void* window)> currentRect;
        // Fills a callback entry; false skips it for this pass.
        std::function<bool(AnchoredChild& entry)> callback;
        // Applies one change.
        std::function<void(const ChildMove& move)> apply;
    };
    // Places every entry for an area of width x height; a child whose
    // rectangle does not change is left out.
    void Arrange(int32_t width, int32_t height, const ArrangeSteps& steps) const;

private:
    std::vector<AnchoredChild> m_entries;
    size_t m_anchoredCount = 0;
};
