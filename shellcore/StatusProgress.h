#pragma once
// The arithmetic of the status-bar progress bar that shows the insertion of
// many child items: the percentage text and where the bar sits in its pane.

#include <cstdint>

struct PaneRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const PaneRect& a, const PaneRect& b)
    {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
    friend bool operator!=(const PaneRect& a, const PaneRect& b) { return !(a == b); }
};

// counter x 100 / total in whole percent, within 0..100; a total of 0 (or
// less) gives 0, never a division by zero.
int ProgressPercent(int64_t counter, int64_t total);

// The bar's rectangle in a pane: right of the message text and two spaces
// when there is a text, sizePercent (0..100) of the width that is left, and
// a tenth of the height off at the top and at the bottom.
PaneRect ProgressBarRect(PaneRect pane, int textWidth, int spaceWidth, bool hasText, int sizePercent);

// A range the bar can show: at least 1.
int ProgressRange(int64_t total);
