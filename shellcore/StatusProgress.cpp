#include "shellcore/StatusProgress.h"

#include <algorithm>
#include <limits>

int ProgressPercent(int64_t counter, int64_t total)
{
    if (total <= 0 || counter <= 0)
        return 0;
    if (counter >= total)
        return 100;
    return static_cast<int>(static_cast<__int128>(counter) * 100 / total);
}

PaneRect ProgressBarRect(PaneRect pane, int textWidth, int spaceWidth, bool hasText, int sizePercent)
{
    PaneRect r = pane;
    sizePercent = std::clamp(sizePercent, 0, 100);
    if (hasText)
        r.left += textWidth + 2 * spaceWidth;
    int width = r.right - r.left;
    r.right = r.right - width * (100 - sizePercent) / 100;
    if (r.right < r.left)
        r.right = r.left;
    int cut = (r.bottom - r.top) / 10;
    r.top += cut;
    r.bottom -= cut;
    return r;
}

int ProgressRange(int64_t total)
{
    if (total < 1)
        return 1;
    return static_cast<int>(std::min<int64_t>(total, std::numeric_limits<int>::max()));
}
