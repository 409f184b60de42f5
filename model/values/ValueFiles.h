#pragma once
// Writing attribute values to files the user chose.

#include <string>

// Writes the bytes as base64 text; with limitLines, in lines of at most
// limit characters (a limit below 1 means none). False when the file cannot
// be written.
bool ConvertValueText(const std::string& path, const std::string& bytes, bool limitLines, int limit);
