#include "dialogcore/AttributeNameRows.h"

namespace dialogcore {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

} // namespace

StringList AttributeNamesFromRows(const std::vector<std::string>& rows)
{
    StringList names;
    for (const std::string& row : rows) {
        size_t first = 0, last = row.size();
        while (first < last && IsBlank(row[first])) ++first;
        while (last > first && IsBlank(row[last - 1])) --last;
        if (last > first) names.Add(row.substr(first, last - first));
    }
    return names;
}

bool KeepEditedLabel(const std::wstring& text, const std::wstring& placeholder) { return text != placeholder; }

} // namespace dialogcore
