#include "shellcore/FrameMenuSource.h"

std::wstring BuildHistoryItemText(const HistoryEntryText& entry, const std::wstring& noServerText)
{
    if (!entry.hasServer)
        return noServerText;
    std::wstring text = entry.dnEmpty ? std::wstring(L"RootDSE") : entry.rdnType + L"=" + entry.rdnValue;
    if (entry.isServerDN)
        text += L" (" + entry.profileName + L")";
    return text;
}
