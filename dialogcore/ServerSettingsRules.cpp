#include "dialogcore/ServerSettingsRules.h"

#include <cwctype>
#include <limits>

namespace {

// Ports are 16-bit numbers; 0 leaves the library its default port.
constexpr int kHighestPort = 65535;

bool ParseDecimal(const std::wstring& text, long long& value)
{
    size_t begin = 0, end = text.size();
    while (begin < end && std::iswspace(text[begin]))
        ++begin;
    while (end > begin && std::iswspace(text[end - 1]))
        --end;
    bool negative = false;
    if (begin < end && (text[begin] == L'-' || text[begin] == L'+'))
        negative = text[begin++] == L'-';
    if (begin == end)
        return false;
    long long number = 0;
    for (size_t i = begin; i < end; ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return false;
        number = number * 10 + (text[i] - L'0');
        if (number > std::numeric_limits<int>::max() + 1LL)
            return false;
    }
    value = negative ? -number : number;
    return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
}

} // namespace

int ParseDecimalOrZero(const std::wstring& text)
{
    long long value = 0;
    return ParseDecimal(text, value) ? static_cast<int>(value) : 0;
}

bool ParsePortText(const std::wstring& text, int& port)
{
    long long value = 0;
    if (!ParseDecimal(text, value) || value < 0 || value > kHighestPort)
        return false;
    port = static_cast<int>(value);
    return true;
}
