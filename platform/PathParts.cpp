#include "platform/PathParts.h"

namespace platform {

std::vector<std::string> SplitPathParts(const std::string& path, char sep)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == sep) {
            if (!part.empty()) parts.push_back(std::move(part));
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    if (!part.empty()) parts.push_back(std::move(part));
    return parts;
}

std::string FoldAsciiUpper(const std::string& name)
{
    std::string f(name);
    for (char& c : f)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return f;
}

} // namespace platform
