#pragma once
// A window manager maps a top-level window some time after Show, places it
// where it likes and sizes it in steps. What must see the window as the
// person will (a kept position, a splitter's kept place, a modal dialog that
// must not end up below its owner) waits until the display has mapped it.

#include <functional>

class wxPoint;
class wxWindow;

// Mapped by the display, not only asked to be shown.
bool IsMappedOnScreen(wxWindow* window);

// Calls action once, from idle time, when window is mapped; at once (from
// idle time) when it already is. Nothing is called if the window goes first.
void CallWhenMapped(wxWindow* window, std::function<void()> action);

// Asks the display to put the mapped top-level window's frame at topLeft, even
// where the toolkit still believes it is there: it learns where the window
// manager put the window only some time after the map.
void PlaceOnScreen(wxWindow* window, const wxPoint& topLeft);
