#pragma once
// Versions compared part by part.

#include <array>
#include <string>
#include <vector>

namespace setrune {

// The first count parts of a text such as "4,71,0,3328" or "4.71.0.3328":
// each part the integer at its start, parts separated by ',' or '.', 0 past
// the end.
std::vector<long> VersionParts(const std::string& text, int count);

// <0, 0, >0 at the first part that differs.
int CompareParts(const std::vector<long>& a, const std::vector<long>& b);

// The file version (major, minor, build, revision) of a version block: one
// of 20 to 4096 bytes that begins with the key VS_VERSION_INFO, wide or
// narrow, followed by the fixed file information. False otherwise.
bool FileVersionOfBlock(const std::vector<unsigned char>& block, std::array<long, 4>* version);

} // namespace setrune
