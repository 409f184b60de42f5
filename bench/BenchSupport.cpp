#include "bench/BenchSupport.h"

#include <algorithm>

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

} // namespace bench
