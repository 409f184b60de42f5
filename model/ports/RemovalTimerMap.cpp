#include "model/ports/RemovalTimerMap.h"

#include <algorithm>

#include "platform/Dispatcher.h"
#include "platform/Messages.h"

namespace {

platform::ReceiverId TreeView()
{
    return platform::GetAppWindow(platform::AppWindow::TreeView);
}

}  // namespace

int CRemovalTimerMap::Start(NodeId node, uint32_t delayMs)
{
    std::lock_guard<std::mutex> lock(m_lock);
    // A node has one timer at most.
    for (const auto& timer : m_timers)
        if (timer.second == node)
            return static_cast<int>(timer.first);
    for (const Waiting& w : m_waiting)
        if (w.node == node)
            return -1;
    if (!HasFreeId()) {
        m_waiting.push_back(Waiting{node, delayMs});
        return -1;
    }
    return StartLocked(node, delayMs);
}

int CRemovalTimerMap::StartLocked(NodeId node, uint32_t delayMs)
{
    uint32_t id = m_nextTimerId;
    if (!platform::SetTimer(TreeView(), id, delayMs))
        return -1;
    m_timers[id] = node;
    AllocTimerId();
    return static_cast<int>(id);
}

void CRemovalTimerMap::Forget(NodeId node)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_waiting.erase(std::remove_if(m_waiting.begin(), m_waiting.end(),
                                   [node](const Waiting& w) { return w.node == node; }),
                    m_waiting.end());
    for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
        if (it->second != node)
            continue;
        platform::KillTimer(TreeView(), it->first);
        m_timers.erase(it);
        AllocTimerId();
        ServeWaiting();
        return;
    }
}

NodeId CRemovalTimerMap::Fire(uint32_t timerId)
{
    std::lock_guard<std::mutex> lock(m_lock);
    platform::KillTimer(TreeView(), timerId);
    auto it = m_timers.find(timerId);
    if (it == m_timers.end())
        return kNoNode;
    NodeId node = it->second;
    m_timers.erase(it);
    AllocTimerId();
    ServeWaiting();
    return node;
}

void CRemovalTimerMap::ServeWaiting()
{
    while (!m_waiting.empty() && HasFreeId()) {
        Waiting next = m_waiting.front();
        m_waiting.pop_front();
        StartLocked(next.node, next.delayMs);
    }
}

bool CRemovalTimerMap::HasFreeId() const
{
    return m_timers.find(m_nextTimerId) == m_timers.end();
}

void CRemovalTimerMap::AllocTimerId()
{
    for (uint32_t id = platform::kFirstRemovalTimer; id <= platform::kLastRemovalTimer; ++id) {
        if (m_timers.find(id) == m_timers.end()) {
            m_nextTimerId = id;
            return;
        }
    }
}

int CRemovalTimerMap::GetTimerId(NodeId node) const
{
    std::lock_guard<std::mutex> lock(m_lock);
    for (const auto& timer : m_timers)
        if (timer.second == node)
            return static_cast<int>(timer.first);
    return -1;
}

uint32_t CRemovalTimerMap::GetNextTimerId() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_nextTimerId;
}

size_t CRemovalTimerMap::GetRunningCount() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_timers.size();
}

size_t CRemovalTimerMap::GetWaitingCount() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_waiting.size();
}

CRemovalTimerMap& CRemovalTimerMap::Instance()
{
    static CRemovalTimerMap map;
    return map;
}
