#include "bench/BenchSupport.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include <unistd.h>

#include "platform/SettingsStore.h"

namespace bench {

double Millis(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> v)
{
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

} // namespace bench
