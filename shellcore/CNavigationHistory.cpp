#include "shellcore/CNavigationHistory.h"

CNavigationHistory::CNavigationHistory(bool loadDepth)
{
    if (loadDepth)
        LoadDepth();
    else
        m_depth = kDefaultDepth;
}

void CNavigationHistory::AddEntry(platform::TreeItem) {}
void CNavigationHistory::AddEntry(const HistoryEntry&) {}
bool CNavigationHistory::CanGoBack() const { return false; }
bool CNavigationHistory::CanGoForward() const { return false; }
void CNavigationHistory::Back() {}
void CNavigationHistory::Forward() {}
void CNavigationHistory::BackBy(size_t) {}
void CNavigationHistory::ForwardBy(size_t) {}
std::vector<HistoryEntry> CNavigationHistory::GetBackEntries() const { return {}; }
std::vector<HistoryEntry> CNavigationHistory::GetForwardEntries() const { return {}; }
CServerObject* CNavigationHistory::FindServerByGUID(const std::array<uint8_t, 16>&) { return nullptr; }
void CNavigationHistory::SetDepth(uint32_t depth) { m_depth = depth; }
void CNavigationHistory::LoadDepth() { m_depth = kDefaultDepth; }
void CNavigationHistory::Navigate() {}
