#include "dialogcore/WindowPlacementText.h"

#include <cwchar>

#include "platform/RegistryKey.h"
#include "shellcore/RegistryPaths.h"

namespace {

const wchar_t* const kPlacementValue = L"WindowPlacement";
const wchar_t* const kActivePageValue = L"ActivePage";

std::wstring SectionKey(const std::wstring& section)
{
    return g_strAppKey + section;
}

} // namespace

std::wstring FormatWindowPlacement(const WindowPlacementRecord& p)
{
    wchar_t text[128];
    std::swprintf(text, sizeof text / sizeof text[0], L"%d,%d,%d,%d,%d,%d", p.normal.left, p.normal.top,
                  p.normal.right, p.normal.bottom, p.showCmd, p.flags);
    return text;
}

bool ParseWindowPlacement(const std::wstring& text, WindowPlacementRecord& placement)
{
    WindowPlacementRecord p;
    if (std::swscanf(text.c_str(), L"%d,%d,%d,%d,%d,%d", &p.normal.left, &p.normal.top, &p.normal.right,
                     &p.normal.bottom, &p.showCmd, &p.flags) != 6)
        return false;
    placement = p;
    return true;
}

std::wstring ReadWindowPlacementText(const std::wstring& section)
{
    platform::RegistryKey key(platform::RegRoot::CurrentUser, true);
    std::wstring text;
    if (!key.Open(SectionKey(section)) || !key.Read(kPlacementValue, text)) return std::wstring();
    return text;
}

bool WriteWindowPlacementText(const std::wstring& section, const std::wstring& text)
{
    platform::RegistryKey key(platform::RegRoot::CurrentUser, false);
    return key.CreateKey(SectionKey(section)) && key.Write(kPlacementValue, text);
}

int ReadActivePage(const std::wstring& section, int fallback)
{
    platform::RegistryKey key(platform::RegRoot::CurrentUser, true);
    int32_t value = 0;
    if (!key.Open(SectionKey(section)) || !key.Read(kActivePageValue, value)) return fallback;
    return value;
}

bool WriteActivePage(const std::wstring& section, int index)
{
    platform::RegistryKey key(platform::RegRoot::CurrentUser, false);
    return key.CreateKey(SectionKey(section)) && key.Write(kActivePageValue, static_cast<uint32_t>(index));
}
