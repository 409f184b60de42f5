#include "shellcore/TextFormat.h"

#include <cwctype>

std::wstring FormatText(const std::wstring& format, std::initializer_list<TextArg> args)
{
    std::wstring out;
    auto next = args.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        wchar_t c = format[i];
        if (c != L'%' || i + 1 >= format.size()) {
            out.push_back(c);
            continue;
        }
        if (format[i + 1] == L'%') {
            out.push_back(L'%');
            ++i;
            continue;
        }
        // Flags, width, precision and length letters up to the conversion.
        size_t j = i + 1;
        while (j < format.size() && (std::wcschr(L"-+ #0.123456789lhLqjzt", format[j]) != nullptr))
            ++j;
        if (j >= format.size()) {
            out.append(format, i, std::wstring::npos);
            break;
        }
        wchar_t conv = format[j];
        if (std::wcschr(L"sSdiuxXc", conv) == nullptr) {
            out.append(format, i, j - i + 1);  // not ours: kept as written
        } else if (next != args.end()) {
            out += next->Text();
            ++next;
        }
        i = j;
    }
    return out;
}
