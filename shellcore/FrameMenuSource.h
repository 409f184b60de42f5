#pragma once
// What the main window's drop-down lists show and do, as the document and
// the navigation history provide it. The window fills its lists from here
// when they open and hands the chosen item back by its position.

#include <cstddef>
#include <string>
#include <vector>

class CFrameMenuSource {
public:
    virtual ~CFrameMenuSource() = default;

    enum class Availability { NoNode, NoList, List };
    // The favourites of the current node's server: NoNode leaves the list
    // empty (shown), NoList refuses it (not shown).
    virtual Availability GetFavorites(std::vector<std::wstring>& texts) { return Availability::NoNode; }
    virtual void OpenFavorite(size_t index) {}

    // The server's entry templates, then the global ones.
    virtual void GetTemplates(std::vector<std::wstring>& serverNames, std::vector<std::wstring>& globalNames) {}
    virtual void CreateFromTemplate(bool global, size_t index) {}

    // The history's entries, nearest first; empty: the list is not shown.
    virtual std::vector<std::wstring> GetHistoryTexts(bool back) { return {}; }
    virtual void MoveInHistory(bool back, size_t steps) {}
};

// The text of one history entry: noServerText (string 707) when it has no
// server profile; else "RootDSE" for an empty DN or "type=value" of its
// first RDN; followed by " (profile name)" when the entry is its server's
// own DN.
struct HistoryEntryText {
    bool hasServer = false;
    bool dnEmpty = false;
    std::wstring rdnType;
    std::wstring rdnValue;
    bool isServerDN = false;
    std::wstring profileName;
};
std::wstring BuildHistoryItemText(const HistoryEntryText& entry, const std::wstring& noServerText);
