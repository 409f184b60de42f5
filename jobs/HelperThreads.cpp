#include "jobs/HelperThreads.h"

#include <atomic>

namespace {

// Trivially destructible: a helper may still count down at the process's end.
std::atomic<int> g_running{0};

}  // namespace

HelperThreadScope::HelperThreadScope()
{
    ++g_running;
}

HelperThreadScope::~HelperThreadScope()
{
    --g_running;
}

int GetRunningHelperThreadCount()
{
    return g_running.load();
}
