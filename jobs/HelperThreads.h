#pragma once
// Threads of ours beside the registered workers (those one object starts for
// itself and joins), counted while they run, so that an end can tell whether
// any outlived it.

class HelperThreadScope {
public:
    HelperThreadScope();
    ~HelperThreadScope();
    HelperThreadScope(const HelperThreadScope&) = delete;
    HelperThreadScope& operator=(const HelperThreadScope&) = delete;
};

int GetRunningHelperThreadCount();
