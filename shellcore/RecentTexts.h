#pragma once
// What the filter box needs of a recent-items list: remember a confirmed
// text, and hand the recent ones out newest first. The program's
// recent-items lists stand behind it unless a test installs a factory.

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CRecentTexts {
public:
    virtual ~CRecentTexts() = default;
    // An empty text is ignored.
    virtual void AddString(const std::wstring& text) = 0;
    // Up to count texts (all when count < 0), newest first.
    virtual std::vector<std::wstring> GetRecentStrings(int count) = 0;
};

// The settings key of the recent filters.
extern const wchar_t* const kRecentFiltersKey;

typedef std::function<std::unique_ptr<CRecentTexts>(const std::wstring& keyPath)> RecentTextsFactory;
// Returns the previous factory.
RecentTextsFactory SetRecentTextsFactory(RecentTextsFactory factory);
// The list on that key (below the user root).
std::unique_ptr<CRecentTexts> OpenRecentTexts(const std::wstring& keyPath);
