#pragma once
// The dialogs' font: the desktop's GUI font, bold when asked.

#include <wx/font.h>

class wxWindow;

namespace ui {

enum class FontWeight { Normal, Bold };

wxFont CreateDefaultFont(FontWeight weight = FontWeight::Normal);
// Sets the font on the window and every window below it.
void SetFontToChildren(wxWindow* window, const wxFont& font);

} // namespace ui
