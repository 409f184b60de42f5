#include "widgets/WindowHelpers.h"

#include <wx/window.h>

bool IsPointInWindow(const wxWindow* window, int x, int y)
{
    return window && window->GetScreenRect().Contains(x, y);
}
