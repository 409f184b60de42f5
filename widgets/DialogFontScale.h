#pragma once
// Widths that were laid out in pixels for the 8-point dialog font, made as
// wide in the desktop's GUI font, and the room texts take in a window.

#include <vector>

#include <wx/string.h>

class wxWindow;

// The average letter width of the 8-point dialog font the fixed widths were
// measured in.
constexpr int kDialogFontLetterWidth = 6;

// The average letter width of the desktop's GUI font, measured as dialog
// units are: over the 52 letters, rounded.
int GuiFontLetterWidth();
// pixels, scaled by the GUI font's letter width against the dialog font's.
int ScaleFromDialogFont(int pixels);
// The width of the widest of the texts in the window's font.
int WidestText(wxWindow& window, const std::vector<wxString>& texts);
