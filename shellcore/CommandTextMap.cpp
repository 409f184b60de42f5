#include "shellcore/CommandTextMap.h"

#include <cwctype>

std::wstring TrimWhiteSpace(const std::wstring& text)
{
    size_t b = 0, e = text.size();
    while (b < e && std::iswspace(text[b]))
        ++b;
    while (e > b && std::iswspace(text[e - 1]))
        --e;
    return text.substr(b, e - b);
}

void CCommandTextMap::Store(uint32_t command, const std::wstring& text)
{
    m_texts[command] = TrimWhiteSpace(text);
}

bool CCommandTextMap::Lookup(uint32_t command, std::wstring& text) const
{
    auto it = m_texts.find(command);
    if (it == m_texts.end())
        return false;
    text = it->second;
    return true;
}
