#pragma once
// Back and forward over the places the user selected in the tree. An entry
// names a server by its profile's GUID and a place by its DN, never a node,
// so it stays good while the tree below a server is reloaded; going back
// navigates the tree to the DN again.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Guid.h"
#include "platform/ControlPorts.h"

class CDataObject;
class CServerObject;

struct HistoryEntry {
    GUID server;     // all zero: the root
    std::string dn;  // UTF-8; empty for the root and a server without a DN
    friend bool operator==(const HistoryEntry& a, const HistoryEntry& b)
    {
        return a.server == b.server && a.dn == b.dn;
    }
};

class CNavigationHistory {
public:
    static constexpr uint32_t kMinDepth = 5;
    static constexpr uint32_t kMaxDepth = 40;
    static constexpr uint32_t kDefaultDepth = 15;

    // Reads "HistoryDepth" (and writes it back) unless told not to.
    explicit CNavigationHistory(bool loadDepth = true);

    // Records the selection of item (nothing while navigating, for no item,
    // no node, error and information nodes).
    void AddEntry(platform::TreeItem item);
    void AddEntry(const HistoryEntry& entry);

    bool CanGoBack() const;
    bool CanGoForward() const;
    void Back();
    void Forward();
    // steps + 1 entries back / forward (steps: the drop-down item's index).
    void BackBy(size_t steps);
    void ForwardBy(size_t steps);

    // Nearest first.
    std::vector<HistoryEntry> GetBackEntries() const;
    std::vector<HistoryEntry> GetForwardEntries() const;
    const std::vector<HistoryEntry>& GetEntries() const { return m_entries; }
    // Index of the current entry; equal to the count when there is none.
    size_t GetPosition() const { return m_position; }

    // The server node below the tree's first root item with that GUID.
    static CServerObject* FindServerByGUID(const GUID& guid);

    uint32_t GetDepth() const { return m_depth; }
    void SetDepth(uint32_t depth);
    void LoadDepth();

    // The next reported selection is not recorded (it clears the flag).
    void SetNavigating(bool navigating = true) { m_navigating = navigating; }
    bool IsNavigating() const { return m_navigating; }
    // Selections reported between these two are moves of the program's own
    // (a history move, a navigation arriving) and are not recorded. Nested.
    void BeginQuietSelection() { ++m_quiet; }
    void EndQuietSelection();

private:
    // Shows the place at the current position.
    void Navigate();

    std::vector<HistoryEntry> m_entries;
    size_t m_position = 0;
    uint32_t m_depth = 0;
    bool m_navigating = false;
    int m_quiet = 0;
};
