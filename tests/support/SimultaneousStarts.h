#pragma once
// Several processes that start one piece of work at the same moment: each is
// forked, waits until all exist, runs the work and, when it reports success,
// acknowledges with its letter ('a', 'b', ...).

#include <functional>
#include <string>

namespace testsupport {

struct SimultaneousResult {
    bool allExitedCleanly = true;
    std::string acknowledged;  // letters of the processes whose work succeeded
};

// work runs in the child with the process's letter; true acknowledges it.
SimultaneousResult RunSimultaneously(int processes, const std::function<bool(char id)>& work);

} // namespace testsupport
