#include "model/values/ValueText.h"

#include <cstdio>

#include "base/Utf8.h"

std::wstring FormatBinaryValueText(const std::string& value)
{
    std::wstring text;
    const size_t n = value.size() < 16 ? value.size() : 16;
    text.reserve(n * 4);
    for (size_t i = 0; i < n; ++i) {
        wchar_t cell[8];
        std::swprintf(cell, 8, L"%.2X  ", static_cast<unsigned>(static_cast<unsigned char>(value[i])));
        text += cell;
    }
    return text;
}

std::wstring FormatGeneralizedTime(const std::string& text)
{
    if (text.empty())
        return L"N/A";
    // A time stamp from a server need not be well formed: read nothing past
    // its end, and do not dress up what is not a date.
    if (text.size() < 14)
        return Utf8ToWideString(text);
    for (size_t i = 0; i < 14; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return Utf8ToWideString(text);
    }
    std::string out;
    out.reserve(19);
    out.append(text, 0, 4).append("-").append(text, 4, 2).append("-").append(text, 6, 2);
    out.append(" ").append(text, 8, 2).append(":").append(text, 10, 2).append(":").append(text, 12, 2);
    return Utf8ToWideString(out);
}
