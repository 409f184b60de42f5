#include "model/values/PasswordScheme.h"

#include <cwctype>

namespace {

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix)
{
    size_t i = 0;
    for (; prefix[i]; ++i) {
        if (i >= text.size() || std::towlower(text[i]) != std::towlower(prefix[i]))
            return false;
    }
    return true;
}

} // namespace

int GetPasswordScheme(const std::wstring& value)
{
    static const wchar_t* const kPrefixes[] = {L"{SHA}", L"{SSHA}", L"{MD5}", L"{SMD5}", L"{CRYPT}", L"{X-"};
    for (int i = 0; i < static_cast<int>(sizeof kPrefixes / sizeof kPrefixes[0]); ++i) {
        if (StartsWithNoCase(value, kPrefixes[i]))
            return i;
    }
    return kSchemeNone;
}

bool HasPasswordScheme(const std::wstring& value)
{
    return GetPasswordScheme(value) != kSchemeNone;
}
