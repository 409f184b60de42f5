#pragma once
// A whole file as bytes, read or written at once.

#include <string>

namespace platform {

// 0 on success; -1, with bytes untouched, when the file cannot be read.
int ReadFileToString(const std::string& path, std::string& bytes);
// Creates (or empties) the file and writes the bytes; 0 on success, -1 when
// it cannot be created or not every byte was written.
int WriteStringToFile(const std::string& bytes, const std::string& path);
// Writes the bytes into a new file beside path and renames it over path, so
// that path holds the old or the new content, never a part. A new file is
// given the usual mode of a new file, a replaced one keeps its permissions. 0 on
// success, -1 (and nothing left behind) on failure.
int ReplaceFileWithBytes(const std::string& bytes, const std::string& path);

} // namespace platform
