#pragma once
// What the benchmarks share: times in milliseconds and medians, the
// process's memory, the machine's load and the line per size that both
// node benchmarks end with.

#include <chrono>
#include <cstddef>
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

// Resident memory of the process now, in bytes.
size_t ResidentBytes();
// The highest resident memory since the last ResetPeakResident, in bytes.
size_t PeakResidentBytes();
void ResetPeakResident();
// The one-minute load average.
double LoadAverage();

// The sizes on the command line from argument first on (default: 10,000).
std::vector<size_t> SizesFrom(int argc, char** argv, int first);

// What each size ends with, printed once the last size is done.
struct SizeLine {
    size_t size = 0;
    double ratio = 0;          // median time over the plain loop's
    double stall = 0;          // longest event-loop stall, ms
    double bytesPerChild = 0;  // live memory after the open over idle, per child
    double afterClose = 0;     // memory after closing as a percent of idle
};
void PrintSizeLines(const std::vector<SizeLine>& lines);

} // namespace bench
