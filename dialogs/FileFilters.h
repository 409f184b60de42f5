#pragma once
// The save-file dialogs' filters: the resource library's form as the
// toolkit's wildcard.

#include <string>

// A filter of the resource library ("Text Files (*.txt)|*.txt|...||") as
// the toolkit's wildcard; "*.*" becomes "*", which also matches names
// without a dot.
std::wstring FilterToWildcard(const std::wstring& filter);
// The index of the first wildcard pair whose pattern is "*.<extension>"
// (case ignored), else 0.
int FilterIndexForExtension(const std::wstring& wildcard, const std::wstring& extension);
