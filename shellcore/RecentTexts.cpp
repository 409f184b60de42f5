#include "shellcore/RecentTexts.h"

#include "base/Installed.h"

const wchar_t* const kRecentFiltersKey = L"Software\\Vellumar\\Arbolite\\Settings\\RecentItems\\Filters\\";

namespace {
Installed<RecentTextsFactory> g_factory;
}

RecentTextsFactory SetRecentTextsFactory(RecentTextsFactory factory)
{
    return g_factory.Set(std::move(factory));
}

std::unique_ptr<CRecentTexts> OpenRecentTexts(const std::wstring& keyPath)
{
    RecentTextsFactory factory = g_factory.Get();
    return factory ? factory(keyPath) : nullptr;
}
