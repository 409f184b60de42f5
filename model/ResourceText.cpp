#include "model/ResourceText.h"

#include "base/Utf8.h"
#include "platform/StringResource.h"

std::wstring LoadResourceText(unsigned id)
{
    std::string text;
    if (!LoadStringResource(id, text))
        return std::wstring();
    return Utf8ToWideString(text);
}
