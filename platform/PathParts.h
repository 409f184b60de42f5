#pragma once
// Names inside the stores. Splits a store path at sep; empty parts (leading, trailing, doubled
// separators) are dropped, so "" names the root.

#include <string>
#include <vector>

namespace platform {

std::vector<std::string> SplitPathParts(const std::string& path, char sep);

// ASCII letters upper-cased: the lookup and sort form of a stored name.
std::string FoldAsciiUpper(const std::string& name);

} // namespace platform
