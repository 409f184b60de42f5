#include "model/ports/ResourceText.h"

#include "base/Utf8.h"
#include "platform/StringResource.h"

std::wstring LoadResourceText(unsigned id)
{
    std::wstring text;
    LoadStringResource(id, text);
    return text;
}

std::wstring FormatResourceText(unsigned id, std::initializer_list<std::wstring> arguments)
{
    const std::wstring format = LoadResourceText(id);
    std::wstring text;
    size_t from = 0;
    for (const std::wstring& argument : arguments) {
        size_t at = format.find(L"%s", from);
        if (at == std::wstring::npos)
            break;
        text.append(format, from, at - from);
        text += argument;
        from = at + 2;
    }
    text.append(format, from, std::wstring::npos);
    return text;
}
