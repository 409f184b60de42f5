#pragma once
// The program's standard dialog font: the desktop's GUI font, and putting a
// font on a window and its direct children.

#include <wx/font.h>

class wxWindow;

namespace ui {

enum class FontWeight { Normal, Bold };

// The desktop's GUI font, bold when asked.
wxFont CreateDefaultFont(FontWeight weight = FontWeight::Normal);
// Sets the font on the window and each of its direct children, and redraws them.
void SetFontToChildren(wxWindow* window, const wxFont& font);

} // namespace ui
