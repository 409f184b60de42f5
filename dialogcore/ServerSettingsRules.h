#pragma once
// Rules of the server property pages that need no window.

#include <string>

// An edit's text read as a decimal number (blanks around it allowed, an
// optional sign); 0 when it is not one or does not fit an int.
int ParseDecimalOrZero(const std::wstring& text);
// A port text the server page accepts: a decimal number from 0 to 65535.
bool ParsePortText(const std::wstring& text, int& port);
