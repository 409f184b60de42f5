#include "installer/setrune/VersionParts.h"

#include <cstdint>
#include <cstring>

#include "installer/setrune/Properties.h"

namespace setrune {

std::vector<long> VersionParts(const std::string& text, int count)
{
    std::vector<long> parts;
    size_t pos = 0;
    for (int i = 0; i < count; ++i) {
        parts.push_back(pos < text.size() ? ToLong(text.substr(pos)) : 0);
        size_t next = text.find_first_of(",.", pos);
        pos = next == std::string::npos ? text.size() : next + 1;
    }
    return parts;
}

int CompareParts(const std::vector<long>& a, const std::vector<long>& b)
{
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return 0;
}

namespace {

uint32_t Dword(const std::vector<unsigned char>& b, size_t at)
{
    return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
           static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

bool KeyAt(const std::vector<unsigned char>& b, size_t at, bool wide)
{
    static const char kKey[] = "VS_VERSION_INFO";  // with its zero
    size_t step = wide ? 2 : 1;
    if (at + sizeof kKey * step > b.size()) return false;
    for (size_t i = 0; i < sizeof kKey; ++i) {
        if (b[at + i * step] != static_cast<unsigned char>(kKey[i])) return false;
        if (wide && b[at + i * step + 1] != 0) return false;
    }
    return true;
}

} // namespace

bool FileVersionOfBlock(const std::vector<unsigned char>& block, std::array<long, 4>* version)
{
    if (block.size() < 20 || block.size() > 4096) return false;
    size_t fixed;
    // Wide: length, value length and type words, then the key; narrow: two
    // words, then the key. The value starts on the next 32-bit boundary.
    if (KeyAt(block, 6, true)) fixed = (6 + 32 + 3) & ~size_t(3);
    else if (KeyAt(block, 4, false)) fixed = (4 + 16 + 3) & ~size_t(3);
    else return false;
    const size_t kFixedSize = 52;
    if (fixed + kFixedSize > block.size() || Dword(block, fixed) != 0xFEEF04BDu) return false;
    uint32_t ms = Dword(block, fixed + 8), ls = Dword(block, fixed + 12);
    *version = {static_cast<long>(ms >> 16), static_cast<long>(ms & 0xFFFF), static_cast<long>(ls >> 16),
                static_cast<long>(ls & 0xFFFF)};
    return true;
}

} // namespace setrune
