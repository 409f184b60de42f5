#pragma once
// Splits a store path at sep; empty parts (leading, trailing, doubled
// separators) are dropped, so "" names the root.

#include <string>
#include <vector>

namespace platform {

std::vector<std::string> SplitPathParts(const std::string& path, char sep);

} // namespace platform
