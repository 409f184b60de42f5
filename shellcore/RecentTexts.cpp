#include "shellcore/RecentTexts.h"

#include "base/Installed.h"
#include "shellcore/CRecentItemsList.h"

const wchar_t* const kRecentFiltersKey = L"Software\\Vellumar\\Arbolite\\Settings\\RecentItems\\Filters\\";

namespace {

Installed<RecentTextsFactory> g_factory;

// The program's recent-items list on the user's settings.
class RecentItemsTexts : public CRecentTexts {
public:
    explicit RecentItemsTexts(const std::wstring& keyPath) : m_list(platform::RegRoot::CurrentUser, keyPath) {}
    void AddString(const std::wstring& text) override { m_list.AddString(text); }
    std::vector<std::wstring> GetRecentStrings(int count) override
    {
        std::vector<std::wstring> texts;
        m_list.GetRecentStrings(texts, count);
        return texts;
    }

private:
    CRecentItemsList m_list;
};

} // namespace

RecentTextsFactory SetRecentTextsFactory(RecentTextsFactory factory)
{
    return g_factory.Set(std::move(factory));
}

std::unique_ptr<CRecentTexts> OpenRecentTexts(const std::wstring& keyPath)
{
    RecentTextsFactory factory = g_factory.Get();
    if (factory)
        return factory(keyPath);
    return std::make_unique<RecentItemsTexts>(keyPath);
}
