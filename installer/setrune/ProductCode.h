#pragma once
// Product codes as the installer's registry keys name them.

#include <string>

namespace setrune {

// "{12345678-9ABC-DEF0-1234-56789ABCDEF0}" -> "87654321CBA90FED21436587A9CBED0F":
// braces and hyphens dropped, the first group of 8 and the next two groups of
// 4 reversed, then each of the 8 pairs swapped. A shorter text gives a shorter
// key: the key ends where its next digit would lie past the text.
std::string PackProductCode(const std::string& productCode);

// The code without braces and hyphens.
std::string BareProductCode(const std::string& productCode);

} // namespace setrune
