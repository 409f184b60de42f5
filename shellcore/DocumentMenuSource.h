#pragma once
// The main window's drop-down lists as the document fills them: the
// favourites and entry templates of the caret's server, and the places of
// the navigation history.

#include "shellcore/FrameMenuSource.h"

class CDataObject;
class CDocumentCommands;
class CNavigationHistory;
struct HistoryEntry;

class CDocumentMenuSource : public CFrameMenuSource {
public:
    CDocumentMenuSource(CDocumentCommands& commands, CNavigationHistory& history);

    Availability GetFavorites(std::vector<std::wstring>& texts) override;
    void OpenFavorite(size_t index) override;
    void GetTemplates(std::vector<std::wstring>& serverNames, std::vector<std::wstring>& globalNames) override;
    void CreateFromTemplate(bool global, size_t index) override;
    std::vector<std::wstring> GetHistoryTexts(bool back) override;
    void MoveInHistory(bool back, size_t steps) override;

    // The drop-down text of one history entry.
    static std::wstring HistoryText(const HistoryEntry& entry);

private:
    // The caret, or with the root selected the list's first selected node.
    CDataObject* FavoritesNode(bool& none) const;

    CDocumentCommands& m_commands;
    CNavigationHistory& m_history;
};
