#include "installer/setrune/TextCase.h"

namespace setrune {
namespace {

template <class Char>
bool Equal(const std::basic_string<Char>& a, const std::basic_string<Char>& b)
{
    if (a.size() != b.size()) return false;
    auto fold = [](Char c) { return c >= 'A' && c <= 'Z' ? static_cast<Char>(c - 'A' + 'a') : c; };
    for (size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

} // namespace

bool EqualIgnoringCase(const std::string& a, const std::string& b)
{
    return Equal(a, b);
}

bool EqualIgnoringCase(const std::wstring& a, const std::wstring& b)
{
    return Equal(a, b);
}

} // namespace setrune
