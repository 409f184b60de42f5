#pragma once
// What the benchmarks share: times in milliseconds, medians, and the
// directory of one parent with many children that the node-opening
// benchmarks load into their server.

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

double Millis(Clock::duration d);
double Median(std::vector<double> v);

// The parent entry of the children.
extern const char* const kChildrenBase;
// LDIF of o=bench, the parent and its children cn=child000000, ...
std::string ChildrenLdif(size_t children);

} // namespace bench
