#include "tests/support/MemoryClipboard.h"

namespace testsupport {

namespace {

// Registered formats are numbered from here on, as on the desktop.
constexpr platform::ClipboardFormat kFirstRegisteredFormat = 0xC000;

}  // namespace

platform::ClipboardFormat MemoryClipboard::RegisterFormat(const std::string& name)
{
    auto it = m_formats.find(name);
    if (it != m_formats.end())
        return it->second;
    platform::ClipboardFormat format = kFirstRegisteredFormat + static_cast<platform::ClipboardFormat>(m_formats.size());
    m_formats.emplace(name, format);
    return format;
}

bool MemoryClipboard::Open()
{
    if (failOpen || m_open)
        return false;
    ++opens;
    m_open = true;
    return true;
}

void MemoryClipboard::Close()
{
    m_open = false;
}

bool MemoryClipboard::Empty()
{
    if (!m_open || failEmpty)
        return false;
    m_data.clear();
    return true;
}

bool MemoryClipboard::SetData(platform::ClipboardFormat format, const std::string& bytes)
{
    if (!m_open)
        return false;
    m_data[format] = bytes;
    return true;
}

bool MemoryClipboard::GetData(platform::ClipboardFormat format, std::string& bytes)
{
    if (!m_open)
        return false;
    auto it = m_data.find(format);
    if (it == m_data.end())
        return false;
    bytes = it->second;
    return true;
}

std::string MemoryClipboard::Get(platform::ClipboardFormat format) const
{
    auto it = m_data.find(format);
    return it == m_data.end() ? std::string() : it->second;
}

} // namespace testsupport
