#include "base/NoCase.h"

int StrICmp(const char* a, const char* b)
{
    auto fold = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; };
    for (;; ++a, ++b) {
        int x = fold(static_cast<unsigned char>(*a)), y = fold(static_cast<unsigned char>(*b));
        if (x != y || x == 0) return x - y;
    }
}

bool EqualNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i]))
            return false;
    return true;
}

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const
{
    return StrICmp(a.c_str(), b.c_str()) < 0;
}
