#pragma once
// The attribute-name lists of the displayed-attributes page, without the
// window: which rows are stored, and how a label edit ends.

#include <string>
#include <vector>

#include "base/StringList.h"

namespace dialogcore {

// The rows trimmed at both ends, in order, blank ones left out.
StringList AttributeNamesFromRows(const std::vector<std::string>& rows);

// At the end of a label edit: false when the text is still the placeholder
// (the row then goes).
bool KeepEditedLabel(const std::wstring& text, const std::wstring& placeholder);

} // namespace dialogcore
