#include "shellcore/CNavigationHistory.h"

#include <algorithm>

#include "base/LogStream.h"
#include "ldap/LDAPDN.h"
#include "model/entries/CAttrObject.h"
#include "model/entries/CServerObject.h"
#include "model/nodes/TreeViewOperations.h"
#include "platform/RegistryKey.h"
#include "shellcore/RegistryPaths.h"
#include "shellcore/TextFormat.h"

namespace {

const wchar_t kDepthValue[] = L"HistoryDepth";
const wchar_t kNotConnected[] = L"ERROR: There's no connection detected. Please connect to %s and repeat the operation.";

bool IsNullGuid(const GUID& guid)
{
    return guid == GUID();
}

platform::TreeItem FirstRootItem(platform::TreePort& tree)
{
    return tree.GetRootItem();
}

// Selections made while it lives are the history's own moves, not the user's.
class NavigatingScope {
public:
    explicit NavigatingScope(CNavigationHistory& history) : m_history(history) { m_history.BeginQuietSelection(); }
    ~NavigatingScope() { m_history.EndQuietSelection(); }

private:
    CNavigationHistory& m_history;
};

} // namespace

CNavigationHistory::CNavigationHistory(bool loadDepth)
{
    if (loadDepth)
        LoadDepth();
    else
        m_depth = kDefaultDepth;
}

void CNavigationHistory::AddEntry(platform::TreeItem item)
{
    if (!item)
        return;
    if (m_quiet > 0 || m_navigating) {
        m_navigating = false;
        return;
    }
    CDataObject* node = GetTreeItemObject(item);
    if (!node || node->GetType() == kNodeError || node->GetType() == kNodeInformation)
        return;
    HistoryEntry entry;
    if (node->GetType() != kNodeRoot) {
        CServerObject* server = node->GetServerObject();
        if (!server)
            return;
        entry.server = server->GetId();
        if (auto* ldap = dynamic_cast<CLDAPObject*>(node))
            entry.dn = ldap->GetDN().GetText();
        else if (auto* attribute = dynamic_cast<CAttrObject*>(node); attribute && attribute->GetOwner())
            entry.dn = attribute->GetOwner()->GetDN().GetText();
    }
    AddEntry(entry);
}

void CNavigationHistory::AddEntry(const HistoryEntry& entry)
{
    if (m_position + 1 < m_entries.size())
        m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(m_position) + 1, m_entries.end());
    while (!m_entries.empty() && m_entries.size() > m_depth - 1)
        m_entries.erase(m_entries.begin());
    m_entries.push_back(entry);
    m_position = m_entries.size() - 1;
}

void CNavigationHistory::EndQuietSelection()
{
    if (m_quiet > 0 && --m_quiet == 0)
        m_navigating = false;
}

bool CNavigationHistory::CanGoBack() const
{
    return m_position > 0 && m_position < m_entries.size();
}

bool CNavigationHistory::CanGoForward() const
{
    return m_position + 1 < m_entries.size();
}

void CNavigationHistory::Back()
{
    BackBy(0);
}

void CNavigationHistory::Forward()
{
    ForwardBy(0);
}

void CNavigationHistory::BackBy(size_t steps)
{
    if (!CanGoBack() || steps + 1 > m_position)
        return;
    m_position -= steps + 1;
    Navigate();
}

void CNavigationHistory::ForwardBy(size_t steps)
{
    if (!CanGoForward() || m_position + steps + 1 >= m_entries.size())
        return;
    m_position += steps + 1;
    Navigate();
}

std::vector<HistoryEntry> CNavigationHistory::GetBackEntries() const
{
    std::vector<HistoryEntry> list;
    for (size_t i = std::min(m_position, m_entries.size()); i-- > 0;)
        list.push_back(m_entries[i]);
    return list;
}

std::vector<HistoryEntry> CNavigationHistory::GetForwardEntries() const
{
    std::vector<HistoryEntry> list;
    for (size_t i = m_position + 1; i < m_entries.size(); ++i)
        list.push_back(m_entries[i]);
    return list;
}

