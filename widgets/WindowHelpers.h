#pragma once
// Small window functions of the shell.

class wxWindow;

// True when the screen point lies in the window's rectangle.
bool IsPointInWindow(const wxWindow* window, int x, int y);
