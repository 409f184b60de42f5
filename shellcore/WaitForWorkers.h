#pragma once
// The wait for running workers when the main window closes: every worker is
// asked to stop once, then the count is polled (every 100 ms by the dialog)
// until none is left.

#include <functional>

class CWaitForWorkers {
public:
    // The running-thread registry's count and abort-all by default.
    CWaitForWorkers();
    CWaitForWorkers(std::function<int()> count, std::function<void()> abortAll);

    // Asks every worker to stop and takes the count to start from.
    void Start();
    int GetInitialCount() const { return m_initial; }

    struct Poll {
        int remaining = 0;  // workers still running
        int position = 0;   // progress: initial - remaining, within 0..initial
        bool done = false;  // none left: the dialog ends with 0
    };
    Poll Check() const;

private:
    std::function<int()> m_count;
    std::function<void()> m_abortAll;
    int m_initial = 0;
};
