#include "shellcore/WaitForWorkers.h"

#include <algorithm>

#include "jobs/CLDAPThread.h"

CWaitForWorkers::CWaitForWorkers() : CWaitForWorkers(GetRunningThreadCount, AbortAllThreads) {}

CWaitForWorkers::CWaitForWorkers(std::function<int()> count, std::function<void()> abortAll)
    : m_count(std::move(count)), m_abortAll(std::move(abortAll))
{
}

void CWaitForWorkers::Start()
{
    m_abortAll();
    m_initial = std::max(0, m_count());
}

CWaitForWorkers::Poll CWaitForWorkers::Check() const
{
    Poll p;
    p.remaining = std::max(0, m_count());
    // Workers started meanwhile must not move the bar backwards past 0.
    p.position = std::clamp(m_initial - p.remaining, 0, m_initial);
    p.done = p.remaining == 0;
    return p;
}
