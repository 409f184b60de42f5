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

} // namespace platform
