#pragma once
// Comparing texts ignoring ASCII case.

#include <string>

namespace setrune {

bool EqualIgnoringCase(const std::string& a, const std::string& b);
bool EqualIgnoringCase(const std::wstring& a, const std::wstring& b);

} // namespace setrune
