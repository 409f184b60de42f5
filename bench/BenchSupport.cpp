#include "bench/BenchSupport.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "platform/SettingsStore.h"

namespace bench {

double Millis(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

TempHome::TempHome()
{
    char folder[] = "/tmp/arbbench-XXXXXX";
    if (!mkdtemp(folder))
        return;
    m_folder = folder;
    setenv("ARBOLITE_HOME", folder, 1);
    platform::ResetUserRoot();
    platform::SetMachineRootFile(m_folder + "/machine.db");
}

TempHome::~TempHome()
{
    if (m_folder.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

size_t ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    size_t total = 0, resident = 0;
    statm >> total >> resident;
    return resident * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

size_t PeakResidentBytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, 6, "VmHWM:") == 0) {
            std::istringstream in(line.substr(6));
            size_t kb = 0;
            in >> kb;
            return kb * 1024;
        }
    }
    return 0;
}

void ResetPeakResident()
{
    // 5: the peak resident size starts again from the present one.
    std::ofstream("/proc/self/clear_refs") << "5";
}

double LoadAverage()
{
    double load[3] = {0, 0, 0};
    getloadavg(load, 3);
    return load[0];
}

std::vector<size_t> SizesFrom(int argc, char** argv, int first)
{
    std::vector<size_t> sizes;
    for (int i = first; i < argc; ++i)
        sizes.push_back(static_cast<size_t>(std::atol(argv[i])));
    if (sizes.empty())
        sizes.push_back(10000);
    return sizes;
}

void PrintSizeLines(const std::vector<SizeLine>& lines)
{
    for (const SizeLine& l : lines)
        std::printf("size %zu ratio %.2f stall %.1f ms bytes-per-child %.0f after-close-percent %.0f\n", l.size,
                    l.ratio, l.stall, l.bytesPerChild, l.afterClose);
    std::fflush(stdout);
}

} // namespace bench
