#pragma once
// Narrow installer texts (UTF-8 stands in for the ANSI code page) as wide
// texts for the COM+ catalog.

#include <string>

namespace setrune {

// A byte that starts no valid sequence stands for itself.
std::wstring Widen(const std::string& text);

} // namespace setrune
