#pragma once
// A whole file as bytes, read or written at once.

#include <string>

namespace platform {

// 0 on success; -1, with bytes untouched, when the file cannot be read.
int ReadFileToString(const std::string& path, std::string& bytes);
// Creates (or empties) the file and writes the bytes; 0 on success, -1 when
// it cannot be created or not every byte was written.
int WriteStringToFile(const std::string& bytes, const std::string& path);

} // namespace platform
