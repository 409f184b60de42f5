#include "installer/setrune/Paths.h"

#include <cctype>

#include "installer/msi/Machine.h"

namespace setrune {

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '\\' || folder.back() == '/') return folder + name;
    return folder + "\\" + name;
}

bool MatchesPattern(const std::string& name, const std::string& pattern)
{
    auto fold = [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); };
    size_t n = 0, p = 0, starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || fold(pattern[p]) == fold(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

msi::Host& TheHost()
{
    return msi::Machine::Get().GetHost();
}

} // namespace setrune
