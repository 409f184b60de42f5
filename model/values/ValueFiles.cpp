#include "model/values/ValueFiles.h"

#include <cstdlib>
#include <memory>

#include "base/Base64.h"
#include "platform/FileText.h"

bool ConvertValueText(const std::string& path, const std::string& bytes, bool limitLines, int limit)
{
    size_t length = 0;
    std::unique_ptr<char, decltype(&std::free)> encoded(
        Base64Encode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &length), &std::free);
    if (!encoded)
        return false;
    std::string text(encoded.get(), length);
    if (limitLines && limit > 0) {
        std::string lines;
        lines.reserve(text.size() + text.size() / static_cast<size_t>(limit) + 1);
        for (size_t pos = 0; pos < text.size(); pos += static_cast<size_t>(limit)) {
            lines.append(text, pos, static_cast<size_t>(limit));
            lines += '\n';
        }
        text.swap(lines);
    }
    return platform::WriteStringToFile(text, path) == 0;
}
