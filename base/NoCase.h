#pragma once
// Comparisons that ignore ASCII letter case only (names of the directory and the stores).

#include <string>

// Compares zero-terminated texts; <0, 0, >0.
int StrICmp(const char* a, const char* b);
// Whole strings, zero bytes included.
bool EqualNoCase(const std::string& a, const std::string& b);

// a before b when their ASCII-case-folded texts say so (maps of names).
struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
};
