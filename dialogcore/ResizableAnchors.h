#pragma once
// Anchor points of resizable windows: percentages of the layout area's width
// and height that a child's corner keeps a constant distance from.

#include <cstdint>

struct AnchorPoint {
    int32_t cx = 0;  // percent of the width
    int32_t cy = 0;  // percent of the height

    constexpr AnchorPoint() = default;
    constexpr AnchorPoint(int32_t x, int32_t y) : cx(x), cy(y) {}
    constexpr bool operator==(const AnchorPoint& o) const { return cx == o.cx && cy == o.cy; }
    constexpr bool operator!=(const AnchorPoint& o) const { return !(*this == o); }
};

constexpr AnchorPoint AnchorTopLeft(0, 0);
constexpr AnchorPoint AnchorTopCenter(50, 0);
constexpr AnchorPoint AnchorTopRight(100, 0);
constexpr AnchorPoint AnchorMiddleLeft(0, 50);
constexpr AnchorPoint AnchorMiddleCenter(50, 50);
constexpr AnchorPoint AnchorMiddleRight(100, 50);
constexpr AnchorPoint AnchorBottomLeft(0, 100);
constexpr AnchorPoint AnchorBottomCenter(50, 100);
constexpr AnchorPoint AnchorBottomRight(100, 100);
// As a bottom-right anchor: none; the top-left anchor holds both corners, so
// the child moves without changing size.
constexpr AnchorPoint AnchorNone(-1, -1);

// A rectangle as the window system gives it: right and bottom are one past
// the last pixel.
struct LayoutRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    constexpr LayoutRect() = default;
    constexpr LayoutRect(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}
    constexpr int32_t Width() const { return right - left; }
    constexpr int32_t Height() const { return bottom - top; }
    constexpr bool operator==(const LayoutRect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    constexpr bool operator!=(const LayoutRect& o) const { return !(*this == o); }
};
