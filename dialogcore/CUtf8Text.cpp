#include "dialogcore/CUtf8Text.h"

#include <cstring>

#include "base/Utf8.h"

CUtf8Text::CUtf8Text(const std::wstring& text) : m_source(text), m_length(WideToUtf8Text(text).size() + 1) {}

const char* CUtf8Text::Get()
{
    if (!m_buffer) {
        const std::string utf8 = WideToUtf8Text(m_source);
        m_buffer = std::make_unique<char[]>(m_length);
        std::memcpy(m_buffer.get(), utf8.data(), std::min(utf8.size(), m_length - 1));
        m_buffer[m_length - 1] = '\0';
    }
    return m_buffer.get();
}
