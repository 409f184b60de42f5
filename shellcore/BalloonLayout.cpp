#include "shellcore/BalloonLayout.h"

#include <algorithm>
#include <cstdlib>

namespace balloon {

Size HeaderSize(Size icon, bool closeButton, Size title)
{
    Size s;
    s.width = icon.width;
    if (closeButton) {
        if (s.width > 0)
            s.width += 8;
        s.width += 16;
    }
    if (title.width > 0) {
        if (s.width > 0)
            s.width += 8;
        s.width += title.width;
    }
    s.height = std::max({icon.height, closeButton ? 16 : 0, title.height});
    return s;
}

Layout Compute(Size header, Size text, Point anchor, Rect desktop)
{
    Layout l;
    int contentW = std::max(header.width, text.width);
    int contentH = header.height + text.height + 8;
    int W = contentW + 16, H = contentH + 36;
    l.window = {W, H};

    int deskW = desktop.right - desktop.left, deskH = desktop.bottom - desktop.top;
    int ax = anchor.x - desktop.left, ay = anchor.y - desktop.top;
    bool upper = ay < deskH / 2, right = ax >= deskW / 2;
    l.quadrant = upper ? (right ? 0 : 1) : (right ? 2 : 3);

    int q = (W - 20) / 4;
    switch (l.quadrant) {
    case 0:
        l.tail[0] = {3 * q, 21}, l.tail[1] = {3 * q + 20, 1}, l.tail[2] = {3 * q + 20, 21};
        break;
    case 1:
        l.tail[0] = {q + 20, 21}, l.tail[1] = {q, 1}, l.tail[2] = {q, 21};
        break;
    case 2:
        l.tail[0] = {3 * q, H - 22}, l.tail[1] = {3 * q + 20, H - 2}, l.tail[2] = {3 * q + 20, H - 22};
        break;
    default:
        l.tail[0] = {q + 20, H - 22}, l.tail[1] = {q, H - 2}, l.tail[2] = {q, H - 22};
        break;
    }
    for (Point& p : l.tail)
        p.x = std::clamp(p.x, 8, std::max(8, W - 8));
    l.body = upper ? Rect{0, 20, W, H} : Rect{0, 0, W, H - 20};

    Point pos{anchor.x - l.tail[1].x, anchor.y - l.tail[1].y};
    // Kept on the desktop; the tip moves against a horizontal shift so that
    // it still points at the anchor.
    if (pos.x < desktop.left) {
        int shift = desktop.left - pos.x;
        pos.x += shift;
        l.tail[1].x -= shift;
    } else if (pos.x + W >= desktop.right) {
        int shift = pos.x + W - desktop.right;
        pos.x -= shift;
        l.tail[1].x += shift;
    }
    if (pos.y < desktop.top)
        pos.y = desktop.top;
    else if (pos.y + H >= desktop.bottom)
        pos.y -= pos.y + H - desktop.bottom;
    l.position = pos;

    Rect c{8, 8, W - 8, H - 8};
    if (upper)
        c.top += 20;
    else
        c.bottom -= 20;
    if (c.right < c.left)
        c.right = c.left;
    if (c.bottom < c.top)
        c.bottom = c.top;
    l.client = c;
    return l;
}

int FadeInStep(int alpha, uint32_t options, bool& finished)
{
    alpha += 25;
    finished = alpha > 255 || (options & kDisableFadeIn);
    return finished ? 255 : alpha;
}

int FadeOutStep(int alpha, uint32_t options, bool& finished)
{
    alpha -= 25;
    finished = alpha < 0 || (options & kDisableFadeOut);
    return finished ? 0 : alpha;
}

bool MovedBeyondTolerance(Point from, Point to, int tolerance)
{
    return std::abs(to.x - from.x) > tolerance || std::abs(to.y - from.y) > tolerance;
}

} // namespace balloon
