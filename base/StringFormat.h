#pragma once
// printf-style formatting into a std::string.

#include <string>

// Never overflows, whatever the arguments. The result is cut at its first zero byte.
void FormatString(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
