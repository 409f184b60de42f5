#include "model/ResourceText.h"

#include "ldap/TextHelpers.h"

std::wstring LoadResourceText(unsigned id)
{
    std::string text;
    if (!LoadStringResource(id, text))
        return std::wstring();
    return Utf8ToWideString(text);
}
