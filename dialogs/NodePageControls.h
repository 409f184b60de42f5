#pragma once
// Small helpers of the read-only node pages: filling a read-only edit and
// an icon from the resource library.

#include <string>

class wxWindow;

// Sets the text of the edit with that id, when the page has one.
void SetPageText(wxWindow& page, int id, const std::wstring& text);
// Shows the library's icon iconId in the bitmap control with that id; an
// icon the library lacks shows the toolkit's information or error icon.
void SetPageIcon(wxWindow& page, int id, unsigned iconId);
