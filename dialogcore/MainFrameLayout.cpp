#include "dialogcore/MainFrameLayout.h"

#include <cstdint>
#include <string>

#include "platform/RegistryKey.h"
#include "shellcore/RegistryPaths.h"

const wchar_t* const kMainFrameSection = L"Settings\\MainFrame";

namespace {

const wchar_t* const kSplitterValue = L"Splitter";
const wchar_t* const kOutputBarValue = L"OutputBar";
// Wider than any screen: a value past it was not written by us.
constexpr int32_t kLargestSplitterPosition = 100000;

std::wstring SectionKey()
{
    return g_strAppKey + kMainFrameSection;
}

} // namespace

MainFrameLayout LoadMainFrameLayout()
{
    MainFrameLayout layout;
    platform::RegistryKey key(platform::RegRoot::CurrentUser, true);
    if (!key.Open(SectionKey()))
        return layout;
    int32_t splitter = 0;
    // A negative position would count from the right edge.
    if (key.Read(kSplitterValue, splitter) && splitter >= 0 && splitter <= kLargestSplitterPosition)
        layout.splitterPosition = splitter;
    uint32_t outputBar = 0;
    if (key.Read(kOutputBarValue, outputBar))
        layout.outputBarShown = outputBar != 0;
    return layout;
}

bool SaveMainFrameLayout(const MainFrameLayout& layout)
{
    platform::RegistryKey key(platform::RegRoot::CurrentUser, false);
    if (!key.CreateKey(SectionKey()))
        return false;
    bool written = true;
    if (layout.splitterPosition)
        written = key.Write(kSplitterValue, static_cast<uint32_t>(*layout.splitterPosition)) && written;
    if (layout.outputBarShown)
        written = key.Write(kOutputBarValue, static_cast<uint32_t>(*layout.outputBarShown ? 1 : 0)) && written;
    return written;
}
