#include "dialogcore/BinFileRules.h"

#include <cwctype>

namespace binfile {

bool IsLimitCheckEnabled(Form form, int format)
{
    return form == Form::Save && format == kBase64Text;
}

bool IsLimitOn(Form form, int format, bool checked)
{
    return IsLimitCheckEnabled(form, format) && checked;
}

bool ParseLimit(const std::wstring& text, int& limit)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && std::iswspace(text[first]))
        ++first;
    while (last > first && std::iswspace(text[last - 1]))
        --last;
    if (first == last)
        return false;
    long value = 0;
    for (size_t i = first; i < last; ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return false;
        value = value * 10 + (text[i] - L'0');
        if (value > kMaxLimit)
            return false;
    }
    if (value < kMinLimit)
        return false;
    limit = static_cast<int>(value);
    return true;
}

std::wstring LimitRangeMessage()
{
    return L"Please enter an integer between " + std::to_wstring(kMinLimit) + L" and " + std::to_wstring(kMaxLimit) +
           L".";
}

} // namespace binfile
