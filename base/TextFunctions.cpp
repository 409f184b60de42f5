#include "base/TextFunctions.h"

#include <cwctype>

#include "base/Utf8.h"

std::wstring IntToString(int value)
{
    return std::to_wstring(value);
}

int StringToInt(const std::wstring& text)
{
    size_t i = 0;
    while (i < text.size() && std::iswspace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > 2147483648LL) value = 2147483648LL;  // saturates instead of wrapping
    }
    if (negative) value = -value;
    if (value > 2147483647LL) value = 2147483647LL;
    return static_cast<int>(value);
}

void SplitString(const char* text, StringList& list, char separator)
{
    list.Clear();
    if (!text) return;
    std::string piece;
    bool any = false;
    for (const char* p = text; *p; ++p) {
        if (*p == separator) {
            list.Add(piece);
            piece.clear();
            any = true;
        } else {
            piece.push_back(*p);
        }
    }
    if (any) list.Add(piece);
}

std::wstring MakeSafeFileName(const std::wstring& text)
{
    static const std::wstring kUnsafe = L".\\/:*?\"<>|";
    std::wstring out = text;
    for (wchar_t& c : out)
        if (kUnsafe.find(c) != std::wstring::npos) c = L'_';
    return out;
}

void ToUtf8StringList(const std::vector<std::wstring>& texts, StringList& list)
{
    for (const std::wstring& t : texts) list.Add(WideToUtf8Text(t));
}
