#pragma once
// What the benchmarks share: times in milliseconds and medians.

#include <chrono>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

double Millis(Clock::duration d);
double Median(std::vector<double> v);

// Fresh per-user folders and settings for the run (ARBOLITE_HOME in a new
// temporary folder), removed at the end.
class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;
    bool IsOk() const { return !m_folder.empty(); }

private:
    std::string m_folder;
};

} // namespace bench
