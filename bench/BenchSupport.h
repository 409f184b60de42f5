#pragma once
// What the benchmarks share: times in milliseconds and medians.

#include <chrono>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

double Millis(Clock::duration d);
double Median(std::vector<double> v);

} // namespace bench