CServerObject* CNavigationHistory::FindServerByGUID(const GUID& guid)
{
    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    if (!tree)
        return nullptr;
    for (platform::TreeItem item = tree->GetChildItem(FirstRootItem(*tree)); item; item = tree->GetNextSiblingItem(item)) {
        CDataObject* node = GetTreeItemObject(item);
        if (!node || node->GetType() != kNodeServer)
            continue;
        auto* server = dynamic_cast<CServerObject*>(node);
        if (server && server->GetId() == guid)
            return server;
    }
    return nullptr;
}

void CNavigationHistory::Navigate()
{
    if (m_position >= m_entries.size())
        return;
    const HistoryEntry entry = m_entries[m_position];
    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    if (!tree)
        return;
    // Every selection made from here on is the move itself; the flag ends
    // with it, so a move that stops early does not swallow the user's next
    // selection.
    NavigatingScope scope(*this);
    if (IsNullGuid(entry.server)) {
        if (CDataObject* root = GetTreeItemObject(FirstRootItem(*tree)))
            root->ShowContents(0);
        return;
    }
    CServerObject* server = FindServerByGUID(entry.server);
    if (!server)
        return;
    if (!server->IsChildrenLoaded()) {
        LogLine(FormatText(kNotConnected, {server->GetCaption()}));
        return;
    }
    CDataObject* selected = GetSelectedTreeObject();
    if (!selected || selected->GetType() == kNodeRoot || selected->GetServerObject() != server) {
        if (tree->GetSelectedItem() != server->GetTreeItem())
            tree->SelectItem(server->GetTreeItem());
        selected = server;
        if (entry.dn == server->GetDN().GetText())
            return;
    }
    auto* start = dynamic_cast<CLDAPObject*>(selected);
    if (!start)
        start = server;
    if (!start->IsBusy() && !start->GetJob())
        start->NavigateToDN(arbldap::LDAPDN(entry.dn));
}

void CNavigationHistory::SetDepth(uint32_t depth)
{
    if (depth == m_depth)
        return;
    if (depth < m_depth && m_entries.size() > depth) {
        // Only the entries beyond the new depth go, taken from both ends in
        // proportion to what lies on each side of the current one.
        size_t drop = m_entries.size() - depth;
        size_t before = std::min(m_position, m_entries.size() - 1);
        size_t after = m_entries.size() - 1 - before;
        size_t fromOld = 0;
        size_t fromNew = 0;
        if (after == 0) {
            fromOld = drop;
        } else if (before == 0) {
            fromNew = drop;
        } else if (before == after) {
            fromOld = drop / 2;
            fromNew = drop - fromOld;
        } else {
            size_t larger = std::max(before, after);
            size_t smaller = std::min(before, after);
            double ratio = static_cast<double>(larger) / static_cast<double>(smaller);
            if (ratio > 1.0 && ratio < 2.0)
                ratio = 2.0;
            size_t fromSmaller = static_cast<size_t>(static_cast<double>(drop) / ratio);
            size_t fromLarger = drop - fromSmaller;
            fromOld = before < after ? fromSmaller : fromLarger;
            fromNew = before < after ? fromLarger : fromSmaller;
        }
        // Neither side gives more than it has; the current entry stays.
        if (fromOld > before) {
            fromNew += fromOld - before;
            fromOld = before;
        }
        if (fromNew > after) {
            fromOld = std::min(before, fromOld + fromNew - after);
            fromNew = after;
        }
        m_entries.erase(m_entries.end() - static_cast<std::ptrdiff_t>(fromNew), m_entries.end());
        m_entries.erase(m_entries.begin(), m_entries.begin() + static_cast<std::ptrdiff_t>(fromOld));
        m_position = before - fromOld;
    }
    m_depth = depth;
    platform::RegistryKey key(platform::RegRoot::CurrentUser, false);
    if (key.CreateKey(g_strSettingsKey))
        key.Write(kDepthValue, depth);
}

void CNavigationHistory::LoadDepth()
{
    uint32_t depth = kDefaultDepth;
    platform::RegistryKey key(platform::RegRoot::CurrentUser, true);
    uint32_t stored = 0;
    if (key.Open(g_strSettingsKey) && key.Read(kDepthValue, stored) && stored >= kMinDepth && stored <= kMaxDepth)
        depth = stored;
    SetDepth(depth);
}
